#include "window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace pravenor::test {

void WindowTest::click(const QString& name)
{
    if (auto* button = find<QPushButton>(name))
        button->click();
}

QMessageBox* WindowTest::openBox() const
{
    for (QMessageBox* box : window->findChildren<QMessageBox*>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

void WindowTest::answer(QMessageBox::StandardButton button)
{
    QMessageBox* box = openBox();
    ASSERT_NE(box, nullptr);
    box->button(button)->click();
    QApplication::processEvents();
}

} // namespace pravenor::test
