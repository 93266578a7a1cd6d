#include "link/service_exchange.h"

#include "app/text_functions.h"
#include "link/byte_layer.h"
#include "link/frame_receiver.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/reply_step.h"
#include "settings/setting_controls.h"

#include <array>

namespace pravenor::link {

namespace p = protocol;

namespace {

constexpr int kReplyBufferEntries = 200;

// The restart counts no failures: a converter that is restarting may well not answer.
constexpr std::array kNoneCounted{Tally::None, Tally::None, Tally::None};
// A pager call's missing SOH or body counts; a missing LEN has never counted.
constexpr std::array kLenUncounted{Tally::Failure, Tally::None, Tally::Failure};

constexpr ReplyFailures kRestartFailures{
    {"ERROR: TimeOut sending RESET command to converter. (SOH)",
     "ERROR: TimeOut sending RESET command to converter. (LEN)",
     "ERROR: TimeOut sending RESET command to converter. (body)"},
    "ERROR: Checksum error sending RESET command to converter.",
    nullptr,
    kNoneCounted,
    Tally::None};
constexpr ReplyFailures kPositionFailures{
    {"ERROR: TimeOut sending Paging call via Pravenor (SOH request BufPos)",
     "ERROR: TimeOut sending Paging call via Pravenor (Len request BufPos)",
     "ERROR: TimeOut sending Paging call via Pravenor (body request BufPos)"},
    "ERROR: Checksum error sending PagingCall to converter (CheckSumn request BufPos)",
    nullptr,
    kLenUncounted,
    Tally::None};
constexpr ReplyFailures kCallFailures{
    {"ERROR: Timeout sending Paging call via converter (SOH send call)",
     "ERROR: TimeOut sending Paging call via converter (Len send call)",
     "ERROR: Timeout sending Paging call via converter (body send call)"},
    "ERROR: TimeOut sending Paging call via converter (Return data fail)",
    nullptr,
    kLenUncounted,
    Tally::None};

// A reply still under way, or failed: a failure's line, if it has one, goes to the log.
ExchangeOutcome replyOutcome(const ReplyStep& reply)
{
    ExchangeOutcome outcome(reply.next, reply.tally);
    if (reply.failure)
        outcome.log(reply.failure);
    return outcome;
}

} // namespace

ServiceExchange::ServiceExchange(ByteLayer& bytes, FrameReceiver& receiver,
                                 const settings::SettingControls& controls)
    : m_bytes(bytes), m_receiver(receiver), m_controls(controls)
{
}

ExchangeOutcome ServiceExchange::sendRequest(const std::vector<std::uint8_t>& frame,
                                             EngineState first)
{
    m_bytes.ClearInput();
    m_bytes.sendFrame(frame);
    m_receiver.clearBuffer(kReplyBufferEntries);
    m_receiver.start();
    return {first};
}

ExchangeOutcome ServiceExchange::startRestart()
{
    Acknowledged = false;
    return sendRequest(RestartFrame(), EngineState::RestartSoh);
}

ExchangeOutcome ServiceExchange::restartStep(EngineState state)
{
    const ReplyStep reply =
        ReceiveReply(m_receiver, m_bytes, state, EngineState::RestartSoh, kRestartFailures);
    if (reply.reception == Reception::Complete) {
        ExchangeOutcome outcome(EngineState::Idle);
        Acknowledged = m_receiver.at(p::kOffsetStatus) == p::kAck;
        if (Acknowledged)
            outcome.log("STATUS: RESET command sent to converter.");
        return outcome;
    }
    return replyOutcome(reply);
}

ExchangeOutcome ServiceExchange::startPositionRequest()
{
    Acknowledged = false;
    CallSent = false;
    // Checked before the first half goes out: a control byte in a field would end it early
    // and start a field nobody gave, such as a display text.
    if (app::HoldsControlBytes(m_controls.pagerAddress()) ||
        app::HoldsControlBytes(m_controls.pagerDisplayInfo())) {
        return ExchangeOutcome(EngineState::Idle)
            .log("ERROR: the pager address or text holds control characters; the call is not "
                 "sent.");
    }
    return sendRequest(BufferPositionFrame(), EngineState::PagerPositionSoh);
}

ExchangeOutcome ServiceExchange::positionStep(EngineState state)
{
    const ReplyStep reply =
        ReceiveReply(m_receiver, m_bytes, state, EngineState::PagerPositionSoh, kPositionFailures);
    if (reply.reception == Reception::Complete) {
        PagerBufPos = static_cast<std::int16_t>(m_receiver.at(p::kOffsetBufferPosition) - '0');
        if (PagerBufPos >= 0 && PagerBufPos <= 9)
            return {EngineState::PagerCall};
        // A reply without a position digit (an echo, a reply to something else) cannot say
        // where the call would go; a call built from it reaches nobody or the wrong slot.
        return ExchangeOutcome(EngineState::Idle, Tally::Failure)
            .log("ERROR: the converter gave no buffer position; the call is not sent.");
    }
    return replyOutcome(reply);
}

std::string ServiceExchange::callText() const
{
    return PagerCallText(PagerBufPos, m_controls.pagerAddress(), m_controls.pagerDisplayInfo(),
                         m_controls.pagerBleepPosition());
}

ExchangeOutcome ServiceExchange::startCall()
{
    CallSent = true;
    return sendRequest(PagerCallFrame(callText()), EngineState::PagerCallSoh);
}

ExchangeOutcome ServiceExchange::callStep(EngineState state)
{
    const ReplyStep reply =
        ReceiveReply(m_receiver, m_bytes, state, EngineState::PagerCallSoh, kCallFailures);
    if (reply.reception == Reception::Complete) {
        Acknowledged = m_receiver.at(p::kOffsetStatus) == p::kAck;
        return ExchangeOutcome(EngineState::Idle)
            .log(Acknowledged ? "STATUS: send call to pager via Pravenor successfull."
                              : "ERROR: send call to pager via Pravenor FAILED.");
    }
    return replyOutcome(reply);
}

} // namespace pravenor::link
