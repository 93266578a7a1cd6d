#pragma once

#include "files/snapshot_store.h"
#include "program/restore_run.h"

#include <QDialog>
#include <QTimer>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

// "History…": the snapshots kept of the current line's converter, newest first, with how
// many settings the write after each one changed; a snapshot's differences from the screen;
// and "Restore the unit to this", which writes back only the settings where the snapshot
// differs from what the unit holds now, reading first where that is unknown.
class HistoryDialog final : public QDialog
{
    Q_OBJECT

public:
    HistoryDialog(program::Program& program, QWidget* parent);

    int snapshotCount() const;
    void selectSnapshot(int row);
    int differenceCount() const;
    // Asks first, naming the count; the rounds then run on the window's engine.
    void restoreSelected();
    bool restoring() const { return m_restore.has_value(); }
    // Looked at every 100 ms while a restore runs: the writes go out once the reads are in.
    void followRestore();

private:
    void showDifferences();
    void startRestore();

    program::Program& m_program;
    std::vector<files::Snapshot> m_snapshots;
    std::optional<files::SnapshotContent> m_shown;
    std::optional<program::RestoreRun> m_restore;
    bool m_writesAsked = false;
    QTimer m_follow;
    QTableWidget* m_list = nullptr;
    QTableWidget* m_differences = nullptr;
    QLabel* m_heading = nullptr;
    QPushButton* m_restoreButton = nullptr;
};

} // namespace pravenor::ui
