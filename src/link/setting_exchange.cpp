#include "link/setting_exchange.h"

#include "app/text_functions.h"
#include "link/byte_layer.h"
#include "link/control_chars.h"
#include "link/frame_receiver.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/reply_step.h"
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

// A too long reply is an uncounted retry (see uncountedRetry), whatever its table says.
constexpr ReplyFailures kReadFailures{
    {" ERROR timeout wo SOH. ", " ERROR timeout wo LEN. ", " ERROR timeout wo body. "},
    " ERROR checksum. ",
    " ERROR too long info. "};
constexpr ReplyFailures kWriteFailures{
    {" -> ERROR timeout on SOH.", " -> ERROR timeout on LEN.", " -> ERROR timeout on body."},
    " -> ERROR checksum.",
    " -> ERROR too long info."};

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

} // namespace

SettingExchange::SettingExchange(ByteLayer& bytes, FrameReceiver& receiver,
                                 settings::ControlSync& sync, const app::DebugMode& debugLevel)
    : m_bytes(bytes), m_receiver(receiver), m_sync(sync), m_debugLevel(debugLevel)
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

ExchangeOutcome SettingExchange::announceRead(int item) const
{
    return ExchangeOutcome(EngineState::Read).progress("Read setting " + NumToStr(item) + "  ");
}

ExchangeOutcome SettingExchange::startRead(int item)
{
    m_bytes.ClearInput();
    m_receiver.clearBuffer(kReadBufferEntries);
    SendReadRequest(item);
    m_receiver.start();
    return {EngineState::ReadSoh};
}

ExchangeOutcome SettingExchange::announceWrite(int item) const
{
    const SettingValue& value = m_sync.stores().WorkValues[at(item)];
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
    return ExchangeOutcome(EngineState::Write)
        .progress((m_debugLevel == app::DebugMode::Debug ? detail : std::string()) + line)
        .log(detail + line);
}

ExchangeOutcome SettingExchange::startWrite(int item)
{
    settings::ValueStores& stores = m_sync.stores();
    const SettingValue& value = stores.WorkValues[at(item)];
    ExchangeOutcome outcome(EngineState::WriteSoh);
    m_bytes.ClearInput();
    m_receiver.clearBuffer(kWriteBufferEntries);
    const WriteBytes bytes = writeBytes(item, value);
    if (bytes.refusal == Refusal::NotImplemented || SendWriteFrame(item, value) != 1) {
        stores.ItemRequest[at(item)] = settings::Request::None;
        if (bytes.refusal == Refusal::OutOfRange || bytes.refusal == Refusal::ControlBytes) {
            // Sending it would drop a byte from the frame, or add frame structure to it, and
            // leave the converter guessing or doing what nobody asked.
            const std::string why =
                bytes.refusal == Refusal::ControlBytes
                    ? std::string("text holds control characters")
                : settings::IsTextItem(item)
                    ? "text longer than " + NumToStr(kMaxTextBytes) + " characters"
                    : "value " + value.asText() + " outside 0..255";
            outcome.progress(" -> ERROR " + why + ", not sent." + kLineEnd)
                .log("Setting " + NumToStr(item) + " not written: " + why + ".");
        } else {
            outcome.progress(" -> Not implemented type of unit." + kLineEnd);
        }
        outcome.step = {EngineState::Idle, Tally::Refused};
        return outcome;
    }
    m_sentValue = value;
    m_receiver.start();
    return outcome;
}

ExchangeOutcome SettingExchange::readReport(int item, const std::string& what, Tally tally) const
{
    const std::string label = ItemLabel(item);
    return ExchangeOutcome(EngineState::Idle, tally)
        .progress(label + what + kLineEnd)
        .log("Error reading unit: " + label + what);
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

ExchangeOutcome SettingExchange::replyStep(EngineState state, int item)
{
    if (state == EngineState::ReadJudge)
        return judgeRead(item);
    if (state == EngineState::WriteJudge)
        return judgeWrite(item);
    const bool reading = state >= EngineState::ReadSoh;
    const ReplyStep reply = ReceiveReply(m_receiver, m_bytes, state,
                                         reading ? EngineState::ReadSoh : EngineState::WriteSoh,
                                         reading ? kReadFailures : kWriteFailures);
    if (!reply.failed())
        return {reply.next};
    Tally tally = reply.tally;
    if (reply.reception == Reception::TooLong)
        tally = uncountedRetry(item);
    else
        m_retriesInRow = 0;
    if (reading)
        return readReport(item, reply.failure, tally);
    return ExchangeOutcome(EngineState::Idle, tally).progress(reply.failure + kLineEnd);
}

ExchangeOutcome SettingExchange::judgeRead(int item)
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
    if (value == SettingValue::Number(-1)) {
        m_retriesInRow = 0;
        return readReport(item, " ERROR reading setup!", Tally::Failure);
    }
    m_retriesInRow = 0;

    settings::ValueStores& stores = m_sync.stores();
    stores.UnitValues[at(replyItem)] = value;
    // A write asked for while the read was under way holds the user's newer value: keep it,
    // and its request, rather than overwrite it with what the converter still holds.
    const bool writePending = stores.ItemRequest[at(replyItem)] == settings::Request::Write;
    if (!writePending) {
        stores.ItemRequest[at(replyItem)] = settings::Request::None;
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
    ExchangeOutcome outcome(EngineState::Idle, Tally::Success);
    outcome
        .progress((m_debugLevel == app::DebugMode::Debug ? detail : std::string()) + result +
                  (writePending ? ", " + kept : std::string()) + kLineEnd)
        .log("Gelezen uit unit: " + detail + result);
    if (writePending)
        outcome.log("Setting " + NumToStr(replyItem) + ": " + kept);
    return outcome;
}

ExchangeOutcome SettingExchange::judgeWrite(int item)
{
    if (m_receiver.at(p::kOffsetStatus) != p::kAck) {
        m_retriesInRow = 0;
        return ExchangeOutcome(EngineState::Idle, Tally::Failure)
            .progress(" -> program ERROR NACK." + kLineEnd);
    }

    settings::ValueStores& stores = m_sync.stores();
    // The converter holds what was sent. When the user has asked to write a newer value
    // meanwhile, that request stays and the newer value goes out next.
    stores.UnitValues[at(item)] = m_sentValue;
    const bool newerValue = stores.WorkValues[at(item)] != m_sentValue;
    if (stores.ItemRequest[at(item)] == settings::Request::Write && !newerValue)
        stores.ItemRequest[at(item)] = settings::Request::None;
    m_sync.ShowValue(item);
    m_retriesInRow = 0;
    return ExchangeOutcome(EngineState::Idle, Tally::Success).progress(" -> SAVED." + kLineEnd);
}

} // namespace pravenor::link
