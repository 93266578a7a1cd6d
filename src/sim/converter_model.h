#pragma once

#include "sim/frame_assembler.h"
#include "sim/line_timing.h"
#include "sim/pager_call.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pravenor::sim {

// A request frame the converter took in, and its answer (empty when it keeps silent).
struct FrameOutcome
{
    ReceivedFrame request;
    std::vector<std::uint8_t> reply;
};

// The converter as seen from its serial line: it stores a value for every item the program
// exchanges and answers read, write, restart, buffer position and pager call frames. Written
// from the frame layouts alone, so that it checks the program's link instead of sharing its
// code. Faults and timing are not its business (see FaultInjector and ConverterEnd).
class ConverterModel
{
public:
    static constexpr int kFirstTextItem = 100;
    static constexpr int kLastTextItem = 147;
    static constexpr int kLastCodeItem = 91;  // items 60..91 hold a code 0..15
    static constexpr int kFirstCodeItem = 60; // items 0..59 hold a byte
    // A read reply carries the text after 11 bytes and before two, under a LEN of at most 255.
    static constexpr std::size_t kMaxTextLength = 243;

    explicit ConverterModel(Micros frameGap = FrameAssembler::kDefaultGap);

    static bool isExchanged(int item);
    static bool isTextItem(int item) { return item >= kFirstTextItem && item <= kLastTextItem; }

    // Items 0..91: the stored byte (0..59) or code (60..91); 0 for any other item.
    int number(int item) const;
    // False, and nothing stored, for an item that is not exchanged or a value out of range.
    bool setNumber(int item, int value);
    // Items 100..147; the empty text for any other item.
    std::string text(int item) const;
    bool setText(int item, std::string value);

    // The character answered at offset 7 of a buffer position reply. Position 0..9 gives its
    // digit; setBufferPositionByte answers any byte, so that a host can be shown a bad one.
    bool setBufferPosition(int position);
    void setBufferPositionByte(std::uint8_t byte) { m_bufferPositionByte = byte; }
    std::uint8_t bufferPositionByte() const { return m_bufferPositionByte; }

    int restarts() const { return m_restarts; }
    int pagerCalls() const { return m_pagerCalls; }
    const std::optional<PagerCall>& lastPagerCall() const { return m_lastPagerCall; }

    // One byte from the host. When it completes a frame, the frame and the answer to it; a
    // frame with a bad checksum is reported but never answered, and so is one not `heard`
    // (nothing in it is carried out either).
    std::optional<FrameOutcome> receive(std::uint8_t byte, Micros at, bool heard = true);
    bool inFrame(Micros at) const { return m_assembler.inFrame(at); }
    void forgetPartialFrame() { m_assembler.reset(); }

    // The answer to one complete frame with a good checksum; empty when the frame is not a
    // request to this converter.
    std::vector<std::uint8_t> answer(std::span<const std::uint8_t> frame);

private:
    std::vector<std::uint8_t> answerRead(std::span<const std::uint8_t> frame) const;
    std::vector<std::uint8_t> answerWrite(std::span<const std::uint8_t> frame);
    std::vector<std::uint8_t> answerPagerCall(std::span<const std::uint8_t> frame);

    FrameAssembler m_assembler;
    std::array<std::uint8_t, kLastCodeItem + 1> m_numbers{};
    std::array<std::string, kLastTextItem - kFirstTextItem + 1> m_texts;
    std::uint8_t m_bufferPositionByte = '0';
    int m_restarts = 0;
    int m_pagerCalls = 0;
    std::optional<PagerCall> m_lastPagerCall;
};

} // namespace pravenor::sim
