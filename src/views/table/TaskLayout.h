#pragma once
// Where each field of the setpoint table lives in the two task blocks the controller takes
// (block 1 at offset 130, 7 bytes; block 2 at offset 137, 13 bytes), and the range its field
// admits. Setpoints are 16-bit words, low byte first; codes and portion counts are one byte.
#include <array>
#include <cstdint>

namespace task {

using Block1 = std::array<std::uint8_t, 7>;
using Block2 = std::array<std::uint8_t, 13>;

enum class Kind { Setpoint, Code, Portions };

struct Field {
    const char* name; // the spin field's name in the window
    int block;        // 1 or 2
    int offset;       // first byte in the block
    Kind kind;
    int minimum;
    int maximum;
};

constexpr int kSetpointMax = 1000;

// Block 1: dosers 1 and 4, furnace 1. Block 2: dosers 5, 2, 6 and 3, furnace 2. A field's
// number is the doser's place in the order 5, 2, 6, 3, 1, 4 (seZad1 is doser 5).
// The material codes of dosers 3 and 6 admit 0 to 9, as the legend does.
constexpr std::array<Field, 14> kFields = {{
    {"seZad5", 1, 0, Kind::Setpoint, 0, kSetpointMax},
    {"seKod5", 1, 2, Kind::Code, 0, 9},
    {"seZad6", 1, 3, Kind::Setpoint, 0, kSetpointMax},
    {"seKod6", 1, 5, Kind::Code, 0, 9},
    {"sePortion1", 1, 6, Kind::Portions, 1, 9},
    {"seZad1", 2, 0, Kind::Setpoint, 0, kSetpointMax},
    {"seKod1", 2, 2, Kind::Code, 0, 8},
    {"seZad2", 2, 3, Kind::Setpoint, 0, kSetpointMax},
    {"seKod2", 2, 5, Kind::Code, 0, 9},
    {"seZad3", 2, 6, Kind::Setpoint, 0, kSetpointMax},
    {"seKod3", 2, 8, Kind::Code, 0, 9},
    {"seZad4", 2, 9, Kind::Setpoint, 0, kSetpointMax},
    {"seKod4", 2, 11, Kind::Code, 0, 9},
    {"sePortion2", 2, 12, Kind::Portions, 1, 9},
}};

// The number in a field's name (seZad1..6, seKod1..6) of the panel of plant doser 1..6.
int fieldNumberOfDoser(int doser);

// The raw value a field starts from: the word or byte at its place in its block.
int rawValue(const Field& f, const Block1& b1, const Block2& b2);
// A value brought into the field's range.
int clamp(const Field& f, int value);
// Stores a value at the field's place: a setpoint as low byte then high byte, a code or
// portion count as the low byte of the value.
void store(const Field& f, int value, Block1& b1, Block2& b2);

} // namespace task
