// The window's own costs: start-up to shown, one red-marking pass over the real widgets (the
// tabs' change counts included), a demo read-all on the real timers against the engine's tick
// count, find's answer to a keystroke, and idle CPU and memory.
//   pravenor_window_bench [IDLE_SECONDS]   (default 30; run with QT_QPA_PLATFORM=offscreen)
#include "app/clock.h"
#include "frontend/front_end_options.h"
#include "frontend/session.h"
#include "program/commands.h"
#include "program/program.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:" && status >> value)
            return value;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 30;
    QTemporaryDir home;
    pravenor::app::SystemClock clock;

    const auto started = Clock::now();
    auto window = std::make_unique<pravenor::ui::MainWindow>(true);
    pravenor::frontend::FrontEndOptions demo;
    demo.demo = true;
    pravenor::frontend::Session session(demo, home.path().toStdString(), clock,
                                        window->settingControls(), window->transferView());
    pravenor::program::Program& program = session.program();
    window->load(program, session.line(), "");
    window->show();
    QApplication::processEvents();
    std::printf("start-up to window shown: %.1f ms\n", Milliseconds(Clock::now() - started));

    // A demo read-all on the window's own timers.
    bool done = false;
    program.engine.setJobObserver(
        [&](pravenor::link::Job, pravenor::link::JobEnd) { done = true; });
    const long ticksBefore = window->tickCount();
    const auto readStarted = Clock::now();
    pravenor::program::ReadAll(program);
    while (!done)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double wall = Milliseconds(Clock::now() - readStarted);
    const long ticks = window->tickCount() - ticksBefore;
    std::printf("demo read-all: %ld ticks, %.0f ms wall, ratio to ticks x 25 ms %.4f\n", ticks,
                wall, wall / (static_cast<double>(ticks) * 25.0));

    // Three settings changed after the read, then only those written, in tick time.
    window->findChild<QComboBox*>("ComboInstellingen_10")->setCurrentIndex(4);
    window->findChild<QComboBox*>("ComboInstellingen_44")->setCurrentIndex(30);
    window->findChild<QLineEdit*>("TxtTekstInput_8")->setText("Alarm: door forced");
    const std::vector<int> changed = pravenor::program::ChangedSettings(program);
    pravenor::program::WriteSettings(program, changed);
    long writeTicks = 0;
    auto pending = [&] {
        for (pravenor::settings::Request r : program.stores.ItemRequest)
            if (r != pravenor::settings::Request::None)
                return true;
        return false;
    };
    while (pending() && writeTicks < 10'000) {
        window->tick();
        ++writeTicks;
    }
    std::printf("write changed settings: %zu settings in %ld ticks (%ld ms of engine time)\n",
                changed.size(), writeTicks, writeTicks * 25);

    // The red marking once the screen matches the unit: nothing to repaint.
    window->refreshMarking();
    const long changes = window->widgetControls().colourChanges();
    constexpr int kPasses = 2000;
    const auto markStarted = Clock::now();
    for (int n = 0; n < kPasses; ++n)
        window->refreshMarking();
    std::printf("red-marking pass: %.1f us (mean of %d), colour changes during them: %ld\n",
                Milliseconds(Clock::now() - markStarted) * 1000.0 / kPasses, kPasses,
                window->widgetControls().colourChanges() - changes);

    // Find: the matches listed after each keystroke of a word typed into the real field.
    auto* find = window->findChild<QLineEdit*>("TxtZoekInstelling");
    find->setFocus();
    double slowest = 0;
    for (const QChar letter : QStringLiteral("door")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter));
        const auto typed = Clock::now();
        QApplication::sendEvent(find, &press);
        slowest = std::max(slowest, Milliseconds(Clock::now() - typed));
    }
    std::printf("find: the matches listed within %.2f ms of a keystroke (the slowest of 4)\n",
                slowest);

    const double cpuBefore = CpuSeconds();
    const auto idleStarted = Clock::now();
    QTimer::singleShot(idleSeconds * 1000, &application, &QApplication::quit);
    QApplication::exec();
    const double idleWall = Milliseconds(Clock::now() - idleStarted) / 1000.0;
    std::printf(
        "idle with the four timers running: %.2f%% of one core over %.0f s, resident %ld kB\n",
        100.0 * (CpuSeconds() - cpuBefore) / idleWall, idleWall, ResidentKilobytes());
    window.reset();
    return 0;
}
