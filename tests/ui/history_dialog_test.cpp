// "History…": the snapshots of the line, a snapshot against the screen, and the restore.
#include "ui/history_dialog.h"
#include "window_fixture.h"

#include <QComboBox>

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
