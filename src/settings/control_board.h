#pragma once

#include "settings/catalogue.h"
#include "settings/setting_controls.h"

#include <array>
#include <vector>

namespace pravenor::settings {

// The setting controls in memory: what a window would hold, without a window. Starts as the
// window is designed: every box visible with an empty list and nothing chosen, the buttons
// on the shown pages visible.
class ControlBoard final : public SettingControls
{
public:
    ControlBoard();

    bool choiceVisible(int n) const override;
    void setChoiceVisible(int n, bool visible) override;
    void clearChoiceList(int n) override;
    void appendChoiceEntry(int n, const std::string& entry) override;
    int choiceEntryCount(int n) const override;
    int chosenPosition(int n) const override;
    bool setChosenPosition(int n, int position) override;
    std::string choiceText(int n) const override;
    void setChoiceColour(int n, ControlColour colour) override;
    void clearChoiceHighlight(int n) override;

    bool textVisible(int j) const override;
    std::string text(int j) const override;
    bool setText(int j, const std::string& text) override;
    int textMaxLength(int j) const override;
    void setTextColour(int j, ControlColour colour) override;

    bool buttonsVisible(int n) const override;
    void setButtonsVisible(int n, bool visible) override;

    void clearPagerBleepList() override;
    void appendPagerBleepEntry(const std::string& entry) override;
    void setPagerBleepVisible(bool visible) override;
    std::string pagerAddress() const override { return m_pagerAddress; }
    std::string pagerDisplayInfo() const override { return m_pagerDisplayInfo; }
    int pagerBleepPosition() const override { return m_pagerBleepPosition; }

    // What a user or a test sees and does.
    ControlColour choiceColour(int n) const;
    ControlColour textColour(int j) const;
    const std::vector<std::string>& choiceEntries(int n) const;
    bool choiceHighlighted(int n) const;
    void highlightChoice(int n); // a user selecting part of the box's text
    const std::vector<std::string>& pagerBleepEntries() const { return m_pagerBleepEntries; }
    bool pagerBleepVisible() const { return m_pagerBleepVisible; }
    void setPagerInputs(std::string address, std::string displayInfo, int bleepPosition);

private:
    struct Choice
    {
        bool visible = true;
        std::vector<std::string> entries;
        int chosen = -1;
        ControlColour colour = ControlColour::WindowText;
        bool highlighted = false;
    };
    struct TextBox
    {
        std::string text;
        ControlColour colour = ControlColour::WindowText;
    };

    std::array<Choice, kChoiceBoxCount> m_choices;
    std::array<TextBox, kTextBoxCount> m_texts;
    std::array<bool, kItemButtonCount> m_buttonsVisible{};
    std::vector<std::string> m_pagerBleepEntries;
    bool m_pagerBleepVisible = true;
    std::string m_pagerAddress;
    std::string m_pagerDisplayInfo;
    int m_pagerBleepPosition = -1;
};

} // namespace pravenor::settings
