#pragma once

#include "app/clock.h"
#include "app/debug_mode.h"
#include "app/message_log.h"
#include "app/program_config.h"
#include "link/com_port.h"
#include "link/transfer_engine.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"

#include <cstdint>
#include <filesystem>

namespace pravenor::link {
class SerialPort;
class TransferView;
} // namespace pravenor::link
namespace pravenor::settings {
class SettingControls;
}

namespace pravenor::program {

// The program's state in one place, wired together: configuration, message log, value
// stores, serial port and transfer engine. A front end supplies the serial line, the setting
// controls and the view (widgets in the window, memory elsewhere) and hands this on by
// reference to whatever needs it.
class Program
{
public:
    Program(std::filesystem::path folder, const app::Clock& clock, link::SerialPort& serial,
            settings::SettingControls& controls, link::TransferView& view);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::filesystem::path folder; // Pravenor.set, default.set, Log/, Instellingen/
    app::ProgramConfig config;
    app::DebugMode DebugLevel = app::DebugMode::Off;
    app::MessageLog log;
    settings::ValueStores stores;
    settings::ControlSync sync;
    link::TransferView& view;
    link::ComPort port;
    link::TransferEngine engine;
};

} // namespace pravenor::program
