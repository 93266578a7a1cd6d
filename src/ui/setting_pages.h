#pragma once

#include "ui/widget_controls.h"

#include <array>
#include <vector>

class QTabWidget;
class QLabel;
class QWidget;

namespace pravenor::ui {

// Everything the setting pages are made of, by the window's array names.
struct SettingPages
{
    SettingWidgets widgets;
    std::array<QLabel*, settings::kChoiceBoxCount> choiceLegends{}; // TxtLegendaCharInput
    std::array<QLabel*, settings::kTextBoxCount> textLegends{};     // TxtLegendaTekstInput
    QWidget* generalButtonsFrame = nullptr;                         // FrameCmdButtonsAlgemeen
    QWidget* pagingButtonsFrame = nullptr;                          // FrameCmdButtonsPaging
    std::vector<QWidget*> pagingButtonPairs; // in that frame, one Read/Write pair a row
    QTabWidget* inputTabs = nullptr;         // SSTab3
    QWidget* generalSetup = nullptr;
    QWidget* inputContactSetup = nullptr;
    QWidget* pagingSetup = nullptr;
};

// Builds the three setting pages from the page table, and gives every setting control that
// stands on no shown page a home in `unplaced`, a widget that is never shown, so that every
// item still has its control. Each widget is named by its array and index
// ("ComboInstellingen_44") and carries its legend as accessible name.
SettingPages BuildSettingPages(QWidget* unplaced);

// Lines up the columns of the alarm and the error frame on every input page, which the boxes'
// own widths decide: called once their lists are filled.
void LineUpInputFrames(const SettingPages& pages);

} // namespace pravenor::ui
