#pragma once

#include "app/clock.h"
#include "cli/cli_options.h"
#include "link/qt/converter_line.h"
#include "link/recording_view.h"
#include "link/transfer_engine.h"
#include "program/program.h"
#include "settings/control_board.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace pravenor::cli {

// The program without a window: the same start-up, commands, stores, files and engine, with
// the in-memory control board where the window has its boxes. Runs one command to its end
// and says how it went.
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
    int conclude();
    void tick();

    CliOptions m_options;
    app::SystemClock m_clock;
    settings::ControlBoard m_controls;
    link::RecordingView m_view;
    link::ConverterLine m_line;
    std::unique_ptr<program::Program> m_program;
    std::optional<link::JobEnd> m_end; // set when the command's job has ended
};

} // namespace pravenor::cli
