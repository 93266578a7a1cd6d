// The commissioning report's content and its HTML, from the stores alone.
#include "full_unit.h"
#include "program/commissioning_report.h"
#include "program/report_html.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace pravenor {
namespace {

using program::CommissioningReport;
using program::ReportValue;
using program::UnitMark;
using settings::SettingValue;

void put(settings::ValueStores::Store& store, int item, SettingValue value)
{
    store[static_cast<std::size_t>(item)] = std::move(value);
}

std::vector<int> itemsOf(const std::vector<ReportValue>& values)
{
    std::vector<int> items;
    for (const ReportValue& v : values)
        items.push_back(v.item);
    return items;
}

// Every value the report shows, wherever it stands.
std::vector<ReportValue> allValues(const CommissioningReport& report)
{
    std::vector<ReportValue> all = report.general;
    all.insert(all.end(), report.paging.begin(), report.paging.end());
    for (const auto& input : report.inputs) {
        all.insert(all.end(), {input.use, input.guarding, input.contactType});
        all.insert(all.end(), input.alarm.begin(), input.alarm.end());
        all.insert(all.end(), input.error.begin(), input.error.end());
    }
    for (const auto& input : report.unused)
        all.push_back(input.use);
    return all;
}

std::optional<ReportValue> find(const CommissioningReport& report, int item)
{
    for (const ReportValue& v : allValues(report)) {
        if (v.item == item)
            return v;
    }
    return std::nullopt;
}

TEST(CommissioningReport, ShowsThePagesSettingsInTheirOrderAndListsTheInputsNotInUse)
{
    auto shown = test::FullUnit();
    put(shown, 23, SettingValue::Number(0)); // input 4 unused
    const CommissioningReport report = program::BuildCommissioningReport({}, shown, shown);

    EXPECT_EQ(itemsOf(report.general), (std::vector<int>{0, 9}));
    // The paging items whose boxes the page hides (5, 7, 15, 18, 19) are left out as well.
    EXPECT_EQ(itemsOf(report.paging), (std::vector<int>{10, 11, 12, 13, 14, 17}));
    std::vector<int> numbers;
    for (const auto& input : report.inputs)
        numbers.push_back(input.number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 5, 6, 7, 8}));
    ASSERT_EQ(report.unused.size(), 1u);
    EXPECT_EQ(report.unused[0].number, 4);
    EXPECT_EQ(report.unused[0].use.text, "unused");

    const auto& second = report.inputs[1];
    EXPECT_EQ(second.use.legend + second.use.text, "Use:in use");
    EXPECT_EQ(second.guarding.legend + second.guarding.text, "Guard:UnGuarded");
    EXPECT_EQ(second.contactType.legend + second.contactType.text, "Type:Normally open");
    EXPECT_EQ(itemsOf(second.alarm), (std::vector<int>{133, 109, 101, 69, 61, 45}));
    EXPECT_EQ(itemsOf(second.error), (std::vector<int>{141, 117, 125, 77, 85, 53}));
    EXPECT_EQ(second.alarm[1].legend, "Text at alarm:");
    EXPECT_EQ(second.alarm[1].text, "Server room ALARM");
    EXPECT_EQ(second.alarm[3].text, "BleepCode: 4");
    EXPECT_EQ(second.alarm[5].text, "70 seconds");
    EXPECT_EQ(second.error[5].legend + second.error[5].text, "Repeat:2 minutes");

    EXPECT_TRUE(report.unitSeen);
    EXPECT_EQ(report.differing + report.notRead, 0);
}

struct MarkRow
{
    int item;
    SettingValue shown;
    SettingValue unit;
    UnitMark mark;
    const char* unitText;
};

void PrintTo(const MarkRow& row, std::ostream* os)
{
    *os << row.item << " shown " << row.shown.asText() << " unit " << row.unit.asText();
}

class ReportMark : public ::testing::TestWithParam<MarkRow>
{
};

TEST_P(ReportMark, ComparesTheShownValueWithWhatTheUnitWasLastSeenToHold)
{
    const MarkRow& row = GetParam();
    auto shown = test::FullUnit();
    auto unit = shown;
    put(shown, row.item, row.shown);
    put(unit, row.item, row.unit);
    const CommissioningReport report = program::BuildCommissioningReport({}, shown, unit);
    const std::optional<ReportValue> value = find(report, row.item);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->mark, row.mark);
    EXPECT_EQ(value->unitText, row.unitText);
    EXPECT_EQ(report.differing, row.mark == UnitMark::Differs ? 1 : 0);
    EXPECT_EQ(report.notRead, row.mark == UnitMark::NotRead ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportMark,
    ::testing::Values(
        MarkRow{10, SettingValue::Number(3), SettingValue::Text("2"), UnitMark::Differs,
                "4800 baud"},
        // Read from the unit as the text "3", taken from the box as the number 3: one choice.
        MarkRow{10, SettingValue::Number(3), SettingValue::Text("3"), UnitMark::Same, ""},
        MarkRow{10, SettingValue::Number(3), SettingValue::Number(-1), UnitMark::NotRead, ""},
        MarkRow{132, SettingValue::Text(""), SettingValue::Number(-1), UnitMark::NotRead, ""},
        // The text "-1" read from a unit is a value like any other.
        MarkRow{132, SettingValue::Text("-1"), SettingValue::Text("-1"), UnitMark::Same, ""},
        MarkRow{108, SettingValue::Text("Door ALARM"), SettingValue::Text("door ALARM"),
                UnitMark::Differs, "door ALARM"},
        MarkRow{20, SettingValue::Number(0), SettingValue::Number(1), UnitMark::Differs,
                "in use"}));

// The text of the table cell that holds `value`.
std::string cellWith(const std::string& html, const std::string& value)
{
    const std::size_t at = html.find(value);
    if (at == std::string::npos)
        return {};
    return html.substr(at, html.find("</td>", at) - at);
}

TEST(ReportHtml, ShowsEveryValueWithItsMarkAndKeepsTextsAsText)
{
    auto shown = test::FullUnit();
    put(shown, 108, SettingValue::Text("Door <A&B> caf\xE9"));
    auto unit = shown;
    put(unit, 10, SettingValue::Text("2"));
    put(unit, 140, SettingValue::Number(-1));
    program::ReportHeading heading;
    heading.site = "Plant room";
    heading.made = "2026-12-09 06:30";
    heading.version = "1.0";
    CommissioningReport report = program::BuildCommissioningReport(heading, shown, unit);
    files::JournalRow change;
    change.when = {2026, 12, 9, 6, 29, 5};
    change.setting = "Input 1, Alarm, Text at alarm:";
    change.after = "Door <A&B> caf\xE9";
    report.changes.push_back(change);
    const std::string html = program::ReportHtml(report);

    // The session's write, its earlier value unknown.
    EXPECT_NE(html.find("<tr><td>06:29:05</td><td>Input 1, Alarm, Text at alarm:</td><td>unknown"
                        "</td><td>Door &lt;A&amp;B&gt; caf\xC3\xA9</td><td>written</td></tr>"),
              std::string::npos);
    for (const ReportValue& v : allValues(report)) {
        if (v.item == 108)
            continue; // below, escaped and in UTF-8
        EXPECT_NE(html.find(">" + v.text + "<"), std::string::npos) << v.item << " " << v.text;
    }
    EXPECT_NE(html.find("Door &lt;A&amp;B&gt; caf\xC3\xA9"), std::string::npos);
    EXPECT_NE(
        cellWith(html, "9600 baud").find(std::string(program::kDiffersMark) + " unit: 4800 baud"),
        std::string::npos);
    EXPECT_NE(cellWith(html, ">1901<").find(program::kNotReadMark), std::string::npos);
    EXPECT_EQ(cellWith(html, ">1902<").find(program::kNotReadMark), std::string::npos);
    EXPECT_NE(html.find("Plant room"), std::string::npos);
    EXPECT_NE(html.find("2026-12-09 06:30"), std::string::npos);
    EXPECT_EQ(html.find("Engineer:"), std::string::npos); // not given, not shown
}

TEST(ReportHtml, SaysOnceThatNothingWasReadRatherThanMarkingEveryValue)
{
    settings::ValueStores::Store neverRead;
    neverRead.fill(SettingValue::Number(-1));
    const CommissioningReport report =
        program::BuildCommissioningReport({}, test::FullUnit(), neverRead);
    EXPECT_FALSE(report.unitSeen);
    const std::string html = program::ReportHtml(report);
    EXPECT_EQ(html.find(program::kNotReadMark), std::string::npos);
    EXPECT_NE(html.find("None of these values has been read from the unit."), std::string::npos);
}

} // namespace
} // namespace pravenor
