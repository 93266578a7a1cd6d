#pragma once

#include <QObject>

class QWidget;

namespace pravenor::ui {

// Keeps a modeless dialog in front of the program's other windows until it is closed: when
// the user activates another window of the program, the dialog takes the focus back and
// beeps. That gives the feel of a modal dialog while the dialog stays modeless, so nothing
// waits in a nested event loop and the main window's timers keep running.
//
// Windows of the dialog's own (its message boxes) and other dialogs that keep themselves in
// front are left alone, so that two such dialogs never pull the focus to and fro.
class KeepInFront final : public QObject
{
    Q_OBJECT

public:
    explicit KeepInFront(QWidget* dialog);

signals:
    void focusTakenBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeFocusBackIfNeeded();

    QWidget* m_dialog;
};

} // namespace pravenor::ui
