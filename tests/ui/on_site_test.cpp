// The on-site additions: write only what changed, compare the screen with a file, watch the line.
#include "link/protocol.h"
#include "program/commands.h"
#include "sim/simulated_line.h"
#include "ui/changes_dialog.h"
#include "ui/compare_dialog.h"
#include "ui/line_monitor_window.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace pravenor::test {
namespace {

class OnSiteTest : public WindowTest
{
protected:
    void readAll()
    {
        click("CmdLeesAlles");
        ASSERT_TRUE(tickUntil([&] { return logged("Reading of settings successfull."); }));
    }
    // The items of the write frames the converter received from frame `from` on.
    std::vector<int> writtenItems(std::size_t from) const
    {
        std::vector<int> items;
        const auto frames = line->simulated()->framesFromHost();
        for (std::size_t n = from; n < frames.size(); ++n) {
            if (frames[n].bytes.size() > 7 && frames[n].bytes[5] == protocol::kCommandWrite)
                items.push_back(frames[n].bytes[7]);
        }
        return items;
    }
};

TEST_F(OnSiteTest, WriteChangedSendsExactlyTheSettingsThatDiffer)
{
    load();
    readAll();
    find<QComboBox>("ComboInstellingen_10")->setCurrentIndex(4);
    find<QComboBox>("ComboInstellingen_44")->setCurrentIndex(30);
    find<QLineEdit>("TxtTekstInput_8")->setText("Alarm: door forced");
    const std::size_t before = line->simulated()->framesFromHost().size();

    click("CmdSchrijfGewijzigd");
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(), "Write the 3 changed settings to the converter?\nAre you sure? ");
    answer(QMessageBox::Ok);
    const long start = window->tickCount();
    ASSERT_TRUE(tickUntil([&] { return idle(); }));
    EXPECT_EQ(writtenItems(before), (std::vector<int>{10, 44, 108}));
    EXPECT_LE(window->tickCount() - start, 3 * 6 + 1); // the link is still awake after the read
    EXPECT_EQ(model().number(44), 30);
    EXPECT_EQ(model().text(108), "Alarm: door forced");
}

TEST_F(OnSiteTest, WriteChangedWithNothingChangedSaysSoAndSendsNothing)
{
    load();
    readAll();
    const std::size_t before = line->simulated()->framesFromHost().size();
    click("CmdSchrijfGewijzigd");
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(),
              "Nothing to write: every setting on screen matches the converter.");
    answer(QMessageBox::Ok);
    for (int n = 0; n < 100; ++n)
        window->tick();
    EXPECT_EQ(line->simulated()->framesFromHost().size(), before);
}

TEST_F(OnSiteTest, CompareListsTheDifferingRowsAndTakesTheFilesValue)
{
    load();
    readAll();
    const std::filesystem::path file = folder.path() / "site.cfg";
    ASSERT_TRUE(program::SaveSettings(*program, file).ok);
    find<QComboBox>("ComboInstellingen_10")->setCurrentIndex(0);
    find<QLineEdit>("TxtTekstInput_40")->setText("2000");

    click("CmdVergelijkMetBestand");
    QFileDialog* dialog = window->findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
    QApplication::processEvents();
    auto* compare = window->findChild<ui::CompareDialog*>();
    ASSERT_NE(compare, nullptr);
    ASSERT_EQ(compare->rowCount(), 2);
    // The error frame's address by its full name: the alarm frame has an "Address:" too.
    const QTableWidget* table = compare->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->item(1, 1)->text(), "Input 1, Error, Address:");

    compare->takeRow(0);
    EXPECT_EQ(find<QComboBox>("ComboInstellingen_10")->currentText(), "9600 baud");
    EXPECT_EQ(find<QLineEdit>("TxtTekstInput_40")->text(), "2000"); // not taken yet
    compare->takeAll();
    EXPECT_EQ(find<QLineEdit>("TxtTekstInput_40")->text(), "1999");
}

TEST_F(OnSiteTest, CompareWithTheUnitReadsItAndLeavesTheScreenAsItWas)
{
    load();
    readAll();
    find<QComboBox>("ComboInstellingen_10")->setCurrentIndex(0);
    const std::size_t framesBefore = line->simulated()->framesFromHost().size();

    click("CmdVergelijkMetUnit");
    ASSERT_TRUE(tickUntil([&] { return window->findChild<ui::CompareDialog*>() != nullptr; }));
    auto* compare = window->findChild<ui::CompareDialog*>();
    EXPECT_EQ(compare->windowTitle(), "Compare with the unit");
    ASSERT_EQ(compare->rowCount(), 1);
    EXPECT_EQ(compare->findChild<QTableWidget*>()->item(0, 3)->text(), "9600 baud");
    // Read, not written; and the edit is still on screen.
    EXPECT_GT(line->simulated()->framesFromHost().size(), framesBefore);
    EXPECT_EQ(writtenItems(framesBefore), std::vector<int>{});
    EXPECT_EQ(find<QComboBox>("ComboInstellingen_10")->currentIndex(), 0);
    compare->takeAll();
    EXPECT_EQ(find<QComboBox>("ComboInstellingen_10")->currentText(), "9600 baud");
}

TEST_F(OnSiteTest, TheReportOfTheScreenMarksTheEditsAndRemembersTheSite)
{
    load();
    readAll();
    find<QComboBox>("ComboInstellingen_10")->setCurrentIndex(0);
    std::filesystem::path file;
    for (const char* site : {"Plant room", ""}) {
        file = folder.path() / (std::string(*site ? "first" : "second") + ".html");
        // The heading is asked in a box of its own, which waits for its answer.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* heading = window->findChild<QDialog*>("ReportHeading");
            if (heading == nullptr || !heading->isVisible())
                return;
            answer.stop();
            if (*site)
                heading->findChild<QLineEdit*>("TxtReportSite")->setText(site);
            heading->accept();
        });
        answer.start(10);
        click("CmdRapport");
        auto* dialog = window->findChild<QFileDialog*>("ReportFile");
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(dialog)->accept();
        QApplication::processEvents();
    }
    // The second report was given no site: the one of the first was offered and kept.
    const std::string html = TempFolder::read(file);
    EXPECT_NE(html.find("Plant room"), std::string::npos);
    EXPECT_NE(html.find("the screen"), std::string::npos);
    EXPECT_NE(html.find("1200 baud</span> <span class=\"differs\">"), std::string::npos) << html;
}

TEST_F(OnSiteTest, FindReachesASettingInFourKeysAndEscapeGoesBack)
{
    load();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    auto* relay = find<QComboBox>("ComboInstellingen_9");
    relay->setFocus();
    auto* field = find<QLineEdit>("TxtZoekInstelling");
    EXPECT_EQ(field->accessibleName(), "Find setting");
    auto* list = find<QListWidget>("LstGevondenInstellingen");

    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), field);
    QTest::keyClicks(field, "120"); // then Enter: four keys
    ASSERT_TRUE(list->isVisible());
    EXPECT_TRUE(list->item(0)->text().startsWith("Input 5, Error, Text at failure:"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    auto* failure = find<QLineEdit>("TxtTekstInput_20");
    EXPECT_EQ(QApplication::focusWidget(), failure);
    EXPECT_TRUE(failure->isVisible()); // its page, inner tab and input tab are open

    // The arrow keys choose another match; Escape closes the list and goes back.
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(field, "paging serial");
    ASSERT_GE(list->count(), 2);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QComboBox>("ComboInstellingen_11"));
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(field, "9600");
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), find<QComboBox>("ComboInstellingen_11"));
}

TEST_F(OnSiteTest, ChangesListsTheEditsAndPutsTheUnitsValueBack)
{
    load();
    readAll();
    auto* speed = find<QComboBox>("ComboInstellingen_10");
    const QString before = speed->currentText();
    speed->setCurrentIndex(0);
    find<QLineEdit>("TxtTekstInput_40")->setText("2000");
    program->stores.UnitValues[116] = settings::SettingValue::Number(-1);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    auto* changes = window->findChild<ui::ChangesDialog*>();
    ASSERT_NE(changes, nullptr);
    ASSERT_EQ(changes->changedCount(), 2);
    EXPECT_EQ(changes->notReadCount(), 1);
    const auto* table = changes->findChild<QTableWidget*>("TblWijzigingen");
    EXPECT_EQ(table->item(1, 0)->text(), "Input 1, Error, Address:");
    EXPECT_EQ(table->item(1, 1)->text(), "1999");
    EXPECT_EQ(table->item(1, 2)->text(), "2000");

    changes->findChild<QPushButton*>("CmdTerugzetten_10")->click();
    EXPECT_EQ(speed->currentText(), before);
    EXPECT_EQ(changes->changedCount(), 1);
    changes->putBackAll();
    EXPECT_EQ(find<QLineEdit>("TxtTekstInput_40")->text(), "1999");
    EXPECT_EQ(changes->changedCount(), 0);
    window->refreshMarking();
    EXPECT_EQ(window->widgetControls().textColour(40), settings::ControlColour::WindowText);
}

TEST_F(OnSiteTest, TheLineMonitorShowsTheFramesOnlyWhileOpen)
{
    load();
    window->menuBar()->actions().at(3)->trigger(); // "Line monitor"
    auto* monitor = window->findChild<ui::LineMonitorWindow*>();
    ASSERT_NE(monitor, nullptr);
    click("CmdReadSingleSetting_10");
    ASSERT_TRUE(tickUntil([&] { return idle(); }));
    QTest::qWait(150);
    monitor->refresh();
    const QStringList lines = monitor->shownText().split('\n');
    ASSERT_GE(lines.size(), 3); // wake-up, request, reply
    EXPECT_TRUE(lines[1].contains(QRegularExpression(QStringLiteral(" -> read +01 "))))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(" <- ")) << lines[2].toStdString();

    QTest::keyClick(monitor->findChild<QWidget*>("TxtLineMonitor"), Qt::Key_Escape);
    EXPECT_FALSE(monitor->isVisible());
    const std::size_t kept = monitor->monitor().frames().size();
    click("CmdReadSingleSetting_10");
    ASSERT_TRUE(tickUntil([&] { return idle(); }));
    EXPECT_EQ(monitor->monitor().frames().size(), kept);
}

} // namespace
} // namespace pravenor::test
