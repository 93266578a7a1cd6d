#pragma once

#include "app/clock.h"
#include "app/debug_mode.h"
#include "app/message_log.h"
#include "app/program_config.h"
#include "link/com_port.h"
#include "link/recording_view.h"
#include "link/serial_port.h"
#include "link/transfer_engine.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pravenor::test {

class FixedClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return time; }
    app::LocalTime time{2026, 12, 7, 14, 3, 7};
};

// Everything the converter link works with, in memory, around a given serial port: the
// stores and controls after the choice lists are filled, a message log writing into a
// private folder, a recording view, the port wrapper and the engine.
class LinkWorld
{
public:
    explicit LinkWorld(link::SerialPort& serial);
    ~LinkWorld();
    LinkWorld(const LinkWorld&) = delete;
    LinkWorld& operator=(const LinkWorld&) = delete;

    // Opens the port and gives the engine its start signal, as the program's start does.
    void start();
    // Ticks of the engine; returns how many ran.
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            engine.ProcessTransfer(0);
    }

    // The message lines without their time stamps, oldest first.
    std::vector<std::string> logMessages() const;
    bool logged(const std::string& message) const;

    std::filesystem::path folder;
    app::DebugMode debugLevel = app::DebugMode::Off;
    app::ProgramConfig config;
    FixedClock clock;
    app::MessageLog log;
    settings::ValueStores stores;
    settings::ControlBoard controls;
    settings::ControlSync sync;
    link::RecordingView view;
    link::ComPort port;
    link::TransferEngine engine;

private:
    std::vector<std::string> m_allLines;
};

} // namespace pravenor::test
