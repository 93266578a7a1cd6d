#pragma once

#include "program/commissioning_report.h"

#include <QString>
#include <filesystem>
#include <string>

class QWidget;

namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

// The report of what the screen shows now, each value marked against the unit.
program::CommissioningReport ScreenReport(program::Program& program, const QString& site,
                                          const QString& engineer, const QString& line);

// The report written as a PDF or, for a name ending in .html or .htm, as HTML. Empty when
// written, otherwise why not.
QString WriteReport(const program::CommissioningReport& report, const std::filesystem::path& file);

// Asks for the site and the engineer, offering the ones given last. False when cancelled.
bool AskReportHeading(QWidget* parent, QString& site, QString& engineer);

// Qt's print dialog, then the report's pages on the printer chosen. False when cancelled.
bool PrintReport(QWidget* parent, const program::CommissioningReport& report);

} // namespace pravenor::ui
