#include "ui/dialogs/keep_in_front.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace pravenor::ui {

namespace {

constexpr const char* kKeepsInFront = "pravenorKeepsInFront";

} // namespace

KeepInFront::KeepInFront(QWidget* dialog) : QObject(dialog), m_dialog(dialog)
{
    dialog->setProperty(kKeepsInFront, true);
    dialog->installEventFilter(this);
}

bool KeepInFront::eventFilter(QObject* watched, QEvent* event)
{
    // Which window became active is only settled once the activation events are through.
    if (watched == m_dialog && event->type() == QEvent::WindowDeactivate)
        QTimer::singleShot(0, this, &KeepInFront::takeFocusBackIfNeeded);
    return QObject::eventFilter(watched, event);
}

void KeepInFront::takeFocusBackIfNeeded()
{
    QWidget* active = QApplication::activeWindow();
    // Another application's window: not ours to fight. A closing dialog lets go.
    if (active == nullptr || !m_dialog->isVisible() || active == m_dialog)
        return;
    // The dialog's own message boxes and other dialogs that keep in front, this one included.
    for (QWidget* owner = active; owner != nullptr; owner = owner->parentWidget())
        if (owner->isWindow() && owner->property(kKeepsInFront).toBool())
            return;
    m_dialog->raise();
    m_dialog->activateWindow();
    QApplication::beep();
    emit focusTakenBack();
}

} // namespace pravenor::ui
