// A read-all in real time: the engine on a 25 ms timer, the QSerialPort adapter, and
// pravenor-sim on a pseudo-terminal at 9600 baud. Prints the wall time against the ticks the
// engine counted; timer drift or work that overruns a tick shows as a ratio above 1.
#include "link/qt/qt_serial_port.h"
#include "link/recording_view.h"
#include "program/program.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pravenor;

namespace {

constexpr int kTickMilliseconds = 25;

// Texts of every length the boxes allow, so that replies are as long as they get.
void writeUnitFile(const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    for (int item = 100; item <= 147; ++item) {
        const std::size_t length = item < 132 ? 100 : 10;
        out << item << "    ->" << std::string(length, static_cast<char>('A' + item % 26))
            << "\r\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / "pravenor-realtime-bench";
    std::filesystem::create_directories(folder);
    writeUnitFile(folder / "unit.cfg");

    QProcess simulator;
    simulator.start(PRAVENOR_SIM_PATH,
                    {"--link", QString::fromStdString((folder / "converter").string()), "--load",
                     QString::fromStdString((folder / "unit.cfg").string())});
    simulator.setStandardErrorFile(QProcess::nullDevice());
    while (!simulator.canReadLine() && simulator.waitForReadyRead(5000)) {
    }
    if (!simulator.canReadLine()) {
        std::fprintf(stderr, "pravenor-sim did not start\n");
        return 1;
    }

    app::SystemClock clock;
    link::QtSerialPort serial;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program(folder, clock, serial, controls, view);
    settings::FillChoiceLists(controls);
    program.port.setDeviceOverride(link::LineAddress::Device((folder / "converter").string()));
    if (program.port.OpenComPort(0) != 0) {
        std::fprintf(stderr, "cannot open %s\n", (folder / "converter").c_str());
        return 1;
    }
    program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    program.config.LogLevel = 2;

    long ticks = 0;
    bool started = false;
    QElapsedTimer wall;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!started) {
            program.engine.request(link::Job::ReadAll);
            started = true;
            wall.start();
        }
        program.engine.ProcessTransfer(0);
        ++ticks;
        bool idle = program.engine.state() == link::EngineState::Idle &&
                    program.engine.batchKind() == link::Batch::None &&
                    !program.engine.requested(link::Job::ReadAll);
        for (settings::Request r : program.stores.ItemRequest)
            idle = idle && r == settings::Request::None;
        if (idle)
            QCoreApplication::quit();
    });
    timer.start(kTickMilliseconds);
    QCoreApplication::exec();

    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double tickSeconds = static_cast<double>(ticks) * kTickMilliseconds / 1000.0;
    const bool succeeded = view.progress().find("ERROR") == std::string::npos;
    std::printf(
        "read-all over a pseudo-terminal: %ld ticks, %.3f s wall, %.3f s of ticks, ratio %.4f%s\n",
        ticks, seconds, tickSeconds, seconds / tickSeconds,
        succeeded ? "" : " (with exchange errors)");

    // The idle tick on the real port, where asking whether the port is open is not free.
    constexpr int kIdleTicks = 20'000;
    QElapsedTimer idleTimer;
    idleTimer.start();
    for (int i = 0; i < kIdleTicks; ++i)
        program.engine.ProcessTransfer(0);
    std::printf("idle tick on the pseudo-terminal port: %.2f us\n",
                static_cast<double>(idleTimer.nsecsElapsed()) / 1000.0 / kIdleTicks);

    simulator.terminate();
    simulator.waitForFinished(3000);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return succeeded ? 0 : 1;
}
