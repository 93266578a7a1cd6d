#include "ui/widget_controls.h"

#include "ui/qt_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace pravenor::ui {

using settings::ControlColour;

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

void paint(QWidget* widget, ControlColour colour, ChangeCue& cue, int item)
{
    cue.setMarked(widget, item, colour == ControlColour::Red);
    if (colour != ControlColour::Red) {
        // Back to no colour of its own: the application's palette, dark desktop themes and
        // later theme changes included.
        widget->setPalette(QPalette());
        return;
    }
    QPalette palette = widget->palette();
    const QColor red = ChangeCue::MarkingRed(widget);
    palette.setColor(QPalette::Text, red);
    palette.setColor(QPalette::ButtonText, red);
    widget->setPalette(palette);
}

// A box the user typed into shows no entry of its list.
int positionShown(const QComboBox* box)
{
    const int index = box->currentIndex();
    if (!box->isEditable() || (index >= 0 && box->itemText(index) == box->currentText()))
        return index;
    return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

} // namespace

WidgetControls::WidgetControls(const SettingWidgets& widgets) : m_widgets(widgets) {}

bool WidgetControls::choiceVisible(int n) const
{
    return !m_widgets.combos.at(at(n))->isHidden();
}

void WidgetControls::setChoiceVisible(int n, bool visible)
{
    m_widgets.combos.at(at(n))->setHidden(!visible);
}

void WidgetControls::clearChoiceList(int n)
{
    m_widgets.combos.at(at(n))->clear();
}

void WidgetControls::appendChoiceEntry(int n, const std::string& entry)
{
    QComboBox* box = m_widgets.combos.at(at(n));
    const bool first = box->count() == 0;
    box->addItem(FromCp1252(entry));
    if (first)
        box->setCurrentIndex(-1); // a filled list chooses nothing until a value is shown
}

int WidgetControls::choiceEntryCount(int n) const
{
    return m_widgets.combos.at(at(n))->count();
}

int WidgetControls::chosenPosition(int n) const
{
    return positionShown(m_widgets.combos.at(at(n)));
}

bool WidgetControls::setChosenPosition(int n, int position)
{
    QComboBox* box = m_widgets.combos.at(at(n));
    if (position < -1 || position >= box->count())
        return false;
    box->setCurrentIndex(position);
    if (position == -1 && box->isEditable())
        box->setEditText(QString());
    return true;
}

std::string WidgetControls::choiceText(int n) const
{
    return ToCp1252(m_widgets.combos.at(at(n))->currentText());
}

void WidgetControls::setChoiceColour(int n, ControlColour colour)
{
    if (m_choiceColours.at(at(n)) == colour)
        return;
    m_choiceColours[at(n)] = colour;
    paint(m_widgets.combos[at(n)], colour, m_cue, n);
    ++m_colourChanges;
}

void WidgetControls::clearChoiceHighlight(int n)
{
    if (QLineEdit* edit = m_widgets.combos.at(at(n))->lineEdit())
        edit->deselect();
}

bool WidgetControls::textVisible(int j) const
{
    return !m_widgets.texts.at(at(j))->isHidden();
}

std::string WidgetControls::text(int j) const
{
    return ToCp1252(m_widgets.texts.at(at(j))->text());
}

bool WidgetControls::setText(int j, const std::string& text)
{
    m_widgets.texts.at(at(j))->setText(FromCp1252(text));
    return true;
}

int WidgetControls::textMaxLength(int j) const
{
    return m_widgets.texts.at(at(j))->maxLength();
}

void WidgetControls::setTextColour(int j, ControlColour colour)
{
    if (m_textColours.at(at(j)) == colour)
        return;
    m_textColours[at(j)] = colour;
    paint(m_widgets.texts[at(j)], colour, m_cue, settings::kFirstTextItem + j);
    ++m_colourChanges;
}

bool WidgetControls::buttonsVisible(int n) const
{
    return !m_widgets.readButtons.at(at(n))->isHidden();
}

void WidgetControls::setButtonsVisible(int n, bool visible)
{
    m_widgets.readButtons.at(at(n))->setHidden(!visible);
    m_widgets.writeButtons.at(at(n))->setHidden(!visible);
}

void WidgetControls::clearPagerBleepList()
{
    m_widgets.pagerBleep->clear();
}

void WidgetControls::appendPagerBleepEntry(const std::string& entry)
{
    m_widgets.pagerBleep->addItem(FromCp1252(entry));
}

// The window offers the pager test call, so its bleep list must stay usable even though
// filling the lists asks to hide it (it lay in a frame nobody could see).
void WidgetControls::setPagerBleepVisible(bool visible)
{
    (void)visible;
}

std::string WidgetControls::pagerAddress() const
{
    return ToCp1252(m_widgets.pagerAddress->text());
}

std::string WidgetControls::pagerDisplayInfo() const
{
    return ToCp1252(m_widgets.pagerInfo->text());
}

int WidgetControls::pagerBleepPosition() const
{
    return m_widgets.pagerBleep->currentIndex();
}

ControlColour WidgetControls::choiceColour(int n) const
{
    return m_choiceColours.at(at(n));
}

ControlColour WidgetControls::textColour(int j) const
{
    return m_textColours.at(at(j));
}

} // namespace pravenor::ui
