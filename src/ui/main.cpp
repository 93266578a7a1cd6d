#include "app/clock.h"
#include "app/program_folder.h"
#include "app/version.h"
#include "frontend/front_end_options.h"
#include "frontend/session.h"
#include "ui/main_window.h"
#include "ui/window_command_line.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const pravenor::ui::WindowCommandLine commandLine =
        pravenor::ui::ReadWindowCommandLine(args, pravenor::app::kVersion);
    std::cout << commandLine.out;
    std::cerr << commandLine.err;
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    const pravenor::frontend::FrontEndOptions& options = commandLine.options;

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

    auto window = std::make_unique<pravenor::ui::MainWindow>(options.demo);
    pravenor::app::SystemClock clock;
    pravenor::frontend::Session session(options, folder, clock, window->settingControls(),
                                        window->transferView());
    window->load(session.program(), session.line(), options.commandLine);
    const QScreen* screen = window->screen();
    if (screen != nullptr)
        window->fitTo(screen->availableGeometry());
    window->show();
    // The window manager's frame is known only once the window is shown: if it is larger
    // than guessed and the window now reaches past the screen, it is fitted again.
    if (screen != nullptr) {
        QTimer::singleShot(0, window.get(), [&window, screen] {
            if (!screen->availableGeometry().contains(window->frameGeometry()))
                window->fitTo(screen->availableGeometry());
        });
    }
    const int status = application.exec();
    window.reset(); // releasing the window closes the port, which the program still holds
    return status;
}
