// The report as a PDF, read back as a reader of the file would: through pdftotext.
#include "full_unit.h"
#include "program/commissioning_report.h"
#include "report/report_pages.h"
#include "support/qt_event_loop.h"
#include "support/temp_folder.h"

#include <QGuiApplication>
#include <QProcess>
#include <gtest/gtest.h>

namespace pravenor {
namespace {

using settings::SettingValue;

// The text of a PDF with every run of blanks and line ends made one blank, so that a value
// the layout wrapped is still found whole.
std::string pdfText(const std::filesystem::path& file)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QString::fromStdString(file.string()), QStringLiteral("-")});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).simplified().toStdString();
}

std::vector<program::ReportValue> everyValue(const program::CommissioningReport& report)
{
    std::vector<program::ReportValue> all = report.general;
    all.insert(all.end(), report.paging.begin(), report.paging.end());
    for (const auto& input : report.inputs) {
        all.insert(all.end(), {input.use, input.guarding, input.contactType});
        all.insert(all.end(), input.alarm.begin(), input.alarm.end());
        all.insert(all.end(), input.error.begin(), input.error.end());
    }
    return all;
}

TEST(ReportPdf, AFullUnitFitsTwoA4PagesAndEveryValueReadsBack)
{
    test::EnsureQtApplication<QGuiApplication>();
    test::TempFolder folder;
    auto shown = test::FullUnit();
    // The longest text a box takes wraps in its cell; it must still read back whole.
    std::string longest;
    for (int n = 0; longest.size() < 100; ++n)
        longest += "word" + std::to_string(n) + " ";
    longest.resize(100);
    shown[116] = SettingValue::Text(longest);
    auto unit = shown;
    unit[10] = SettingValue::Text("2");
    program::ReportHeading heading;
    heading.site = "Plant room";
    heading.engineer = "J. Smit";
    heading.made = "2026-12-09 06:30";
    heading.version = "1.0";
    heading.line = "/dev/ttyUSB0";
    const program::CommissioningReport report =
        program::BuildCommissioningReport(heading, shown, unit);
    ASSERT_EQ(report.inputs.size(), 8u);

    const std::filesystem::path file = folder / "report.pdf";
    const report::PdfResult written = report::WriteReportPdf(report, file);
    ASSERT_TRUE(written.ok) << written.message;
    EXPECT_LE(written.pages, 2);

    const std::string text = pdfText(file);
    ASSERT_FALSE(text.empty()) << "pdftotext (poppler-utils) could not read " << file;
    for (const program::ReportValue& v : everyValue(report))
        EXPECT_NE(text.find(v.text), std::string::npos) << v.item << ": " << v.text;
    for (const char* expected : {"Plant room", "J. Smit", "2026-12-09 06:30", "/dev/ttyUSB0",
                                 "Pravenor 1.0", "unit: 4800 baud"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    const std::string last =
        "Page " + std::to_string(written.pages) + " of " + std::to_string(written.pages);
    EXPECT_NE(text.find("Page 1 of " + std::to_string(written.pages)), std::string::npos);
    EXPECT_NE(text.find(last), std::string::npos) << text;
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsSaidSoAndLeavesNothing)
{
    test::EnsureQtApplication<QGuiApplication>();
    test::TempFolder folder;
    const auto shown = test::FullUnit();
    const std::filesystem::path file = folder / "no" / "folder" / "report.pdf";
    const report::PdfResult written =
        report::WriteReportPdf(program::BuildCommissioningReport({}, shown, shown), file);
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.message.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
} // namespace pravenor
