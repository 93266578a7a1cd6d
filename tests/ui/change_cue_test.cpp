// The second sign of a changed setting: present whatever the palette or style sheet.
#include "support/qt_event_loop.h"
#include "ui/change_cue.h"
#include "ui/widget_controls.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <gtest/gtest.h>
#include <memory>

namespace pravenor::test {
namespace {

using settings::ControlColour;

class ChangeCueTest : public ::testing::TestWithParam<bool> // a dark palette
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication<QApplication>(); }

    ChangeCueTest()
    {
        combo->addItems({QStringLiteral("4800 baud"), QStringLiteral("9600 baud")});
        combo->setEditable(true);
        QPalette palette = combo->palette();
        if (GetParam()) {
            palette.setColor(QPalette::Base, QColor(30, 30, 30));
            palette.setColor(QPalette::Text, QColor(230, 230, 230));
        }
        combo->setPalette(palette);
        text->setPalette(palette);
        // A style sheet that sets its own colours and frame, as a desktop theme may.
        combo->setStyleSheet(QStringLiteral("QComboBox { color: white; background: #202020; "
                                            "border: 1px solid gray; }"));
        widgets.combos[10] = combo.get();
        widgets.texts[8] = text.get();
        controls = std::make_unique<ui::WidgetControls>(widgets);
        combo->resize(160, 24);
        combo->show();
    }

    std::unique_ptr<QComboBox> combo = std::make_unique<QComboBox>();
    std::unique_ptr<QLineEdit> text = std::make_unique<QLineEdit>();
    ui::SettingWidgets widgets;
    std::unique_ptr<ui::WidgetControls> controls;
};

TEST_P(ChangeCueTest, AChangedControlCarriesAMarkAndSaysWhatTheUnitHolds)
{
    controls->changeCue().setUnitText([](int item) {
        return item == 10 ? QStringLiteral("9600 baud") : QStringLiteral("Door ALARM");
    });
    controls->setChoiceColour(10, ControlColour::Red);
    controls->setTextColour(8, ControlColour::Red);
    ASSERT_TRUE(ui::ChangeCue::isMarked(combo.get()));
    EXPECT_EQ(controls->changeCue().toolTipOf(combo.get()), "Unit holds: 9600 baud");
    EXPECT_EQ(controls->changeCue().toolTipOf(text.get()), "Unit holds: Door ALARM");
    // The system's red on a light box, a lighter red where it is dark.
    EXPECT_EQ(text->palette().color(QPalette::Text),
              GetParam() ? QColor(255, 110, 110) : QColor(255, 0, 0));

    // The corner is drawn over the style sheet's background, in red, whatever that says.
    const QImage drawn = combo->grab().toImage();
    const QColor corner = drawn.pixelColor(2, 2);
    EXPECT_GT(corner.red(), 200);
    EXPECT_LT(corner.green(), 130);
    EXPECT_LT(drawn.pixelColor(40, 12).red(), 200); // the rest of the box is not red

    controls->setChoiceColour(10, ControlColour::WindowText);
    EXPECT_FALSE(ui::ChangeCue::isMarked(combo.get()));
    EXPECT_EQ(controls->changeCue().toolTipOf(combo.get()), "");
}

INSTANTIATE_TEST_SUITE_P(Palettes, ChangeCueTest, ::testing::Bool(),
                         [](const auto& row) { return row.param ? "Dark" : "Light"; });

} // namespace
} // namespace pravenor::test
