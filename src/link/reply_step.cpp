#include "link/reply_step.h"

#include <cstddef>

namespace pravenor::link {

ReplyStep ReceiveReply(FrameReceiver& receiver, ByteLayer& bytes, EngineState state,
                       EngineState first, const ReplyFailures& failures)
{
    const int phase = ReceptionPhase(state, first);
    const Reception reception = receiver.step(phase, bytes);
    switch (reception) {
    case Reception::Waiting:
        return {reception, state};
    case Reception::Next:
    case Reception::Complete:
        return {reception, NextState(state)};
    case Reception::TimedOut: {
        const auto at = static_cast<std::size_t>(phase);
        return {reception, EngineState::Idle, failures.timeOut[at], failures.timeOutTally[at]};
    }
    case Reception::ChecksumError:
        return {reception, EngineState::Idle, failures.checksum, failures.checksumTally};
    case Reception::TooLong:
        return {reception, EngineState::Idle, failures.tooLong};
    }
    return {reception, EngineState::Idle};
}

} // namespace pravenor::link
