#include "program/start_program.h"

#include "files/default_settings.h"
#include "program/program.h"
#include "settings/choice_lists.h"

namespace pravenor::program {

std::int16_t DebugLevelFor(std::string_view commandLine)
{
    std::int16_t level = 0;
    if (commandLine.find("/LOG") != std::string_view::npos)
        level = 1;
    if (commandLine.find("/DEBUG") != std::string_view::npos)
        level = 2;
    return level;
}

bool OpenPortAndStart(Program& program)
{
    if (program.port.OpenComPort(program.config.ComPortIndex) != 0)
        return false;
    if (program.engine.state() == link::EngineState::Initial)
        program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    return true;
}

void StartProgram(Program& program, std::string_view commandLine, StartupSteps& steps)
{
    if (const std::int16_t level = DebugLevelFor(commandLine); level != 0)
        program.DebugLevel = level;
    program.log.ClearMessageLines();
    program.stores.ForgetWorkValues();
    steps.UpdateMessageWindow();
    const std::vector<std::string> warnings =
        program.config.ReadProgramConfig(program.folder / app::ProgramConfig::kFileName);
    steps.ProgramConfigRead(program.config);
    for (const std::string& warning : warnings)
        program.log.WriteLog(warning);
    program.config.UnitType = 3;
    settings::FillChoiceLists(program.sync.controls());
    for (const std::string& warning : files::ReadDefaultSettings(program.folder, program.sync).warnings)
        program.log.WriteLog(warning);
    OpenPortAndStart(program);
    program.stores.ForgetUnitValues();
    program.stores.ClearItemRequests();
    steps.ArrangeTabs();
    program.config.LogLevel = 2;
    steps.SetDisplayTexts();
}

} // namespace pravenor::program
