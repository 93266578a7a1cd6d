// Read-all and write-all at the standard and the fast pace, in real time over a
// pseudo-terminal against pravenor-sim at 9600 baud, next to the time the line needs for the
// bytes that crossed it (960 bytes a second). Then a fast read-all against a converter that
// needs 30 ms after each reply, and the processor time of an idle minute's worth of ticks
// with the fast link on.
#include "link/qt/qt_serial_port.h"
#include "link/recording_view.h"
#include "program/commands.h"
#include "program/program.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>

using namespace pravenor;
namespace fs = std::filesystem;

namespace {

constexpr double kLineBytesPerSecond = 960.0; // 9600 baud, ten bits a byte

// The port the program talks through, counting what crosses it.
class CountingPort final : public link::SerialPort
{
public:
    explicit CountingPort(link::SerialPort& port) : m_port(port) {}

    link::OpenResult open(const link::LineAddress& address,
                          const link::LineSettings& settings) override
    {
        return m_port.open(address, settings);
    }
    void close() override { m_port.close(); }
    bool isOpen() override { return m_port.isOpen(); }
    int bytesWaiting() override { return m_port.bytesWaiting(); }
    int readByte() override
    {
        const int byte = m_port.readByte();
        received += byte >= 0 ? 1 : 0;
        return byte;
    }
    bool writeByte(std::uint8_t byte) override
    {
        ++sent;
        return m_port.writeByte(byte);
    }
    void discardInput() override
    {
        received += m_port.bytesWaiting(); // they crossed the line all the same
        m_port.discardInput();
    }

    long sent = 0;
    long received = 0;

private:
    link::SerialPort& m_port;
};

class WallClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 12, 0, 0}; }
};

// A unit as an engineer finds it: all eight inputs in use, every text filled in.
void writeUnitFile(const fs::path& path)
{
    const char* places[] = {"Hoofdingang",       "Serverruimte B2", "Ketelhuis",
                            "Brandmeldcentrale", "Laadperron oost", "Koelcel 3",
                            "Noodtrap west",     "Liftmachinekamer"};
    std::ofstream out(path, std::ios::binary);
    auto line = [&out](int item, const std::string& value) {
        out << item << "    ->" << value << "\r\n";
    };
    line(0, "1");
    line(9, "1");
    line(10, "3");
    for (int k = 0; k < 8; ++k) {
        line(20 + k, "1");
        line(36 + k, std::to_string(k % 2));
        line(44 + k, std::to_string(6 * (k + 1)));
        line(52 + k, "5");
        line(68 + k, std::to_string(3 + k));
        line(76 + k, "9");
        const std::string place = places[k];
        line(100 + k, place + ": melding hersteld, situatie weer normaal");
        line(108 + k, place + ": ALARM - direct ter plaatse controleren");
        line(116 + k, place + ": storing contact of bekabeling, monteur bellen");
        line(124 + k, place + ": contact hersteld");
        line(132 + k, std::to_string(401230 + 17 * k));
        line(140 + k, "1999");
    }
}

struct Simulator
{
    explicit Simulator(const fs::path& folder, const QStringList& extra)
    {
        process.setStandardErrorFile(QString::fromStdString((folder / "sim.log").string()));
        process.start(PRAVENOR_SIM_PATH,
                      QStringList{"--link", QString::fromStdString((folder / "converter").string()),
                                  "--load",
                                  QString::fromStdString((folder / "unit.cfg").string())} +
                          extra);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        started = process.canReadLine();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
    QProcess process;
    bool started = false;
};

// The program in memory over the counting port, fresh for every run.
struct Session
{
    Session(const fs::path& folder, CountingPort& port)
        : program(folder, clock, port, controls, view)
    {
        settings::FillChoiceLists(controls);
        program.config.LogLevel = 2;
        program.port.setDeviceOverride(link::LineAddress::Device((folder / "converter").string()));
        opened = program.port.OpenComPort(0) == 0;
        program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    }
    WallClock clock;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program;
    bool opened = false;
};

// Runs the engine on a timer that follows its pace, until `done` or the time is up.
double drive(program::Program& program, const std::function<bool()>& done, int limitMs)
{
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QElapsedTimer wall;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        program.engine.ProcessTransfer(0);
        const int next = static_cast<int>(program.engine.tickInterval().count());
        if (timer.interval() != next)
            timer.setInterval(next);
        if (done() || wall.elapsed() > limitMs)
            loop.quit();
    });
    wall.start();
    timer.start(static_cast<int>(program.engine.tickInterval().count()));
    loop.exec();
    return static_cast<double>(wall.nsecsElapsed()) / 1e9;
}

struct Run
{
    double seconds = 0;
    double lineSeconds = 0;
    bool whole = false; // the batch ended done
    bool clean = false; // without a single failed exchange
    bool fellBack = false;
};

Run runBatch(const fs::path& folder, CountingPort& port, bool write, bool fast,
             const fs::path& saveTo = {})
{
    Session session(folder, port);
    program::Program& program = session.program;
    if (write)
        program::LoadSettings(program, folder / "unit.cfg");
    // A cold start, as on arrival at a site: the converter has long gone to sleep.
    drive(
        program, [] { return false; }, 5200);
    program.engine.setPace(fast ? link::kFastPace : link::kStandardPace);
    std::optional<link::JobEnd> end;
    program.engine.setJobObserver([&end](link::Job, link::JobEnd e) { end = e; });
    port.sent = port.received = 0;
    program.engine.request(write ? link::Job::WriteAll : link::Job::ReadAll);
    Run run;
    run.seconds = drive(
        program, [&end] { return end.has_value(); }, 120'000);
    run.lineSeconds = static_cast<double>(port.sent + port.received) / kLineBytesPerSecond;
    run.whole = end == link::JobEnd::Done;
    run.clean = session.view.progress().find("ERROR") == std::string::npos;
    run.fellBack = fast && !program.engine.pace().fast();
    if (!saveTo.empty())
        program::SaveSettings(program, saveTo);
    program.port.CloseComPort();
    return run;
}

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const fs::path folder = fs::temp_directory_path() / "pravenor-fastlink-bench";
    fs::create_directories(folder);
    writeUnitFile(folder / "unit.cfg");
    link::QtSerialPort serial;
    CountingPort port(serial);
    bool ok = true;

    {
        Simulator sim(folder, {});
        if (!sim.started) {
            std::fprintf(stderr, "pravenor-sim did not start\n");
            return 1;
        }
        const Run standardRead = runBatch(folder, port, false, false, folder / "standard.cfg");
        const Run fastRead = runBatch(folder, port, false, true, folder / "fast.cfg");
        const Run standardWrite = runBatch(folder, port, true, false);
        const Run fastWrite = runBatch(folder, port, true, true);

        std::printf("%-10s %10s %10s %10s %11s %15s\n", "batch", "standard", "fast", "line",
                    "fast/line", "standard/fast");
        auto row = [](const char* name, const Run& standard, const Run& fast) {
            std::printf("%-10s %8.2f s %8.2f s %8.2f s %11.2f %15.2f%s\n", name, standard.seconds,
                        fast.seconds, fast.lineSeconds, fast.seconds / fast.lineSeconds,
                        standard.seconds / fast.seconds,
                        standard.whole && fast.whole && standard.clean && fast.clean &&
                                !fast.fellBack
                            ? ""
                            : "  (failed exchanges, or fell back)");
        };
        row("read-all", standardRead, fastRead);
        row("write-all", standardWrite, fastWrite);
        const bool same = fileBytes(folder / "standard.cfg") == fileBytes(folder / "fast.cfg");
        std::printf("settings file of the fast read-all: %s the standard one\n",
                    same ? "byte-identical to" : "DIFFERENT from");
        ok = ok && same && standardRead.whole && fastRead.whole && standardWrite.whole &&
             fastWrite.whole && fastRead.clean && fastWrite.clean;

        {
            // Idle with the fast link on: the engine ticks every 25 ms and asks the port each time.
            Session session(folder, port);
            session.program.engine.setPace(link::kFastPace);
            constexpr int kIdleMs = 10'000;
            const double before = processorSeconds();
            const double wall = drive(
                session.program, [] { return false; }, kIdleMs);
            const double used = processorSeconds() - before;
            std::printf("idle with the fast link on: %.2f %% of a core over %.0f s (port %s)\n",
                        100.0 * used / wall, wall, session.opened ? "open" : "NOT OPEN");
            session.program.port.CloseComPort();
        }
    }
    {
        Simulator slow(folder, {"--deaf-after-reply=30"});
        const Run run = runBatch(folder, port, false, true, folder / "slow.cfg");
        long unheard = 0;
        std::ifstream log(folder / "sim.log");
        for (std::string line; std::getline(log, line);)
            unheard += line.find("too soon after the last reply") != std::string::npos ? 1 : 0;
        const bool same = fileBytes(folder / "standard.cfg") == fileBytes(folder / "slow.cfg");
        std::printf("converter needing 30 ms after a reply: fast read-all %s in %.2f s, %ld "
                    "request%s unheard, "
                    "%s, file %s\n",
                    run.whole ? "ended whole" : "DID NOT END WHOLE", run.seconds, unheard,
                    unheard == 1 ? "" : "s",
                    run.fellBack ? "fell back to the standard pace" : "did not fall back",
                    same ? "identical" : "DIFFERENT");
        ok = ok && run.whole && same;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return ok ? 0 : 1;
}
