#include "link/frame_receiver.h"

#include "link/byte_layer.h"
#include "link/protocol.h"

namespace pravenor::link {

void FrameReceiver::clearBuffer(int count)
{
    for (int i = 0; i < count && i < kBufferSize; ++i)
        RxBuffer[static_cast<std::size_t>(i)] = -1;
}

void FrameReceiver::start()
{
    RxCount = 0;
    ReplyTimeout = m_replyTicks;
}

void FrameReceiver::countDown(int ticks)
{
    ReplyTimeout = ReplyTimeout > ticks ? ReplyTimeout - ticks : 0;
}

void FrameReceiver::store(int byte)
{
    if (RxCount >= 0 && RxCount < kBufferSize)
        RxBuffer[static_cast<std::size_t>(RxCount)] = static_cast<std::int16_t>(byte);
    ++RxCount;
}

Reception FrameReceiver::waitForSoh(ByteLayer& bytes)
{
    if (bytes.ReadByte() == protocol::kSoh) {
        bytes.Checksum = 1;
        store(protocol::kSoh);
        ReplyTimeout = m_replyTicks;
        return Reception::Next;
    }
    return ReplyTimeout == 0 ? Reception::TimedOut : Reception::Waiting;
}

Reception FrameReceiver::waitForLen(ByteLayer& bytes)
{
    const int len = bytes.ReadByte();
    if (len >= 0) {
        bytes.AddToChecksum(len);
        store(len);
        ExpectedLen = len;
        ReplyTimeout = m_replyTicks;
        return Reception::Next;
    }
    return ReplyTimeout == 0 ? Reception::TimedOut : Reception::Waiting;
}

Reception FrameReceiver::takeBody(ByteLayer& bytes)
{
    bool progressed = false;
    for (int byte = bytes.ReadByte(); byte >= 0; byte = bytes.ReadByte()) {
        progressed = true;
        bytes.AddToChecksum(byte);
        store(byte);
        if (RxCount > protocol::kMaxReplyBytes)
            return Reception::TooLong;
        if (RxCount > ExpectedLen)
            return bytes.Checksum == 0 ? Reception::Complete : Reception::ChecksumError;
    }
    if (progressed) {
        ReplyTimeout = m_replyTicks;
        return Reception::Waiting;
    }
    return ReplyTimeout == 0 ? Reception::TimedOut : Reception::Waiting;
}

Reception FrameReceiver::step(int phase, ByteLayer& bytes)
{
    switch (phase) {
    case kSoh:
        return waitForSoh(bytes);
    case kLen:
        return waitForLen(bytes);
    default:
        return takeBody(bytes);
    }
}

int FrameReceiver::at(int offset) const
{
    if (offset < 0 || offset >= kBufferSize)
        return -1;
    return RxBuffer[static_cast<std::size_t>(offset)];
}

} // namespace pravenor::link
