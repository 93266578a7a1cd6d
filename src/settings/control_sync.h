#pragma once

#include "settings/setting_controls.h"
#include "settings/value_stores.h"

namespace pravenor::settings {

// Moves values between WorkValues and the controls, only when asked: a value reaches a
// control by a show, an edit reaches WorkValues by a take. Also marks in red every control
// that differs from what the converter holds.
class ControlSync
{
public:
    ControlSync(ValueStores& stores, SettingControls& controls);

    // A value the control cannot show (outside its list, not a 16-bit whole number, refused
    // by the box) is replaced by 0 in WorkValues and shown again.
    void ShowValue(int item);
    // A hidden control gives 0 (choice) or the empty text.
    void TakeValue(int item);
    void ShowAllValues(); // the choice items, then the text items
    void TakeAllValues();
    // Items with a pending request keep their colour.
    void RefreshSettingControls();
    void ClearComboSelections();

    ValueStores& stores() { return m_stores; }
    SettingControls& controls() { return m_controls; }

private:
    bool showChoice(int item);
    bool showText(int item);

    ValueStores& m_stores;
    SettingControls& m_controls;
};

} // namespace pravenor::settings
