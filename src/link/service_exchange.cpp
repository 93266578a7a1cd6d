#include "link/service_exchange.h"

#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/byte_layer.h"
#include "link/frame_receiver.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "settings/setting_controls.h"

namespace pravenor::link {

namespace p = protocol;

namespace {

constexpr int kReplyBufferEntries = 200;

// A time-out's log line and whether it counts towards the engine's cancellation.
struct TimeOut
{
    const char* text;
    Tally tally;
};

} // namespace

ServiceExchange::ServiceExchange(ByteLayer& bytes, FrameReceiver& receiver,
                                 const settings::SettingControls& controls, app::MessageLog& log)
    : m_bytes(bytes), m_receiver(receiver), m_controls(controls), m_log(log)
{
}

void ServiceExchange::prepareReply()
{
    m_receiver.clearBuffer(kReplyBufferEntries);
    m_receiver.start();
}

StepResult ServiceExchange::startRestart()
{
    Acknowledged = false;
    m_bytes.ClearInput();
    m_bytes.sendFrame(RestartFrame());
    prepareReply();
    return {EngineState::RestartSoh};
}

StepResult ServiceExchange::restartStep(EngineState state)
{
    // The restart counts no failures: a converter that is restarting may well not answer.
    static const char* const kTimeOuts[] = {"(SOH)", "(LEN)", "(body)"};
    const int phase = ReceptionPhase(state, EngineState::RestartSoh);
    switch (m_receiver.step(phase, m_bytes)) {
    case Reception::Waiting:
        return {state};
    case Reception::Next:
        return {NextState(state)};
    case Reception::Complete:
        Acknowledged = m_receiver.at(p::kOffsetStatus) == p::kAck;
        if (Acknowledged)
            m_log.WriteLog("STATUS: RESET command sent to converter.");
        break;
    case Reception::TimedOut:
        m_log.WriteLog(std::string("ERROR: TimeOut sending RESET command to converter. ") +
                       kTimeOuts[phase]);
        break;
    case Reception::ChecksumError:
        m_log.WriteLog("ERROR: Checksum error sending RESET command to converter.");
        break;
    case Reception::TooLong:
        break;
    }
    return {EngineState::Idle};
}

StepResult ServiceExchange::startPositionRequest()
{
    Acknowledged = false;
    // Checked before the first half goes out: a control byte in a field would end it early
    // and start a field nobody gave, such as a display text.
    if (app::HoldsControlBytes(m_controls.pagerAddress()) ||
        app::HoldsControlBytes(m_controls.pagerDisplayInfo())) {
        m_log.WriteLog(
            "ERROR: the pager address or text holds control characters; the call is not sent.");
        return {EngineState::Idle};
    }
    m_bytes.ClearInput();
    m_bytes.sendFrame(BufferPositionFrame());
    prepareReply();
    return {EngineState::PagerPositionSoh};
}

StepResult ServiceExchange::positionStep(EngineState state)
{
    static const TimeOut kTimeOuts[] = {
        {"ERROR: TimeOut sending Paging call via Pravenor (SOH request BufPos)", Tally::Failure},
        {"ERROR: TimeOut sending Paging call via Pravenor (Len request BufPos)", Tally::None},
        {"ERROR: TimeOut sending Paging call via Pravenor (body request BufPos)", Tally::Failure},
    };
    const int phase = ReceptionPhase(state, EngineState::PagerPositionSoh);
    switch (m_receiver.step(phase, m_bytes)) {
    case Reception::Waiting:
        return {state};
    case Reception::Next:
        return {NextState(state)};
    case Reception::Complete: {
        PagerBufPos = static_cast<std::int16_t>(m_receiver.at(p::kOffsetBufferPosition) - '0');
        const bool valid = PagerBufPos >= 0 && PagerBufPos <= 9;
        return {EngineState::PagerCall, valid ? Tally::None : Tally::Failure};
    }
    case Reception::TimedOut:
        m_log.WriteLog(kTimeOuts[phase].text);
        return {EngineState::Idle, kTimeOuts[phase].tally};
    case Reception::ChecksumError:
        m_log.WriteLog(
            "ERROR: Checksum error sending PagingCall to converter (CheckSumn request BufPos)");
        break;
    case Reception::TooLong:
        break;
    }
    return {EngineState::Idle};
}

std::string ServiceExchange::callText() const
{
    return PagerCallText(PagerBufPos, m_controls.pagerAddress(), m_controls.pagerDisplayInfo(),
                         m_controls.pagerBleepPosition());
}

StepResult ServiceExchange::startCall()
{
    m_bytes.ClearInput();
    m_bytes.sendFrame(PagerCallFrame(callText()));
    prepareReply();
    return {EngineState::PagerCallSoh};
}

StepResult ServiceExchange::callStep(EngineState state)
{
    static const TimeOut kTimeOuts[] = {
        {"ERROR: Timeout sending Paging call via converter (SOH send call)", Tally::Failure},
        {"ERROR: TimeOut sending Paging call via converter (Len send call)", Tally::None},
        {"ERROR: Timeout sending Paging call via converter (body send call)", Tally::Failure},
    };
    const int phase = ReceptionPhase(state, EngineState::PagerCallSoh);
    switch (m_receiver.step(phase, m_bytes)) {
    case Reception::Waiting:
        return {state};
    case Reception::Next:
        return {NextState(state)};
    case Reception::Complete:
        Acknowledged = m_receiver.at(p::kOffsetStatus) == p::kAck;
        m_log.WriteLog(Acknowledged ? "STATUS: send call to pager via Pravenor successfull."
                                    : "ERROR: send call to pager via Pravenor FAILED.");
        break;
    case Reception::TimedOut:
        m_log.WriteLog(kTimeOuts[phase].text);
        return {EngineState::Idle, kTimeOuts[phase].tally};
    case Reception::ChecksumError:
        m_log.WriteLog("ERROR: TimeOut sending Paging call via converter (Return data fail)");
        break;
    case Reception::TooLong:
        break;
    }
    return {EngineState::Idle};
}

} // namespace pravenor::link
