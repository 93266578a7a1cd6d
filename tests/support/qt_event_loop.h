#pragma once

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace pravenor::test {

// A QCoreApplication for tests that need Qt's event loop, made on first use. Widget tests ask
// for a QApplication instead (and include its header themselves).
template <typename Application = QCoreApplication> void EnsureQtApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Qt keeps argc and argv for the application's lifetime.
    static int argc = 1;
    static char name[] = "pravenor-test";
    static char* argv[] = {name, nullptr};
    // Deliberately never deleted: destroying it during static destruction, after Qt's own
    // globals, is not safe. QCoreApplication::instance() keeps it reachable.
    new Application(argc, argv);
}

// Runs the event loop, which is where QSerialPort moves bytes and timers fire, until done()
// or the time is up.
template <typename Condition>
bool PumpUntil(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(2))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace pravenor::test
