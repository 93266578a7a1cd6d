#include "ui/report_commands.h"

#include "app/atomic_file.h"
#include "app/clock.h"
#include "app/version.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/report_html.h"
#include "report/report_pages.h"
#include "ui/qt_text.h"

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>

namespace pravenor::ui {

program::CommissioningReport ScreenReport(program::Program& program, const QString& site,
                                          const QString& engineer, const QString& line)
{
    program::ReportHeading heading;
    heading.site = ToCp1252(site);
    heading.engineer = ToCp1252(engineer);
    heading.made =
        ToCp1252(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    heading.version = app::kVersion;
    heading.line = ToCp1252(line);
    heading.source = "the screen";
    program::CommissioningReport report = program::BuildCommissioningReport(
        heading, program::ScreenValues(program), program.stores.UnitValues);
    for (const files::JournalRow& row : program.history.sessionChanges()) {
        if (row.line == program.history.line())
            report.changes.push_back(row);
    }
    return report;
}

QString WriteReport(const program::CommissioningReport& report, const std::filesystem::path& file)
{
    const std::string extension = file.extension().string();
    if (extension == ".html" || extension == ".htm" || extension == ".HTML" ||
        extension == ".HTM") {
        const app::SaveResult saved = app::WriteFileReplacing(file, program::ReportHtml(report));
        return saved.ok ? QString() : FromCp1252(saved.error);
    }
    const report::PdfResult written = report::WriteReportPdf(report, file);
    return written.ok ? QString() : QString::fromStdString(written.message);
}

bool AskReportHeading(QWidget* parent, QString& site, QString& engineer)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ReportHeading"));
    dialog.setWindowTitle(QStringLiteral("Report"));
    auto* form = new QFormLayout(&dialog);
    auto* siteField = new QLineEdit(site);
    siteField->setObjectName(QStringLiteral("TxtReportSite"));
    auto* engineerField = new QLineEdit(engineer);
    engineerField->setObjectName(QStringLiteral("TxtReportEngineer"));
    form->addRow(QStringLiteral("Site:"), siteField);
    form->addRow(QStringLiteral("Engineer:"), engineerField);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    site = siteField->text().trimmed();
    engineer = engineerField->text().trimmed();
    return true;
}

bool PrintReport(QWidget* parent, const program::CommissioningReport& report)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintReport"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return report::PaintReportPages(report, printer) > 0;
}

} // namespace pravenor::ui
