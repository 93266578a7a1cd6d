#pragma once

#include "link/frames.h"

#include <cstdint>

namespace pravenor::link {

class LineTap;
class SerialPort;

// Single bytes to and from the converter, and the running checksum of a frame. A frame's
// bytes sum to 0 modulo 256.
class ByteLayer
{
public:
    explicit ByteLayer(SerialPort& port);

    // 0 when sent; -1 for a value outside 0..255 (nothing sent) or a failing port.
    std::int16_t SendByte(int value);
    // The next byte 0..255, or -1 when none is waiting.
    std::int16_t ReadByte();
    void ClearInput();

    void AddToChecksum(int byte);
    // SendByte, and the byte counts in the checksum only when it was sent.
    std::int16_t SendByteSum(int byte);
    int ChecksumByte() const;
    // A frame built whole, checksum included, put on the line byte by byte.
    void sendFrame(const Frame& frame);

    // A monitor that sees every byte; nullptr when nobody watches.
    void setTap(LineTap* tap) { m_tap = tap; }

    int Checksum = 0;        // 0..255
    bool TxActivity = false; // a byte was sent; the activity indicator clears it
    bool RxActivity = false; // a byte was taken from the input

private:
    SerialPort& m_port;
    LineTap* m_tap = nullptr;
};

} // namespace pravenor::link
