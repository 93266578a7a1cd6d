#pragma once

#include "program/commissioning_report.h"

#include <filesystem>
#include <string>

class QPagedPaintDevice;

namespace pravenor::report {

// The report's HTML laid out on the pages of a PDF writer or a printer, in the device's page
// size and margins, with "Page N of M" at the foot of each. Gives the number of pages, or 0
// when the device could not be painted on. Needs a QGuiApplication (fonts).
int PaintReportPages(const program::CommissioningReport& report, QPagedPaintDevice& device);

struct PdfResult
{
    bool ok = false;
    int pages = 0;
    std::string message; // why not; UTF-8
};

// The report as an A4 PDF file, written whole or not at all.
PdfResult WriteReportPdf(const program::CommissioningReport& report,
                         const std::filesystem::path& file);

} // namespace pravenor::report
