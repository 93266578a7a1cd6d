#pragma once

#include "link/pace.h"

#include <array>
#include <cstdint>

namespace pravenor::link {

class ByteLayer;

// Where a reply stands after one tick of reception.
enum class Reception
{
    Waiting,       // nothing decided yet; try again next tick
    Next,          // SOH or LEN came; go on with the next phase
    Complete,      // all LEN + 1 bytes are in and the checksum is right
    ChecksumError, // all bytes are in, the checksum is wrong
    TooLong,       // more than 198 bytes
    TimedOut,      // the reply wait passed without the byte the phase waits for
};

// Takes in one reply frame over several ticks: SOH (one byte a tick), LEN (one byte a tick),
// then the body (everything that is waiting, every tick). Every phase gives up after
// the reply wait (3 s) without the byte it waits for; the body phase too, so that a reply that
// stops halfway cannot hold the link for ever.
class FrameReceiver
{
public:
    static constexpr int kBufferSize = 201;

    // The ticks that make up the reply wait at the engine's pace.
    void setReplyTicks(int ticks) { m_replyTicks = ticks; }
    int replyTicks() const { return m_replyTicks; }
    // RxBuffer entries 0..count-1 := -1 (empty), before a request is sent.
    void clearBuffer(int count);
    // After the request is sent: RxCount := 0, ReplyTimeout := the reply wait.
    void start();
    // Once a tick, before the step: `ticks` busy ticks have passed.
    void countDown(int ticks);

    Reception waitForSoh(ByteLayer& bytes);
    Reception waitForLen(ByteLayer& bytes);
    Reception takeBody(ByteLayer& bytes);

    // The three phases in the order the engine's states run them.
    enum Phase
    {
        kSoh = 0,
        kLen = 1,
        kBody = 2,
    };
    Reception step(int phase, ByteLayer& bytes);

    // The reply byte at offset, or -1 when that entry is empty.
    int at(int offset) const;

    std::array<std::int16_t, kBufferSize> RxBuffer{};
    int RxCount = 0;
    int ExpectedLen = 0;
    int ReplyTimeout = 0;

private:
    void store(int byte);

    int m_replyTicks = kStandardPace.ticks(kReplyWait);
};

} // namespace pravenor::link
