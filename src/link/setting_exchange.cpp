#include "link/setting_exchange.h"

#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/byte_layer.h"
#include "link/control_chars.h"
#include "link/frame_receiver.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/transfer_view.h"
#include "settings/choice_lists.h"
#include "settings/control_sync.h"

namespace pravenor::link {

using app::NumToStr;
using settings::SettingValue;
namespace p = protocol;

namespace {

const std::string kLineEnd = "\r\n";
constexpr int kReadBufferEntries = 200;
constexpr int kWriteBufferEntries = 100;
// LEN is one byte: a text frame carries at most 255 - 12 characters.
constexpr std::size_t kMaxTextBytes = 243;
constexpr int kRetriesPerCount = 3;

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

} // namespace

SettingExchange::SettingExchange(ByteLayer& bytes, FrameReceiver& receiver,
                                 settings::ControlSync& sync, TransferView& view,
                                 app::MessageLog& log, const std::int16_t& debugLevel)
    : m_bytes(bytes), m_receiver(receiver), m_sync(sync), m_view(view), m_log(log),
      m_debugLevel(debugLevel)
{
}

void SettingExchange::WakeUpSequence()
{
    for (const std::uint8_t byte : p::kWakeUpSequence)
        m_bytes.SendByte(byte);
}

std::int16_t SettingExchange::SendReadRequest(int item)
{
    m_bytes.ClearInput();
    m_bytes.sendFrame(ReadRequestFrame(item));
    return 1;
}

SettingExchange::WriteBytes SettingExchange::writeBytes(int item, const SettingValue& value) const
{
    if (settings::IsTextItem(item)) {
        std::string text = value.asText();
        if (text.size() > kMaxTextBytes)
            return {Refusal::OutOfRange, {}};
        if (app::HoldsControlBytes(text))
            return {Refusal::ControlBytes, {}};
        return {Refusal::None, std::move(text)};
    }
    const settings::ItemGroup* group = settings::GroupOf(item);
    const bool digit = group && group->kind == settings::ItemKind::DigitChoice;
    const double number = value.asNumber();
    if (digit && number >= 256.0)
        return {Refusal::NotImplemented, {}};
    const double whole = app::RoundHalfEven(number);
    if (!(whole >= 0.0 && whole <= 255.0))
        return {Refusal::OutOfRange, {}};
    int byte = static_cast<int>(whole);
    if (digit && byte > 0)
        byte = static_cast<unsigned char>(app::HexText(static_cast<std::int16_t>(byte)).front());
    return {Refusal::None, std::string(1, static_cast<char>(byte))};
}

std::int16_t SettingExchange::SendWriteFrame(int item, const SettingValue& value)
{
    const WriteBytes bytes = writeBytes(item, value);
    if (bytes.refusal != Refusal::None)
        return -1;
    m_bytes.ClearInput();
    m_bytes.sendFrame(WriteFrame(item, bytes.value));
    return 1;
}

SettingValue SettingExchange::DecodeReadValue(int replyItem) const
{
    if (settings::IsTextItem(replyItem)) {
        const int len = m_receiver.at(p::kOffsetLen);
        std::string text;
        for (int offset = p::kOffsetValue; offset <= len - 2; ++offset)
            text += static_cast<char>(m_receiver.at(offset));
        return SettingValue::Text(std::move(text));
    }
    const int v = m_receiver.at(p::kOffsetValue);
    const settings::ItemGroup* group = settings::GroupOf(replyItem);
    const bool readable = group && group->exchanged && settings::IsChoiceItem(replyItem);
    // A reply too short to hold its value byte carries no value at all.
    if (!readable || v < 0)
        return SettingValue::Number(-1);
    if (group->kind == settings::ItemKind::DigitChoice) {
        if (v == 0)
            return SettingValue::Text("0");
        return SettingValue::Text(NumToStr(HexDigitValue(std::string(1, static_cast<char>(v)))));
    }
    const settings::ReadLimit& read = group->read;
    const int value = v <= read.limit                             ? v
                      : read.above == settings::AboveLimit::Limit ? read.limit
                                                                  : 0;
    return SettingValue::Text(NumToStr(value));
}

std::string SettingExchange::ItemLabel(int item) const
{
    if (!settings::IsChoiceItem(item))
        return {};
    return "[Item: " + NumToStr(item) + " Waarde: " + m_sync.controls().choiceText(item) + "] ";
}

std::string SettingExchange::controlText(int item) const
{
    if (settings::IsChoiceItem(item))
        return m_sync.controls().choiceText(item);
    if (settings::IsTextItem(item))
        return m_sync.controls().text(settings::TextBoxOf(item));
    return {};
}

std::string SettingExchange::valueText(int item, const SettingValue& value) const
{
    if (!settings::IsChoiceItem(item))
        return value.asText();
    const std::vector<std::string> entries = settings::ChoiceEntries(item);
    const auto position = value.asWhole();
    if (position && *position >= 0 && static_cast<std::size_t>(*position) < entries.size())
        return entries[static_cast<std::size_t>(*position)];
    return value.asText();
}

void SettingExchange::progress(const std::string& text)
{
    m_view.appendProgress(text);
}

StepResult SettingExchange::startRead(int item)
{
    progress("Read setting " + NumToStr(item) + "  ");
    m_bytes.ClearInput();
    m_receiver.clearBuffer(kReadBufferEntries);
    SendReadRequest(item);
    m_receiver.start();
    return {EngineState::ReadSoh};
}

StepResult SettingExchange::startWrite(int item)
{
    settings::ValueStores& stores = m_sync.stores();
    const SettingValue& value = stores.WorkValues[at(item)];
    std::string detail;
    std::string line;
    if (settings::IsTextItem(item)) {
        detail = " [Item: " + NumToStr(item) + " Value: " + value.asText() + "] ";
        line = "Writing [Item: " + NumToStr(item) + " Value: " + controlText(item) + " OK";
    } else {
        const auto whole = value.asWhole();
        detail = " [Item: " + NumToStr(item) +
                 " Value: " + (whole ? NumToStr(*whole) : value.asText()) + "] ";
        line = "Writing [Item: " + NumToStr(item) + " Value:  " + controlText(item);
    }
    detail = VisibleText(detail);
    line = VisibleText(line);
    progress((m_debugLevel == 2 ? detail : std::string()) + line);
    m_log.WriteLog(detail + line);

    m_bytes.ClearInput();
    m_receiver.clearBuffer(kWriteBufferEntries);
    const WriteBytes bytes = writeBytes(item, value);
    if (bytes.refusal == Refusal::NotImplemented || SendWriteFrame(item, value) != 1) {
        stores.ItemRequest[at(item)] = settings::kNoRequest;
        if (bytes.refusal == Refusal::OutOfRange || bytes.refusal == Refusal::ControlBytes) {
            // Sending it would drop a byte from the frame, or add frame structure to it, and
            // leave the converter guessing or doing what nobody asked.
            const std::string why =
                bytes.refusal == Refusal::ControlBytes
                    ? std::string("text holds control characters")
                : settings::IsTextItem(item)
                    ? "text longer than " + NumToStr(kMaxTextBytes) + " characters"
                    : "value " + value.asText() + " outside 0..255";
            progress(" -> ERROR " + why + ", not sent." + kLineEnd);
            m_log.WriteLog("Setting " + NumToStr(item) + " not written: " + why + ".");
        } else {
            progress(" -> Not implemented type of unit." + kLineEnd);
        }
        return {EngineState::Idle, Tally::Refused};
    }
    m_sentValue = value;
    m_receiver.start();
    return {EngineState::WriteSoh};
}

StepResult SettingExchange::readFailure(int item, const std::string& what, Tally tally)
{
    m_retriesInRow = 0;
    return readReport(item, what, tally);
}

StepResult SettingExchange::readReport(int item, const std::string& what, Tally tally)
{
    const std::string label = ItemLabel(item);
    progress(label + what + kLineEnd);
    m_log.WriteLog("Error reading unit: " + label + what);
    return {EngineState::Idle, tally};
}

StepResult SettingExchange::writeFailure(const std::string& what, Tally tally)
{
    m_retriesInRow = 0;
    progress(what + kLineEnd);
    return {EngineState::Idle, tally};
}

// A reply too short to name an item, or too long to take in, has always meant "ask again"
// without counting a failure. A converter that answers every time like that would keep a
// batch going for ever with the bar standing still, so every third such retry of an item
// in a row counts as a failure, and three of those end in the usual cancellation.
Tally SettingExchange::uncountedRetry(int item)
{
    if (item != m_retryItem) {
        m_retryItem = item;
        m_retriesInRow = 0;
    }
    ++m_retriesInRow;
    return m_retriesInRow % kRetriesPerCount == 0 ? Tally::Failure : Tally::None;
}

StepResult SettingExchange::readStep(EngineState state, int item)
{
    if (state == EngineState::ReadJudge)
        return judgeRead(item);
    static const char* const kTimeOuts[] = {" ERROR timeout wo SOH. ", " ERROR timeout wo LEN. ",
                                            " ERROR timeout wo body. "};
    const int phase = ReceptionPhase(state, EngineState::ReadSoh);
    switch (m_receiver.step(phase, m_bytes)) {
    case Reception::Waiting:
        return {state};
    case Reception::Next:
    case Reception::Complete:
        return {NextState(state)};
    case Reception::TimedOut:
        return readFailure(item, kTimeOuts[phase], Tally::Failure);
    case Reception::ChecksumError:
        return readFailure(item, " ERROR checksum. ", Tally::Failure);
    case Reception::TooLong:
        return readReport(item, " ERROR too long info. ", uncountedRetry(item));
    }
    return {EngineState::Idle};
}

StepResult SettingExchange::judgeRead(int item)
{
    const int replyItem = m_receiver.at(p::kOffsetItem);
    if (replyItem == -1) {
        // Too short to name an item: asked again, silently the first time.
        const Tally tally = uncountedRetry(item);
        if (m_retriesInRow == 1)
            return {EngineState::Idle};
        return readReport(item, " ERROR reply too short. ", tally);
    }
    const SettingValue value = DecodeReadValue(replyItem);
    if (value == SettingValue::Number(-1))
        return readFailure(item, " ERROR reading setup!", Tally::Failure);
    m_retriesInRow = 0;

    settings::ValueStores& stores = m_sync.stores();
    stores.UnitValues[at(replyItem)] = value;
    // A write asked for while the read was under way holds the user's newer value: keep it,
    // and its request, rather than overwrite it with what the converter still holds.
    const bool writePending = stores.ItemRequest[at(replyItem)] == settings::kWriteRequest;
    if (!writePending) {
        stores.ItemRequest[at(replyItem)] = settings::kNoRequest;
        stores.WorkValues[at(replyItem)] = value;
        m_sync.ShowValue(replyItem);
    }
    // A converter's text is shown, never obeyed: its control bytes appear in brackets.
    const std::string detail =
        " [Item: " + NumToStr(replyItem) + " Value: " + VisibleText(value.asText()) + "] ";
    // With a write pending the control shows the user's unsent choice, not the converter's.
    const std::string shown = writePending ? valueText(replyItem, value) : controlText(item);
    const std::string result =
        " [Item: " + NumToStr(replyItem) + " Value: " + VisibleText(shown) + " OK";
    const std::string kept = "the value waiting to be written is kept.";
    progress((m_debugLevel == 2 ? detail : std::string()) + result +
             (writePending ? ", " + kept : std::string()) + kLineEnd);
    m_log.WriteLog("Gelezen uit unit: " + detail + result);
    if (writePending)
        m_log.WriteLog("Setting " + NumToStr(replyItem) + ": " + kept);
    return {EngineState::Idle, Tally::Success};
}

StepResult SettingExchange::writeStep(EngineState state, int item)
{
    if (state == EngineState::WriteJudge)
        return judgeWrite(item);
    static const char* const kTimeOuts[] = {
        " -> ERROR timeout on SOH.", " -> ERROR timeout on LEN.", " -> ERROR timeout on body."};
    const int phase = ReceptionPhase(state, EngineState::WriteSoh);
    switch (m_receiver.step(phase, m_bytes)) {
    case Reception::Waiting:
        return {state};
    case Reception::Next:
    case Reception::Complete:
        return {NextState(state)};
    case Reception::TimedOut:
        return writeFailure(kTimeOuts[phase], Tally::Failure);
    case Reception::ChecksumError:
        return writeFailure(" -> ERROR checksum.", Tally::Failure);
    case Reception::TooLong: {
        const Tally tally = uncountedRetry(item);
        progress(std::string(" -> ERROR too long info.") + kLineEnd);
        return {EngineState::Idle, tally};
    }
    }
    return {EngineState::Idle};
}

StepResult SettingExchange::judgeWrite(int item)
{
    if (m_receiver.at(p::kOffsetStatus) != p::kAck)
        return writeFailure(" -> program ERROR NACK.", Tally::Failure);

    settings::ValueStores& stores = m_sync.stores();
    // The converter holds what was sent. When the user has asked to write a newer value
    // meanwhile, that request stays and the newer value goes out next.
    stores.UnitValues[at(item)] = m_sentValue;
    const bool newerValue = stores.WorkValues[at(item)] != m_sentValue;
    if (stores.ItemRequest[at(item)] == settings::kWriteRequest && !newerValue)
        stores.ItemRequest[at(item)] = settings::kNoRequest;
    m_sync.ShowValue(item);
    m_retriesInRow = 0;
    progress(" -> SAVED." + kLineEnd);
    return {EngineState::Idle, Tally::Success};
}

} // namespace pravenor::link
