#include "link/service_exchange.h"

#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/byte_layer.h"
#include "link/frame_receiver.h"
#include "link/protocol.h"
#include "settings/setting_controls.h"

namespace pravenor::link {

namespace p = protocol;

namespace {

constexpr int kReplyBufferEntries = 200;

std::string commandFrame(std::uint8_t command)
{
    return {char(p::kSoh), char(0x06), char(p::kRequestHeader[0]), char(p::kRequestHeader[1]),
            char(p::kRequestHeader[2]), char(command)};
}

std::string field(char tag, const std::string& text)
{
    return std::string(1, tag) + char(p::kFieldStart) + text + char(p::kFieldEnd);
}

} // namespace

ServiceExchange::ServiceExchange(ByteLayer& bytes, FrameReceiver& receiver,
                                 const settings::SettingControls& controls, app::MessageLog& log)
    : m_bytes(bytes), m_receiver(receiver), m_controls(controls), m_log(log)
{
}

void ServiceExchange::sendFrame(const std::string& frame)
{
    m_bytes.ClearInput();
    m_bytes.Checksum = 0;
    for (const char c : frame)
        m_bytes.SendByteSum(static_cast<unsigned char>(c));
    m_bytes.SendByte(m_bytes.ChecksumByte());
}

void ServiceExchange::prepareReply()
{
    m_receiver.clearBuffer(kReplyBufferEntries);
    m_receiver.start();
}

StepResult ServiceExchange::startRestart()
{
    sendFrame(commandFrame(p::kCommandRestart));
    prepareReply();
    return {EngineState::RestartSoh};
}

StepResult ServiceExchange::restartStep(EngineState state)
{
    // The restart counts no failures: a converter that is restarting may well not answer.
    const std::string timeout = "ERROR: TimeOut sending RESET command to converter. ";
    switch (state) {
    case EngineState::RestartSoh:
        switch (m_receiver.waitForSoh(m_bytes)) {
        case Reception::Next: return {EngineState::RestartLen};
        case Reception::TimedOut: m_log.WriteLog(timeout + "(SOH)"); return {EngineState::Idle};
        default: return {state};
        }
    case EngineState::RestartLen:
        switch (m_receiver.waitForLen(m_bytes)) {
        case Reception::Next: return {EngineState::RestartBody};
        case Reception::TimedOut: m_log.WriteLog(timeout + "(LEN)"); return {EngineState::Idle};
        default: return {state};
        }
    case EngineState::RestartBody:
        switch (m_receiver.takeBody(m_bytes)) {
        case Reception::Complete:
            if (m_receiver.at(p::kOffsetStatus) == p::kAck)
                m_log.WriteLog("STATUS: RESET command sent to converter.");
            return {EngineState::Idle};
        case Reception::ChecksumError:
            m_log.WriteLog("ERROR: Checksum error sending RESET command to converter.");
            return {EngineState::Idle};
        case Reception::TooLong: return {EngineState::Idle};
        case Reception::TimedOut: m_log.WriteLog(timeout + "(body)"); return {EngineState::Idle};
        default: return {state};
        }
    default:
        return {EngineState::Idle};
    }
}

StepResult ServiceExchange::startPositionRequest()
{
    sendFrame(commandFrame(p::kCommandBufferPosition));
    prepareReply();
    return {EngineState::PagerPositionSoh};
}

StepResult ServiceExchange::positionStep(EngineState state)
{
    switch (state) {
    case EngineState::PagerPositionSoh:
        switch (m_receiver.waitForSoh(m_bytes)) {
        case Reception::Next: return {EngineState::PagerPositionLen};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: TimeOut sending Paging call via Pravenor (SOH request BufPos)");
            return {EngineState::Idle, Tally::Failure};
        default: return {state};
        }
    case EngineState::PagerPositionLen:
        switch (m_receiver.waitForLen(m_bytes)) {
        case Reception::Next: return {EngineState::PagerPositionBody};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: TimeOut sending Paging call via Pravenor (Len request BufPos)");
            return {EngineState::Idle};
        default: return {state};
        }
    case EngineState::PagerPositionBody:
        switch (m_receiver.takeBody(m_bytes)) {
        case Reception::Complete: {
            PagerBufPos = static_cast<std::int16_t>(m_receiver.at(p::kOffsetBufferPosition) - '0');
            const bool valid = PagerBufPos >= 0 && PagerBufPos <= 9;
            return {EngineState::PagerCall, valid ? Tally::None : Tally::Failure};
        }
        case Reception::ChecksumError:
            m_log.WriteLog("ERROR: Checksum error sending PagingCall to converter (CheckSumn request BufPos)");
            return {EngineState::Idle};
        case Reception::TooLong: return {EngineState::Idle};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: TimeOut sending Paging call via Pravenor (body request BufPos)");
            return {EngineState::Idle, Tally::Failure};
        default: return {state};
        }
    default:
        return {EngineState::Idle};
    }
}

std::string ServiceExchange::callText() const
{
    const std::string address = m_controls.pagerAddress().substr(0, 10);
    const std::string display = m_controls.pagerDisplayInfo().substr(0, 40);
    std::string text = field('A', app::NumToStr(PagerBufPos)) + field('1', address);
    if (!display.empty())
        text += field('2', display);
    text += field('3', app::HexText(static_cast<std::int16_t>(m_controls.pagerBleepPosition())));
    return text;
}

StepResult ServiceExchange::startCall()
{
    const std::string text = callText();
    std::string frame{char(p::kSoh), char(text.size() + 5), char(p::kRequestHeader[0]),
                      char(p::kRequestHeader[1]), char(p::kRequestHeader[2])};
    sendFrame(frame + text);
    prepareReply();
    return {EngineState::PagerCallSoh};
}

StepResult ServiceExchange::callStep(EngineState state)
{
    switch (state) {
    case EngineState::PagerCallSoh:
        switch (m_receiver.waitForSoh(m_bytes)) {
        case Reception::Next: return {EngineState::PagerCallLen};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: Timeout sending Paging call via converter (SOH send call)");
            return {EngineState::Idle, Tally::Failure};
        default: return {state};
        }
    case EngineState::PagerCallLen:
        switch (m_receiver.waitForLen(m_bytes)) {
        case Reception::Next: return {EngineState::PagerCallBody};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: TimeOut sending Paging call via converter (Len send call)");
            return {EngineState::Idle};
        default: return {state};
        }
    case EngineState::PagerCallBody:
        switch (m_receiver.takeBody(m_bytes)) {
        case Reception::Complete:
            m_log.WriteLog(m_receiver.at(p::kOffsetStatus) == p::kAck
                               ? "STATUS: send call to pager via Pravenor successfull."
                               : "ERROR: send call to pager via Pravenor FAILED.");
            return {EngineState::Idle};
        case Reception::ChecksumError:
            m_log.WriteLog("ERROR: TimeOut sending Paging call via converter (Return data fail)");
            return {EngineState::Idle};
        case Reception::TooLong: return {EngineState::Idle};
        case Reception::TimedOut:
            m_log.WriteLog("ERROR: Timeout sending Paging call via converter (body send call)");
            return {EngineState::Idle, Tally::Failure};
        default: return {state};
        }
    default:
        return {EngineState::Idle};
    }
}

} // namespace pravenor::link
