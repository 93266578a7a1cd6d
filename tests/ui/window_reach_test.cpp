// The window as keyboard and screen-reader users meet it, and its face: names, labels, tab
// order, the rows of the service buttons, the sizes of boxes and buttons, the text colour.
#include "ui/widget_controls.h"
#include "window_fixture.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <vector>

namespace pravenor::test {
namespace {

QString numbered(const char* array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

// Brings the page that holds `widget` to the front, through every tab strip above it.
void openPageOf(QWidget* widget)
{
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        QWidget* stack = w->parentWidget();
        if (qobject_cast<QStackedWidget*>(stack) != nullptr)
            if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
                tabs->setCurrentWidget(w);
    }
    QApplication::processEvents();
}

// The text field of a combo box, the viewport of a text area.
bool partOfAControl(const QWidget* widget, const QWidget* page)
{
    for (const QWidget* w = widget->parentWidget(); w != nullptr && w != page;
         w = w->parentWidget())
        if (qobject_cast<const QComboBox*>(w) != nullptr ||
            qobject_cast<const QAbstractScrollArea*>(w) != nullptr)
            return true;
    return false;
}

// Where Tab stops on `page`, in the order it visits them.
std::vector<QWidget*> tabStops(QWidget* window, QWidget* page)
{
    std::vector<QWidget*> stops;
    QWidget* widget = window;
    do {
        widget = widget->nextInFocusChain();
        if (page->isAncestorOf(widget) && widget->isVisible() && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus) != 0 && !partOfAControl(widget, page))
            stops.push_back(widget);
    } while (widget != window);
    return stops;
}

// Whether `b` is read after `a`: lower down, or on the same row further right. Controls in
// different frames are placed by their frames.
bool readAfter(QWidget* a, QWidget* b)
{
    QWidget* common = a->parentWidget();
    while (!common->isAncestorOf(b))
        common = common->parentWidget();
    auto holder = [common](QWidget* w) {
        while (w->parentWidget() != common)
            w = w->parentWidget();
        return w->geometry();
    };
    const QRect first = holder(a);
    const QRect next = holder(b);
    const bool lower = next.top() > first.bottom() - 3;
    const bool sameRow = next.top() < first.bottom() && next.bottom() > first.top();
    return lower || (sameRow && next.left() > first.right());
}

TEST_F(WindowTest, TabFollowsEveryPageTopToBottomLeftToRightAndReachesEveryCommand)
{
    load("/DEBUG");
    window->show();
    for (const char* name : {"GeneralSetup", "PagingSetup", "Input_1", "Input_8", "FilePage",
                             "UnitPage", "ServicePage"}) {
        auto* page = find<QWidget>(QLatin1String(name));
        openPageOf(page);
        const std::vector<QWidget*> stops = tabStops(window.get(), page);
        for (std::size_t n = 1; n < stops.size(); ++n) {
            EXPECT_TRUE(readAfter(stops[n - 1], stops[n]))
                << name << ": " << stops[n - 1]->objectName().toStdString() << " before "
                << stops[n]->objectName().toStdString();
        }
        for (QWidget* control : page->findChildren<QWidget*>()) {
            const bool command = qobject_cast<QPushButton*>(control) ||
                                 qobject_cast<QComboBox*>(control) ||
                                 qobject_cast<QLineEdit*>(control);
            if (command && control->isVisible() && control->isEnabled() &&
                !partOfAControl(control, page)) {
                EXPECT_NE(std::find(stops.begin(), stops.end(), control), stops.end())
                    << name << ": " << control->objectName().toStdString();
            }
        }
    }

    // The menu by Alt and its letter.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    auto* setup = window->findChild<QWidget*>("frmInstellingen");
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->isVisible());
}

TEST_F(WindowTest, EverySettingControlHasItsOwnNameAndItsLegendAsLabel)
{
    load();
    auto* unplaced = find<QWidget>("UnplacedControls");
    QStringList names;
    for (int n = 0; n < settings::kChoiceBoxCount; ++n)
        if (auto* box = find<QComboBox>(numbered("ComboInstellingen", n));
            !unplaced->isAncestorOf(box))
            names << box->accessibleName();
    for (int j = 0; j < settings::kTextBoxCount; ++j)
        names << find<QLineEdit>(numbered("TxtTekstInput", j))->accessibleName();
    const qsizetype all = names.size();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), all);
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 32))->accessibleName(),
              "Input 1, Alarm, Address:");
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 47))->accessibleName(),
              "Input 8, Error, Address:");

    for (QLabel* legend : window->findChildren<QLabel*>()) {
        const QString name = legend->objectName();
        if (unplaced->isAncestorOf(legend) || !name.startsWith(QLatin1String("TxtLegenda")))
            continue;
        const QString control = name.startsWith(QLatin1String("TxtLegendaCharInput"))
                                    ? QStringLiteral("ComboInstellingen")
                                : name.startsWith(QLatin1String("TxtLegendaTekstInput"))
                                    ? QStringLiteral("TxtTekstInput")
                                    : QString();
        ASSERT_NE(legend->buddy(), nullptr) << name.toStdString();
        if (!control.isEmpty()) {
            EXPECT_EQ(legend->buddy()->objectName(),
                      control + name.mid(name.indexOf(QLatin1Char('_'))))
                << name.toStdString();
        }
    }

    // What a screen reader is told: a text box's name, and for every control the legend and
    // the frame that label it (a combo box on Linux speaks its value as its name).
    auto labelsOf = [](QWidget* control) {
        std::vector<QObject*> labels;
        for (const auto& [label, relation] :
             QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label))
            labels.push_back(label->object());
        return labels;
    };
    auto* address = find<QLineEdit>(numbered("TxtTekstInput", 40));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(address)->text(QAccessible::Name),
              "Input 1, Error, Address:");
    EXPECT_EQ(labelsOf(address),
              (std::vector<QObject*>{find<QLabel>(numbered("TxtLegendaTekstInput", 40)),
                                     find<QWidget>(numbered("Frame5", 0))}));
    auto* repeatLegend = find<QLabel>(numbered("TxtLegendaCharInput", 52));
    EXPECT_EQ(labelsOf(find<QComboBox>(numbered("ComboInstellingen", 52))),
              (std::vector<QObject*>{repeatLegend, find<QWidget>(numbered("Frame5", 0))}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(repeatLegend)->text(QAccessible::Name),
              "Input 1, Error, Repeat:");
    const std::vector<QObject*> guard =
        labelsOf(find<QComboBox>(numbered("ComboInstellingen", 28)));
    ASSERT_FALSE(guard.empty());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(guard.front())->text(QAccessible::Name),
              "Input 1, Guard:");
}

TEST_F(WindowTest, PagingReadWritePairsStandOnTheRowOfTheirItem)
{
    load("/DEBUG");
    window->show();
    openPageOf(find<QWidget>("PagingSetup"));
    auto middle = [this](QWidget* w) { return w->mapTo(window.get(), w->rect().center()).y(); };
    for (int item : {10, 11, 12, 13, 14, 17}) {
        const int row = middle(find<QComboBox>(numbered("ComboInstellingen", item)));
        EXPECT_NEAR(middle(find<QPushButton>(numbered("CmdReadSingleSetting", item))), row, 2)
            << item;
        EXPECT_NEAR(middle(find<QPushButton>(numbered("CmdWriteSingleSetting", item))), row, 2)
            << item;
    }
}

TEST_F(WindowTest, BoxesFitTheirTextButtonsKeepAMarginAndTheFramesLineUp)
{
    load();
    window->show();
    // Nothing of a full box scrolls out of sight, and an address is no wider than it needs.
    const struct
    {
        const char* box;
        int characters;
    } fields[] = {{"TxtTestPagerDisplayInfo", 40},
                  {"TxtTestPagerAdres", 10},
                  {"TxtTekstInput_32", 10},
                  {"TxtTekstInput_47", 10}};
    for (const auto& field : fields) {
        auto* box = find<QLineEdit>(QLatin1String(field.box));
        openPageOf(box);
        box->setText(QString(field.characters, QLatin1Char('X')));
        box->end(false);
        EXPECT_EQ(box->cursorPositionAt(QPoint(1, box->height() / 2)), 0) << field.box;
        EXPECT_LT(box->width(), box->fontMetrics().horizontalAdvance(
                                    QString(2 * field.characters, QLatin1Char('X'))))
            << field.box;
    }

    window->menuBar()->actions().at(0)->trigger(); // "Setup"
    auto* setup = window->findChild<QWidget*>("frmInstellingen");
    ASSERT_NE(setup, nullptr);
    for (QWidget* holder : {find<QWidget>("FilePage"), find<QWidget>("UnitPage"),
                            find<QWidget>("ServicePage"), setup}) {
        openPageOf(holder);
        for (QPushButton* button : holder->findChildren<QPushButton*>()) {
            const int room =
                button->width() - button->fontMetrics().horizontalAdvance(button->text());
            EXPECT_GE(room, 2 * 8) << button->objectName().toStdString();
        }
    }

    openPageOf(find<QWidget>("Input_1"));
    auto left = [this](const char* array, int index) {
        auto* w = find<QWidget>(numbered(array, index));
        return w->mapTo(window.get(), QPoint(0, 0)).x();
    };
    EXPECT_EQ(left("TxtTekstInput", 32), left("TxtTekstInput", 40)); // Address:
    EXPECT_EQ(left("ComboInstellingen", 68),
              left("ComboInstellingen", 76)); // Bleepcode Alarm: / failure:
    EXPECT_EQ(left("ComboInstellingen", 60), left("ComboInstellingen", 84)); // Bleepcode Idle:
}

// A dark desktop theme, for the length of a test.
struct DarkPalette
{
    DarkPalette() : before(QApplication::palette())
    {
        QPalette dark = before;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        QApplication::setPalette(dark);
    }
    ~DarkPalette() { QApplication::setPalette(before); }
    const QPalette before;
};

TEST_F(WindowTest, AControlBackFromRedTakesTheApplicationsTextColour)
{
    DarkPalette dark;
    load();
    auto* relay = find<QComboBox>(numbered("ComboInstellingen", 9));
    auto* text = find<QLineEdit>(numbered("TxtTekstInput", 0));
    text->setText("Hall door");
    program->stores.UnitValues[100] = settings::SettingValue::Text("Hall");
    program->stores.UnitValues[9] = settings::SettingValue::Number(relay->currentIndex() + 1);
    window->refreshMarking();
    // A lighter red than the system's, which reads on the dark box.
    ASSERT_EQ(relay->palette().color(QPalette::Text), QColor(255, 110, 110));
    ASSERT_EQ(text->palette().color(QPalette::Text), QColor(255, 110, 110));

    program->stores.UnitValues[100] = settings::SettingValue::Text("Hall door");
    program->stores.UnitValues[9] = settings::SettingValue::Number(relay->currentIndex());
    window->refreshMarking();
    EXPECT_EQ(relay->palette().color(QPalette::Text), QColor(230, 230, 230));
    EXPECT_EQ(text->palette().color(QPalette::Text), QColor(230, 230, 230));
}

} // namespace
} // namespace pravenor::test
