#pragma once

#include "frontend/converter_line.h"
#include "program/program.h"

#include <filesystem>

namespace pravenor::app {
class Clock;
}
namespace pravenor::link {
class TransferView;
}
namespace pravenor::settings {
class SettingControls;
}

namespace pravenor::frontend {

struct FrontEndOptions;

// The line and the program on it, wired the same way for both programs: the line the
// command line chose, the program on that line with --port's line in place of the setup's
// port, the network line's notes in the message log, and --fast. The front end supplies its
// setting controls and view, and starts the program when it is ready.
class Session
{
public:
    Session(const FrontEndOptions& options, std::filesystem::path programFolder,
            const app::Clock& clock, settings::SettingControls& controls, link::TransferView& view);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ConverterLine& line() { return m_line; }
    program::Program& program() { return m_program; }

private:
    ConverterLine m_line;
    program::Program m_program; // after the line: it holds the line's port
};

} // namespace pravenor::frontend
