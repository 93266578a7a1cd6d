#include "app/program_folder.h"
#include "app/version.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/fleet_run.h"
#include "cli/headless_session.h"
#include "cli/report_command.h"

#include <QGuiApplication>
#include <iostream>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
bool errorsGoToATerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

int terminalWidth()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) &&
        info.srWindow.Right > info.srWindow.Left)
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}
#else
bool errorsGoToATerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

int terminalWidth()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    using namespace pravenor;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::CliOptions options = cli::ParseCliOptions(args);
    // A PDF is laid out with fonts, which need the GUI side of Qt; the tool never opens a
    // window, so it needs no display either.
    std::unique_ptr<QCoreApplication> application;
    if (options.command == cli::Command::Report &&
        cli::ReportFormatOf(options.reportFile) == cli::ReportFormat::Pdf) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (options.common.help) {
        std::cout << cli::CliUsage();
        return cli::kExitDone;
    }
    if (!options.error.empty()) {
        std::cerr << "pravenor-cli: " << options.error << "\nTry pravenor-cli --help.\n";
        return cli::kExitUsage;
    }
    if (options.common.version) {
        std::cout << "pravenor-cli " << pravenor::app::kVersion << '\n';
        return cli::kExitDone;
    }

    auto inputs = app::CurrentProgramFolderInputs(args, argv[0]);
    if (options.common.home)
        inputs.homeArgument = options.common.home;
    const std::filesystem::path folder = app::ResolveProgramFolder(inputs);
    if (!app::EnsureFolder(folder)) {
        std::cerr << "pravenor-cli: cannot create the program folder " << folder.string() << '\n';
        return cli::kExitUsage;
    }
    const bool terminal = errorsGoToATerminal();
    if (options.command == cli::Command::Fleet) {
        cli::FleetRun fleet(options, folder, std::cerr, terminal, terminal ? terminalWidth() : 80,
                            std::cout);
        return fleet.run();
    }
    cli::Console console(std::cerr, terminal, options.quiet, terminal ? terminalWidth() : 80);
    if (options.command == cli::Command::Report && !options.file.empty()) {
        const int status = cli::ReportOfFile(options, console);
        console.finish();
        return status;
    }
    cli::HeadlessSession session(options, folder, console, std::cout);
    return session.run();
}
