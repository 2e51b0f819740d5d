#pragma once
// The controller's frame format: DLE STX, the payload with every DLE doubled, DLE ETX and the
// CRC-16/MODBUS of the unstuffed payload, low byte first. Pure functions on fixed buffers,
// shared by the station's link and the plant simulator.
#include <cstdint>

namespace frame {

constexpr std::uint8_t DLE = 0x10;
constexpr std::uint8_t STX = 0x02;
constexpr std::uint8_t ETX = 0x03;
constexpr int kBufSize = 256;
constexpr int kReadAnswerPayload = 133; // addresses, function 0x81, 130 data bytes
constexpr int kWriteAnswerPayload = 4;  // addresses, function 0x82, status byte
constexpr std::uint8_t kReadAnswer = 0x81;
constexpr std::uint8_t kWriteAnswer = 0x82;

// CRC-16/MODBUS (reflected polynomial 0xA001, start 0xFFFF, no final XOR).
std::uint16_t crc16(const std::uint8_t* data, int count);

// Writes the frame of a payload into out; returns its length, or 0 when it would not fit.
int build(const std::uint8_t* payload, int count, std::uint8_t* out, int capacity);

// True when the bytes read so far end exactly where a frame ends: an undoubled DLE ETX
// followed by the two CRC bytes (which are never doubled).
bool endsWithCompleteFrame(const std::uint8_t* data, int n);

// What an answer turned out to be.
enum class Answer { Malformed, Read, Write };

// Takes apart an answer of n bytes sent in reply to a request from sentSender to
// sentReceiver. The unstuffed payload goes to payload (kBufSize bytes), its length to
// *length. A Read answer is 133 bytes long and carries function 0x81; a Write answer is
// 4 bytes long with function 0x82 and the controller's status in payload[3].
Answer judge(const std::uint8_t* rx, int n, std::uint8_t sentReceiver, std::uint8_t sentSender,
             std::uint8_t* payload, int* length);

} // namespace frame
