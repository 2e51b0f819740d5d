#pragma once
// The station's copy of the controller's data area, image bytes 0 to 129 of the last good
// read answer, with the copies derived from it: the dose rows and the setpoint copy.
// The poll thread stores answers; readers on any thread take a consistent copy under the lock.
#include <array>
#include <cstdint>
#include <mutex>

// A plain copy of the 130 image bytes with the number encodings of the data area.
struct ImageData {
    static constexpr int kSize = 130;
    std::array<std::uint8_t, kSize> b{};

    std::uint8_t byte(int k) const { return b[k]; }
    bool bit(int k, int bitNo) const { return (b[k] >> bitNo) & 1; }
    // Unsigned word, low byte first.
    int word(int k) const { return b[k] | (b[k + 1] << 8); }
    // Signed word, two's complement.
    int sword(int k) const { return static_cast<std::int16_t>(word(k)); }
};

// One doser's completed-dose entry as the dosing check sees it: counter, corrected setpoint
// (word), material code, weight discharged (word), the section's mode byte.
using DosePart = std::array<std::uint8_t, 7>;

struct DoseRow {
    DosePart current{};
    DosePart previous{};
};

// Setpoint blocks as the setpoint table sends them: block 1 is image bytes 2..7 and 13,
// block 2 is image bytes 32..43 and 53.
struct SetpointCopy {
    std::array<std::uint8_t, 7> block1{};
    std::array<std::uint8_t, 13> block2{};
};

class ProcessImage {
public:
    // Dose rows are kept in the order of dosers 5, 2, 6, 3, 1, 4.
    static constexpr std::array<int, 6> kRowDoser = {5, 2, 6, 3, 1, 4};
    static constexpr std::array<int, 6> kRowEntry = {103, 109, 115, 121, 90, 96};
    static constexpr std::array<int, 6> kRowMode = {127, 127, 127, 127, 102, 102};

    // Stores a good read answer's 130 data bytes (bytes 128 and 129 are dropped); the
    // first answer after start-up also fills the setpoint copy.
    void update(const std::uint8_t* data);

    ImageData snapshot() const;
    SetpointCopy setpoints() const;
    // A successful setpoint write replaces the block it sent.
    void setBlock1(const std::array<std::uint8_t, 7>& block);
    void setBlock2(const std::array<std::uint8_t, 13>& block);
    bool hasFirstAnswer() const;
    // Start-up values: everything zero, first-answer flag clear.
    void reset();

    // A copy of the dose rows, taken under the lock.
    std::array<DoseRow, 6> doseRows() const;
    // The dose rows as they stand, taken under the lock; each row's previous part then becomes
    // its current one, ready for the next cycle's comparison (the dosing check, once a cycle).
    std::array<DoseRow, 6> takeDoseRows();

private:
    mutable std::mutex mutex_;
    ImageData data_;
    SetpointCopy setpoints_;
    bool firstAnswer_ = false;
    std::array<DoseRow, 6> rows_{};
};
