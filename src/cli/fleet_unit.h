#pragma once

#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/headless_session.h"
#include "program/sites_file.h"

#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace pravenor::cli {

// One converter of a fleet: the single-unit command on its own line, engine, console and
// timer, at its own pace. Its failures and its output are kept for the fleet's summary.
class FleetUnit
{
public:
    FleetUnit(program::Site site, const CliOptions& fleet, const std::filesystem::path& folder);
    ~FleetUnit();
    FleetUnit(const FleetUnit&) = delete;
    FleetUnit& operator=(const FleetUnit&) = delete;

    // Starts the command; `ended` is called once it has ended, perhaps before start returns.
    void start(const std::filesystem::path& programFolder,
               std::function<void(const std::string&)> logEcho, std::function<void()> ended);

    const program::Site& site() const { return m_site; }
    bool started() const { return m_session != nullptr; }
    const std::optional<int>& status() const { return m_status; }
    double seconds() const;
    int items() const;         // the settings read, or with write those written
    std::string state() const; // what the live line shows
    std::string outcome() const;
    std::string message() const;                           // UTF-8
    const std::string& output() const { return m_output; } // what the command printed

private:
    void tick();
    void finish();

    program::Site m_site;
    CliOptions m_options;
    std::ostringstream m_failures; // the console's standard error
    std::ostringstream m_out;
    std::string m_output;
    Console m_console;
    std::unique_ptr<HeadlessSession> m_session;
    QTimer m_timer;
    std::function<void()> m_ended;
    std::chrono::steady_clock::time_point m_startedAt;
    std::chrono::steady_clock::time_point m_endedAt;
    std::optional<int> m_status;
};

} // namespace pravenor::cli
