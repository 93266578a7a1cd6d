#include "cli/headless_session.h"

#include "app/cp1252.h"
#include "cli/demo_converter.h"
#include "files/default_settings.h"
#include "files/unit_data_file.h"
#include "link/qt/qt_serial_port.h"
#include "settings/choice_lists.h"
#include "sim/converter_model.h"
#include "sim/simulated_line.h"

#include <QCoreApplication>
#include <QTimer>

#include <iostream>

namespace pravenor::cli {

namespace {

constexpr int kTickMilliseconds = 25;
// A simulated run is not paced; this only guards against a run that never ends.
constexpr long kMaxSimulatedTicks = 200'000;

} // namespace

HeadlessSession::HeadlessSession(const CliOptions& options, std::filesystem::path programFolder)
    : m_options(options)
{
    if (m_options.demo) {
        m_model = std::make_unique<sim::ConverterModel>();
        FillDemoConverter(*m_model);
        m_simulatedLine = std::make_unique<sim::SimulatedLine>(*m_model);
    } else {
        m_serial = std::make_unique<link::QtSerialPort>();
    }
    link::SerialPort& serial = m_simulatedLine ? static_cast<link::SerialPort&>(*m_simulatedLine) : *m_serial;
    m_program = std::make_unique<program::Program>(std::move(programFolder), m_clock, serial, m_controls, m_view);
    m_program->port.setDeviceOverride(m_options.demo ? "demo converter" : m_options.device);
    m_program->DebugLevel = m_options.debugLevel;

    m_program->log.setLineObserver([](const std::string& line) { std::cerr << app::Cp1252ToUtf8(line) << '\n'; });
    m_view.setProgressObserver([](const std::string& text) { std::cout << app::Cp1252ToUtf8(text) << std::flush; });
}

HeadlessSession::~HeadlessSession() = default;

void HeadlessSession::report(const std::string& line)
{
    m_program->log.WriteLog(line);
}

bool HeadlessSession::start()
{
    m_program->log.ClearMessageLines();
    m_program->stores.ForgetWorkValues();
    m_program->config.ReadProgramConfig(m_program->folder / app::ProgramConfig::kFileName);
    m_program->config.UnitType = 3;
    // Without a window there is no other place to see what happens: log from the start.
    m_program->config.LogLevel = 2;
    if (m_options.comNumber)
        m_program->config.ComPortIndex = static_cast<std::int16_t>(*m_options.comNumber - 1);
    settings::FillChoiceLists(m_controls);
    for (const std::string& warning : files::ReadDefaultSettings(m_program->folder, m_program->sync).warnings)
        report(warning);
    const bool opened = m_program->port.OpenComPort(m_program->config.ComPortIndex) == 0;
    if (opened)
        m_program->engine.ProcessTransfer(link::TransferEngine::kStartSignal);
    m_program->stores.ForgetUnitValues();
    m_program->stores.ClearItemRequests();
    return opened;
}

bool HeadlessSession::prepareCommand()
{
    switch (m_options.command) {
    case Command::Read:
        m_program->engine.ReadAllRequest = true;
        m_successLine = "Reading of settings successfull.";
        return true;
    case Command::Write: {
        const files::FileResult loaded = files::LoadSettingsFile(m_options.file, m_program->sync);
        for (const std::string& warning : loaded.warnings)
            report(warning);
        if (!loaded.ok) {
            report(loaded.message.empty() ? "Cannot read " + m_options.file.string() : loaded.message);
            return false;
        }
        m_program->sync.TakeAllValues();
        m_program->engine.WriteAllRequest = true;
        m_successLine = "Writing of settings successfull.";
        return true;
    }
    case Command::Restart:
        m_program->engine.RestartRequest = true;
        m_successLine = "STATUS: RESET command sent to converter.";
        return true;
    }
    return false;
}

bool HeadlessSession::finished() const
{
    const link::TransferEngine& engine = m_program->engine;
    if (engine.ReadAllRequest || engine.WriteAllRequest || engine.RestartRequest)
        return false;
    if (!m_view.messages().empty())
        return true; // cancelled after repeated failures
    if (engine.state() != link::EngineState::Idle || engine.BatchKind != link::kNoBatch)
        return false;
    for (std::int16_t request : m_program->stores.ItemRequest) {
        if (request != settings::kNoRequest)
            return false;
    }
    return true;
}

void HeadlessSession::tick()
{
    m_program->engine.ProcessTransfer(0);
    if (m_simulatedLine)
        m_simulatedLine->advance(std::chrono::milliseconds(kTickMilliseconds));
}

int HeadlessSession::conclude()
{
    for (const auto& message : m_view.messages())
        std::cerr << app::Cp1252ToUtf8(message.title + ": " + message.text) << '\n';
    if (!m_succeeded)
        return 1;
    if (m_options.command == Command::Read && !m_options.file.empty()) {
        const files::FileResult saved = files::SaveSettingsFile(m_options.file, m_program->sync);
        for (const std::string& warning : saved.warnings)
            report(warning);
        if (!saved.ok) {
            report(saved.message);
            return 1;
        }
        report("Settings saved to " + m_options.file.string());
    }
    return 0;
}

int HeadlessSession::run()
{
    if (!start())
        return 2;
    if (!prepareCommand())
        return 1;
    m_program->log.setLineObserver([this](const std::string& line) {
        std::cerr << app::Cp1252ToUtf8(line) << '\n';
        if (line.size() > 9 && line.substr(9) == m_successLine)
            m_succeeded = true;
    });

    if (m_simulatedLine) {
        for (long n = 0; n < kMaxSimulatedTicks && !finished(); ++n)
            tick();
        return conclude();
    }

    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTickMilliseconds);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        tick();
        if (finished())
            QCoreApplication::exit(0);
    });
    timer.start();
    QCoreApplication::exec();
    return conclude();
}

} // namespace pravenor::cli
