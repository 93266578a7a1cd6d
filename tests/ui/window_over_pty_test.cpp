// The window against pravenor-sim on a pseudo-terminal, on its own timers, as a person uses it.
#include "support/qt_event_loop.h"
#include "support/sim_process.h"
#include "ui/widget_controls.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

TEST_F(WindowTest, ReadAllOverARealLineShowsTheConvertersValues)
{
    TempFolder::write(folder.path() / "unit.cfg",
                      "9    ->1\r\n10    ->2\r\n60    ->12\r\n100    ->Hall door\r\n");
    const std::string link = (folder.path() / "converter").string();
    SimProcess simulator({"--link", QString::fromStdString(link), "--load",
                          QString::fromStdString((folder.path() / "unit.cfg").string())});
    ASSERT_TRUE(simulator.ready());
    load({}, link);

    click("CmdLeesAlles");
    ASSERT_TRUE(PumpUntil([&] { return logged("Reading of settings successfull."); }, 60s));
    ASSERT_TRUE(PumpUntil([&] { return window->widgetControls().colourChanges() > 0; }, 2s));
    QTest::qWait(150); // one more marking tick after the last value

    EXPECT_EQ(find<QComboBox>("ComboInstellingen_10")->currentText(), "4800 baud");
    EXPECT_EQ(find<QComboBox>("ComboInstellingen_60")->currentText(), "BleepCode: C");
    EXPECT_EQ(find<QLineEdit>("TxtTekstInput_0")->text(), "Hall door");
    for (int n = 0; n <= settings::kLastChoiceItem; ++n) {
        if (window->widgetControls().choiceVisible(n)) { // a hidden box is never given its value
            EXPECT_EQ(window->widgetControls().choiceColour(n), settings::ControlColour::WindowText)
                << n;
        }
    }
    for (int j = 0; j < settings::kTextBoxCount; ++j)
        EXPECT_EQ(window->widgetControls().textColour(j), settings::ControlColour::WindowText) << j;
}

TEST_F(WindowTest, APortThatDoesNotOpenIsSaidAndTriedAgainUntilItDoes)
{
    const std::string device = (folder.path() / "converter").string();
    load({}, device); // nothing there yet, and no Pravenor.set: the log is off while starting
    auto* frame = find<QGroupBox>("FrmCommunicatie");
    const QString caption =
        QString::fromStdString("Serial Port: " + device + " not open: No such file or directory");
    EXPECT_EQ(frame->title(), caption);
    EXPECT_EQ(frame->accessibleName(), caption);

    click("CmdLeesAlles");
    ASSERT_NE(openBox(), nullptr);
    EXPECT_TRUE(openBox()->text().contains(caption)) << openBox()->text().toStdString();
    EXPECT_FALSE(program->engine.requested(link::Job::ReadAll));
    answer(QMessageBox::Ok);

    // The adapter comes after the start: within 5 s the port is open, without a click.
    SimProcess simulator({"--link", QString::fromStdString(device)});
    ASSERT_TRUE(simulator.ready());
    ASSERT_TRUE(tickUntil([&] { return program->engine.state() == link::EngineState::Idle; }, 201));
    const QString open = QString::fromStdString("Serial Port: " + device + " 9600,N,8,1");
    EXPECT_EQ(frame->title(), open);
    EXPECT_EQ(frame->accessibleName(), open);
}

} // namespace
} // namespace pravenor::test
