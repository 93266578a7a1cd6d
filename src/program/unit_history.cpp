#include "program/unit_history.h"

#include "app/cp1252.h"
#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/control_chars.h"
#include "settings/catalogue.h"
#include "settings/choice_lists.h"
#include "settings/page_layout.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pravenor::program {

using files::WriteOutcome;
using settings::SettingValue;

namespace {

// Where the summary lists the settings of each outcome.
constexpr std::array<std::pair<WriteOutcome, std::vector<int> WriteSummary::*>, 5> kSummaryLists = {
    {
        {WriteOutcome::Written, &WriteSummary::written},
        {WriteOutcome::Verified, &WriteSummary::verified},
        {WriteOutcome::DiffersAfterVerify, &WriteSummary::differs},
        {WriteOutcome::Refused, &WriteSummary::refused},
        {WriteOutcome::Failed, &WriteSummary::failed},
    }};

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

bool succeeded(WriteOutcome outcome)
{
    return outcome == WriteOutcome::Written || outcome == WriteOutcome::Verified;
}

} // namespace

std::string ShownValue(int item, const SettingValue& value)
{
    if (settings::IsChoiceItem(item)) {
        const std::vector<std::string> entries = settings::ChoiceEntries(item);
        const auto position = value.asWhole();
        if (position && *position >= 0 && static_cast<std::size_t>(*position) < entries.size())
            return entries[static_cast<std::size_t>(*position)];
    }
    return link::VisibleText(value.asText());
}

std::string WriteSummaryText(const WriteSummary& summary)
{
    constexpr std::size_t kNamesShown = 10;
    const std::pair<const char*, const std::vector<int>*> lines[] = {
        {"Written", &summary.written},
        {"Verified", &summary.verified},
        {"Differs after verify", &summary.differs},
        {"Refused", &summary.refused},
        {"Failed", &summary.failed},
    };
    std::string text;
    for (const auto& [label, items] : lines) {
        if (items->empty())
            continue;
        std::string names;
        for (std::size_t n = 0; n < items->size() && n < kNamesShown; ++n)
            names += (n == 0 ? "" : "; ") + settings::SettingFullName((*items)[n]);
        if (items->size() > kNamesShown)
            names += "; and " + app::NumToStr(static_cast<long long>(items->size() - kNamesShown)) +
                     " more";
        text += (text.empty() ? "" : "\r\n") + std::string(label) + ": " +
                app::NumToStr(static_cast<long long>(items->size())) + " (" + names + ")";
    }
    return text;
}

int ChangesAfter(std::span<const files::JournalRow> rows, const std::string& snapshot)
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const auto& row) {
        return row.snapshot == snapshot &&
               (succeeded(row.outcome) || row.outcome == WriteOutcome::DiffersAfterVerify);
    }));
}

UnitHistory::UnitHistory(std::filesystem::path programFolder, const app::Clock& clock,
                         app::MessageLog& log)
    : m_folder(std::move(programFolder)), m_clock(clock), m_log(log)
{
}

void UnitHistory::lineOpened(std::string lineText)
{
    m_line = std::move(lineText);
    forgetUnit();
}

void UnitHistory::forgetUnit()
{
    m_known.reset();
    m_seen = {};
}

int UnitHistory::unknownBefore(std::span<const int> writes) const
{
    return static_cast<int>(settings::PlanWrite(writes, m_known, false).unknown.size());
}

files::SnapshotStore UnitHistory::snapshots() const
{
    return files::SnapshotStore(m_folder, m_line);
}

files::ChangeJournal UnitHistory::journal() const
{
    return files::ChangeJournal(m_folder);
}

void UnitHistory::setSummaryObserver(std::function<void(const WriteSummary&)> observer)
{
    m_summaryObserver = std::move(observer);
}

std::vector<int> UnitHistory::readFirst(std::span<const int> writes)
{
    m_snapshotTaken = false;
    m_snapshotName.clear();
    m_summary = {};
    return settings::PlanWrite(writes, m_known, keepUnit).readFirst;
}

void UnitHistory::beforeFirstWrite()
{
    m_before = m_seen;
    m_beforeKnown = m_known;
    m_snapshotTaken = true;
    const files::SnapshotSave saved = snapshots().save(m_seen, m_known, m_clock.now());
    for (const std::string& warning : saved.warnings)
        m_log.WriteLog(warning);
    if (!saved.ok) {
        m_log.WriteLog("The unit's settings could not be kept before writing: " + saved.error);
        return;
    }
    m_snapshotName = saved.snapshot.fileName;
    m_summary.snapshot = m_snapshotName;
    m_log.WriteLog("The unit's settings kept in " + app::PathText(saved.snapshot.path));
}

void UnitHistory::settingRead(int item, const SettingValue& value)
{
    if (item < 0 || item >= settings::kItemCount)
        return;
    m_seen[at(item)] = value;
    m_known.set(at(item));
    const auto back = m_readingBack.find(item);
    if (back == m_readingBack.end())
        return;
    const bool same = settings::SameSetting(item, back->second, value);
    const SettingValue written = back->second;
    m_readingBack.erase(back);
    record(item, written, same ? WriteOutcome::Verified : WriteOutcome::DiffersAfterVerify);
}

void UnitHistory::settingWritten(int item, const SettingValue& value, link::WriteEnd end)
{
    if (item < 0 || item >= settings::kItemCount)
        return;
    switch (end) {
    case link::WriteEnd::Acknowledged:
        m_failing.erase(item);
        m_seen[at(item)] = value;
        m_known.set(at(item));
        if (verify)
            m_readingBack[item] = value;
        else
            record(item, value, WriteOutcome::Written);
        return;
    case link::WriteEnd::Refused:
        record(item, value, WriteOutcome::Refused);
        return;
    case link::WriteEnd::Failed:
        // The converter may or may not have taken it.
        m_known.reset(at(item));
        m_failing[item] = value;
        return;
    }
}

void UnitHistory::writesEnded()
{
    for (const auto& [item, value] : m_failing)
        record(item, value, WriteOutcome::Failed);
    // Written, but the read-back never came: it stands as written.
    for (const auto& [item, value] : m_readingBack)
        record(item, value, WriteOutcome::Written);
    m_failing.clear();
    m_readingBack.clear();
    for (const auto& [outcome, list] : kSummaryLists)
        std::sort((m_summary.*list).begin(), (m_summary.*list).end());
    m_lastSummary = m_summary;
    m_summary = {};
    m_snapshotTaken = false;
    if (m_summaryObserver && !m_lastSummary.empty())
        m_summaryObserver(m_lastSummary);
}

void UnitHistory::record(int item, const SettingValue& after, WriteOutcome outcome)
{
    for (const auto& [listed, list] : kSummaryLists) {
        if (listed == outcome)
            (m_summary.*list).push_back(item);
    }
    const bool beforeKnown = m_snapshotTaken && m_beforeKnown.test(at(item));
    // A write that left the setting as it was changed nothing worth a row.
    if (beforeKnown && succeeded(outcome) && settings::SameSetting(item, m_before[at(item)], after))
        return;
    files::JournalRow row;
    row.when = m_clock.now();
    row.line = m_line;
    row.item = item;
    row.setting = settings::SettingFullName(item);
    row.before = beforeKnown ? ShownValue(item, m_before[at(item)]) : std::string();
    row.after = ShownValue(item, after);
    row.outcome = outcome;
    row.snapshot = m_snapshotName;
    const files::JournalResult result = journal().append(std::span(&row, 1));
    m_sessionChanges.push_back(row);
    if (result.ok) {
        m_journalFailing = false;
        return;
    }
    // Said once, as the day's log says it, until it can be written again.
    if (!m_journalFailing)
        m_log.WriteLog(result.error);
    m_journalFailing = true;
}

} // namespace pravenor::program
