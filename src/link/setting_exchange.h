#pragma once

#include "app/debug_mode.h"
#include "link/engine_state.h"
#include "link/exchange_outcome.h"
#include "settings/setting_value.h"

#include <cstdint>
#include <string>

namespace pravenor::settings {
class ControlSync;
}

namespace pravenor::link {

class ByteLayer;
class FrameReceiver;

// Reading and writing one setting: the request frames, the judgement of the reply, where a
// value read is stored, and every line its outcomes carry for the progress text and the log.
// The engine decides when an exchange runs, counts its failures and has the lines written.
class SettingExchange
{
public:
    SettingExchange(ByteLayer& bytes, FrameReceiver& receiver, settings::ControlSync& sync,
                    const app::DebugMode& debugLevel);

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

    // The first step of each exchange, once the poll delay has run out: the lines that say
    // what is asked, reported before anything goes out, then the request itself.
    ExchangeOutcome announceRead(int item) const;
    ExchangeOutcome startRead(int item);
    ExchangeOutcome announceWrite(int item) const;
    ExchangeOutcome startWrite(int item);
    // The reception and judgement steps of either exchange: a read's states or a write's.
    ExchangeOutcome replyStep(EngineState state, int item);

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

    ExchangeOutcome readReport(int item, const std::string& what, Tally tally) const;
    Tally uncountedRetry(int item);
    ExchangeOutcome judgeRead(int item);
    ExchangeOutcome judgeWrite(int item);
    std::string controlText(int item) const;
    // The value as its control would show it: a choice's list entry, a text itself.
    std::string valueText(int item, const settings::SettingValue& value) const;

    ByteLayer& m_bytes;
    FrameReceiver& m_receiver;
    settings::ControlSync& m_sync;
    const app::DebugMode& m_debugLevel;
    settings::SettingValue m_sentValue; // what the running write put on the line
    int m_retryItem = -1;               // the item of the retries counted below
    int m_retriesInRow = 0;             // uncounted retries of m_retryItem since its last outcome
};

} // namespace pravenor::link
