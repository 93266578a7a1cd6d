// The whole link as the program runs it: the engine on a 25 ms timer, the QSerialPort
// adapter, and pravenor-sim on a pseudo-terminal in another process.
#include "link/qt/qt_serial_port.h"
#include "link/recording_view.h"
#include "program/program.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "support/qt_event_loop.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>

namespace pravenor {
namespace {

using namespace std::chrono_literals;
using settings::SettingValue;
using test::PumpUntil;
using test::SimProcess;
using test::TempFolder;

class EngineOverPty : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void startSimulator(QStringList extra)
    {
        TempFolder::write(folder / "unit.cfg",
                          "9    ->1\r\n10    ->2\r\n60    ->12\r\n100    ->Hall door\r\n");
        QStringList arguments{"--link", QString::fromStdString((folder / "converter").string()),
                              "--load", QString::fromStdString((folder / "unit.cfg").string())};
        arguments += extra;
        simulator = std::make_unique<SimProcess>(arguments);
        ASSERT_TRUE(simulator->ready());
    }

    // Starts the program's side as the window does: lists filled, port opened, engine
    // started, and the 25 ms timer running.
    void startProgram()
    {
        settings::FillChoiceLists(controls);
        program.config.LogLevel = 2;
        program.port.setDeviceOverride(link::LineAddress::Device((folder / "converter").string()));
        ASSERT_EQ(program.port.OpenComPort(0), 0);
        program.engine.ProcessTransfer(link::TransferEngine::kStartSignal);
        program.stores.ForgetUnitValues();
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { program.engine.ProcessTransfer(0); });
        timer.start(25);
    }

    bool nothingPending() const
    {
        for (settings::Request r : program.stores.ItemRequest) {
            if (r != settings::Request::None)
                return false;
        }
        return program.engine.state() == link::EngineState::Idle;
    }

    bool logged(const std::string& text) const
    {
        for (const std::string& line : program.log.MessageLines()) {
            if (line.size() > 9 && line.substr(9) == text)
                return true;
        }
        return false;
    }

    TempFolder folder;
    std::unique_ptr<SimProcess> simulator;
    app::SystemClock clock;
    link::QtSerialPort serial;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program{folder.path(), clock, serial, controls, view};
    QTimer timer;
};

TEST_F(EngineOverPty, ReadsAndWritesSettings)
{
    startSimulator({});
    startProgram();
    auto& stores = program.stores;
    for (int item : {9, 10, 60, 100})
        stores.ItemRequest[static_cast<std::size_t>(item)] = settings::Request::Read;
    ASSERT_TRUE(PumpUntil([&] { return nothingPending(); }, 15s)) << view.progress();
    EXPECT_EQ(stores.UnitValues[9], SettingValue::Text("1"));
    EXPECT_EQ(stores.UnitValues[10], SettingValue::Text("2"));
    EXPECT_EQ(stores.UnitValues[60], SettingValue::Text("12"));
    EXPECT_EQ(stores.UnitValues[100], SettingValue::Text("Hall door"));
    EXPECT_EQ(controls.choiceText(10), "4800 baud");
    EXPECT_EQ(view.progress().find("ERROR"), std::string::npos) << view.progress();

    controls.setChosenPosition(10, 4);
    program.sync.TakeValue(10);
    stores.ItemRequest[10] = settings::Request::Write;
    ASSERT_TRUE(PumpUntil([&] { return nothingPending(); }, 10s)) << view.progress();
    EXPECT_NE(view.progress().find("Writing [Item: 10 Value:  19200 baud -> SAVED."),
              std::string::npos);

    // Read back what the converter now holds.
    stores.UnitValues[10] = SettingValue::Number(-1);
    stores.ItemRequest[10] = settings::Request::Read;
    ASSERT_TRUE(PumpUntil([&] { return nothingPending(); }, 10s)) << view.progress();
    EXPECT_EQ(stores.UnitValues[10], SettingValue::Text("4"));
}

TEST_F(EngineOverPty, APowerCutIsRecoveredByReopeningThePort)
{
    // One second after the start the converter loses power for one second: its terminal
    // disappears and a new one comes back behind the same link.
    startSimulator({"--power-cut=1:1"});
    startProgram();
    ASSERT_TRUE(
        PumpUntil([&] { return program.engine.state() == link::EngineState::PortLost; }, 5s));
    const auto lostAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return program.engine.state() == link::EngineState::Idle; }, 15s));
    // The first try may come before the new terminal is there; tries are 5 s apart.
    EXPECT_LT(std::chrono::steady_clock::now() - lostAt, 8s);
    EXPECT_TRUE(logged("Com: 1 opened with: 9600,N,8,1"));

    program.stores.ItemRequest[9] = settings::Request::Read;
    ASSERT_TRUE(PumpUntil([&] { return nothingPending(); }, 10s)) << view.progress();
    EXPECT_EQ(program.stores.UnitValues[9], SettingValue::Text("1"));
}

} // namespace
} // namespace pravenor
