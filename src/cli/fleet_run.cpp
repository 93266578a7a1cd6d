#include "cli/fleet_run.h"

#include "app/cp1252.h"
#include "cli/exit_status.h"
#include "cli/fleet_unit.h"
#include "cli/json_text.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>

namespace pravenor::cli {

namespace {

constexpr std::chrono::milliseconds kLiveRefresh{250};
constexpr std::size_t kMostLiveLines = 20;

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

} // namespace

FleetRun::FleetRun(const CliOptions& options, std::filesystem::path programFolder,
                   std::ostream& err, bool terminal, int width, std::ostream& out)
    : m_options(options), m_folder(std::move(programFolder)), m_err(err),
      m_live(terminal && !options.quiet), m_width(std::max(width, 40)), m_out(out)
{
}

FleetRun::~FleetRun() = default;

// The sites file and the selection are checked whole before any line is opened.
bool FleetRun::prepare()
{
    const FleetOptions& fleet = m_options.fleet;
    const std::string sitesName = app::Cp1252ToUtf8(app::PathText(fleet.sites));
    const program::SitesFile sites = program::ReadSitesFile(fleet.sites);
    for (const std::string& refusal : sites.refusals)
        m_err << "pravenor-cli: " << sitesName << ":" << app::Cp1252ToUtf8(refusal) << '\n';
    if (!sites.ok())
        return false;
    const std::vector<std::string> unknown = program::UnknownSites(sites, fleet.only);
    for (const std::string& name : unknown)
        m_err << "pravenor-cli: --only " << app::Cp1252ToUtf8(name) << ": no unit of that name in "
              << sitesName << '\n';
    if (!unknown.empty())
        return false;
    if (fleet.action == FleetAction::Read) {
        std::error_code error;
        std::filesystem::create_directories(fleet.folder, error);
        if (!std::filesystem::is_directory(fleet.folder, error)) {
            m_err << "pravenor-cli: cannot create the folder "
                  << app::Cp1252ToUtf8(app::PathText(fleet.folder)) << '\n';
            return false;
        }
    }
    for (const program::Site& site : sites.sites) {
        if (fleet.only.empty() ||
            std::find(fleet.only.begin(), fleet.only.end(), site.name) != fleet.only.end())
            m_units.push_back(std::make_unique<FleetUnit>(site, m_options, fleet.folder));
    }
    return true;
}

void FleetRun::startWaiting()
{
    const std::size_t most =
        m_options.fleet.jobs > 0 ? static_cast<std::size_t>(m_options.fleet.jobs) : m_units.size();
    // Without a terminal the log lines are the record of the run; with one, the live lines.
    std::function<void(const std::string&)> echo;
    if (!m_live && !m_options.quiet)
        echo = [this](const std::string& line) { m_err << app::Cp1252ToUtf8(line) << '\n'; };
    while (m_next < m_units.size() && static_cast<std::size_t>(m_running) < most) {
        FleetUnit& unit = *m_units[m_next++];
        ++m_running;
        unit.start(m_folder, echo, [this, &unit] { unitEnded(unit); });
    }
}

void FleetRun::unitEnded(FleetUnit&)
{
    --m_running;
    // Called from inside a unit's start or tick: the next units start on the loop's next turn,
    // and the loop ends there once none is left.
    QTimer::singleShot(0, [this] {
        startWaiting();
        if (m_running == 0 && m_next == m_units.size())
            QCoreApplication::exit(0);
    });
}

void FleetRun::drawLive()
{
    if (!m_live)
        return;
    // A line each while they fit on a screen; beyond that the units not ended, then a count.
    std::vector<const FleetUnit*> shown;
    int ended = 0;
    for (const auto& unit : m_units) {
        ended += unit->status() ? 1 : 0;
        if (m_units.size() <= kMostLiveLines || (unit->started() && !unit->status()))
            shown.push_back(unit.get());
    }
    const bool counted = m_units.size() > kMostLiveLines;
    if (shown.size() > kMostLiveLines - 1 && counted)
        shown.resize(kMostLiveLines - 1);
    std::size_t nameWidth = 4;
    for (const FleetUnit* unit : shown)
        nameWidth = std::max(nameWidth, unit->site().name.size());
    std::vector<std::string> lines;
    for (const FleetUnit* unit : shown)
        lines.push_back(padded(unit->site().name, nameWidth) + "  " + padded(unit->state(), 34) +
                        " " + secondsText(unit->seconds()) + " s");
    if (counted)
        lines.push_back(std::to_string(ended) + " of " + std::to_string(m_units.size()) +
                        " units ended, " + std::to_string(m_running) + " running");
    if (m_drawnLines > 0)
        m_err << "\033[" << m_drawnLines << "A\r\033[J";
    for (std::string& line : lines) {
        if (line.size() > static_cast<std::size_t>(m_width - 1))
            line.resize(static_cast<std::size_t>(m_width - 1));
        m_err << line << '\n';
    }
    m_drawnLines = static_cast<int>(lines.size());
    m_err << std::flush;
}

// The worst of the units: a converter's failure over an unreachable unit over a file that
// could not be used over differences.
int FleetRun::status() const
{
    int worst = kExitDone;
    for (const auto& unit : m_units)
        worst = std::max(worst, unit->status().value_or(kExitConverter));
    return worst;
}

void FleetRun::report()
{
    if (m_options.json) {
        m_out << "{\"status\": " << status() << ", \"units\": [";
        const char* separator = "";
        for (const auto& unit : m_units) {
            m_out << separator << "{\"name\": " << JsonString(unit->site().name)
                  << ", \"line\": " << JsonString(app::Cp1252ToUtf8(unit->site().line.text()))
                  << ", \"outcome\": " << JsonString(unit->outcome())
                  << ", \"status\": " << unit->status().value_or(kExitConverter)
                  << ", \"items\": " << unit->items()
                  << ", \"seconds\": " << secondsText(unit->seconds())
                  << ", \"message\": " << JsonString(unit->message());
            if (!unit->output().empty())
                m_out << ", \"comparison\": " << unit->output();
            m_out << "}";
            separator = ", ";
        }
        m_out << "]}\n" << std::flush;
        return;
    }
    // Differences first, each line under its unit's name, then the table.
    for (const auto& unit : m_units) {
        const std::string& text = unit->output();
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            m_out << unit->site().name << ": " << text.substr(at, end - at) << '\n';
            at = end + 1;
        }
    }
    using Row = std::array<std::string, 6>;
    std::vector<Row> rows{{"NAME", "LINE", "OUTCOME", "ITEMS", "SECONDS", "MESSAGE"}};
    for (const auto& unit : m_units)
        rows.push_back({unit->site().name, app::Cp1252ToUtf8(unit->site().line.text()),
                        unit->outcome(), std::to_string(unit->items()),
                        secondsText(unit->seconds()), unit->message()});
    std::array<std::size_t, 6> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            const bool number = column == 3 || column == 4;
            const std::string cell = row[column];
            const std::size_t gap = widths[column] - cell.size();
            line += number ? std::string(gap, ' ') + cell : cell + std::string(gap, ' ');
            line += "  ";
        }
        line += row.back();
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        m_out << line << '\n';
    }
    m_out << std::flush;
}

// So that a run can be taken up again with the units that did not end well, and no others.
void FleetRun::sayWhatIsLeft()
{
    std::string names;
    int count = 0;
    for (const auto& unit : m_units) {
        const int status = unit->status().value_or(kExitConverter);
        if (status == kExitDone || status == kExitDifferences)
            continue;
        names += (names.empty() ? "" : ",") + unit->site().name;
        ++count;
    }
    if (count > 0)
        m_err << "pravenor-cli: " << count << (count == 1 ? " unit" : " units")
              << " did not end well; again with --only " << names << '\n';
}

int FleetRun::run()
{
    if (!prepare())
        return kExitUsage;
    QTimer live;
    if (m_live) {
        QObject::connect(&live, &QTimer::timeout, [this] { drawLive(); });
        live.start(static_cast<int>(kLiveRefresh.count()));
        drawLive();
    }
    startWaiting();
    if (m_running > 0 || m_next < m_units.size())
        QCoreApplication::exec();
    live.stop();
    drawLive();
    report();
    sayWhatIsLeft();
    return status();
}

} // namespace pravenor::cli
