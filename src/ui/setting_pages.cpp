#include "ui/setting_pages.h"

#include "link/frames.h"
#include "settings/page_layout.h"
#include "ui/choice_guard.h"
#include "ui/page_scroll_area.h"
#include "ui/qt_text.h"
#include "ui/window_parts.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace pravenor::ui {

namespace {

using settings::PageRow;
using settings::RowKind;

constexpr int kRowHeight = 30;
constexpr int kAddressLength = link::kPagerAddressLength;
constexpr int kTextRoom = 24; // the capitals a long text box shows at the least

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

template <typename W> W* named(W* widget, const char* array, int index)
{
    widget->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
    return widget;
}

QString legendOf(int item)
{
    return FromCp1252(settings::ItemLegend(item));
}

// The alarm and the error frame ask the same questions ("Address:", "Repeat:"), so a screen
// reader hears the frame with the input: "Input 1, Alarm, Address:".
QString inputControlName(int k, const settings::InputFrame& frame, const PageRow& row)
{
    const QString input = QStringLiteral("Input %1, ").arg(k + 1);
    if (!*row.legend)
        return legendOf(row.item + k); // "Input 1, Use:", "Guard:", "Type:"
    const QString frameName = QLatin1String(frame.name) == QLatin1String("Frame4")
                                  ? QStringLiteral("Alarm, ")
                                  : QStringLiteral("Error, ");
    return input + frameName + FromCp1252(row.legend);
}

class Factory
{
public:
    explicit Factory(QWidget* unplaced) : m_unplaced(unplaced) {}

    SettingPages build()
    {
        m_pages.generalSetup = generalPage();
        m_pages.inputContactSetup = inputPages();
        m_pages.pagingSetup = pagingPage();
        placeTheRest();
        return m_pages;
    }

private:
    QComboBox* combo(int item)
    {
        auto* box = named(new QComboBox, "ComboInstellingen", item);
        // A list with typing, as the unit's technicians know it; what is typed is never
        // added to the list, and nothing but its entries is taken.
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->completer()->setCompletionMode(QCompleter::PopupCompletion);
        new ChoiceGuard(box);
        // As wide as its longest entry and no wider, on any screen.
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        box->setAccessibleName(legendOf(item));
        m_pages.widgets.combos[at(item)] = box;
        return box;
    }

    QLineEdit* textBox(int item)
    {
        const int j = settings::TextBoxOf(item);
        auto* box = named(new QLineEdit, "TxtTekstInput", j);
        box->setMaxLength(settings::TextBoxMaxLength(j));
        // A long text gets the room of a pager's line on a narrow screen and no more than
        // it can hold on a wide one.
        box->setMinimumWidth(FieldWidth(box, std::min(box->maxLength(), kTextRoom)));
        box->setMaximumWidth(FieldWidth(box, box->maxLength()));
        box->setAccessibleName(legendOf(item));
        m_pages.widgets.texts[at(j)] = box;
        return box;
    }

    QLabel* legend(int item, const char* text)
    {
        QLabel* label = nullptr;
        if (settings::IsTextItem(item)) {
            label = named(new QLabel(FromCp1252(text)), "TxtLegendaTekstInput",
                          settings::TextBoxOf(item));
            m_pages.textLegends[at(settings::TextBoxOf(item))] = label;
        } else {
            label = named(new QLabel(FromCp1252(text)), "TxtLegendaCharInput", item);
            m_pages.choiceLegends[at(item)] = label;
        }
        label->setFocusPolicy(Qt::NoFocus);
        return label;
    }

    void buttons(int item, QLayout* into)
    {
        // The design captions; the start-up gives the buttons on the shown pages their own.
        const bool dutch = settings::HasDutchButtons(item);
        auto* read =
            named(new QPushButton(dutch ? QStringLiteral("Lezen") : QStringLiteral("Read")),
                  "CmdReadSingleSetting", item);
        auto* write =
            named(new QPushButton(dutch ? QStringLiteral("Schrijven") : QStringLiteral("PROGRAM")),
                  "CmdWriteSingleSetting", item);
        read->setAccessibleName(QStringLiteral("Read ") + legendOf(item));
        write->setAccessibleName(QStringLiteral("Write ") + legendOf(item));
        m_pages.widgets.readButtons[at(item)] = read;
        m_pages.widgets.writeButtons[at(item)] = write;
        into->addWidget(read);
        into->addWidget(write);
    }

    QWidget* control(const PageRow& row, int item)
    {
        if (row.kind == RowKind::Text)
            return textBox(item);
        return combo(item);
    }

    QWidget* generalPage()
    {
        auto* page = MakePage(QStringLiteral("GeneralSetup"));
        auto* layout = new QHBoxLayout(page);
        auto* grid = new QGridLayout;
        int row = 0;
        for (const PageRow& entry : settings::GeneralSetupRows()) {
            QLabel* label = legend(entry.item, entry.legend);
            QWidget* box = control(entry, entry.item);
            label->setBuddy(box);
            grid->addWidget(label, row, 0);
            grid->addWidget(box, row, 1);
            if (entry.item == 0) {
                auto* pair = new QHBoxLayout;
                buttons(0, pair);
                grid->addLayout(pair, row, 2);
            }
            grid->setRowMinimumHeight(row, kRowHeight);
            ++row;
        }
        grid->setRowStretch(row, 1);
        layout->addLayout(grid, 1);
        auto* frame = new QGroupBox;
        frame->setObjectName(QStringLiteral("FrameCmdButtonsAlgemeen"));
        frame->setAccessibleName(QStringLiteral("Service buttons"));
        frame->setMinimumWidth(160);
        m_pages.generalButtonsFrame = frame;
        layout->addWidget(frame);
        return page;
    }

    QWidget* pagingPage()
    {
        auto* page = MakePage(QStringLiteral("PagingSetup"));
        auto* grid = new QGridLayout(page);
        grid->setVerticalSpacing(0);
        const auto rows = settings::PagingSetupRows();
        // The frame stands behind the service column, and each Read/Write pair is a cell of
        // its item's own row: a pair can only sit on the row of the item it serves.
        auto* frame = new QGroupBox(page);
        frame->setObjectName(QStringLiteral("FrameCmdButtonsPaging"));
        frame->setAccessibleName(QStringLiteral("Read and write single paging settings"));
        m_pages.pagingButtonsFrame = frame;
        grid->addWidget(frame, 0, 2, static_cast<int>(rows.size()), 1);
        int row = 0;
        for (const PageRow& entry : rows) {
            QLabel* label = legend(entry.item, entry.legend);
            label->setHidden(!settings::ItemInUse(entry.item));
            QWidget* box = control(entry, entry.item);
            label->setBuddy(box);
            grid->addWidget(label, row, 0);
            grid->addWidget(box, row, 1);
            // Rows keep their height when their items are hidden.
            grid->setRowMinimumHeight(row, kRowHeight);
            auto* pair = new QWidget;
            auto* pairLayout = new QHBoxLayout(pair);
            pairLayout->setContentsMargins(8, 0, 8, 0);
            buttons(entry.item, pairLayout);
            grid->addWidget(pair, row, 2);
            m_pages.pagingButtonPairs.push_back(pair);
            ++row;
        }
        grid->setRowStretch(row, 1);
        grid->setColumnStretch(3, 1); // the boxes keep their width on a wide window
        return page;
    }

    QWidget* inputPage(int k)
    {
        auto* page = MakePage(QStringLiteral("Input_%1").arg(k + 1));
        auto* layout = new QVBoxLayout(page);
        const LegendWidths widths = legendWidths(page);
        for (const settings::InputFrame& frame : settings::InputFrames()) {
            auto* box = named(new QGroupBox(FromCp1252(frame.caption)), frame.name, k);
            auto* grid = new QGridLayout(box);
            int row = -1;
            int column = 0;
            for (const PageRow& entry : frame.rows) {
                const int item = entry.item + k;
                if (!entry.sameRow) {
                    ++row;
                    column = 0;
                }
                QWidget* input = control(entry, item);
                input->setAccessibleName(inputControlName(k, frame, entry));
                if (*entry.legend) {
                    QLabel* label = legend(item, entry.legend);
                    label->setBuddy(input);
                    // On Linux a combo box is named by its value and announced with the
                    // label it is labelled by, so the label carries the whole name.
                    label->setAccessibleName(input->accessibleName());
                    grid->addWidget(label, row, column++);
                } else {
                    // The "Use input: " boxes stand without legends; an unseen one still
                    // tells a screen reader which they are.
                    auto* unseen = new QLabel(box);
                    unseen->setAccessibleName(input->accessibleName());
                    unseen->setBuddy(input);
                    unseen->hide();
                }
                // A text takes the whole width; choices stand two to a row. An address
                // is ten characters and gets the room of ten.
                const int span = entry.kind == RowKind::Text ? 3 : 1;
                auto* text = qobject_cast<QLineEdit*>(input);
                if (text != nullptr && text->maxLength() <= kAddressLength) {
                    text->setFixedWidth(FieldWidth(text, kAddressLength));
                    grid->addWidget(input, row, column, 1, span, Qt::AlignLeft);
                } else {
                    grid->addWidget(input, row, column, 1, span);
                }
                column += span;
            }
            if (frame.rows.front().legend[0] != '\0') {
                // The alarm and the error frame line their columns up with each other.
                grid->setColumnMinimumWidth(0, widths.first);
                grid->setColumnMinimumWidth(2, widths.second);
            }
            // The boxes keep their own widths; what is left stays empty at the right.
            grid->setColumnStretch(4, 1);
            layout->addWidget(box);
        }
        layout->addStretch(1);
        return page;
    }

    QWidget* inputPages()
    {
        auto* tabs = new QTabWidget;
        tabs->setObjectName(QStringLiteral("SSTab3"));
        tabs->setTabPosition(QTabWidget::West);
        tabs->setUsesScrollButtons(false);
        // The pages of the tabs "10" and "9" keep their markers but get no tab.
        for (int t = 0; t < 2; ++t) {
            auto* page = new QWidget(m_unplaced);
            auto* marker = named(new QLabel(QStringLiteral("Should not be visible.")),
                                 "LabelShouldNotBeVisble", t);
            marker->setStyleSheet(QStringLiteral("background: #ffc0c0"));
            (new QVBoxLayout(page))->addWidget(marker);
        }
        for (int k = settings::kInputCount - 1; k >= 0; --k)
            tabs->addTab(new PageScrollArea(inputPage(k)), QString::number(k + 1));
        m_pages.inputTabs = tabs;
        return tabs;
    }

    // Items and buttons of the pages nobody sees; they keep a control so that every item
    // has one, and stay out of sight.
    void placeTheRest()
    {
        auto* layout = new QVBoxLayout(m_unplaced);
        for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
            if (m_pages.widgets.combos[at(item)])
                continue;
            layout->addWidget(legend(item, ""));
            layout->addWidget(combo(item));
        }
        // The boxes of "Use input: " have their legends here.
        for (const settings::ItemGroup& group : settings::ItemGroups()) {
            if (group.place.page != settings::Page::UseFrame)
                continue;
            for (int item = group.first; item < group.first + group.count; ++item) {
                if (!m_pages.choiceLegends[at(item)])
                    layout->addWidget(legend(item, settings::LegendText(item).c_str()));
            }
        }
        for (int n = 0; n < settings::kItemButtonCount; ++n) {
            if (!m_pages.widgets.readButtons[at(n)])
                buttons(n, layout);
        }
    }

    // The widest legend of the first and of the second column of the alarm and error frames.
    using LegendWidths = std::pair<int, int>;
    static LegendWidths legendWidths(QWidget* page)
    {
        // Measured as a label, whose room for its text is a little more than the text.
        QLabel probe(page);
        LegendWidths widths{0, 0};
        for (const settings::InputFrame& frame : settings::InputFrames()) {
            for (const PageRow& entry : frame.rows) {
                probe.setText(FromCp1252(entry.legend));
                const int width = probe.sizeHint().width();
                int& widest = entry.sameRow ? widths.second : widths.first;
                widest = std::max(widest, width);
            }
        }
        return widths;
    }

    QWidget* m_unplaced;
    SettingPages m_pages;
};

} // namespace

SettingPages BuildSettingPages(QWidget* unplaced)
{
    return Factory(unplaced).build();
}

void LineUpInputFrames(const SettingPages& pages)
{
    for (int t = 0; t < pages.inputTabs->count(); ++t) {
        std::vector<QGridLayout*> grids;
        for (auto* frame : pages.inputTabs->widget(t)->findChildren<QGroupBox*>()) {
            auto* grid = qobject_cast<QGridLayout*>(frame->layout());
            if (grid != nullptr && grid->columnMinimumWidth(0) > 0) // the framed questions
                grids.push_back(grid);
        }
        for (int column = 0; column < 4; ++column) {
            int widest = 0;
            for (QGridLayout* grid : grids) {
                for (int row = 0; row < grid->rowCount(); ++row) {
                    QLayoutItem* cell = grid->itemAtPosition(row, column);
                    int r = 0;
                    int c = 0;
                    int rows = 0;
                    int columns = 0;
                    if (cell == nullptr || cell->widget() == nullptr)
                        continue;
                    grid->getItemPosition(grid->indexOf(cell->widget()), &r, &c, &rows, &columns);
                    if (columns == 1)
                        widest = std::max(widest, cell->sizeHint().width());
                }
            }
            for (QGridLayout* grid : grids)
                grid->setColumnMinimumWidth(column, widest);
        }
    }
}

} // namespace pravenor::ui
