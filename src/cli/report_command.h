#pragma once

#include "cli/cli_options.h"
#include "cli/console.h"
#include "program/commissioning_report.h"

#include <filesystem>
#include <string>

namespace pravenor::cli {

// The first page's heading for a report made now by the command line.
program::ReportHeading CliReportHeading(const CliOptions& options, std::string source,
                                        std::string line);

// The report written to the file in the form its name asks for (.pdf or .html), whole or not at
// all. Empty when written; otherwise why not, in UTF-8.
std::string WriteReportFile(const program::CommissioningReport& report,
                            const std::filesystem::path& file);

// report FILE.cfg: the file's values as the window would show them, none of them read from a
// unit. Needs no converter. Gives an exit status; failures go to the console.
int ReportOfFile(const CliOptions& options, Console& console);

} // namespace pravenor::cli
