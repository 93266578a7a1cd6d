#pragma once

#include "settings/control_board.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pravenor::settings::test {

// A ControlBoard that can also do what the in-memory board never does: hide text boxes and
// refuse a value, as a real widget might. It records the value traffic, so that the order
// of the all-item operations can be seen.
class ScriptedControls final : public SettingControls
{
public:
    ControlBoard board;
    std::set<int> hiddenTexts;
    std::optional<int> refusedPosition; // any choice box refuses this position
    std::optional<std::string> refusedText;
    // "set choice 10", "get text 3", ...; recording is not part of what the controls hold.
    mutable std::vector<std::string> calls;

    bool choiceVisible(int n) const override { return board.choiceVisible(n); }
    void setChoiceVisible(int n, bool visible) override { board.setChoiceVisible(n, visible); }
    void clearChoiceList(int n) override { board.clearChoiceList(n); }
    void appendChoiceEntry(int n, const std::string& e) override { board.appendChoiceEntry(n, e); }
    int choiceEntryCount(int n) const override { return board.choiceEntryCount(n); }
    int chosenPosition(int n) const override
    {
        record("get choice ", n);
        return board.chosenPosition(n);
    }
    bool setChosenPosition(int n, int position) override
    {
        record("set choice ", n);
        if (refusedPosition == position)
            return false;
        return board.setChosenPosition(n, position);
    }
    std::string choiceText(int n) const override { return board.choiceText(n); }
    void setChoiceColour(int n, ControlColour c) override { board.setChoiceColour(n, c); }
    void clearChoiceHighlight(int n) override { board.clearChoiceHighlight(n); }

    bool textVisible(int j) const override
    {
        return hiddenTexts.count(j) == 0 && board.textVisible(j);
    }
    std::string text(int j) const override
    {
        record("get text ", j);
        return board.text(j);
    }
    bool setText(int j, const std::string& t) override
    {
        record("set text ", j);
        if (refusedText == t)
            return false;
        return board.setText(j, t);
    }
    int textMaxLength(int j) const override { return board.textMaxLength(j); }
    void setTextColour(int j, ControlColour c) override { board.setTextColour(j, c); }

    bool buttonsVisible(int n) const override { return board.buttonsVisible(n); }
    void setButtonsVisible(int n, bool visible) override { board.setButtonsVisible(n, visible); }

    void clearPagerBleepList() override { board.clearPagerBleepList(); }
    void appendPagerBleepEntry(const std::string& e) override { board.appendPagerBleepEntry(e); }
    void setPagerBleepVisible(bool visible) override { board.setPagerBleepVisible(visible); }
    std::string pagerAddress() const override { return board.pagerAddress(); }
    std::string pagerDisplayInfo() const override { return board.pagerDisplayInfo(); }
    int pagerBleepPosition() const override { return board.pagerBleepPosition(); }

private:
    void record(const char* what, int index) const
    {
        calls.push_back(what + std::to_string(index));
    }
};

} // namespace pravenor::settings::test
