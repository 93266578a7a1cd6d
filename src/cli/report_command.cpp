#include "cli/report_command.h"

#include "app/atomic_file.h"
#include "app/clock.h"
#include "app/cp1252.h"
#include "app/version.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "program/report_html.h"
#include "program/settings_comparison.h"
#include "report/report_pages.h"
#include "settings/setting_value.h"

#include <cstdio>

namespace pravenor::cli {

namespace {

std::string twoDigits(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

program::ReportHeading CliReportHeading(const CliOptions& options, std::string source,
                                        std::string line)
{
    const app::LocalTime now = app::SystemClock().now();
    program::ReportHeading heading;
    heading.site = options.site;
    heading.engineer = options.engineer;
    heading.made = std::to_string(now.year) + "-" + twoDigits(now.month) + "-" +
                   twoDigits(now.day) + " " + twoDigits(now.hour) + ":" + twoDigits(now.minute);
    heading.version = app::kVersion;
    heading.line = std::move(line);
    heading.source = std::move(source);
    return heading;
}

std::string WriteReportFile(const program::CommissioningReport& report,
                            const std::filesystem::path& file)
{
    if (ReportFormatOf(file) == ReportFormat::Html) {
        const app::SaveResult saved = app::WriteFileReplacing(file, program::ReportHtml(report));
        return saved.ok ? std::string() : app::Cp1252ToUtf8(saved.error);
    }
    const report::PdfResult written = report::WriteReportPdf(report, file);
    return written.ok ? std::string() : written.message;
}

int ReportOfFile(const CliOptions& options, Console& console)
{
    const program::FileSnapshot snapshot = program::ReadSettingsSnapshot(options.file);
    if (!snapshot.ok) {
        console.failure(app::Cp1252ToUtf8(snapshot.message));
        return kExitUsage;
    }
    settings::ValueStores::Store neverRead;
    neverRead.fill(settings::SettingValue::Number(-1));
    const program::CommissioningReport report = program::BuildCommissioningReport(
        CliReportHeading(options, "the file " + app::PathText(options.file), {}),
        program::CheckFileValues(snapshot.values).shown, neverRead);
    const std::string why = WriteReportFile(report, options.reportFile);
    if (!why.empty()) {
        console.failure("the report could not be written to " +
                        app::Cp1252ToUtf8(app::PathText(options.reportFile)) + ": " + why);
        return kExitUsage;
    }
    return kExitDone;
}

} // namespace pravenor::cli
