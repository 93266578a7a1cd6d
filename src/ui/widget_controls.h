#pragma once

#include "settings/catalogue.h"
#include "settings/setting_controls.h"
#include "ui/change_cue.h"

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace pravenor::ui {

// The widgets that show the settings, indexed by item number (text boxes by item - 100).
struct SettingWidgets
{
    std::array<QComboBox*, settings::kChoiceBoxCount> combos{};         // ComboInstellingen
    std::array<QLineEdit*, settings::kTextBoxCount> texts{};            // TxtTekstInput
    std::array<QPushButton*, settings::kItemButtonCount> readButtons{}; // CmdReadSingleSetting
    std::array<QPushButton*, settings::kItemButtonCount> writeButtons{};
    QComboBox* pagerBleep = nullptr;   // ComboTestBleepCode
    QLineEdit* pagerAddress = nullptr; // TxtTestPagerAdres
    QLineEdit* pagerInfo = nullptr;    // TxtTestPagerDisplayInfo
};

// The setting controls as the core sees them, over the window's widgets. A control is in use
// when the program has not hidden it; whether its page is open does not matter. Colours
// are applied only when they change, so the 100 ms marking costs nothing when all is still.
class WidgetControls final : public settings::SettingControls
{
public:
    explicit WidgetControls(const SettingWidgets& widgets);

    bool choiceVisible(int n) const override;
    void setChoiceVisible(int n, bool visible) override;
    void clearChoiceList(int n) override;
    void appendChoiceEntry(int n, const std::string& entry) override;
    int choiceEntryCount(int n) const override;
    int chosenPosition(int n) const override;
    bool setChosenPosition(int n, int position) override;
    std::string choiceText(int n) const override;
    void setChoiceColour(int n, settings::ControlColour colour) override;
    void clearChoiceHighlight(int n) override;

    bool textVisible(int j) const override;
    std::string text(int j) const override;
    bool setText(int j, const std::string& text) override;
    int textMaxLength(int j) const override;
    void setTextColour(int j, settings::ControlColour colour) override;

    bool buttonsVisible(int n) const override;
    void setButtonsVisible(int n, bool visible) override;

    void clearPagerBleepList() override;
    void appendPagerBleepEntry(const std::string& entry) override;
    void setPagerBleepVisible(bool visible) override;
    std::string pagerAddress() const override;
    std::string pagerDisplayInfo() const override;
    int pagerBleepPosition() const override;

    settings::ControlColour choiceColour(int n) const;
    settings::ControlColour textColour(int j) const;
    // The corner mark and tooltip beside the red text of a changed control.
    ChangeCue& changeCue() { return m_cue; }
    // How often a colour was actually applied to a widget.
    long colourChanges() const { return m_colourChanges; }

private:
    SettingWidgets m_widgets;
    std::array<settings::ControlColour, settings::kChoiceBoxCount> m_choiceColours{};
    std::array<settings::ControlColour, settings::kTextBoxCount> m_textColours{};
    long m_colourChanges = 0;
    ChangeCue m_cue;
};

} // namespace pravenor::ui
