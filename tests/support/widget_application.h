#pragma once

#include <QApplication>

namespace pravenor::test {

// A QApplication for widget tests, made on first use and never deleted (see
// EnsureQtApplication for why).
inline void EnsureWidgetApplication()
{
    if (QApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "pravenor-ui-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

} // namespace pravenor::test
