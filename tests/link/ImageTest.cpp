// The process image: number encodings, dose rows and the setpoint copy.
#include "ProcessImage.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<std::uint8_t, 130> answer() {
    std::array<std::uint8_t, 130> a{};
    for (int k = 0; k < 130; ++k)
        a[k] = static_cast<std::uint8_t>(k + 1);
    return a;
}

TEST(Image, WordEncodings) {
    struct Case {
        std::uint8_t lo, hi;
        int word, sword;
    };
    const Case cases[] = {
        {0xF6, 0xFF, 0xFFF6, -10},  {0x10, 0x27, 10000, 10000}, {0x00, 0x80, 0x8000, -32768},
        {0xFF, 0x7F, 32767, 32767}, {0x00, 0x00, 0, 0},
    };
    for (const auto& c : cases) {
        auto a = answer();
        a[15] = c.lo;
        a[16] = c.hi;
        ProcessImage image;
        image.update(a.data());
        const ImageData d = image.snapshot();
        EXPECT_EQ(d.word(15), c.word) << int(c.lo) << " " << int(c.hi);
        EXPECT_EQ(d.sword(15), c.sword) << int(c.lo) << " " << int(c.hi);
    }
}

TEST(Image, BitsAndZerosBeforeFirstAnswer) {
    ProcessImage image;
    EXPECT_FALSE(image.hasFirstAnswer());
    const ImageData before = image.snapshot();
    for (int k = 0; k < ImageData::kSize; ++k)
        ASSERT_EQ(before.byte(k), 0) << k;
    auto a = answer();
    a[24] = 0x80;
    image.update(a.data());
    const ImageData d = image.snapshot();
    EXPECT_TRUE(d.bit(24, 7));
    EXPECT_FALSE(d.bit(24, 6));
    EXPECT_EQ(d.byte(89), 90);
    // Bytes 128 and 129 are received and dropped.
    EXPECT_EQ(d.byte(128), 0);
    EXPECT_EQ(d.byte(129), 0);
}

TEST(Image, DoseRowsTakeTheirSectionsModeByte) {
    auto a = answer();
    a[102] = 0x01; // section 1 automatic
    a[127] = 0x00; // section 2 not
    ProcessImage image;
    image.update(a.data());
    const auto& rows = image.doseRows();
    // Rows in the order of dosers 5, 2, 6, 3, 1, 4 with their entries' first bytes.
    const int firstByte[6] = {103, 109, 115, 121, 90, 96};
    const int mode[6] = {0x00, 0x00, 0x00, 0x00, 0x01, 0x01};
    for (int r = 0; r < 6; ++r) {
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(rows[r].current[i], a[firstByte[r] + i]) << "row " << r << " byte " << i;
        EXPECT_EQ(rows[r].current[6], mode[r]) << "row " << r;
        EXPECT_EQ(rows[r].previous, DosePart{}) << "row " << r;
    }
}

TEST(Image, SetpointCopyKeepsFirstAnswerUntilOwnWrite) {
    auto a = answer();
    ProcessImage image;
    image.update(a.data());
    const std::array<std::uint8_t, 7> block1 = {3, 4, 5, 6, 7, 8, 14};
    const std::array<std::uint8_t, 13> block2 = {33, 34, 35, 36, 37, 38, 39,
                                                 40, 41, 42, 43, 44, 54};
    EXPECT_EQ(image.setpoints().block1, block1);
    EXPECT_EQ(image.setpoints().block2, block2);

    // The controller's setpoints change by other means: the copy keeps the first answer.
    for (auto& b : a)
        b = 0xEE;
    image.update(a.data());
    EXPECT_EQ(image.snapshot().byte(2), 0xEE);
    EXPECT_EQ(image.setpoints().block1, block1);
    EXPECT_EQ(image.setpoints().block2, block2);

    const std::array<std::uint8_t, 7> sent = {232, 3, 2, 0, 0, 0, 9};
    image.setBlock1(sent);
    EXPECT_EQ(image.setpoints().block1, sent);
    EXPECT_EQ(image.setpoints().block2, block2);
}

} // namespace
