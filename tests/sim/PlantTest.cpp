// The simulated plant: plausible dosing, the task writes, and the moving equipment.
#include "PlantModel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

int word(const std::array<std::uint8_t, 130>& b, int k) {
    return b[k] | (b[k + 1] << 8);
}
int sword(const std::array<std::uint8_t, 130>& b, int k) {
    return static_cast<std::int16_t>(word(b, k));
}

// Image positions per plant doser: set dose, weight, completed-dose entry.
struct Where {
    int setpoint, weight, entry;
};
const std::map<int, Where> kWhere = {{1, {2, 15, 90}},   {4, {5, 17, 96}},   {5, {32, 55, 103}},
                                     {2, {35, 57, 109}}, {6, {38, 59, 115}}, {3, {41, 61, 121}}};

TEST(Plant, DosesArePlausibleAndRecordedInTheirEntries) {
    PlantModel plant;
    std::map<int, std::vector<double>> doseTimes;
    std::map<int, int> lastCounter;
    std::set<int> skipPositions;
    int maxPortion = 0;
    for (int tick = 0; tick < 6000; ++tick) { // ten minutes in 0.1 s steps
        plant.advance(0.1);
        const auto b = plant.image();
        for (const auto& [no, w] : kWhere) {
            const int setpoint = word(b, w.setpoint);
            const int weight = sword(b, w.weight);
            ASSERT_GE(weight, 0) << "doser " << no;
            ASSERT_LE(weight, setpoint * 11 / 10) << "doser " << no;
            const int counter = b[w.entry];
            if (counter != lastCounter[no]) {
                ASSERT_NE(counter, 0) << "a counter never moves back to 0";
                lastCounter[no] = counter;
                doseTimes[no].push_back(plant.time());
                // Entry: corrected setpoint, material code, weight discharged near the task.
                const int corrected = word(b, w.entry + 1);
                const int discharged = word(b, w.entry + 4);
                EXPECT_NEAR(corrected, setpoint, setpoint * 0.1) << "doser " << no;
                EXPECT_NEAR(discharged, setpoint, setpoint * 0.05) << "doser " << no;
                EXPECT_EQ(b[w.entry + 3], b[w.setpoint + 2]) << "doser " << no;
                EXPECT_LE(b[w.entry + 3], 9);
            }
        }
        for (int bit = 0; bit < 4; ++bit)
            if (b[81] & (1 << bit))
                skipPositions.insert(bit + 1);
        maxPortion = std::max(maxPortion, int(b[14]));
        EXPECT_EQ(b[102] & 1, 1);
    }
    for (const auto& [no, times] : doseTimes) {
        ASSERT_GE(times.size(), 10u) << "doser " << no;
        for (std::size_t i = 1; i < times.size(); ++i) {
            EXPECT_GE(times[i] - times[i - 1], 10.0) << "doser " << no;
            EXPECT_LE(times[i] - times[i - 1], 40.0) << "doser " << no;
        }
    }
    EXPECT_EQ(doseTimes.size(), 6u);
    EXPECT_EQ(skipPositions, (std::set<int>{1, 2, 3, 4}));
    EXPECT_GT(maxPortion, 5);
}

TEST(Plant, TaskWritesShowInTheImage) {
    PlantModel plant;
    const std::uint8_t block1[7] = {232, 3, 9, 0x10, 0, 0, 12}; // 1000 kg, code 9; 16 kg; 12
    const std::uint8_t block2[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 30};
    EXPECT_EQ(plant.write(130, block1, 7), 0);
    EXPECT_EQ(plant.write(137, block2, 13), 0);
    const auto b = plant.image();
    EXPECT_EQ(word(b, 2), 1000);
    EXPECT_EQ(b[4], 9);
    EXPECT_EQ(word(b, 5), 16);
    EXPECT_EQ(b[7], 0);
    EXPECT_EQ(b[13], 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(b[32 + i], block2[i]) << i;
    EXPECT_EQ(b[53], 30);
    EXPECT_EQ(plant.doser(3).setpoint, 10 | (11 << 8));
    EXPECT_EQ(plant.portionsSet(2), 30);
}

TEST(Plant, WritesOutsideTheTaskBytesAreRefused) {
    PlantModel plant;
    const std::uint8_t data[13] = {};
    const auto before = plant.image();
    EXPECT_EQ(plant.write(129, data, 2), PlantModel::kStatusBadRange);
    EXPECT_EQ(plant.write(140, data, 13), PlantModel::kStatusBadRange);
    EXPECT_EQ(plant.write(130, data, 0), PlantModel::kStatusBadRange);
    EXPECT_EQ(plant.image(), before);
}

TEST(Plant, ZeroSetpointStopsDosing) {
    PlantModel plant;
    const std::uint8_t block1[7] = {0, 0, 2, 0, 0, 7, 20};
    plant.write(130, block1, 7);
    plant.advance(120);
    const auto b = plant.image();
    EXPECT_EQ(b[90], 0);
    EXPECT_EQ(b[96], 0);
    EXPECT_EQ(sword(b, 15), 0);
    EXPECT_NE(b[103], 0); // section 2 goes on
}

TEST(Plant, FaultsComeAndGoOnlyWhenAsked) {
    auto faultBits = [](const std::array<std::uint8_t, 130>& b) {
        return b[24] | b[25] | b[73] | b[74] | b[75] | (b[76] & 0xFC) | b[83] | b[84] | b[88];
    };
    PlantModel quiet(0);
    PlantModel faulty(3);
    int quietSeen = 0, faultySeen = 0, faultyClear = 0;
    for (int s = 0; s < 600; ++s) {
        quiet.advance(1);
        faulty.advance(1);
        quietSeen += faultBits(quiet.image()) != 0;
        faultBits(faulty.image()) != 0 ? ++faultySeen : ++faultyClear;
    }
    EXPECT_EQ(quietSeen, 0);
    EXPECT_GT(faultySeen, 0);
    EXPECT_GT(faultyClear, 0);
}

TEST(Plant, AFaultBitRaisedByRequestStaysUntilCleared) {
    PlantModel plant(0);
    ASSERT_TRUE(plant.setFault(24, 7, true));
    ASSERT_TRUE(plant.setFault(84, 2, true));
    for (int s = 0; s < 120; ++s)
        plant.advance(1);
    EXPECT_EQ(plant.image()[24] & 0x80, 0x80);
    EXPECT_EQ(plant.image()[84] & 0x04, 0x04);
    ASSERT_TRUE(plant.setFault(24, 7, false));
    EXPECT_EQ(plant.image()[24] & 0x80, 0);
    EXPECT_EQ(plant.image()[84] & 0x04, 0x04);
    // Only the alarm status bytes.
    EXPECT_FALSE(plant.setFault(23, 0, true));
    EXPECT_FALSE(plant.setFault(24, 8, true));
}

} // namespace
