#include "cli/headless_session.h"

#include "app/cp1252.h"
#include "app/text_functions.h"
#include "cli/cli_report.h"
#include "cli/exit_status.h"
#include "cli/report_command.h"
#include "files/settings_file_text.h"
#include "link/com_port.h"
#include "link/control_chars.h"
#include "program/commands.h"
#include "program/start_program.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace pravenor::cli {

namespace {

// The batch a command asks of the engine, where it asks one (get and set ask single items).
std::optional<link::Job> jobOf(Command command)
{
    switch (command) {
    case Command::Read:
    case Command::Diff:
    case Command::Report:
        return link::Job::ReadAll;
    case Command::Write: // with --verify each setting is read back as soon as it is written
        return link::Job::WriteAll;
    case Command::Restart:
        return link::Job::Restart;
    case Command::Page:
        return link::Job::PagerCall;
    default:
        return std::nullopt;
    }
}

// A simulated run is not paced; this only guards against a run that never ends.
constexpr long kMaxSimulatedTicks = 200'000;
// A port that keeps coming and going is as useless as one that stays away.
constexpr int kMaxRecoveries = 5;

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

std::string named(int item)
{
    const std::string legend = settings::ItemLegend(item);
    return "setting " + std::to_string(item) + (legend.empty() ? "" : " (" + legend + ")");
}

std::vector<int> exchangedItems()
{
    std::vector<int> items;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (settings::ItemIsImplemented(item))
            items.push_back(item);
    }
    return items;
}

std::string utf8(const std::string& cp1252)
{
    return app::Cp1252ToUtf8(cp1252);
}

} // namespace

HeadlessSession::HeadlessSession(const CliOptions& options, std::filesystem::path programFolder,
                                 Console& console, std::ostream& out)
    : m_options(options), m_console(console), m_out(out), m_view(console),
      m_session(options.common, std::move(programFolder), m_clock, m_controls, m_view),
      m_line(m_session.line()), m_program(&m_session.program())
{
    m_program->log.setLineObserver([this](const std::string& line) { m_console.logLine(line); });
    m_program->log.setFileFailureObserver(
        [this](const std::string& note) { m_console.failure(utf8(note)); });
    if (!m_options.unitName.empty())
        m_program->log.setSource(m_options.unitName);
    m_program->history.keepUnit = !m_options.noBackup;
    m_program->history.verify = m_options.verify;
    m_program->engine.setJobObserver([this](link::Job job, link::JobEnd end) {
        if (m_stepIndex < m_steps.size() && m_steps[m_stepIndex].job == job)
            m_jobEnd = end;
        // The bar stops on the last setting sent; a batch that is done is all of it.
        if (end == link::JobEnd::Done && (job == link::Job::ReadAll || job == link::Job::WriteAll))
            m_console.completeBar();
    });

    // History asks nothing of the converter; a fleet runs a session of its own for each unit.
    if (const std::optional<link::Job> job = jobOf(m_options.command))
        m_steps = {{*job}};
    else if (m_options.command == Command::Get || m_options.command == Command::Set)
        m_steps = {{std::nullopt}};
    else if (m_options.command == Command::Restore)
        m_steps = {{std::nullopt, Step::Restore::Reads}, {std::nullopt, Step::Restore::Writes}};
}

HeadlessSession::~HeadlessSession() = default;

std::string HeadlessSession::deviceName() const
{
    return utf8(link::VisibleText(m_program->port.deviceFor(m_program->config.ComPortIndex)));
}

void HeadlessSession::finish(int status)
{
    if (!m_status)
        m_status = status;
}

void HeadlessSession::fail(int status, const std::string& why)
{
    if (m_status)
        return;
    m_console.failure(why);
    finish(status);
}

bool HeadlessSession::start()
{
    // A file that cannot be used must not cost a connection.
    if (m_options.command == Command::Write || m_options.command == Command::Diff) {
        m_snapshot = program::ReadSettingsSnapshot(m_options.file);
        if (!m_snapshot.ok) {
            fail(kExitUsage, utf8(m_snapshot.message));
            return false;
        }
    }
    // write puts the file's values on the converter, or none: a value the setting cannot hold
    // would become another one, and a text with control bytes is never sent.
    if (m_options.command == Command::Write) {
        const program::FileValueFaults faults = program::CheckFileValues(m_snapshot.values);
        for (int item : faults.controlTexts)
            m_console.failure(named(item) +
                              ": the file's text holds control characters, which are never sent");
        if (!m_options.lenient) {
            for (const program::SettingDifference& d : faults.unholdable)
                m_console.failure(named(d.item) + ": the file's value " + utf8(d.theirsText) +
                                  " cannot be held (the window would show " + utf8(d.oursText) +
                                  ")");
        }
        const bool unholdable = !m_options.lenient && !faults.unholdable.empty();
        if (unholdable || !faults.controlTexts.empty()) {
            fail(kExitUsage,
                 std::string("nothing was written") +
                     (unholdable ? "; --lenient writes what the window would show instead" : ""));
            return false;
        }
    }
    HeadlessStartup steps(m_options.comNumber);
    program::StartProgram(*m_program, m_options.common.commandLine, steps);
    if (m_program->port.PortIsOpen() != 1) {
        const std::string reason = utf8(m_line.serial().failureReason());
        fail(kExitPort,
             "cannot open the port " + deviceName() + (reason.empty() ? "" : ": " + reason));
        return false;
    }
    if (m_options.command == Command::Restore && !chooseSnapshot())
        return false;
    if (m_options.command == Command::Write) {
        const files::FileResult loaded = program::LoadSettings(*m_program, m_options.file);
        if (!loaded.ok) {
            fail(kExitUsage, utf8(loaded.message.empty() ? "the settings file cannot be used"
                                                         : loaded.message));
            return false;
        }
        // The window's boxes cannot hold every value a file may carry; say so before writing.
        for (const program::SettingDifference& d :
             program::CompareSettings(program::ScreenValues(*m_program), m_snapshot.values)) {
            m_console.failure("warning: " + named(d.item) + ": the file's value " +
                              utf8(d.theirsText) + " cannot be held; " + utf8(d.oursText) +
                              " is written instead");
        }
    }
    return true;
}

std::vector<int> HeadlessSession::itemsNotDone() const
{
    if (m_restore) {
        const settings::RestorePlan plan = m_restore->plan(*m_program);
        std::vector<int> items = plan.readFirst;
        if (m_steps[m_stepIndex].restore == Step::Restore::Writes) {
            const auto& refused = m_program->history.lastSummary().refused;
            items.insert(items.end(), refused.begin(), refused.end());
            // Read back, a difference is the converter's answer, listed at the end.
            if (!m_options.verify)
                items.insert(items.end(), plan.writes.begin(), plan.writes.end());
        }
        std::sort(items.begin(), items.end());
        items.erase(std::unique(items.begin(), items.end()), items.end());
        return items;
    }
    std::vector<int> items = m_options.items;
    const auto& unit = m_program->stores.UnitValues;
    // Every unit value is forgotten before its request: a value there now came from this run.
    std::erase_if(items, [&](int item) {
        return !(unit[static_cast<std::size_t>(item)] == settings::SettingValue::Number(-1));
    });
    // A setting is written once the converter is known to hold the value taken from the screen
    // (read first, its earlier value is in the stores too). Read back, that is what it holds.
    const program::UnitHistory& history = m_program->history;
    for (const SettingArgument& setting : m_options.settings) {
        const auto at = static_cast<std::size_t>(setting.item);
        if (!history.known().test(at) || !settings::SameSetting(setting.item, history.seen()[at],
                                                                m_program->stores.WorkValues[at]))
            items.push_back(setting.item);
    }
    return items;
}

bool HeadlessSession::requestsServed() const
{
    const auto& requests = m_program->stores.ItemRequest;
    return m_program->engine.state() == link::EngineState::Idle &&
           std::all_of(requests.begin(), requests.end(),
                       [](settings::Request r) { return r == settings::Request::None; });
}

void HeadlessSession::issue()
{
    m_jobEnd.reset();
    m_portWasLost = false;
    program::Program& program = *m_program;
    const Step& step = m_steps[m_stepIndex];
    if (step.restore != Step::Restore::No) {
        const std::vector<int> items = step.restore == Step::Restore::Reads
                                           ? m_restore->requestReads(program)
                                           : m_restore->requestWrites(program);
        if (step.restore == Step::Restore::Writes)
            program.log.WriteLog(
                app::NumToStr(static_cast<long long>(items.size())) +
                " settings differ from the snapshot " + app::PathText(m_restoreFile.filename()) +
                (items.empty() ? ": nothing to write." : " and are written back."));
        return;
    }
    if (!step.job) {
        const std::vector<int> pending = itemsNotDone();
        auto isPending = [&](int item) {
            return std::find(pending.begin(), pending.end(), item) != pending.end();
        };
        for (int item : m_options.items) {
            if (isPending(item))
                program::ReadSingle(program, item);
        }
        for (const SettingArgument& setting : m_options.settings) {
            if (!isPending(setting.item))
                continue;
            program::ShowOnScreen(program, setting.item, setting.value);
            program::WriteSingle(program, setting.item);
        }
        return;
    }
    switch (*step.job) {
    case link::Job::ReadAll:
        program::ReadAll(program);
        return;
    case link::Job::WriteAll:
        program::WriteAll(program);
        return;
    case link::Job::Restart:
        program::Restart(program);
        return;
    case link::Job::PagerCall:
        m_controls.setPagerInputs(m_options.pagerAddress, m_options.pagerText,
                                  m_options.pagerBleep);
        program::CallPager(program);
        return;
    }
}

void HeadlessSession::tick()
{
    m_program->engine.ProcessTransfer(0);
    m_line.advance(m_program->engine.tickInterval());
}

// After every tick: has the step ended, failed, or lost its port?
void HeadlessSession::watch()
{
    if (m_status)
        return;
    const link::TransferEngine& engine = m_program->engine;
    m_ranFor += engine.tickInterval();
    if (m_options.timeoutSeconds && m_ranFor > std::chrono::seconds(*m_options.timeoutSeconds)) {
        failTimedOut();
        return;
    }
    const bool portLost = engine.state() == link::EngineState::PortLost;
    // A network line counts as open while it connects, so the engine may sit idle on one
    // that never connects; the wait runs until the line can carry bytes.
    if (portLost || !m_line.usable()) {
        m_portWasLost = m_portWasLost || portLost;
        m_lostFor += engine.tickInterval();
        if (m_lostFor > std::chrono::seconds(m_options.portWaitSeconds))
            failPortAway();
        if (portLost)
            return;
    } else {
        m_lostFor = {};
        m_portWasUsable = true;
    }
    const bool portOpen = m_program->port.PortIsOpen() == 1;
    if (m_recovering) {
        // Back means able to carry bytes, not a connection still being tried.
        if (engine.state() != link::EngineState::Idle || !portOpen || !m_line.usable())
            return;
        m_recovering = false;
        if (++m_recoveries > kMaxRecoveries) {
            fail(kExitPort, "the port " + deviceName() + " keeps going away");
            return;
        }
        m_program->log.WriteLog("The port is back: the command starts again.");
        issue();
        return;
    }
    const Step& step = m_steps[m_stepIndex];
    if (step.job) {
        if (!m_jobEnd)
            return;
        const bool lost = *m_jobEnd == link::JobEnd::PortLost || !portOpen;
        // A pager call is never repeated: whether the converter passed it on before the port
        // went cannot be known, and a second call reaches a person twice.
        if ((lost || m_portWasLost) && *step.job == link::Job::PagerCall)
            fail(kExitConverter,
                 "the port " + deviceName() +
                     (engine.pagerCallSent()
                          ? " went away during the pager call: the call may or may not have "
                            "gone out, and it is not sent again"
                          : " went away before the pager call was sent: the call was not sent"));
        // A batch dropped by a lost port, or one whose port would not reopen, is tried again.
        else if (lost)
            m_recovering = true;
        else if (*m_jobEnd == link::JobEnd::Done && engine.refusedCount() == 0)
            stepEnded();
        else
            stepFailed({});
        return;
    }
    if (!requestsServed())
        return;
    const std::vector<int> missing = itemsNotDone();
    if (missing.empty())
        stepEnded();
    else if (m_portWasLost) // the requests were dropped when the port came back
        m_recovering = true;
    else
        stepFailed(missing);
}

// A line that passes a byte a second would hold a read-all for half an hour: the bound the
// user gave ends it, saying how far it got.
void HeadlessSession::failTimedOut()
{
    const auto& requests = m_program->stores.ItemRequest;
    const auto pending = std::count_if(requests.begin(), requests.end(), [](settings::Request r) {
        return r != settings::Request::None;
    });
    std::string left = "step " + std::to_string(m_stepIndex + 1) + " of " +
                       std::to_string(m_steps.size()) + " was running";
    if (pending > 0)
        left += ", " + std::to_string(pending) + (pending == 1 ? " setting" : " settings") +
                " still to go";
    fail(m_portWasUsable ? kExitConverter : kExitPort,
         "the command did not finish within " + std::to_string(*m_options.timeoutSeconds) +
             " s (--timeout): " + left);
}

void HeadlessSession::failPortAway()
{
    const std::string reason = utf8(m_line.serial().failureReason());
    const std::string wait = std::to_string(m_options.portWaitSeconds) + " s";
    if (!m_portWasUsable)
        fail(kExitPort, "cannot open the port " + deviceName() +
                            (reason.empty() ? "" : ": " + reason) + " (tried for " + wait + ")");
    else
        fail(kExitPort, "the port " + deviceName() + " went away and did not come back within " +
                            wait + (reason.empty() ? "" : " (" + reason + ")"));
}

void HeadlessSession::stepEnded()
{
    if (++m_stepIndex < m_steps.size())
        issue();
    else
        complete();
}

void HeadlessSession::stepFailed(const std::vector<int>& missing)
{
    const Step& step = m_steps[m_stepIndex];
    if (!step.job) {
        const bool reading =
            m_options.command == Command::Get || step.restore == Step::Restore::Reads;
        for (int item : missing)
            m_console.failure(named(item) + (reading ? " could not be read" : " was not written"));
        finish(kExitConverter);
        return;
    }
    switch (*step.job) {
    case link::Job::ReadAll:
        fail(kExitConverter,
             m_stepIndex > 0 ? "reading the settings back failed" : "reading the settings failed");
        return;
    case link::Job::WriteAll: {
        const int refused = m_program->engine.refusedCount();
        fail(kExitConverter,
             refused > 0
                 ? std::to_string(refused) + " of the file's settings were refused and not written"
                 : "writing the settings failed");
        return;
    }
    case link::Job::Restart:
        fail(kExitConverter, "the converter did not confirm the restart");
        return;
    case link::Job::PagerCall:
        fail(kExitConverter, "the converter did not confirm the pager call");
        return;
    }
}

void HeadlessSession::complete()
{
    program::Program& program = *m_program;
    const auto& unit = program.stores.UnitValues;
    switch (m_options.command) {
    case Command::Read: {
        if (!m_options.file.empty()) {
            const files::FileResult saved = program::SaveSettings(program, m_options.file);
            if (!saved.ok) {
                fail(kExitUsage,
                     utf8(saved.message.empty() ? "the settings could not be saved to " +
                                                      app::PathText(m_options.file)
                                                : saved.message));
                return;
            }
            program.log.WriteLog("Settings saved to " + app::PathText(m_options.file));
        }
        if (m_options.json) {
            m_out << SettingsJson(exchangedItems(), unit);
        } else if (m_options.file.empty()) {
            const files::SettingsFileText text =
                files::BuildSettingsFileText(program::ScreenValues(program));
            for (const std::string& warning : text.warnings)
                program.log.WriteLog(warning);
            m_out << text.content; // the file's own bytes, as "Save to file" writes them
        }
        finish(kExitDone);
        return;
    }
    case Command::Write:
    case Command::Diff: {
        if (m_options.command == Command::Write && !m_options.verify) {
            finish(kExitDone);
            return;
        }
        const auto differences = program::CompareSettings(unit, m_snapshot.values);
        m_differences = static_cast<int>(differences.size());
        m_out << (m_options.json ? DifferencesJson(m_options.file, differences)
                                 : DifferenceLines(differences));
        // Nothing listed says it too, but a person asked: one line, beside the log.
        if (differences.empty() && !m_options.json)
            m_console.logLine("The unit matches " + app::PathText(m_options.file.filename()) +
                              (m_options.command == Command::Write
                                   ? ": every setting read back as written."
                                   : ": no differences."));
        finish(differences.empty() ? kExitDone : kExitDifferences);
        return;
    }
    case Command::Get:
        m_out << (m_options.json ? SettingsJson(m_options.items, unit)
                                 : ItemLines(m_options.items, unit));
        finish(kExitDone);
        return;
    case Command::Set: {
        const auto& differs = program.history.lastSummary().differs;
        for (int item : differs)
            m_console.failure(
                named(item) + ": read back, the converter holds " +
                utf8(program::ShownValue(item, unit[static_cast<std::size_t>(item)])));
        finish(differs.empty() ? kExitDone : kExitDifferences);
        return;
    }
    case Command::Restore:
        completeRestore();
        return;
    case Command::Report: {
        const std::string line = m_line.demo() ? "the demo converter" : deviceName();
        const program::CommissioningReport report = program::BuildCommissioningReport(
            CliReportHeading(m_options, "read from the unit", app::Utf8ToCp1252(line)),
            program::ScreenValues(program), unit);
        const std::string why = WriteReportFile(report, m_options.reportFile);
        if (!why.empty()) {
            fail(kExitUsage, "the report could not be written to " +
                                 utf8(app::PathText(m_options.reportFile)) + ": " + why);
            return;
        }
        finish(kExitDone);
        return;
    }
    case Command::Restart:
    case Command::Page:
    case Command::History:
    case Command::Fleet:
        finish(kExitDone);
        return;
    }
}

// With --verify, what the converter holds after the writes and differs from the snapshot.
void HeadlessSession::completeRestore()
{
    program::Program& program = *m_program;
    const auto& differs = program.history.lastSummary().differs;
    if (differs.empty()) {
        finish(kExitDone);
        return;
    }
    settings::ValueStores::Store wanted = program.stores.UnitValues;
    for (int item : differs)
        wanted[static_cast<std::size_t>(item)] =
            m_restore->snapshot().values[static_cast<std::size_t>(item)];
    m_out << DifferenceLines(program::CompareSettings(program.stores.UnitValues, wanted));
    finish(kExitDifferences);
}

// The snapshot named, as a path or as a file name that "history" lists; else the newest.
bool HeadlessSession::chooseSnapshot()
{
    const files::SnapshotStore store = m_program->history.snapshots();
    if (m_options.file.empty()) {
        const std::vector<files::Snapshot> kept = store.list();
        if (kept.empty()) {
            fail(kExitUsage, "no snapshot of the converter on " + deviceName() + " is kept in " +
                                 utf8(app::PathText(store.folder())));
            return false;
        }
        m_restoreFile = kept.front().path;
    } else {
        std::error_code error;
        m_restoreFile = m_options.file;
        if (!std::filesystem::exists(m_restoreFile, error) && !m_restoreFile.has_parent_path())
            m_restoreFile = store.folder() / m_options.file;
    }
    files::SnapshotContent content = files::SnapshotStore::load(m_restoreFile);
    if (!content.ok) {
        fail(kExitUsage, "the snapshot " + utf8(app::PathText(m_options.file)) + " cannot be read");
        return false;
    }
    m_program->log.WriteLog("Restoring the snapshot " + app::PathText(m_restoreFile));
    m_restore.emplace(std::move(content));
    return true;
}

// The line's snapshots, newest first: no converter is needed for that.
int HeadlessSession::listHistory()
{
    program::Program& program = *m_program;
    HeadlessStartup steps(m_options.comNumber);
    program.config.ReadProgramConfig(program.folder / app::ProgramConfig::kFileName);
    steps.ProgramConfigRead(program.config);
    program.history.lineOpened(program.port.deviceFor(program.config.ComPortIndex));
    const std::vector<files::JournalRow> rows = program.history.journal().read();
    for (const files::Snapshot& snapshot : program.history.snapshots().list()) {
        const app::LocalTime& t = snapshot.taken;
        char when[32];
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                      t.hour, t.minute, t.second);
        const int changed = program::ChangesAfter(rows, snapshot.fileName);
        m_out << snapshot.fileName << "  " << when << "  " << changed
              << (changed == 1 ? " setting" : " settings") << " changed by the write after it\n";
    }
    m_out << std::flush;
    m_console.finish();
    return kExitDone;
}

bool HeadlessSession::begin()
{
    if (m_began)
        return !m_status;
    m_began = true;
    if (!start())
        return false;
    issue();
    return true;
}

void HeadlessSession::step()
{
    if (m_status)
        return;
    tick();
    watch();
}

std::chrono::milliseconds HeadlessSession::tickInterval() const
{
    return m_program->engine.tickInterval();
}

int HeadlessSession::end()
{
    if (!m_ended) {
        m_ended = true;
        m_program->port.CloseComPort();
        m_out << std::flush;
        m_console.finish();
    }
    return m_status.value_or(kExitConverter);
}

int HeadlessSession::settingsRead() const
{
    return static_cast<int>(m_program->history.known().count());
}

int HeadlessSession::settingsWritten() const
{
    const program::WriteSummary& summary = m_program->history.lastSummary();
    return static_cast<int>(summary.written.size() + summary.verified.size() +
                            summary.differs.size());
}

void HeadlessSession::setLogEcho(std::function<void(const std::string&)> echo)
{
    m_program->log.setLineObserver(std::move(echo));
}

int HeadlessSession::run()
{
    if (m_options.command == Command::History)
        return listHistory();
    if (begin()) {
        if (m_line.demo()) {
            for (long n = 0; n < kMaxSimulatedTicks && !m_status; ++n)
                step();
            fail(kExitConverter, "the simulated converter did not finish");
        } else {
            QTimer timer;
            timer.setTimerType(Qt::PreciseTimer);
            timer.setInterval(static_cast<int>(tickInterval().count()));
            QObject::connect(&timer, &QTimer::timeout, [this, &timer] {
                step();
                if (const auto next = static_cast<int>(tickInterval().count());
                    timer.interval() != next)
                    timer.setInterval(next);
                if (m_status)
                    QCoreApplication::exit(0);
            });
            timer.start();
            QCoreApplication::exec();
        }
    }
    return end();
}

} // namespace pravenor::cli
