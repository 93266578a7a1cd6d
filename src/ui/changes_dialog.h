#pragma once

#include <QDialog>

class QTableWidget;
class QPushButton;

namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

// "Changes": every setting whose screen value is not what the unit was last seen to hold, by
// its full name, with the unit's value and the screen's, and "Put back the unit's value" per
// row and for all; the settings never read listed apart. It shows the state when opened or
// refreshed; the red marking follows the put-back values within 100 ms as always.
class ChangesDialog final : public QDialog
{
public:
    ChangesDialog(program::Program& program, QWidget* parent);

    void refresh();
    void putBack(int item);
    void putBackAll();
    int changedCount() const;
    int notReadCount() const;

private:
    program::Program& m_program;
    QTableWidget* m_changed;
    QTableWidget* m_notRead;
    QPushButton* m_putBackAll;
};

} // namespace pravenor::ui
