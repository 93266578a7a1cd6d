#include "ui/widget_view.h"

#include "ui/qt_text.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextCursor>

namespace pravenor::ui {

namespace {

QString withLineBreaks(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Window-modal, so that the window goes on drawing and the engine on ticking behind it.
QMessageBox* makeBox(QWidget* window, const QString& title, const QString& text,
                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    auto* box = new QMessageBox(icon, title, withLineBreaks(text), buttons, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

} // namespace

WidgetView::WidgetView(QPlainTextEdit* progress, QProgressBar* bar, QGroupBox* portFrame,
                       QWidget* window)
    : m_progress(progress), m_bar(bar), m_portFrame(portFrame), m_window(window)
{
}

void WidgetView::appendProgress(const std::string& text)
{
    QTextCursor cursor(m_progress->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(withLineBreaks(FromCp1252(text)));
    m_progress->setTextCursor(cursor);
    m_progress->verticalScrollBar()->setValue(m_progress->verticalScrollBar()->maximum());
}

void WidgetView::showProgressBar(int minimum, int maximum, int value)
{
    if (m_bar->minimum() != minimum || m_bar->maximum() != maximum)
        m_bar->setRange(minimum, maximum);
    m_bar->setValue(value);
    m_bar->setVisible(true);
}

void WidgetView::hideProgressBar()
{
    if (!m_bar->isHidden())
        m_bar->setVisible(false);
}

void WidgetView::showCriticalMessage(const std::string& title, const std::string& text)
{
    QString shown = FromCp1252(text);
    if (const QString note = m_criticalNote ? m_criticalNote() : QString(); !note.isEmpty())
        shown += QStringLiteral("\r\n") + note;
    OpenMessageBox(m_window, FromCp1252(title), shown, QMessageBox::Critical);
}

void WidgetView::setPortCaption(const std::string& caption)
{
    m_caption = FromCp1252(caption);
    showCaption();
}

void WidgetView::setFastMark(bool fast)
{
    if (fast == m_fast)
        return;
    m_fast = fast;
    showCaption();
}

void WidgetView::showCaption()
{
    if (m_caption.isEmpty())
        return; // no port opened yet: the frame keeps its design-time caption
    m_portFrame->setTitle(m_caption + m_captionSuffix +
                          (m_fast ? QStringLiteral(" (fast)") : QString()));
    // A screen reader reads the frame by its name, so the name says what the caption says.
    m_portFrame->setAccessibleName(m_portFrame->title());
}

QMessageBox* OpenMessageBox(QWidget* window, const QString& title, const QString& text,
                            QMessageBox::Icon icon)
{
    auto* box = makeBox(window, title, text, icon, QMessageBox::Ok);
    box->open();
    return box;
}

QMessageBox* OpenConfirmation(QWidget* window, const QString& title, const QString& text,
                              std::function<void()> onOk)
{
    auto* box =
        makeBox(window, title, text, QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Ok);
    QObject::connect(box, &QMessageBox::finished, box, [box, onOk = std::move(onOk)](int) {
        if (box->clickedButton() == box->button(QMessageBox::Ok))
            onOk();
    });
    box->open();
    return box;
}

} // namespace pravenor::ui
