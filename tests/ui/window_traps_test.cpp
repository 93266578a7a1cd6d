// The window on every screen and without traps: its size against the screen, choice boxes
// that take only their entries, a pager call refused where it cannot go out.
#include "program/commands.h"
#include "program/program.h"
#include "ui/line_monitor_window.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <set>

namespace pravenor::test {
namespace {

class TrapsTest : public WindowTest
{
protected:
    void readAll()
    {
        click("CmdLeesAlles");
        ASSERT_TRUE(tickUntil([&] { return logged("Reading of settings successfull."); }));
        // The Unit page ends on the closing line too, not on the last item.
        EXPECT_TRUE(find<QPlainTextEdit>("TxtProgress")
                        ->toPlainText()
                        .endsWith(QStringLiteral("Reading of settings successfull.\n")));
    }
};

TEST_F(TrapsTest, TheWindowFitsTheScreenAndEverySettingPageStaysReachable)
{
    load();
    window->show();
    auto* setup = find<QTabWidget>("SSTab2");
    auto* main = find<QTabWidget>("SSTab1");
    main->setCurrentWidget(setup);
    struct Row
    {
        QSize screen;
        bool room; // large enough for every page without scrolling
    };
    // A wide screen, 1280 by 900 at scale 1.5, and two small ones.
    for (const Row& row : {Row{{1920, 1200}, true}, Row{{1366, 768}, false}, Row{{853, 600}, false},
                           Row{{800, 600}, false}, Row{{640, 480}, false}}) {
        const QRect screen(QPoint(0, 0), row.screen);
        window->fitTo(screen);
        QApplication::processEvents();
        const std::string at =
            std::to_string(row.screen.width()) + "x" + std::to_string(row.screen.height());
        EXPECT_TRUE(screen.contains(window->frameGeometry())) << at;
        for (int tab = 0; tab < setup->count(); ++tab) {
            setup->setCurrentIndex(tab);
            // A page shown for the first time is polished, which asks for its layout again.
            for (int round = 0; round < 3; ++round)
                QApplication::processEvents();
            QTabBar* bar = setup->tabBar();
            const QRect barInWindow(bar->mapTo(window.get(), bar->tabRect(tab).topLeft()),
                                    bar->tabRect(tab).size());
            EXPECT_TRUE(window->rect().contains(barInWindow)) << at << " tab " << tab;
            QWidget* page = setup->currentWidget();
            for (auto* combo : page->findChildren<QComboBox*>()) {
                if (!combo->isVisible())
                    continue;
                EXPECT_EQ(combo->width(),
                          combo->sizeHint().expandedTo(combo->minimumSizeHint()).width())
                    << at << " " << combo->objectName().toStdString();
            }
            QList<QScrollArea*> areas = page->findChildren<QScrollArea*>();
            if (auto* area = qobject_cast<QScrollArea*>(page))
                areas.append(area);
            for (QScrollArea* area : areas) {
                if (row.room) {
                    EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << at << " tab " << tab;
                }
            }
        }
    }
}

TEST_F(TrapsTest, AChoiceBoxTakesOnlyItsEntries)
{
    load();
    readAll();
    auto* box = find<QComboBox>("ComboInstellingen_60");
    const QString before = box->currentText();
    ASSERT_FALSE(before.isEmpty());
    QLineEdit* edit = box->lineEdit();
    auto settle = [&] { QTest::keyClick(box, Qt::Key_Return); };

    edit->selectAll();
    QTest::keyClicks(box, QStringLiteral("banana"));
    settle();
    EXPECT_EQ(box->currentText(), before) << "typed";

    QApplication::clipboard()->setText(QStringLiteral("banana"));
    edit->selectAll();
    edit->paste();
    settle();
    EXPECT_EQ(box->currentText(), before) << "pasted";

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(accessible, nullptr);
    accessible->setText(QAccessible::Value, QStringLiteral("banana"));
    EXPECT_EQ(box->currentText(), before) << "through accessibility";
    window->refreshMarking();
    EXPECT_TRUE(program::ChangedSettings(*program).empty());

    // Typing still finds an entry, in any letter case.
    edit->selectAll();
    QTest::keyClicks(box, QStringLiteral("bleepcode: c"));
    settle();
    EXPECT_EQ(box->currentIndex(), 12);
    EXPECT_EQ(program::ChangedSettings(*program), std::vector<int>{60});
}

TEST_F(TrapsTest, APagerCallThatCannotGoOutIsRefusedBeforeAnythingIsSent)
{
    load();
    auto* address = find<QLineEdit>("TxtTestPagerAdres");
    auto* bleep = find<QComboBox>("ComboTestBleepCode");
    auto* info = find<QLineEdit>("TxtTestPagerDisplayInfo");
    auto* outcome = find<QLabel>("ServiceOutcome");
    struct Row
    {
        const char* address;
        int bleep;
        QString info;
        QWidget* at; // where the focus goes; none: the call goes out
    };
    const Row rows[] = {
        {"", 3, QStringLiteral("Test"), address},
        {"1001", -1, QStringLiteral("Test"), bleep},
        {"1001", 3, QStringLiteral("\u0141\u00f3d\u017a"), info}, // beyond Windows-1252
        {"1001", 3, QStringLiteral("Test"), nullptr},
    };
    for (const Row& row : rows) {
        address->setText(QLatin1String(row.address));
        bleep->setCurrentIndex(row.bleep);
        info->setText(row.info);
        window->activateWindow();
        click("CmdTestOproepPager");
        const std::string what = std::string(row.address) + "/" + std::to_string(row.bleep);
        if (row.at != nullptr) {
            EXPECT_FALSE(program->engine.requested(link::Job::PagerCall)) << what;
            ASSERT_NE(openBox(), nullptr) << what;
            EXPECT_TRUE(outcome->text().endsWith(openBox()->text())) << what;
            EXPECT_EQ(window->focusWidget(), row.at) << what;
            answer(QMessageBox::Ok);
            continue;
        }
        EXPECT_EQ(openBox(), nullptr);
        EXPECT_TRUE(program->engine.requested(link::Job::PagerCall));
        EXPECT_TRUE(tickUntil(
            [&] { return outcome->text() == "Pager call: confirmed by the converter."; }, 400))
            << outcome->text().toStdString();
    }
}

TEST_F(TrapsTest, AMissingPortIsSaidOnceWithWhatToDoUntilTheUserAsksAgain)
{
    const std::string device = (folder.path() / "no-adapter").string();
    load({}, device); // no Pravenor.set: the log is off while starting
    const std::string whatToDo = "Check the device given with --port, or start with --demo.";
    auto count = [&](const std::string& text) {
        int n = 0;
        for (const std::string& entry : program->log.MessageLines())
            n += entry.size() > 9 && entry.substr(9) == text ? 1 : 0;
        return n;
    };
    // Three tries, 5 s apart.
    for (int tick = 0; tick < 3 * 200 + 10; ++tick)
        window->tick();
    EXPECT_EQ(count("Error opening " + device), 1);
    EXPECT_EQ(count(whatToDo), 1);
    EXPECT_EQ(count("Comport closed by software."), 0);
    EXPECT_EQ(find<QGroupBox>("FrmCommunicatie")->title().toStdString(),
              "Serial Port: " + device + " not open: No such file or directory");

    click("CmdReOpenCom");
    EXPECT_EQ(count(whatToDo), 2);
}

TEST_F(TrapsTest, EveryButtonHasAKeyOfItsOwnAndTheDailyCommandsHaveShortcuts)
{
    load();
    window->show();
    std::set<QString> menuKeys;
    for (QAction* action : window->menuBar()->actions())
        menuKeys.insert(QKeySequence::mnemonic(action->text()).toString());
    EXPECT_EQ(menuKeys.size(), window->menuBar()->actions().size());
    for (const char* menu : {"Setup", "About", "LineMonitor"})
        window->findChild<QAction*>(QLatin1String(menu))->trigger();
    for (const char* name :
         {"FilePage", "UnitPage", "ServicePage", "frmInstellingen", "frmAbout", "LineMonitor"}) {
        auto* holder = window->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(holder, nullptr) << name;
        const bool onPage = holder->window() == window.get();
        std::set<QString> keys;
        for (auto* button : holder->findChildren<QPushButton*>()) {
            if (button->isHidden())
                continue;
            const QString key = QKeySequence::mnemonic(button->text()).toString();
            const std::string what = std::string(name) + " " + button->text().toStdString();
            EXPECT_FALSE(key.isEmpty()) << what;
            EXPECT_TRUE(keys.insert(key).second) << what;
            if (onPage) {
                EXPECT_EQ(menuKeys.count(key), 0u) << what;
            }
        }
    }

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* main = find<QTabWidget>("SSTab1");
    main->setCurrentIndex(0);
    QTest::keyClick(window.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(main->currentIndex(), 1);
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(program->engine.requested(link::Job::ReadAll));

    auto* monitor = window->findChild<ui::LineMonitorWindow*>();
    ASSERT_NE(monitor, nullptr);
    monitor->findChild<QPushButton*>("CmdCloseMonitor")->click();
    EXPECT_FALSE(monitor->isVisible());
}

} // namespace
} // namespace pravenor::test
