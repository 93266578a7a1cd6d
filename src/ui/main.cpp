#include "app/clock.h"
#include "app/program_folder.h"
#include "link/qt/converter_line.h"
#include "program/program.h"
#include "ui/dialogs/network_address_store.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_command_line.h"

#include <QApplication>
#include <QIcon>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const pravenor::ui::WindowCommandLine commandLine = pravenor::ui::ReadWindowCommandLine(args, PRAVENOR_VERSION);
    std::cout << commandLine.out;
    std::cerr << commandLine.err;
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    const pravenor::program::FrontEndOptions& options = commandLine.options;

    QApplication application(argc, argv);
    // Ties the window to its menu entry and icon once installed.
    QGuiApplication::setDesktopFileName(QStringLiteral("nl.quilmar.Pravenor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("nl.quilmar.Pravenor")));
    auto inputs = pravenor::app::CurrentProgramFolderInputs(args, argv[0]);
    if (options.home)
        inputs.homeArgument = options.home;
    const std::filesystem::path folder = pravenor::app::ResolveProgramFolder(inputs);
    if (!pravenor::app::EnsureFolder(folder)) {
        std::cerr << "pravenor: cannot create the program folder " << folder.string() << '\n';
        return 2;
    }

    pravenor::link::ConverterLine line(options.demo);
    auto window = std::make_unique<pravenor::ui::MainWindow>(options.demo);
    pravenor::app::SystemClock clock;
    pravenor::program::Program program(folder, clock, line.serial(), window->settingControls(),
                                       window->transferView());
    program.port.setDeviceOverride(options.demo ? pravenor::link::ConverterLine::kDemoDevice : options.device);
    program.port.setNetworkAddress(pravenor::ui::ToCp1252(pravenor::ui::StoredNetworkAddress()));
    line.setNoteHandler([&program](const std::string& note) { program.log.WriteLog(note); });
    window->load(program, line, options.commandLine);
    window->show();
    const int status = application.exec();
    window.reset(); // releasing the window closes the port, which the program still holds
    return status;
}
