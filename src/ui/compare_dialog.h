#pragma once

#include "program/settings_comparison.h"

#include <QDialog>
#include <functional>
#include <vector>

class QTableWidget;

namespace pravenor::ui {

// "Compare with file": every setting in use where the screen and a settings file differ,
// with the file's value to take over per row or for all rows. Taking puts the value into
// the control only; the red marking then shows how it stands against the converter.
class CompareDialog final : public QDialog
{
    Q_OBJECT

public:
    using Take = std::function<void(int item, const settings::SettingValue& value)>;

    CompareDialog(const QString& fileName, std::vector<program::SettingDifference> differences,
                  Take take, QWidget* parent);

    int rowCount() const;
    void takeRow(int row);
    void takeAll();

private:
    void addRow(int row, const program::SettingDifference& difference);

    std::vector<program::SettingDifference> m_differences;
    std::vector<bool> m_taken;
    Take m_take;
    QTableWidget* m_table = nullptr;
};

} // namespace pravenor::ui
