// The program as every front end starts and commands it, against the simulated converter.
#include "app/clock.h"
#include "app/cp1252.h"
#include "link/recording_view.h"
#include "program/change_review.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/settings_comparison.h"
#include "program/start_program.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "sim/converter_model.h"
#include "sim/simulated_line.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace pravenor {
namespace {

using link::Job;
using link::JobEnd;
using namespace std::chrono_literals;

class FixedClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 9, 30, 0}; }
};

// Records what the start-up asks of the front end, and the state it finds at each step.
class RecordingSteps final : public program::StartupSteps
{
public:
    explicit RecordingSteps(const program::Program& program) : m_program(program) {}

    void UpdateMessageWindow() override { note("window"); }
    void ProgramConfigRead(app::ProgramConfig&) override { note("config"); }
    void ArrangeTabs() override { note("tabs"); }
    void SetDisplayTexts() override { note("texts"); }
    void StartupWarnings(const std::vector<std::string>& all) override { warnings = all; }
    std::vector<std::string> warnings;

    std::vector<std::string> steps;
    std::vector<int> logLevels;
    std::vector<bool> unitValuesForgotten;

private:
    void note(const std::string& step)
    {
        steps.push_back(step);
        logLevels.push_back(m_program.config.LogLevel);
        unitValuesForgotten.push_back(m_program.stores.UnitValues[9].asNumber() == -1);
    }
    const program::Program& m_program;
};

class ProgramTest : public ::testing::Test
{
protected:
    ProgramTest() : line(model), program(folder.path(), clock, line, controls, view)
    {
        model.setNumber(9, 1);
        program.port.setDeviceOverride(link::LineAddress::Device("simulated converter"));
        program.engine.setJobObserver([this](Job job, JobEnd end) { ends.push_back({job, end}); });
    }

    void start(const std::string& commandLine = {})
    {
        RecordingSteps steps(program);
        program::StartProgram(program, commandLine, steps);
    }
    void tickUntilEnded(int limit = 5000)
    {
        for (int n = 0; n < limit && ends.empty(); ++n) {
            program.engine.ProcessTransfer(0);
            line.advance(25ms);
        }
    }
    bool logged(const std::string& text) const
    {
        for (const std::string& entry : program.log.MessageLines())
            if (entry.size() > 9 && entry.substr(9) == text)
                return true;
        return false;
    }

    struct End
    {
        Job job;
        JobEnd end;
        bool operator==(const End&) const = default;
    };

    test::TempFolder folder;
    FixedClock clock;
    sim::ConverterModel model;
    sim::SimulatedLine line;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program;
    std::vector<End> ends;
};

TEST(DebugLevelFor, SwitchesCountAnywhereInCapitalsAndDebugWins)
{
    const struct
    {
        const char* commandLine;
        int level;
    } rows[] = {
        {"", 0},
        {"/LOG", 1},
        {"/DEBUG", 2},
        {"/DEBUG /LOG", 2},
        {"/LOG /DEBUG", 2},
        {"/log /debug", 0},
        {"ab/LOGcd", 1},
        {"--home x/DEBUGy", 2},
    };
    for (const auto& row : rows)
        EXPECT_EQ(static_cast<int>(program::DebugLevelFor(row.commandLine)), row.level)
            << row.commandLine;
}

TEST_F(ProgramTest, StartUpRunsItsStepsInOrderAndLeavesTheEngineIdle)
{
    test::TempFolder::write(folder.path() / "Pravenor.set",
                            "0       Compoort ->0\r\n1       Logfile ->0\r\n2       SetPath ->\r\n"
                            "3       UnitType ->7\r\n");
    RecordingSteps steps(program);
    program::StartProgram(program, "/DEBUG", steps);

    EXPECT_EQ(steps.steps, (std::vector<std::string>{"window", "config", "tabs", "texts"}));
    // Logging is forced on only after the pages are arranged, so the configured 0 holds until then.
    EXPECT_EQ(steps.logLevels, (std::vector<int>{0, 0, 0, 2}));
    EXPECT_TRUE(steps.unitValuesForgotten[2]);
    EXPECT_EQ(program.DebugLevel, app::DebugMode::Debug);
    EXPECT_EQ(program.config.UnitType, 3);
    EXPECT_EQ(program.engine.state(), link::EngineState::Idle);
    EXPECT_FALSE(logged("Com: 1 opened with: 9600,N,8,1")); // LogLevel was 0 when it opened
}

TEST_F(ProgramTest, APortThatOpensOnlyLaterStillStartsTheEngine)
{
    line.cutPower(10s);
    start();
    // Tried again every 5 s, as a lost port is, without anyone asking.
    ASSERT_EQ(program.engine.state(), link::EngineState::PortLost);
    int ticks = 0;
    for (; ticks < 1000 && program.engine.state() != link::EngineState::Idle; ++ticks) {
        program.engine.ProcessTransfer(0);
        line.advance(25ms);
    }
    EXPECT_EQ(program.engine.state(), link::EngineState::Idle);
    EXPECT_EQ(ticks % 200, 0) << ticks;
    program::ReadAll(program);
    tickUntilEnded();
    EXPECT_EQ(ends, (std::vector<End>{{Job::ReadAll, JobEnd::Done}}));
    EXPECT_EQ(program.stores.UnitValues[9].asNumber(), 1);
}

TEST_F(ProgramTest, APravenorSetThatCannotBeUsedIsSaidOnceLoggingIsOn)
{
    std::filesystem::create_directory(folder.path() / "Pravenor.set");
    RecordingSteps steps(program);
    program::StartProgram(program, {}, steps);
    const std::string warning =
        app::PathText(folder.path() / "Pravenor.set") +
        " cannot be used (it is a folder); the program starts with its defaults.";
    EXPECT_TRUE(logged(warning));
    EXPECT_EQ(steps.warnings, std::vector<std::string>{warning});
}

TEST_F(ProgramTest, EveryJobTellsHowItEnded)
{
    start();
    program::ReadAll(program);
    tickUntilEnded();
    program::Restart(program);
    ends.clear();
    tickUntilEnded();
    EXPECT_EQ(ends, (std::vector<End>{{Job::Restart, JobEnd::Done}}));

    controls.setPagerInputs("1234", "Test call", 3);
    program::CallPager(program);
    ends.clear();
    tickUntilEnded();
    EXPECT_EQ(ends, (std::vector<End>{{Job::PagerCall, JobEnd::Done}}));
    EXPECT_EQ(model.pagerCalls(), 1);
}

TEST_F(ProgramTest, CancelEndsTheReadAllWithoutItsCompletionLine)
{
    start();
    program::ReadAll(program);
    for (int n = 0; n < 40; ++n) {
        program.engine.ProcessTransfer(0);
        line.advance(25ms);
    }
    program::CancelReadWrite(program);
    EXPECT_EQ(ends, (std::vector<End>{{Job::ReadAll, JobEnd::Cancelled}}));
    ASSERT_GE(view.progress().size(), 14u);
    EXPECT_EQ(view.progress().substr(view.progress().size() - 14), "\r\nCancelled!\r\n");
    for (int n = 0; n < 400; ++n) {
        program.engine.ProcessTransfer(0);
        line.advance(25ms);
    }
    EXPECT_FALSE(logged("Reading of settings successfull."));
    EXPECT_FALSE(program.engine.requested(link::Job::ReadAll));
}

TEST_F(ProgramTest, WriteSingleSendsTheValueOnScreenAtTheClick)
{
    start();
    ASSERT_TRUE(controls.setChosenPosition(9, 0));
    program::WriteSingle(program, 9);
    controls.setChosenPosition(9, 1); // changed again before the engine serves it
    EXPECT_EQ(program.stores.WorkValues[9].asNumber(), 0);
    EXPECT_EQ(program.stores.ItemRequest[9], settings::Request::Write);
    for (int n = 0; n < 200 && program.stores.ItemRequest[9] != settings::Request::None; ++n) {
        program.engine.ProcessTransfer(0);
        line.advance(25ms);
    }
    EXPECT_EQ(model.number(9), 0);
}

TEST_F(ProgramTest, ReviewListsTheEditsAgainstTheUnitAndPutsTheUnitsValueBack)
{
    start();
    program::ReadAll(program);
    tickUntilEnded();
    EXPECT_TRUE(program::ReviewChanges(program).changed.empty());
    const int speed = controls.chosenPosition(10);
    ASSERT_TRUE(controls.setChosenPosition(10, speed == 0 ? 1 : 0));
    const std::string alarmText = controls.text(8);
    ASSERT_TRUE(controls.setText(8, "Door forced"));
    program.stores.UnitValues[116] = settings::SettingValue::Number(-1); // as if never read

    const program::ChangeReview review = program::ReviewChanges(program);
    ASSERT_EQ(review.changed.size(), 2u);
    EXPECT_EQ(review.changed[0].item, 10);
    EXPECT_EQ(review.changed[0].unitText, settings::ChoiceEntries(10)[speed]);
    EXPECT_EQ(review.changed[1].name, "Input 1, Alarm, Text at alarm:");
    EXPECT_EQ(review.changed[1].unitText, alarmText);
    EXPECT_EQ(review.changed[1].screenText, "Door forced");
    ASSERT_EQ(review.notRead.size(), 1u);
    EXPECT_EQ(review.notRead[0].item, 116);

    program::PutBackUnitValue(program, 10);
    program::PutBackUnitValue(program, 108);
    program::PutBackUnitValue(program, 116); // nothing known to put back
    EXPECT_EQ(controls.chosenPosition(10), speed);
    EXPECT_EQ(controls.text(8), alarmText);
    EXPECT_TRUE(program::ReviewChanges(program).changed.empty());
    EXPECT_EQ(program::ReviewChanges(program).notRead.size(), 1u);
}

} // namespace
} // namespace pravenor

namespace pravenor {
namespace {

TEST(CompareSettings, ListsTheSettingsInUseThatDifferAsAPersonReadsThem)
{
    test::TempFolder folder;
    test::TempFolder::write(folder.path() / "site.cfg",
                            "9    ->1\r\n10    ->4\r\n52    ->3\r\n100    ->Door\r\n5    ->7\r\n");
    const program::FileSnapshot file = program::ReadSettingsSnapshot(folder.path() / "site.cfg");
    ASSERT_TRUE(file.ok) << file.message;

    settings::ValueStores::Store screen = file.values;
    screen[10] = settings::SettingValue::Number(3);
    screen[52] = settings::SettingValue::Text("3"); // the same choice, read from a converter
    screen[100] = settings::SettingValue::Text("door");
    screen[5] = settings::SettingValue::Number(0); // hidden: not compared
    const auto differences = program::CompareSettings(screen, file.values);

    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].item, 10);
    EXPECT_EQ(differences[0].legend, "Paging serial speed:");
    EXPECT_EQ(differences[0].oursText, "9600 baud");
    EXPECT_EQ(differences[0].theirsText, "19200 baud");
    EXPECT_EQ(differences[1].item, 100);
    EXPECT_EQ(differences[1].legend, "Input 1, Text Idle after Alarm:");
    EXPECT_EQ(differences[1].theirs, settings::SettingValue::Text("Door"));

    EXPECT_FALSE(program::ReadSettingsSnapshot(folder.path() / "missing.cfg").ok);
}

} // namespace
} // namespace pravenor
