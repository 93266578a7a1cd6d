#pragma once

#include <string>

namespace pravenor::settings {

enum class ControlColour
{
    WindowText,
    Red, // the control differs from what the converter holds
};

// The on-screen controls of the settings, as the core sees them. The window implements it
// with its combo and text boxes; ControlBoard implements it in memory for tests and for
// front ends without a window. Choice box n shows choice item n, text box j the j-th text
// item (TextBoxOf); texts are Windows-1252 bytes.
class SettingControls
{
public:
    virtual ~SettingControls() = default;

    virtual bool choiceVisible(int n) const = 0;
    virtual void setChoiceVisible(int n, bool visible) = 0;
    virtual void clearChoiceList(int n) = 0;
    virtual void appendChoiceEntry(int n, const std::string& entry) = 0;
    virtual int choiceEntryCount(int n) const = 0;
    virtual int chosenPosition(int n) const = 0; // -1 when no entry is chosen
    // -1 chooses nothing; false when the box refuses the position (outside its list).
    virtual bool setChosenPosition(int n, int position) = 0;
    virtual std::string choiceText(int n) const = 0; // the text the box shows
    virtual void setChoiceColour(int n, ControlColour colour) = 0;
    virtual void clearChoiceHighlight(int n) = 0;

    virtual bool textVisible(int j) const = 0;
    virtual std::string text(int j) const = 0;
    // The box cuts a longer text to its maximum length; false when it refuses the text.
    virtual bool setText(int j, const std::string& text) = 0;
    virtual int textMaxLength(int j) const = 0;
    virtual void setTextColour(int j, ControlColour colour) = 0;

    // The read and write buttons of item n (below kItemButtonCount).
    virtual bool buttonsVisible(int n) const = 0;
    virtual void setButtonsVisible(int n, bool visible) = 0;

    // The pager test frame: its bleep-code list and the three inputs of a test call.
    virtual void clearPagerBleepList() = 0;
    virtual void appendPagerBleepEntry(const std::string& entry) = 0;
    virtual void setPagerBleepVisible(bool visible) = 0;
    virtual std::string pagerAddress() const = 0;
    virtual std::string pagerDisplayInfo() const = 0;
    virtual int pagerBleepPosition() const = 0; // -1 when none is chosen
};

} // namespace pravenor::settings
