#pragma once

#include "app/clock.h"
#include "cli/cli_options.h"
#include "link/recording_view.h"
#include "program/program.h"
#include "settings/control_board.h"

#include <filesystem>
#include <memory>
#include <string>

namespace pravenor::sim {
class ConverterModel;
class SimulatedLine;
} // namespace pravenor::sim

namespace pravenor::cli {

// The program without a window: the same stores, files and engine, with the in-memory
// control board where the window has its boxes. Starts like the window does, runs one
// command to its end and says how it went.
class HeadlessSession
{
public:
    HeadlessSession(const CliOptions& options, std::filesystem::path programFolder);
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    // The exit status: 0 done, 1 failed, 2 the port could not be opened.
    int run();

private:
    bool start();
    bool prepareCommand();
    bool finished() const;
    int conclude();
    void tick();
    void report(const std::string& line);

    CliOptions m_options;
    app::SystemClock m_clock;
    settings::ControlBoard m_controls;
    link::RecordingView m_view;
    std::unique_ptr<sim::ConverterModel> m_model;
    std::unique_ptr<sim::SimulatedLine> m_simulatedLine;
    std::unique_ptr<link::SerialPort> m_serial;
    std::unique_ptr<program::Program> m_program;
    std::string m_successLine;
    bool m_succeeded = false;
};

} // namespace pravenor::cli
