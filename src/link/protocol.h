#pragma once

#include <array>
#include <cstdint>

// The converter's wire protocol: the bytes that both ends must agree on. Shared by the
// program's link and by the simulated converter, and by nothing else of either.
namespace pravenor::protocol {

// Frame: SOH, LEN (bytes after SOH, LEN and checksum included), body, checksum. The sum of
// all bytes of a frame is 0 modulo 256.
constexpr std::uint8_t kSoh = 0x01;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNack = 0x15;
constexpr std::uint8_t kFieldStart = 0x1F; // a field is a tag, kFieldStart, its text, kFieldEnd
constexpr std::uint8_t kFieldEnd = 0x1E;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

// Every request body starts with these three bytes.
constexpr std::array<std::uint8_t, 3> kRequestHeader = {0x01, 0x00, 0x02};

// The command at offset 5 of a request.
constexpr std::uint8_t kCommandRead = 0x77;           // 'w', also the value tag of a write
constexpr std::uint8_t kCommandWrite = 0x57;          // 'W'
constexpr std::uint8_t kCommandRestart = 0x52;        // 'R'
constexpr std::uint8_t kCommandBufferPosition = 0x32; // '2'
constexpr std::uint8_t kCommandPagerCall = 0x41;      // 'A', the first field tag of a call

// Reply offsets that the program judges.
constexpr int kOffsetLen = 1;
constexpr int kOffsetStatus = 4;         // kAck: accepted
constexpr int kOffsetItem = 7;           // a read reply's item
constexpr int kOffsetBufferPosition = 7; // the digit of a buffer position reply
constexpr int kOffsetValue = 11;         // a read reply's value byte or first text byte

// Sent before a request when the converter may have fallen asleep.
constexpr std::array<std::uint8_t, 4> kWakeUpSequence = {0x01, 0x01, 0x80, 0x7F};

// The longest reply accepted: LEN 197, 198 bytes in all.
constexpr int kMaxReplyBytes = 198;

} // namespace pravenor::protocol
