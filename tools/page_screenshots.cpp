// Pictures of every shown page of the window for the README: the demo converter read, three
// settings changed (so the red marking shows), then each page in turn.
//   pravenor-screenshots OUTPUT_FOLDER
//   pravenor-screenshots OUTPUT_FOLDER --fit NAME.png
// The second takes one picture of the window as it opens on this screen, fitted to it, on the
// "Input Contact Setup" page.
#include "app/clock.h"
#include "frontend/front_end_options.h"
#include "frontend/session.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/settings_comparison.h"
#include "ui/changes_dialog.h"
#include "ui/compare_dialog.h"
#include "ui/line_monitor_window.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <tuple>

namespace {

struct Page
{
    const char* file;
    int main;  // SSTab1
    int setup; // SSTab2
};

// Every setting read from the demo converter, on the engine's ticks as fast as they come.
void ReadEverything(pravenor::ui::MainWindow& window, pravenor::program::Program& program)
{
    bool done = false;
    program.engine.setJobObserver(
        [&](pravenor::link::Job, pravenor::link::JobEnd) { done = true; });
    pravenor::program::ReadAll(program);
    for (int n = 0; n < 5000 && !done; ++n)
        window.tick();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: pravenor-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(output.path());
    QTemporaryDir home;
    pravenor::app::SystemClock clock;
    auto window = std::make_unique<pravenor::ui::MainWindow>(true);
    pravenor::frontend::FrontEndOptions demo;
    demo.demo = true;
    pravenor::frontend::Session session(demo, home.path().toStdString(), clock,
                                        window->settingControls(), window->transferView());
    pravenor::program::Program& program = session.program();
    window->load(program, session.line(), "");
    if (argc >= 4 && QLatin1String(argv[2]) == QLatin1String("--fit")) {
        window->fitTo(window->screen()->availableGeometry());
        window->show();
        window->startRefreshNow();
        ReadEverything(*window, program);
        window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        window->findChild<QTabWidget*>("SSTab2")->setCurrentIndex(1);
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 400)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        const QString file = output.filePath(QString::fromLocal8Bit(argv[3]));
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        window.reset(); // before the session, whose port it closes
        return 0;
    }
    window->resize(900, 760);
    window->show();
    // The start-up's one refresh of every control would wipe later edits off the pictures.
    window->startRefreshNow();

    // The line monitor watches the first settings being read, at the line's real pace.
    auto* monitor = new pravenor::ui::LineMonitorWindow(program.engine, window.get());
    monitor->show();
    for (int item : {0, 9, 10, 100})
        pravenor::program::ReadSingle(program, item);
    for (int n = 0; n < 200; ++n) {
        window->tick();
        QThread::msleep(2);
    }
    QThread::msleep(150);
    monitor->refresh();
    monitor->grab().save(output.filePath(QStringLiteral("line_monitor.png")));
    monitor->close();

    ReadEverything(*window, program);
    const std::filesystem::path site =
        std::filesystem::path(home.path().toStdString()) / "site.cfg";
    pravenor::program::SaveSettings(program, site);
    window->findChild<QComboBox*>("ComboInstellingen_10")->setCurrentIndex(4);
    window->findChild<QComboBox*>("ComboInstellingen_44")->setCurrentIndex(30);
    window->findChild<QLineEdit*>("TxtTekstInput_8")->setText("Alarm: door forced");
    window->refreshMarking();
    window->ledTick();

    pravenor::ui::CompareDialog compare(
        pravenor::ui::CompareSide::File(QStringLiteral("site.cfg")),
        pravenor::program::CompareSettings(pravenor::program::ScreenValues(program),
                                           pravenor::program::ReadSettingsSnapshot(site).values),
        [](int, const pravenor::settings::SettingValue&) {}, nullptr);
    compare.show();
    QApplication::processEvents();
    compare.grab().save(output.filePath(QStringLiteral("compare.png")));
    compare.hide();

    // The changes view over the three edits, and find with a word typed as a person would.
    window->findChild<QAction*>(QStringLiteral("Changes"))->trigger();
    QApplication::processEvents();
    if (auto* changes = window->findChild<pravenor::ui::ChangesDialog*>()) {
        changes->grab().save(output.filePath(QStringLiteral("changes.png")));
        changes->close();
    }
    auto* find = window->findChild<QLineEdit*>(QStringLiteral("TxtZoekInstelling"));
    find->setFocus();
    for (const QChar letter : QStringLiteral("door")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(find, &press);
    }
    QApplication::processEvents();
    window->grab().save(output.filePath(QStringLiteral("find.png")));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(find, &escape);
    QApplication::processEvents();
    find->clear();

    auto* main = window->findChild<QTabWidget*>("SSTab1");
    auto* setup = window->findChild<QTabWidget*>("SSTab2");
    const Page pages[] = {
        {"status.png", 0, 0},       {"general_setup.png", 1, 0}, {"input_contact_setup.png", 1, 1},
        {"paging_setup.png", 1, 2}, {"file.png", 2, 0},          {"unit.png", 3, 0},
        {"service.png", 4, 0},
    };
    for (const Page& page : pages) {
        main->setCurrentIndex(page.main);
        setup->setCurrentIndex(page.setup);
        QApplication::processEvents();
        const QString file = output.filePath(QString::fromLatin1(page.file));
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }

    // The two dialogs as the menu opens them, fresh.
    main->setCurrentIndex(0);
    for (const auto& [menu, dialogName, file] :
         {std::tuple{"Setup", "frmInstellingen", "program_setup.png"},
          std::tuple{"About", "frmAbout", "about.png"}}) {
        window->findChild<QAction*>(QLatin1String(menu))->trigger();
        QApplication::processEvents();
        auto* dialog = window->findChild<QWidget*>(QLatin1String(dialogName));
        const QString path = output.filePath(QString::fromLatin1(file));
        if (dialog == nullptr || !dialog->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
        dialog->close();
        QApplication::processEvents();
    }
    window.reset();
    return 0;
}
