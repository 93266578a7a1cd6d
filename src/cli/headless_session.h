#pragma once

#include "app/clock.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "frontend/converter_line.h"
#include "frontend/session.h"
#include "link/transfer_engine.h"
#include "program/program.h"
#include "program/restore_run.h"
#include "program/settings_comparison.h"
#include "settings/control_board.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

namespace pravenor::cli {

// The program without a window: the same start-up, commands, stores, files and engine, with
// the in-memory control board where the window has its boxes. Runs one command to its end
// and says how it went, in one of the exit statuses of exit_status.h.
class HeadlessSession
{
public:
    HeadlessSession(const CliOptions& options, std::filesystem::path programFolder,
                    Console& console, std::ostream& out);
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    // The whole command on its own event loop; the exit status.
    int run();

    // The same in pieces, for a caller that runs many sessions on one event loop: begin(),
    // then step() every tickInterval() until status() is set, then end(). begin() is false
    // when the command ended before it reached the converter.
    bool begin();
    void step();
    std::chrono::milliseconds tickInterval() const;
    const std::optional<int>& status() const { return m_status; }
    int end(); // the port closed; the exit status
    // Every log line, instead of the console's echo.
    void setLogEcho(std::function<void(const std::string&)> echo);
    int settingsRead() const;    // how many settings this run has seen the converter hold
    int settingsWritten() const; // how many the converter acknowledged
    int differences() const { return m_differences; } // diff, write --verify

private:
    // One thing the engine is asked to do and waited for: a job, or single items.
    struct Step
    {
        std::optional<link::Job> job; // none: the command's single items
        // A restore's rounds: the reads of what is unknown, then the writes of what differs.
        enum class Restore
        {
            No,
            Reads,
            Writes,
        } restore = Restore::No;
    };

    bool start();
    bool chooseSnapshot();
    int listHistory();
    void completeRestore();
    void issue();
    void tick();
    void watch();
    void failPortAway();
    void stepEnded();
    void stepFailed(const std::vector<int>& missing);
    void complete();
    void finish(int status);
    void fail(int status, const std::string& why);
    void failTimedOut();
    std::vector<int> itemsNotDone() const;
    bool requestsServed() const;
    std::string deviceName() const;

    CliOptions m_options;
    Console& m_console;
    std::ostream& m_out;
    app::SystemClock m_clock;
    settings::ControlBoard m_controls;
    ConsoleView m_view;
    frontend::Session m_session;
    frontend::ConverterLine& m_line;   // the session's
    program::Program* const m_program; // the session's
    program::FileSnapshot m_snapshot;  // write, diff: the file as it reads
    std::optional<program::RestoreRun> m_restore;
    std::filesystem::path m_restoreFile;

    std::vector<Step> m_steps;
    std::size_t m_stepIndex = 0;
    std::optional<link::JobEnd> m_jobEnd; // how the running step's job ended
    bool m_portWasLost = false;           // since the step was issued
    bool m_portWasUsable = false;         // at any time in this run
    bool m_recovering = false;            // waiting for the port to be back, then issue again
    int m_recoveries = 0;
    std::chrono::milliseconds m_lostFor{}; // the port has been away this long
    std::chrono::milliseconds m_ranFor{};  // the command has run this long
    std::optional<int> m_status;           // set when the run has ended
    int m_differences = 0;
    bool m_began = false;
    bool m_ended = false;
};

} // namespace pravenor::cli
