#pragma once

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace pravenor::ui {

// A combo box that can be locked like a read-only text box: it keeps the focus and shows its
// text, but neither typing, the arrow keys, the wheel nor the list change the choice.
class LockableComboBox final : public QComboBox
{
public:
    using QComboBox::QComboBox;

    void setLocked(bool locked)
    {
        m_locked = locked;
        if (lineEdit() != nullptr)
            lineEdit()->setReadOnly(locked);
    }
    bool locked() const { return m_locked; }

    void showPopup() override
    {
        if (!m_locked)
            QComboBox::showPopup();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_locked && choosesEntry(*event))
            return event->accept();
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (!m_locked)
            QComboBox::wheelEvent(event);
    }

private:
    static bool choosesEntry(const QKeyEvent& event)
    {
        switch (event.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_F4:
        case Qt::Key_Space:
            return true;
        default:
            return false;
        }
    }

    bool m_locked = false;
};

} // namespace pravenor::ui
