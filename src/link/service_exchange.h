#pragma once

#include "link/engine_state.h"

#include <cstdint>
#include <string>

namespace pravenor::app {
class MessageLog;
}
namespace pravenor::settings {
class SettingControls;
}

namespace pravenor::link {

class ByteLayer;
class FrameReceiver;

// The two service exchanges: restarting the converter, and a test call to a pager (first the
// converter's call buffer position, then the call). They report in the log only.
class ServiceExchange
{
public:
    ServiceExchange(ByteLayer& bytes, FrameReceiver& receiver,
                    const settings::SettingControls& controls, app::MessageLog& log);

    StepResult startRestart();
    StepResult restartStep(EngineState state);

    StepResult startPositionRequest();
    StepResult positionStep(EngineState state);
    // The call text (PagerCallText) of the pager frame's inputs.
    std::string callText() const;
    StepResult startCall();
    StepResult callStep(EngineState state);

    std::int16_t PagerBufPos = 0;
    // Whether the restart or call that ended last was acknowledged by the converter.
    bool Acknowledged = false;

private:
    void prepareReply();

    ByteLayer& m_bytes;
    FrameReceiver& m_receiver;
    const settings::SettingControls& m_controls;
    app::MessageLog& m_log;
};

} // namespace pravenor::link
