#include "Frame.h"

#include <array>

namespace frame {
namespace {

// The reflected CRC-16 table for polynomial 0xA001.
constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        std::uint16_t c = static_cast<std::uint16_t>(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : (c >> 1);
        t[i] = c;
    }
    return t;
}
constexpr std::array<std::uint16_t, 256> kCrcTable = makeTable();

} // namespace

std::uint16_t crc16(const std::uint8_t* data, int count) {
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFF]);
    return crc;
}

int build(const std::uint8_t* payload, int count, std::uint8_t* out, int capacity) {
    int n = 0;
    auto put = [&](std::uint8_t b) {
        if (n < capacity)
            out[n] = b;
        ++n;
    };
    put(DLE);
    put(STX);
    for (int i = 0; i < count; ++i) {
        put(payload[i]);
        if (payload[i] == DLE)
            put(DLE);
    }
    put(DLE);
    put(ETX);
    const std::uint16_t crc = crc16(payload, count);
    put(static_cast<std::uint8_t>(crc & 0xFF)); // low byte first
    put(static_cast<std::uint8_t>(crc >> 8));
    return n <= capacity ? n : 0;
}

bool endsWithCompleteFrame(const std::uint8_t* data, int n) {
    int end = -1; // position just past the last frame end seen
    int i = 0;
    while (i + 1 < n) {
        if (data[i] != DLE) {
            ++i;
            continue;
        }
        if (data[i + 1] == ETX) {
            if (i + 4 > n)
                return false; // CRC bytes still to come
            end = i + 4;
            i = end;
        } else {
            i += 2; // a doubled DLE, DLE STX, or a stray pair
        }
    }
    return end == n;
}

Answer judge(const std::uint8_t* rx, int n, std::uint8_t sentReceiver, std::uint8_t sentSender,
             std::uint8_t* payload, int* length) {
    *length = 0;
    if (n < 6 || n > kBufSize)
        return Answer::Malformed;
    if (rx[0] != DLE || rx[1] != STX || rx[n - 4] != DLE || rx[n - 3] != ETX)
        return Answer::Malformed;
    // Un-stuff: a DLE is copied and arms the flag; a DLE arriving while armed is dropped.
    int j = 0;
    bool armed = false;
    for (int i = 2; i <= n - 5; ++i) {
        if (rx[i] == DLE) {
            if (armed) {
                armed = false;
                continue;
            }
            armed = true;
        }
        payload[j++] = rx[i];
    }
    *length = j;
    const std::uint16_t crc = crc16(payload, j);
    if (rx[n - 2] != (crc & 0xFF) || rx[n - 1] != (crc >> 8))
        return Answer::Malformed;
    if (j < 3 || payload[0] != sentSender || payload[1] != sentReceiver)
        return Answer::Malformed;
    if (payload[2] == kReadAnswer && j == kReadAnswerPayload)
        return Answer::Read;
    if (payload[2] == kWriteAnswer && j == kWriteAnswerPayload)
        return Answer::Write;
    return Answer::Malformed;
}

} // namespace frame
