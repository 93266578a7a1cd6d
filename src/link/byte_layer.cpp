#include "link/byte_layer.h"

#include "link/line_tap.h"
#include "link/serial_port.h"

namespace pravenor::link {

ByteLayer::ByteLayer(SerialPort& port) : m_port(port) {}

std::int16_t ByteLayer::SendByte(int value)
{
    if (value < 0 || value > 255)
        return -1;
    TxActivity = true;
    if (!m_port.writeByte(static_cast<std::uint8_t>(value)))
        return -1;
    if (m_tap)
        m_tap->byteCrossed(Direction::Sent, static_cast<std::uint8_t>(value));
    return 0;
}

std::int16_t ByteLayer::ReadByte()
{
    if (m_port.bytesWaiting() < 1)
        return -1;
    RxActivity = true;
    const int byte = m_port.readByte();
    if (byte < 0 || byte > 255)
        return -1;
    if (m_tap)
        m_tap->byteCrossed(Direction::Received, static_cast<std::uint8_t>(byte));
    return static_cast<std::int16_t>(byte);
}

void ByteLayer::ClearInput()
{
    m_port.discardInput();
}

void ByteLayer::AddToChecksum(int byte)
{
    Checksum = (Checksum + byte) % 256;
}

std::int16_t ByteLayer::SendByteSum(int byte)
{
    const std::int16_t result = SendByte(byte);
    if (result == 0)
        AddToChecksum(byte);
    return result;
}

int ByteLayer::ChecksumByte() const
{
    return Checksum == 0 ? 0 : 256 - Checksum;
}

void ByteLayer::sendFrame(const Frame& frame)
{
    if (m_tap)
        m_tap->frameStarts();
    for (const std::uint8_t byte : frame)
        SendByte(byte);
}

} // namespace pravenor::link
