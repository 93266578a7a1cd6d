#pragma once

#include "link/engine_state.h"
#include "link/exchange_outcome.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pravenor::settings {
class SettingControls;
}

namespace pravenor::link {

class ByteLayer;
class FrameReceiver;

// The two service exchanges: restarting the converter, and a test call to a pager (first the
// converter's call buffer position, then the call). Their outcomes carry log lines only.
class ServiceExchange
{
public:
    ServiceExchange(ByteLayer& bytes, FrameReceiver& receiver,
                    const settings::SettingControls& controls);

    ExchangeOutcome startRestart();
    ExchangeOutcome restartStep(EngineState state);

    ExchangeOutcome startPositionRequest();
    ExchangeOutcome positionStep(EngineState state);
    // The call text (PagerCallText) of the pager frame's inputs.
    std::string callText() const;
    ExchangeOutcome startCall();
    ExchangeOutcome callStep(EngineState state);

    std::int16_t PagerBufPos = 0;
    // Whether the restart or call that ended last was acknowledged by the converter.
    bool Acknowledged = false;
    // Whether the pager call that ran last got as far as sending its call frame.
    bool CallSent = false;

private:
    // The request on the line, the reply's reception started.
    ExchangeOutcome sendRequest(const std::vector<std::uint8_t>& frame, EngineState first);

    ByteLayer& m_bytes;
    FrameReceiver& m_receiver;
    const settings::SettingControls& m_controls;
};

} // namespace pravenor::link
