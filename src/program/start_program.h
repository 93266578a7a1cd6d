#pragma once

#include "app/debug_mode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::app {
struct ProgramConfig;
}

namespace pravenor::program {

class Program;

// The steps of the start-up that belong to a front end. The window arranges its pages and
// sets its texts; the headless tool has no pages and only takes its say over the
// configuration.
class StartupSteps
{
public:
    virtual ~StartupSteps() = default;

    virtual void UpdateMessageWindow() = 0;
    // Right after Pravenor.set is read, before anything else uses it.
    virtual void ProgramConfigRead(app::ProgramConfig& config) { (void)config; }
    virtual void ArrangeTabs() = 0;
    virtual void SetDisplayTexts() = 0;
    // Last: what the start-up could not use (Pravenor.set, default.set), already in the log.
    virtual void StartupWarnings(const std::vector<std::string>& warnings) { (void)warnings; }
};

// "/LOG" gives 1, "/DEBUG" 2 (and wins); each counts anywhere in the command line, in
// capitals only, also inside a longer word.
app::DebugMode DebugLevelFor(std::string_view commandLine);

// Brings a freshly made program to its working state, in a fixed order: the switches, the
// message lines, the configuration, the choice lists, default.set, the port and the engine,
// the unit values and requests, the pages, logging, the display texts.
void StartProgram(Program& program, std::string_view commandLine, StartupSteps& steps);

// Opens the configured port, and starts the engine when it was never started: a port that
// fails at start-up is tried again every 5 s, and one that opens later must not leave the
// engine dead for the whole run. True when the port is open.
bool OpenPortAndStart(Program& program);

} // namespace pravenor::program
