#pragma once
// The arithmetic of the mimic diagram that needs no drawing: fill levels and heights with
// rounding to the even neighbour, the skip position, the cart offsets from the position bits,
// the mode text choice and the material colour table.
#include "ProcessImage.h"

#include <array>
#include <cstdint>

namespace mimic {

// num / den rounded to the nearest integer, an exact half to the even neighbour (den > 0).
int roundHalfEven(long long num, long long den);

// Weigh-hopper level from a doser's current weight: weight / 10 rounded, 0 when negative.
int weighHopperLevel(int weight);
// Level of a big bunker from its signed level word: word / 2 rounded, 0 when negative.
int bigBunkerLevel(int signedWord);
// Height in pixels of a fill of `level` percent over `span` pixels.
int fillHeight(int level, int span);

// Skip position from image byte 81: the lowest of bits 0 to 3 that is set gives 1 to 4,
// none gives 0 (skip not shown).
int skipPosition(std::uint8_t b81);

// A bit of the image: byte offset and bit number.
struct Bit {
    int byte, bit;
};
// Where each doser's values sit in the image, by the mimic's control suffix 1 to 6 (the
// plant's dosers 5, 2, 6, 3, 1 and 4): setpoint, material code, corrected setpoint and
// current weight words or bytes, then the gate, mode, feeder, dose, zero, feeder fault, gate
// fault and load-cell bits.
struct DoserSource {
    int zad, material, skZad, weight;
    Bit gateOpen, modeBit, feeder, doza, null, avVp, avZat, tenz;
};
inline constexpr DoserSource kDoserSource[7] = {
    {},
    {32, 34, 45, 55, {68, 0}, {30, 0}, {67, 0}, {72, 0}, {72, 4}, {74, 0}, {74, 4}, {73, 0}},
    {35, 37, 47, 57, {68, 2}, {30, 1}, {67, 2}, {72, 1}, {72, 5}, {74, 1}, {74, 5}, {73, 1}},
    {38, 40, 49, 59, {68, 4}, {30, 2}, {67, 4}, {72, 2}, {72, 6}, {74, 2}, {74, 6}, {73, 2}},
    {41, 43, 51, 61, {68, 6}, {30, 3}, {67, 6}, {72, 3}, {72, 7}, {74, 3}, {74, 7}, {73, 3}},
    {2, 4, 9, 15, {19, 0}, {0, 0}, {19, 4}, {23, 0}, {23, 4}, {24, 4}, {24, 6}, {24, 0}},
    {5, 7, 11, 17, {19, 2}, {0, 1}, {19, 6}, {23, 1}, {23, 5}, {24, 5}, {24, 7}, {24, 1}},
};
// The plant's doser number of each control suffix 1 to 6.
inline constexpr int kDoserOfSuffix[7] = {0, 5, 2, 6, 3, 1, 4};

// x offset of the cart's left edge inside its strip for each position.
inline constexpr std::array<int, 9> kCart1Offsets = {122, 244, 214, 152, 90, 30, 0, 60, 184};
inline constexpr std::array<int, 7> kCart2Offsets = {140, 230, 198, 166, 104, 74, 42};
inline constexpr int kCartWidth = 68;
inline constexpr int kCartStripWidth = 315;

// The cart's x offset from its position bits: positions are examined from 0 upwards and every
// set bit overwrites the offset, so the highest set position wins; with no bit set the
// previous offset stays.
int cart1Offset(const ImageData& image, int previous);
int cart2Offset(const ImageData& image, int previous);

// Which of the three mode texts a mode byte shows: 1 local, 2 remote, 3 automatic, 0 none.
int modeByteText(std::uint8_t value);
// A mode bit: 0 shows the local text (1), 1 the remote text (2).
inline int modeBitText(bool bit) {
    return bit ? 2 : 1;
}

} // namespace mimic
