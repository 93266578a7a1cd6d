#include "ui/line_monitor_window.h"

#include "link/transfer_engine.h"
#include "ui/qt_text.h"
#include "ui/window_parts.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace pravenor::ui {

namespace {

// The state a frame was sent or taken in says more by its name than by its number.
constexpr auto kStateColumn = link::LineMonitor::StateColumn::Name;

} // namespace

LineMonitorWindow::LineMonitorWindow(link::TransferEngine& engine, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bytes(engine.bytes()),
      m_monitor(
          [] { return static_cast<std::int64_t>(QTime::currentTime().msecsSinceStartOfDay()); },
          [&engine] { return static_cast<int>(engine.state()); })
{
    setObjectName(QStringLiteral("LineMonitor"));
    setWindowTitle(QStringLiteral("Line monitor"));
    setAccessibleName(QStringLiteral("Line monitor"));
    auto* layout = new QVBoxLayout(this);
    m_text = MakeReadOnlyText("TxtLineMonitor", "Frames on the line");
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setMaximumBlockCount(static_cast<int>(link::LineMonitor::kDefaultLimit));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    QPushButton* clear = MakeButton("CmdClearMonitor", "Clear", nullptr, 'r');
    QPushButton* copy = MakeButton("CmdCopyMonitor", "Copy as text", nullptr, 'p');
    QPushButton* close = MakeButton("CmdCloseMonitor", "Close", nullptr, 'C');
    buttons->addWidget(clear);
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(clear, &QPushButton::clicked, this, [this] {
        m_monitor.clear();
        m_text->clear();
    });
    connect(copy, &QPushButton::clicked, this, [this] {
        refresh();
        QApplication::clipboard()->setText(FromCp1252(m_monitor.text(kStateColumn)));
    });
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &LineMonitorWindow::refresh);
    resize(760, 420);
}

LineMonitorWindow::~LineMonitorWindow()
{
    m_bytes.setTap(nullptr);
}

QString LineMonitorWindow::shownText() const
{
    return m_text->toPlainText();
}

void LineMonitorWindow::refresh()
{
    for (const link::MonitoredFrame& frame : m_monitor.takeCompleted())
        m_text->appendPlainText(FromCp1252(link::LineMonitor::FrameLine(frame, kStateColumn)));
}

// Escape closes it, as it closes a dialog; the text area passes the key on.
void LineMonitorWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LineMonitorWindow::showEvent(QShowEvent* event)
{
    m_bytes.setTap(&m_monitor);
    m_timer.start();
    QWidget::showEvent(event);
}

void LineMonitorWindow::hideEvent(QHideEvent* event)
{
    m_bytes.setTap(nullptr);
    m_timer.stop();
    QWidget::hideEvent(event);
}

} // namespace pravenor::ui
