#pragma once

#include "link/line_monitor.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace pravenor::link {
class ByteLayer;
class TransferEngine;
} // namespace pravenor::link

namespace pravenor::ui {

// "Line monitor": every frame on the line while it is open, time-stamped to the millisecond,
// in hex and as text, with its direction and the engine state that sent it. Closed, it takes
// itself off the line, so watching costs nothing when nobody watches.
class LineMonitorWindow final : public QWidget
{
    Q_OBJECT

public:
    LineMonitorWindow(link::TransferEngine& engine, QWidget* parent);
    ~LineMonitorWindow() override;

    const link::LineMonitor& monitor() const { return m_monitor; }
    QString shownText() const;
    void refresh(); // what the 200 ms timer does

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    link::ByteLayer& m_bytes;
    link::LineMonitor m_monitor;
    QPlainTextEdit* m_text = nullptr;
    QTimer m_timer;
};

} // namespace pravenor::ui
