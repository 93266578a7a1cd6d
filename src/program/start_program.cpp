#include "program/start_program.h"

#include "files/default_settings.h"
#include "program/program.h"
#include "settings/choice_lists.h"

namespace pravenor::program {

app::DebugMode DebugLevelFor(std::string_view commandLine)
{
    app::DebugMode level = app::DebugMode::Off;
    if (commandLine.find("/LOG") != std::string_view::npos)
        level = app::DebugMode::Log;
    if (commandLine.find("/DEBUG") != std::string_view::npos)
        level = app::DebugMode::Debug;
    return level;
}

bool OpenPortAndStart(Program& program)
{
    if (program.port.OpenComPort(program.config.ComPortIndex) != 0) {
        program.engine.awaitPort();
        return false;
    }
    if (program.engine.state() == link::EngineState::Initial)
        program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    return true;
}

void StartProgram(Program& program, std::string_view commandLine, StartupSteps& steps)
{
    if (const app::DebugMode level = DebugLevelFor(commandLine); level != app::DebugMode::Off)
        program.DebugLevel = level;
    program.log.ClearMessageLines();
    program.stores.ForgetWorkValues();
    steps.UpdateMessageWindow();
    std::vector<std::string> warnings =
        program.config.ReadProgramConfig(program.folder / app::ProgramConfig::kFileName);
    steps.ProgramConfigRead(program.config);
    // With logging off until the end of the start-up these would be lost, and the user left
    // to wonder why the program runs on its defaults.
    const bool logging = program.config.LogLevel != 0;
    program.config.UnitType = 3;
    settings::FillChoiceLists(program.sync.controls());
    for (std::string& warning : files::ReadDefaultSettings(program.folder, program.sync).warnings)
        warnings.push_back(std::move(warning));
    if (logging) {
        for (const std::string& warning : warnings)
            program.log.WriteLog(warning);
    }
    OpenPortAndStart(program);
    program.stores.ForgetUnitValues();
    program.stores.ClearItemRequests();
    steps.ArrangeTabs();
    program.config.LogLevel = 2;
    if (!logging) {
        for (const std::string& warning : warnings)
            program.log.WriteLog(warning);
    }
    steps.SetDisplayTexts();
    if (!warnings.empty())
        steps.StartupWarnings(warnings);
}

} // namespace pravenor::program
