#include "program/program.h"

namespace pravenor::program {

Program::Program(std::filesystem::path programFolder, const app::Clock& clock,
                 link::SerialPort& serial, settings::SettingControls& controls,
                 link::TransferView& transferView)
    : folder(std::move(programFolder)), log(config, clock, folder), history(folder, clock, log),
      sync(stores, controls), view(transferView), port(serial, log, view),
      engine(port, sync, view, log, config, DebugLevel)
{
    engine.setWriteWatcher(&history);
}

} // namespace pravenor::program
