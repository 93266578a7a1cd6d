// "History…": the snapshots of the line, a snapshot against the screen, and the restore.
#include "ui/dialogs/program_setup_dialog.h"
#include "ui/history_dialog.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QFileDialog>
#include <QMenuBar>
#include <QPushButton>

namespace pravenor::test {
namespace {

using HistoryDialogTest = WindowTest;

TEST_F(HistoryDialogTest, RestoreWritesBackOnlyWhatDiffersAfterItsConfirmation)
{
    load();
    click("CmdLeesAlles");
    ASSERT_TRUE(tickUntil([&] { return idle(); }));
    const int speed = model().number(10);
    find<QComboBox>("ComboInstellingen_10")->setCurrentIndex(speed == 1 ? 2 : 1);
    click("CmdWriteSingleSetting_10");
    ASSERT_TRUE(tickUntil([&] { return idle(); }));
    ASSERT_NE(model().number(10), speed);
    // The end of the write batch: one summary box.
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->objectName(), "WriteSummary");
    EXPECT_EQ(openBox()->text(), "Written: 1 (Paging serial speed:)");
    answer(QMessageBox::Ok);

    auto* dialog = new ui::HistoryDialog(*program, window.get());
    dialog->show();
    ASSERT_EQ(dialog->snapshotCount(), 1);
    dialog->selectSnapshot(0);
    EXPECT_EQ(dialog->differenceCount(), 1); // the screen shows what was written

    dialog->restoreSelected();
    ASSERT_NE(openBox(), nullptr);
    EXPECT_NE(openBox()->text().indexOf("1 settings differ from what the unit holds"), -1)
        << openBox()->text().toStdString();
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(dialog->restoring());

    dialog->restoreSelected();
    answer(QMessageBox::Ok);
    ASSERT_TRUE(dialog->restoring());
    ASSERT_TRUE(tickUntil([&] {
        dialog->followRestore();
        return !dialog->restoring();
    }));
    EXPECT_EQ(model().number(10), speed);
    EXPECT_EQ(dialog->differenceCount(), 0);
    EXPECT_EQ(program->history.snapshots().list().size(), 2u); // the restore was kept too
}

} // namespace
} // namespace pravenor::test

namespace pravenor::test {
namespace {

using EditLossTest = WindowTest;

TEST_F(EditLossTest, EditsNothingHasKeptAreCountedBeforeACommandThrowsThemAway)
{
    load();
    auto* relay = find<QComboBox>("ComboInstellingen_9");
    relay->setCurrentIndex(1);
    const QString lost =
        "1 setting changed on screen was neither written to the unit nor saved to a file.";

    window->menuBar()->actions().at(1)->trigger(); // "Quit" keeps its question, with the count
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(), lost + "\nAre you sure to quit the program?");
    answer(QMessageBox::Cancel);

    window->menuBar()->actions().at(0)->trigger(); // "Setup"
    auto* setup = window->findChild<ui::ProgramSetupDialog*>();
    ASSERT_NE(setup, nullptr);
    setup->findChild<QPushButton*>("CmdWijzigen")->click();
    setup->findChild<QPushButton*>("CmdSave")->click();
    auto* asked = setup->findChild<QMessageBox*>("SaveLosesEdits");
    ASSERT_NE(asked, nullptr);
    asked->button(QMessageBox::Cancel)->click();
    QApplication::processEvents();
    EXPECT_EQ(relay->currentIndex(), 1);
    EXPECT_TRUE(setup->findChild<QPushButton*>("CmdSave")->isEnabled()); // still editing
    setup->findChild<QPushButton*>("CmdSave")->click();
    setup->findChild<QMessageBox*>("SaveLosesEdits")->button(QMessageBox::Ok)->click();
    QApplication::processEvents();
    EXPECT_EQ(relay->currentIndex(), 0); // default.set shown again
    setup->close();

    relay->setCurrentIndex(1);
    click("CmdLezenUnitgegevens"); // "Read from file" asks before its file dialog
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(), "Read from file\n" + lost + "\nThey are lost if you go on.");
    answer(QMessageBox::Cancel);
    EXPECT_EQ(window->findChild<QFileDialog*>(), nullptr);

    relay->setCurrentIndex(1);
    window->close(); // the close box asks only where edits would be lost
    ASSERT_NE(openBox(), nullptr);
    answer(QMessageBox::Cancel);
    EXPECT_EQ(program->port.PortIsOpen(), 1);
    window->close();
    answer(QMessageBox::Ok);
    EXPECT_NE(program->port.PortIsOpen(), 1);
}

TEST_F(EditLossTest, WithoutKeepingTheUnitTheWriteAllSaysHowManyEarlierValuesAreUnknown)
{
    load();
    program->history.keepUnit = false;
    click("CmdSchrijfAlles");
    ASSERT_NE(openBox(), nullptr);
    EXPECT_TRUE(openBox()->text().startsWith("129 settings' earlier values are unknown"))
        << openBox()->text().toStdString();
    answer(QMessageBox::Cancel);
}

} // namespace
} // namespace pravenor::test
