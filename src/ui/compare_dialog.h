#pragma once

#include "program/settings_comparison.h"

#include <QDialog>
#include <functional>
#include <vector>

class QTableWidget;

namespace pravenor::ui {

// What the screen is compared with: a settings file, or what the unit holds.
struct CompareSide
{
    QString title;  // the dialog's title
    QString name;   // in the heading: "site.cfg", "the unit"
    QString column; // the column of its values
    QString whose;  // "the file's", "the unit's"

    static CompareSide File(const QString& fileName);
    static CompareSide Unit();
};

// "Compare with file" and "Compare with the unit": every setting in use where the screen and
// the other side differ, with the other side's value to take over per row or for all rows.
// Taking puts the value into the control only; the red marking then shows how it stands
// against the converter.
class CompareDialog final : public QDialog
{
    Q_OBJECT

public:
    using Take = std::function<void(int item, const settings::SettingValue& value)>;

    CompareDialog(CompareSide side, std::vector<program::SettingDifference> differences, Take take,
                  QWidget* parent);

    int rowCount() const;
    void takeRow(int row);
    void takeAll();

private:
    void addRow(int row, const program::SettingDifference& difference);

    CompareSide m_side;
    std::vector<program::SettingDifference> m_differences;
    std::vector<bool> m_taken;
    Take m_take;
    QTableWidget* m_table = nullptr;
};

} // namespace pravenor::ui
