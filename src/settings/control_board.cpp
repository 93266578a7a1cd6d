#include "settings/control_board.h"

#include "settings/page_layout.h"

namespace pravenor::settings {

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

ControlBoard::ControlBoard()
{
    // The buttons that the window's shown pages carry before the lists are filled: item 0 on
    // "General Setup" and the paging items beside their boxes.
    m_buttonsVisible[0] = true;
    for (const PageRow& row : PagingSetupRows())
        m_buttonsVisible[at(row.item)] = true;
}

bool ControlBoard::choiceVisible(int n) const
{
    return m_choices.at(at(n)).visible;
}

void ControlBoard::setChoiceVisible(int n, bool visible)
{
    m_choices.at(at(n)).visible = visible;
}

void ControlBoard::clearChoiceList(int n)
{
    Choice& choice = m_choices.at(at(n));
    choice.entries.clear();
    choice.chosen = -1;
}

void ControlBoard::appendChoiceEntry(int n, const std::string& entry)
{
    m_choices.at(at(n)).entries.push_back(entry);
}

int ControlBoard::choiceEntryCount(int n) const
{
    return static_cast<int>(m_choices.at(at(n)).entries.size());
}

int ControlBoard::chosenPosition(int n) const
{
    return m_choices.at(at(n)).chosen;
}

bool ControlBoard::setChosenPosition(int n, int position)
{
    Choice& choice = m_choices.at(at(n));
    if (position < -1 || position >= static_cast<int>(choice.entries.size()))
        return false;
    choice.chosen = position;
    return true;
}

std::string ControlBoard::choiceText(int n) const
{
    const Choice& choice = m_choices.at(at(n));
    return choice.chosen < 0 ? std::string() : choice.entries[at(choice.chosen)];
}

void ControlBoard::setChoiceColour(int n, ControlColour colour)
{
    m_choices.at(at(n)).colour = colour;
}

void ControlBoard::clearChoiceHighlight(int n)
{
    m_choices.at(at(n)).highlighted = false;
}

bool ControlBoard::textVisible(int j) const
{
    (void)m_texts.at(at(j));
    return true; // the text boxes are never hidden
}

std::string ControlBoard::text(int j) const
{
    return m_texts.at(at(j)).text;
}

bool ControlBoard::setText(int j, const std::string& text)
{
    m_texts.at(at(j)).text = text.substr(0, at(textMaxLength(j)));
    return true;
}

int ControlBoard::textMaxLength(int j) const
{
    (void)m_texts.at(at(j));
    return TextBoxMaxLength(j);
}

void ControlBoard::setTextColour(int j, ControlColour colour)
{
    m_texts.at(at(j)).colour = colour;
}

bool ControlBoard::buttonsVisible(int n) const
{
    return m_buttonsVisible.at(at(n));
}

void ControlBoard::setButtonsVisible(int n, bool visible)
{
    m_buttonsVisible.at(at(n)) = visible;
}

void ControlBoard::clearPagerBleepList()
{
    m_pagerBleepEntries.clear();
    m_pagerBleepPosition = -1;
}

void ControlBoard::appendPagerBleepEntry(const std::string& entry)
{
    m_pagerBleepEntries.push_back(entry);
}

void ControlBoard::setPagerBleepVisible(bool visible)
{
    m_pagerBleepVisible = visible;
}

ControlColour ControlBoard::choiceColour(int n) const
{
    return m_choices.at(at(n)).colour;
}

ControlColour ControlBoard::textColour(int j) const
{
    return m_texts.at(at(j)).colour;
}

const std::vector<std::string>& ControlBoard::choiceEntries(int n) const
{
    return m_choices.at(at(n)).entries;
}

bool ControlBoard::choiceHighlighted(int n) const
{
    return m_choices.at(at(n)).highlighted;
}

void ControlBoard::highlightChoice(int n)
{
    m_choices.at(at(n)).highlighted = true;
}

void ControlBoard::setPagerInputs(std::string address, std::string displayInfo, int bleepPosition)
{
    m_pagerAddress = std::move(address);
    m_pagerDisplayInfo = std::move(displayInfo);
    m_pagerBleepPosition = bleepPosition;
}

} // namespace pravenor::settings
