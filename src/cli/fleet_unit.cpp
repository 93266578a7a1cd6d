#include "cli/fleet_unit.h"

#include "app/cp1252.h"
#include "cli/exit_status.h"

namespace pravenor::cli {

namespace {

constexpr const char* kFailurePrefix = "pravenor-cli: ";

Command commandOf(FleetAction action)
{
    if (action == FleetAction::Read)
        return Command::Read;
    return action == FleetAction::Diff ? Command::Diff : Command::Write;
}

} // namespace

FleetUnit::FleetUnit(program::Site site, const CliOptions& fleet,
                     const std::filesystem::path& folder)
    : m_site(std::move(site)), m_options(fleet), m_console(m_failures, false, true, 80)
{
    m_options.command = commandOf(fleet.fleet.action);
    m_options.file = folder / (m_site.name + ".cfg");
    m_options.common.line = m_site.line;
    m_options.common.device = m_site.line.text();
    m_options.common.demo = false;
    m_options.common.fast = fleet.common.fast || m_site.fast;
    m_options.unitName = m_site.name;
    m_options.quiet = true;
    // A read's settings are in its file; the others' differences go into the fleet's JSON.
    m_options.json = fleet.json && fleet.fleet.action != FleetAction::Read;
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

FleetUnit::~FleetUnit() = default;

void FleetUnit::start(const std::filesystem::path& programFolder,
                      std::function<void(const std::string&)> logEcho, std::function<void()> ended)
{
    m_ended = std::move(ended);
    m_startedAt = std::chrono::steady_clock::now();
    m_session = std::make_unique<HeadlessSession>(m_options, programFolder, m_console, m_out);
    if (logEcho)
        m_session->setLogEcho(std::move(logEcho));
    if (!m_session->begin()) {
        finish();
        return;
    }
    m_timer.start(static_cast<int>(m_session->tickInterval().count()));
}

void FleetUnit::tick()
{
    m_session->step();
    if (m_session->status()) {
        finish();
        return;
    }
    if (const auto next = static_cast<int>(m_session->tickInterval().count());
        m_timer.interval() != next)
        m_timer.setInterval(next);
}

void FleetUnit::finish()
{
    m_timer.stop();
    m_status = m_session->end();
    m_endedAt = std::chrono::steady_clock::now();
    m_output = m_out.str();
    if (m_ended)
        m_ended();
}

double FleetUnit::seconds() const
{
    if (!m_session)
        return 0;
    const auto until = m_status ? m_endedAt : std::chrono::steady_clock::now();
    return std::chrono::duration<double>(until - m_startedAt).count();
}

int FleetUnit::items() const
{
    if (!m_session)
        return 0;
    return m_options.command == Command::Write && m_status ? m_session->settingsWritten()
                                                           : m_session->settingsRead();
}

std::string FleetUnit::outcome() const
{
    if (!m_status)
        return m_session ? "running" : "waiting";
    switch (*m_status) {
    case kExitDone:
        return "done";
    case kExitDifferences:
        return "differs";
    case kExitUsage:
        return "refused";
    case kExitPort:
        return "unreachable";
    default:
        return "failed";
    }
}

std::string FleetUnit::state() const
{
    if (!m_session || m_status)
        return outcome();
    const char* doing = m_options.command == Command::Write ? "writing" : "reading";
    return std::string(doing) + ", " + std::to_string(items()) + " settings so far";
}

// The last failure the unit's command gave, else what the outcome needs said.
std::string FleetUnit::message() const
{
    std::string failures = m_failures.str();
    while (!failures.empty() && failures.back() == '\n')
        failures.pop_back();
    if (!failures.empty()) {
        std::string last = failures.substr(failures.rfind('\n') + 1);
        if (last.rfind(kFailurePrefix, 0) == 0)
            last.erase(0, std::char_traits<char>::length(kFailurePrefix));
        return last;
    }
    if (m_status == kExitDifferences) {
        const int count = m_session->differences();
        return std::to_string(count) + (count == 1 ? " setting differs" : " settings differ");
    }
    if (m_status == kExitDone && m_options.command != Command::Diff)
        return app::Cp1252ToUtf8(app::PathText(m_options.file));
    return {};
}

} // namespace pravenor::cli
