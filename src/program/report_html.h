#pragma once

#include "program/commissioning_report.h"

#include <string>

namespace pravenor::program {

// The report as one HTML page in UTF-8 with plain CSS, for a browser and for the PDF and the
// printout, which lay out the same page.
std::string ReportHtml(const CommissioningReport& report);

// The caption the report gives a mark, for the legend under the tables and for tests.
inline constexpr const char* kDiffersMark = "\xE2\x89\xA0"; // "≠", followed by the unit's value
inline constexpr const char* kNotReadMark = "(not read)";

} // namespace pravenor::program
