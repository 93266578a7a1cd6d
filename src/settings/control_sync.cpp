#include "settings/control_sync.h"

namespace pravenor::settings {

namespace {

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

} // namespace

ControlSync::ControlSync(ValueStores& stores, SettingControls& controls)
    : m_stores(stores), m_controls(controls)
{
}

bool ControlSync::showChoice(int item)
{
    if (!m_controls.choiceVisible(item))
        return true;
    const auto position = m_stores.WorkValues[at(item)].asWhole();
    if (!position || *position < -1 || *position >= m_controls.choiceEntryCount(item))
        return false;
    return m_controls.setChosenPosition(item, *position);
}

bool ControlSync::showText(int item)
{
    const int box = TextBoxOf(item);
    if (!m_controls.textVisible(box))
        return true;
    return m_controls.setText(box, m_stores.WorkValues[at(item)].asText());
}

void ControlSync::ShowValue(int item)
{
    bool (ControlSync::*show)(int) = nullptr;
    if (IsChoiceItem(item))
        show = &ControlSync::showChoice;
    else if (IsTextItem(item))
        show = &ControlSync::showText;
    else
        return;
    if ((this->*show)(item))
        return;
    m_stores.WorkValues[at(item)] = SettingValue::Number(0);
    (this->*show)(item);
}

void ControlSync::TakeValue(int item)
{
    if (IsChoiceItem(item)) {
        m_stores.WorkValues[at(item)] = SettingValue::Number(
            m_controls.choiceVisible(item) ? m_controls.chosenPosition(item) : 0);
    } else if (IsTextItem(item)) {
        const int box = TextBoxOf(item);
        m_stores.WorkValues[at(item)] =
            SettingValue::Text(m_controls.textVisible(box) ? m_controls.text(box) : std::string());
    }
}

void ControlSync::ShowAllValues()
{
    for (int item = 0; item <= kLastChoiceItem; ++item)
        ShowValue(item);
    for (int item = kFirstTextItem; item <= kLastTextItem; ++item)
        ShowValue(item);
}

void ControlSync::TakeAllValues()
{
    for (int item = 0; item <= kLastChoiceItem; ++item)
        TakeValue(item);
    for (int item = kFirstTextItem; item <= kLastTextItem; ++item)
        TakeValue(item);
}

void ControlSync::RefreshSettingControls()
{
    for (int item = 0; item <= kLastChoiceItem; ++item) {
        if (m_stores.ItemRequest[at(item)] != Request::None)
            continue;
        const bool same =
            m_controls.chosenPosition(item) == m_stores.UnitValues[at(item)].asNumber();
        m_controls.setChoiceColour(item, same ? ControlColour::WindowText : ControlColour::Red);
    }
    for (int item = kFirstTextItem; item <= kLastTextItem; ++item) {
        if (m_stores.ItemRequest[at(item)] != Request::None)
            continue;
        const int box = TextBoxOf(item);
        const bool same = m_controls.text(box) == m_stores.UnitValues[at(item)].asText();
        m_controls.setTextColour(box, same ? ControlColour::WindowText : ControlColour::Red);
    }
}

void ControlSync::ClearComboSelections()
{
    for (int item = 0; item <= kLastChoiceItem; ++item)
        m_controls.clearChoiceHighlight(item);
}

} // namespace pravenor::settings
