#pragma once

#include "link/engine_state.h"
#include "link/frame_receiver.h"

#include <array>

namespace pravenor::link {

class ByteLayer;

// What an exchange reports when its reply fails, and whether each failure counts towards
// the engine's cancellation. A text left null is not reported.
struct ReplyFailures
{
    std::array<const char*, 3> timeOut; // no SOH, no LEN, the body not complete
    const char* checksum;
    const char* tooLong;
    std::array<Tally, 3> timeOutTally{Tally::Failure, Tally::Failure, Tally::Failure};
    Tally checksumTally = Tally::Failure;
};

// One tick of receiving an exchange's reply, for the run of reception states that starts
// at first.
struct ReplyStep
{
    Reception reception;
    EngineState next;              // the same state while waiting, the next one on, else Idle
    const char* failure = nullptr; // the failure's text from the table
    Tally tally = Tally::None;     // the failure's tally from the table
    bool failed() const { return next == EngineState::Idle; }
};

ReplyStep ReceiveReply(FrameReceiver& receiver, ByteLayer& bytes, EngineState state,
                       EngineState first, const ReplyFailures& failures);

} // namespace pravenor::link
