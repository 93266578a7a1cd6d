#pragma once

#include "link/engine_state.h"
#include "settings/setting_value.h"

#include <cstdint>
#include <string>

namespace pravenor::app {
class MessageLog;
}
namespace pravenor::settings {
class ControlSync;
}

namespace pravenor::link {

class ByteLayer;
class FrameReceiver;
class TransferView;

// Reading and writing one setting: the request frames, the judgement of the reply, where a
// value read is stored, and every line reported in the progress text and the log. The
// engine decides when an exchange runs and counts its failures.
class SettingExchange
{
public:
    SettingExchange(ByteLayer& bytes, FrameReceiver& receiver, settings::ControlSync& sync,
                    TransferView& view, app::MessageLog& log, const std::int16_t& debugLevel);

    // Sent before a request when the converter may have gone to sleep.
    void WakeUpSequence();

    // 1: sent.
    std::int16_t SendReadRequest(int item);
    // 1: sent; -1: refused, nothing sent (see WriteRefusal).
    std::int16_t SendWriteFrame(int item, const settings::SettingValue& value);
    // The value of the received read reply for its item, as text; the number -1 when the
    // item cannot be read or the reply holds no value byte.
    settings::SettingValue DecodeReadValue(int replyItem) const;
    // "[Item: 5 Waarde: <box text>] " for choice items, empty otherwise.
    std::string ItemLabel(int item) const;

    // The first step of each exchange, once the poll delay has run out.
    StepResult startRead(int item);
    StepResult startWrite(int item);
    // The reception and judgement steps of each exchange.
    StepResult readStep(EngineState state, int item);
    StepResult writeStep(EngineState state, int item);

private:
    enum class Refusal
    {
        None,
        NotImplemented, // a bleep code of 256 or more: the unit has no such value
        OutOfRange,     // a byte outside 0..255 or a text too long for one frame
        ControlBytes,   // a text holding bytes the converter reads as frame structure
    };
    struct WriteBytes
    {
        Refusal refusal = Refusal::None;
        std::string value; // the bytes between the value tag and the field end
    };
    WriteBytes writeBytes(int item, const settings::SettingValue& value) const;

    StepResult readFailure(int item, const std::string& what, Tally tally);
    StepResult readReport(int item, const std::string& what, Tally tally);
    StepResult writeFailure(const std::string& what, Tally tally);
    Tally uncountedRetry(int item);
    StepResult judgeRead(int item);
    StepResult judgeWrite(int item);
    std::string controlText(int item) const;
    // The value as its control would show it: a choice's list entry, a text itself.
    std::string valueText(int item, const settings::SettingValue& value) const;
    void progress(const std::string& text);

    ByteLayer& m_bytes;
    FrameReceiver& m_receiver;
    settings::ControlSync& m_sync;
    TransferView& m_view;
    app::MessageLog& m_log;
    const std::int16_t& m_debugLevel;
    settings::SettingValue m_sentValue; // what the running write put on the line
    int m_retryItem = -1;               // the item of the retries counted below
    int m_retriesInRow = 0;             // uncounted retries of m_retryItem since its last outcome
};

} // namespace pravenor::link
