// The mimic's arithmetic without drawing: roundings, levels, skip position, cart offsets, mode
// texts, material colours, and the receiving bunker / bunker No. 1 state from byte 81.
#include "MimicLogic.h"
#include "ChargeFlow.h"
#include "Colours.h"
#include "RecentCache.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mimic;

TEST(MimicRounding, HalvesGoToTheEvenNeighbour) {
    struct Case {
        long long num, den;
        int expected;
    };
    const Case cases[] = {{15, 10, 2},   {25, 10, 2},    {35, 10, 4},     {14, 10, 1},
                          {16, 10, 2},   {0, 10, 0},     {1, 2, 0},       {3, 2, 2},
                          {5, 2, 2},     {950, 100, 10}, {2850, 100, 28}, {76, 100, 1},
                          {-15, 10, -2}, {-25, 10, -2}};
    for (const Case& c : cases)
        EXPECT_EQ(roundHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
}

TEST(MimicLevels, WeighHopperBigBunkerAndFillHeights) {
    EXPECT_EQ(weighHopperLevel(15), 2);
    EXPECT_EQ(weighHopperLevel(25), 2);
    EXPECT_EQ(weighHopperLevel(1000), 100);
    EXPECT_EQ(weighHopperLevel(-1), 0);
    EXPECT_EQ(weighHopperLevel(-32768), 0);
    EXPECT_EQ(weighHopperLevel(32767), 3277); // past 100: the fill simply reaches past the top

    EXPECT_EQ(bigBunkerLevel(200), 100);
    EXPECT_EQ(bigBunkerLevel(1), 0);
    EXPECT_EQ(bigBunkerLevel(3), 2);
    EXPECT_EQ(bigBunkerLevel(-1), 0);

    EXPECT_EQ(fillHeight(2, 38), 1);
    EXPECT_EQ(fillHeight(0, 38), 0);
    EXPECT_EQ(fillHeight(100, 38), 38);
    EXPECT_EQ(fillHeight(25, 38), 10); // 9.5 to the even 10
    EXPECT_EQ(fillHeight(75, 38), 28); // 28.5 to the even 28
    EXPECT_EQ(fillHeight(100, 55), 55);
    EXPECT_EQ(fillHeight(100, 60), 60);
    EXPECT_EQ(fillHeight(3277, 38), 1245);
}

TEST(MimicSkip, LowestSetBitOfTheFourWins) {
    const std::pair<int, int> cases[] = {{0x00, 0}, {0x01, 1}, {0x02, 2}, {0x04, 3}, {0x08, 4},
                                         {0x06, 2}, {0x0C, 3}, {0x0F, 1}, {0xF0, 0}, {0xB8, 4}};
    for (const auto& [b81, position] : cases)
        EXPECT_EQ(skipPosition(static_cast<std::uint8_t>(b81)), position) << b81;
}

TEST(MimicCarts, HighestSetPositionWinsAndNoneKeepsThePrevious) {
    ImageData d;
    EXPECT_EQ(cart1Offset(d, 77), 77);
    EXPECT_EQ(cart2Offset(d, 55), 55);

    d.b[21] = 0x01;
    EXPECT_EQ(cart1Offset(d, 77), 122);
    d.b[20] = 0x05; // positions 1 and 3 with 0: position 3
    EXPECT_EQ(cart1Offset(d, 77), 152);
    d.b[20] = 0x80;
    EXPECT_EQ(cart1Offset(d, 0), 184);
    d.b[21] = 0xFE; // only bit 0 of byte 21 counts
    d.b[20] = 0x00;
    EXPECT_EQ(cart1Offset(d, 5), 5);

    d.b[70] = 0x41; // positions 0 and 6
    EXPECT_EQ(cart2Offset(d, 0), 42);
    d.b[70] = 0x80; // bit 7 is no position
    EXPECT_EQ(cart2Offset(d, 9), 9);
}

// The x offset of the cart's left edge inside its strip at each position: cart 1 (furnace 1)
// positions 0 to 8, cart 2 (furnace 2) positions 0 to 6. Position 0 is the loading point.
constexpr int kCart1At[9] = {122, 244, 214, 152, 90, 30, 0, 60, 184};
constexpr int kCart2At[7] = {140, 230, 198, 166, 104, 74, 42};

TEST(MimicCarts, EachPositionPutsTheCartOverItsBunker) {
    // Cart 1: position 0 is byte 21 bit 0, positions 1 to 8 are byte 20 bits 0 to 7.
    for (int p = 0; p < 9; ++p) {
        ImageData d;
        if (p == 0)
            d.b[21] = 0x01;
        else
            d.b[20] = std::uint8_t(1u << (p - 1));
        EXPECT_EQ(cart1Offset(d, -1), kCart1At[p]) << "cart 1 at position " << p;
    }
    // Cart 2: position k is byte 70 bit k.
    for (int p = 0; p < 7; ++p) {
        ImageData d;
        d.b[70] = std::uint8_t(1u << p);
        EXPECT_EQ(cart2Offset(d, -1), kCart2At[p]) << "cart 2 at position " << p;
    }
    // Every position keeps the cart inside its strip.
    for (int x : kCart1At)
        EXPECT_LE(x + kCartWidth, kCartStripWidth);
    for (int x : kCart2At)
        EXPECT_LE(x + kCartWidth, kCartStripWidth);
}

TEST(MimicModes, ModeByteAndModeBit) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}, {255, 0}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(modeByteText(static_cast<std::uint8_t>(value)), text) << value;
    EXPECT_EQ(modeBitText(false), 1);
    EXPECT_EQ(modeBitText(true), 2);
}

TEST(MimicColours, MaterialCodesAndBlackOutside) {
    const std::uint32_t expected[] = {0xC0C0C0, 0x008000, 0xFFBB77, 0xFF8000, 0xC66300,
                                      0xE1E100, 0x0080FF, 0x954A00, 0x808080, 0xA54AFF};
    for (int code = 0; code < 10; ++code)
        EXPECT_EQ(colours::material(code) & 0xFFFFFFu, expected[code]) << code;
    for (int code : {-1, 10, 12, 255})
        EXPECT_EQ(colours::material(code) & 0xFFFFFFu, 0u) << code;
}

class ChargeFlowTest : public ::testing::Test {
protected:
    // One refresh as the window runs it: edges, levels, previous value.
    void refresh(std::uint8_t b81) {
        flow.trackEdges(b81);
        flow.stepLevels();
        flow.storePrevious(b81);
    }
    ChargeFlow flow;
};

TEST_F(ChargeFlowTest, SkipToBunker1ThenConveyorStops) {
    struct Step {
        std::uint8_t b81;
        bool receivingFilling, bunker1Filling;
        int receiving, bunker1;
    };
    const Step steps[] = {
        {0x01, false, false, 0, 0},  // skip at the bottom
        {0x08, true, false, 10, 0},  // at the top: the receiving bunker fills
        {0x18, true, true, 20, 10},  // conveyor towards bunker No. 1
        {0x08, false, false, 10, 0}, // conveyor stopped: both empty
    };
    for (const Step& s : steps) {
        refresh(s.b81);
        EXPECT_EQ(flow.receivingFilling(), s.receivingFilling) << int(s.b81);
        EXPECT_EQ(flow.bunker1Filling(), s.bunker1Filling) << int(s.b81);
        EXPECT_EQ(flow.receivingLevel(), s.receiving) << int(s.b81);
        EXPECT_EQ(flow.bunker1Level(), s.bunker1) << int(s.b81);
    }
}

TEST_F(ChargeFlowTest, LevelsStopAtFullAndTheChuteShowsChargeUntilBunker1IsEmpty) {
    refresh(0x01);
    refresh(0x08);
    for (int i = 0; i < 15; ++i)
        refresh(0x18);
    EXPECT_EQ(flow.receivingLevel(), 100);
    EXPECT_EQ(flow.bunker1Level(), 100);
    refresh(0x08);
    std::vector<int> bunker1;
    std::vector<bool> chute;
    for (int i = 0; i < 12; ++i) {
        bunker1.push_back(flow.bunker1Level());
        chute.push_back(flow.chuteFull());
        refresh(0x08); // unchanged: nothing re-evaluated, the level keeps falling
    }
    EXPECT_EQ(bunker1, (std::vector<int>{90, 80, 70, 60, 50, 40, 30, 20, 10, 0, 0, 0}));
    EXPECT_EQ(chute, (std::vector<bool>{true, true, true, true, true, true, true, true, true, false,
                                        false, false}));
    EXPECT_EQ(flow.receivingLevel(), 0);
    // The skip still stands at the top, but no edge of bit 3: the receiving bunker stays empty.
    EXPECT_FALSE(flow.receivingFilling());
}

TEST_F(ChargeFlowTest, ConveyorTowardsBunker2NeverFillsBunker1) {
    refresh(0x08);
    refresh(0x28);
    EXPECT_TRUE(flow.receivingFilling());
    EXPECT_FALSE(flow.bunker1Filling());
    refresh(0x08);
    EXPECT_FALSE(flow.receivingFilling());
    EXPECT_EQ(flow.bunker1Level(), 0);
    EXPECT_EQ(flow.receivingLevel(), 10);
    refresh(0x08);
    EXPECT_EQ(flow.receivingLevel(), 0);
}

TEST_F(ChargeFlowTest, SkipLeavingTheTopDoesNotStopTheFilling) {
    refresh(0x08);
    refresh(0x04); // skip on its way down: bit 3 falls, no edge that stops anything
    refresh(0x00);
    EXPECT_TRUE(flow.receivingFilling());
    EXPECT_EQ(flow.receivingLevel(), 30);
}

TEST(ChargeFlowState, ResetGoesBackToTheStartValues) {
    ChargeFlow a;
    a.trackEdges(0x08);
    a.stepLevels();
    a.storePrevious(0x08);
    EXPECT_EQ(a.receivingLevel(), 10);
    EXPECT_EQ(a.previous(), 0x08);
    a.reset();
    EXPECT_EQ(a.receivingLevel(), 0);
    EXPECT_EQ(a.previous(), 0);
}

namespace {
// A value that counts how many of its kind are alive.
struct Counted {
    static inline int alive = 0;
    int value;
    explicit Counted(int v) : value(v) { ++alive; }
    Counted(const Counted& other) : value(other.value) { ++alive; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --alive; }
};
} // namespace

// The mimic's kept pictures: the same key gives the value made for it; a new key past the
// bound pushes out the one made longest ago, and no more values than the bound are ever alive.
TEST(MimicRecentCache, KeepsTheLastKeysAndNoMore) {
    {
        RecentCache<int, Counted, 3> cache;
        std::vector<int> made;
        auto get = [&](int key) {
            return cache
                .get(key,
                     [&] {
                         made.push_back(key);
                         return Counted(key * 10);
                     })
                .value;
        };
        for (int key : {1, 2, 3, 1, 2, 3})
            EXPECT_EQ(get(key), key * 10);
        EXPECT_EQ(made, (std::vector<int>{1, 2, 3}));

        EXPECT_EQ(get(4), 40); // takes key 1's place
        EXPECT_EQ(get(2), 20);
        EXPECT_EQ(get(3), 30);
        EXPECT_EQ(get(1), 10); // made again, in key 2's place
        EXPECT_EQ(made, (std::vector<int>{1, 2, 3, 4, 1}));

        for (int key = 100; key < 1100; ++key)
            get(key);
        EXPECT_EQ(Counted::alive, 3);
    }
    EXPECT_EQ(Counted::alive, 0);
}
