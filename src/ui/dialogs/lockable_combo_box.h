#pragma once

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <algorithm>
#include <array>

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
        constexpr std::array kChoosing = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                          Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End,
                                          Qt::Key_F4,       Qt::Key_Space};
        return std::find(kChoosing.begin(), kChoosing.end(), event.key()) != kChoosing.end();
    }

    bool m_locked = false;
};

} // namespace pravenor::ui
