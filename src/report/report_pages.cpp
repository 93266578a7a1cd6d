#include "report/report_pages.h"

#include "app/cp1252.h"
#include "program/report_html.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace pravenor::report {

namespace {

QString footerText(const program::CommissioningReport& report)
{
    const std::string& site = report.heading.site;
    return QStringLiteral("Commissioning report") +
           (site.empty() ? QString()
                         : QStringLiteral(", ") + QString::fromStdString(app::Cp1252ToUtf8(site))) +
           QLatin1Char(' ') + QString::fromStdString(app::Cp1252ToUtf8(report.heading.made));
}

} // namespace

int PaintReportPages(const program::CommissioningReport& report, QPagedPaintDevice& device)
{
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    document.setHtml(QString::fromStdString(program::ReportHtml(report)));

    const QRectF body = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QFont footerFont = document.defaultFont();
    footerFont.setPointSizeF(7);
    const qreal footerHeight = QFontMetricsF(footerFont, &device).height() * 2;
    const QSizeF pageSize(body.width(), body.height() - footerHeight);
    document.setPageSize(pageSize);
    const int pages = document.pageCount();

    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const QString footer = footerText(report);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage())
            return 0;
        const QRectF shown(0, page * pageSize.height(), pageSize.width(), pageSize.height());
        painter.save();
        painter.translate(0, -shown.top());
        document.drawContents(&painter, shown);
        painter.restore();
        painter.setFont(footerFont);
        const QRectF foot(0, pageSize.height(), pageSize.width(), footerHeight);
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, footer);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    return painter.end() ? pages : 0;
}

PdfResult WriteReportPdf(const program::CommissioningReport& report,
                         const std::filesystem::path& file)
{
    PdfResult result;
    QSaveFile out(QString::fromStdU16String(file.u16string()));
    if (!out.open(QIODevice::WriteOnly)) {
        result.message = out.errorString().toStdString();
        return result;
    }
    {
        QPdfWriter writer(&out);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Commissioning report"));
        writer.setCreator(QStringLiteral("Pravenor ") +
                          QString::fromStdString(app::Cp1252ToUtf8(report.heading.version)));
        result.pages = PaintReportPages(report, writer);
    }
    if (result.pages == 0) {
        out.cancelWriting();
        result.message = "the report could not be laid out";
        return result;
    }
    if (!out.commit()) {
        result.message = out.errorString().toStdString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace pravenor::report
