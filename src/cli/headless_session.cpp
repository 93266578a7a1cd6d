#include "cli/headless_session.h"

#include "app/cp1252.h"
#include "link/com_port.h"
#include "program/commands.h"
#include "program/start_program.h"

#include <QCoreApplication>
#include <QTimer>

#include <iostream>

namespace pravenor::cli {

namespace {

constexpr int kTickMilliseconds = 25;
// A simulated run is not paced; this only guards against a run that never ends.
constexpr long kMaxSimulatedTicks = 200'000;

// Without a window there are no pages to arrange and no texts to set; the log is the only
// place to see what happens, so it runs from the first line.
class HeadlessStartup final : public program::StartupSteps
{
public:
    explicit HeadlessStartup(std::optional<int> comNumber) : m_comNumber(comNumber) {}

    void UpdateMessageWindow() override {}
    void ProgramConfigRead(app::ProgramConfig& config) override
    {
        config.LogLevel = 2;
        if (m_comNumber)
            config.ComPortIndex = static_cast<std::int16_t>(*m_comNumber - 1);
    }
    void ArrangeTabs() override {}
    void SetDisplayTexts() override {}

private:
    std::optional<int> m_comNumber;
};

link::Job JobOf(Command command)
{
    switch (command) {
    case Command::Read: return link::Job::ReadAll;
    case Command::Write: return link::Job::WriteAll;
    case Command::Restart: return link::Job::Restart;
    }
    return link::Job::ReadAll;
}

} // namespace

HeadlessSession::HeadlessSession(const CliOptions& options, std::filesystem::path programFolder)
    : m_options(options), m_line(options.common.demo)
{
    m_program = std::make_unique<program::Program>(std::move(programFolder), m_clock, m_line.serial(),
                                                   m_controls, m_view);
    m_program->port.setDeviceOverride(m_line.demo() ? link::ConverterLine::kDemoDevice
                                                    : m_options.common.device);
    m_program->log.setLineObserver([](const std::string& line) { std::cerr << app::Cp1252ToUtf8(line) << '\n'; });
    m_view.setProgressObserver([](const std::string& text) { std::cout << app::Cp1252ToUtf8(text) << std::flush; });
    m_program->engine.setJobObserver([this](link::Job job, link::JobEnd end) {
        if (job == JobOf(m_options.command))
            m_end = end;
    });
}

HeadlessSession::~HeadlessSession() = default;

bool HeadlessSession::start()
{
    HeadlessStartup steps(m_options.comNumber);
    program::StartProgram(*m_program, m_options.common.commandLine, steps);
    return m_program->port.PortIsOpen() == 1;
}

bool HeadlessSession::prepareCommand()
{
    switch (m_options.command) {
    case Command::Read:
        program::ReadAll(*m_program);
        return true;
    case Command::Write:
        if (!program::LoadSettings(*m_program, m_options.file).ok)
            return false;
        program::WriteAll(*m_program);
        return true;
    case Command::Restart:
        program::Restart(*m_program);
        return true;
    }
    return false;
}

void HeadlessSession::tick()
{
    m_program->engine.ProcessTransfer(0);
    m_line.advance(std::chrono::milliseconds(kTickMilliseconds));
}

int HeadlessSession::conclude()
{
    for (const auto& message : m_view.messages())
        std::cerr << app::Cp1252ToUtf8(message.title + ": " + message.text) << '\n';
    if (m_end != link::JobEnd::Done)
        return 1;
    if (m_options.command == Command::Read && !m_options.file.empty()) {
        if (!program::SaveSettings(*m_program, m_options.file).ok)
            return 1;
        m_program->log.WriteLog("Settings saved to " + app::PathText(m_options.file));
    }
    return 0;
}

int HeadlessSession::run()
{
    if (!start())
        return 2;
    if (!prepareCommand())
        return 1;

    if (m_line.demo()) {
        for (long n = 0; n < kMaxSimulatedTicks && !m_end; ++n)
            tick();
        return conclude();
    }

    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTickMilliseconds);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        tick();
        if (m_end)
            QCoreApplication::exit(0);
    });
    timer.start();
    QCoreApplication::exec();
    return conclude();
}

} // namespace pravenor::cli
