#include "sim/converter_model.h"

#include "link/protocol.h"
#include "sim/frame_seal.h"

#include <algorithm>
#include <utility>

namespace pravenor::sim {

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace pravenor::protocol;

// A reply mirrors the request header: 00 01 where the request has 01 00, then the status.
constexpr std::uint8_t kReplyFrom = 0x00;
constexpr std::uint8_t kReplyTo = 0x01;
constexpr std::size_t kCommandOffset = 5;

Bytes replyStart(std::uint8_t status, std::uint8_t command)
{
    return {kSoh, 0, kReplyFrom, kReplyTo, status, command};
}

Bytes statusReply(std::uint8_t status, std::uint8_t command)
{
    return sealFrame(replyStart(status, command));
}

bool isCodeItem(int item)
{
    return item >= ConverterModel::kFirstCodeItem && item <= ConverterModel::kLastCodeItem;
}

// Codes travel as one hexadecimal digit, except 0, which travels as the byte 0.
std::optional<int> codeFromWire(std::uint8_t byte)
{
    if (byte == 0x00)
        return 0;
    if (byte >= '1' && byte <= '9')
        return byte - '0';
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return std::nullopt;
}

std::uint8_t codeDigit(int code)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return static_cast<std::uint8_t>(kDigits[code & 0x0F]);
}

} // namespace

ConverterModel::ConverterModel(Micros frameGap) : m_assembler(frameGap) {}

bool ConverterModel::isExchanged(int item)
{
    return item == 0 || item == 5 || (item >= 9 && item <= 14) || item == 17 ||
           (item >= 20 && item <= kLastCodeItem) || isTextItem(item);
}

int ConverterModel::number(int item) const
{
    if (item < 0 || item > kLastCodeItem || !isExchanged(item))
        return 0;
    return m_numbers[static_cast<std::size_t>(item)];
}

bool ConverterModel::setNumber(int item, int value)
{
    if (item < 0 || item > kLastCodeItem || !isExchanged(item))
        return false;
    const int highest = isCodeItem(item) ? 15 : 255;
    if (value < 0 || value > highest)
        return false;
    m_numbers[static_cast<std::size_t>(item)] = static_cast<std::uint8_t>(value);
    return true;
}

std::string ConverterModel::text(int item) const
{
    if (!isTextItem(item))
        return {};
    return m_texts[static_cast<std::size_t>(item - kFirstTextItem)];
}

bool ConverterModel::setText(int item, std::string value)
{
    if (!isTextItem(item) || value.size() > kMaxTextLength)
        return false;
    m_texts[static_cast<std::size_t>(item - kFirstTextItem)] = std::move(value);
    return true;
}

bool ConverterModel::setBufferPosition(int position)
{
    if (position < 0 || position > 9)
        return false;
    m_bufferPositionByte = static_cast<std::uint8_t>('0' + position);
    return true;
}

std::optional<FrameOutcome> ConverterModel::receive(std::uint8_t byte, Micros at, bool heard)
{
    std::optional<ReceivedFrame> frame = m_assembler.push(byte, at);
    if (!frame)
        return std::nullopt;
    FrameOutcome outcome;
    if (frame->checksumOk && heard)
        outcome.reply = answer(frame->bytes);
    outcome.request = std::move(*frame);
    return outcome;
}

std::vector<std::uint8_t> ConverterModel::answer(std::span<const std::uint8_t> frame)
{
    // A request needs SOH, LEN, the three header bytes, a command and a checksum; anything
    // shorter, or with another header, is meant for someone else.
    if (frame.size() < 7 ||
        !std::equal(kRequestHeader.begin(), kRequestHeader.end(), frame.begin() + 2))
        return {};

    const std::uint8_t command = frame[kCommandOffset];
    switch (command) {
    case kCommandRead:
        return answerRead(frame);
    case kCommandWrite:
        return answerWrite(frame);
    case kCommandRestart:
        if (frame.size() != 7)
            return statusReply(kNack, command);
        ++m_restarts;
        return statusReply(kAck, command);
    case kCommandBufferPosition: {
        if (frame.size() != 7)
            return statusReply(kNack, command);
        Bytes reply = replyStart(kAck, command);
        reply.insert(reply.end(), {kFieldStart, m_bufferPositionByte, kFieldEnd});
        return sealFrame(std::move(reply));
    }
    case kCommandPagerCall:
        return answerPagerCall(frame);
    default:
        return statusReply(kNack, command);
    }
}

std::vector<std::uint8_t> ConverterModel::answerRead(std::span<const std::uint8_t> frame) const
{
    // 01 09 01 00 02 77 1F item 1E CHK
    if (frame.size() != 10 || frame[6] != kFieldStart || frame[8] != kFieldEnd)
        return statusReply(kNack, kCommandRead);
    const std::uint8_t item = frame[7];
    if (!isExchanged(item))
        return statusReply(kNack, kCommandRead);

    Bytes reply = replyStart(kAck, kCommandRead);
    reply.insert(reply.end(), {kFieldStart, item, kFieldEnd, kCommandRead, kFieldStart});
    if (isTextItem(item)) {
        const std::string& value = m_texts[static_cast<std::size_t>(item - kFirstTextItem)];
        reply.insert(reply.end(), value.begin(), value.end());
    } else if (isCodeItem(item)) {
        reply.push_back(codeDigit(m_numbers[item]));
    } else {
        reply.push_back(m_numbers[item]);
    }
    reply.push_back(kFieldEnd);
    return sealFrame(std::move(reply));
}

std::vector<std::uint8_t> ConverterModel::answerWrite(std::span<const std::uint8_t> frame)
{
    // 01 LEN 01 00 02 57 1F item 1E 77 1F <value bytes> 1E CHK
    const Bytes nack = statusReply(kNack, kCommandWrite);
    if (frame.size() < 13 || frame[6] != kFieldStart || frame[8] != kFieldEnd ||
        frame[9] != kCommandRead || frame[10] != kFieldStart ||
        frame[frame.size() - 2] != kFieldEnd)
        return nack;
    const std::uint8_t item = frame[7];
    if (!isExchanged(item))
        return nack;
    const std::span<const std::uint8_t> value = frame.subspan(11, frame.size() - 13);

    if (isTextItem(item)) {
        m_texts[static_cast<std::size_t>(item - kFirstTextItem)].assign(value.begin(), value.end());
        return statusReply(kAck, kCommandWrite);
    }
    if (value.size() != 1)
        return nack;
    if (isCodeItem(item)) {
        const std::optional<int> code = codeFromWire(value[0]);
        if (!code)
            return nack;
        m_numbers[item] = static_cast<std::uint8_t>(*code);
    } else {
        m_numbers[item] = value[0];
    }
    return statusReply(kAck, kCommandWrite);
}

std::vector<std::uint8_t> ConverterModel::answerPagerCall(std::span<const std::uint8_t> frame)
{
    // From offset 5 to the checksum: fields of a tag, 1F, text, 1E; "A", "1", an optional
    // "2" and "3", in that order and nothing else.
    const std::size_t end = frame.size() - 1;
    std::size_t pos = kCommandOffset;
    auto field = [&](std::uint8_t tag) -> std::optional<std::string> {
        if (pos + 1 >= end || frame[pos] != tag || frame[pos + 1] != kFieldStart)
            return std::nullopt;
        const auto textBegin = frame.begin() + static_cast<std::ptrdiff_t>(pos + 2);
        const auto textEnd =
            std::find(textBegin, frame.begin() + static_cast<std::ptrdiff_t>(end), kFieldEnd);
        if (textEnd == frame.begin() + static_cast<std::ptrdiff_t>(end))
            return std::nullopt;
        pos = static_cast<std::size_t>(textEnd - frame.begin()) + 1;
        return std::string(textBegin, textEnd);
    };

    PagerCall call;
    std::optional<std::string> position = field('A');
    std::optional<std::string> address = position ? field('1') : std::nullopt;
    bool good = address.has_value();
    if (good && pos < end && frame[pos] == '2') {
        call.displayText = field('2');
        good = call.displayText.has_value();
    }
    std::optional<std::string> bleep = good ? field('3') : std::nullopt;
    if (!bleep || pos != end)
        return statusReply(kNack, kCommandPagerCall);

    call.bufferPosition = std::move(*position);
    call.address = std::move(*address);
    call.bleepCode = std::move(*bleep);
    m_lastPagerCall = std::move(call);
    ++m_pagerCalls;
    return statusReply(kAck, kCommandPagerCall);
}

} // namespace pravenor::sim
