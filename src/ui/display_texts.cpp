#include "ui/display_texts.h"

#include "settings/catalogue.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace pravenor::ui {

namespace {

struct Text
{
    const char* widget;
    const char* text;
};

struct TabText
{
    const char* tabs;
    int index;
    const char* text;
};

constexpr TabText kTabTexts[] = {
    {"SSTab1", 0, "Status"},
    {"SSTab1", 1, "Setup"},
    {"SSTab1", 2, "File"},
    {"SSTab1", 3, "Unit"},
    {"SSTab1", 4, "Service"},
    {"SSTab2", 0, "General Setup"},
    {"SSTab2", 1, "Input Contact Setup"},
    {"SSTab2", 2, "Paging Setup"},
};

constexpr Text kTexts[] = {
    {"TxtLegendaCharInput_0", "Serial Diagnose level:"},
    {"TxtLegendaCharInput_9", "Error on Guarded inputs:"},
    {"TxtLegendaCharInput_10", "Paging serial speed:"},
    {"TxtLegendaCharInput_11", "Paging serial nr of bits:"},
    {"TxtLegendaCharInput_12", "Paging serial nr of stopbits:"},
    {"TxtLegendaCharInput_13", "Paging serial parity:"},
    {"TxtLegendaCharInput_14", "Paging serial handshake:"},
    {"TxtLegendaCharInput_17", "Paging ask for status:"},
    {"TxtLegendaCharInput_5", "Paging limit address length to:"},
    {"TxtLegendaCharInput_7", "Paging limit message length to:"},
    {"TxtLegendaCharInput_15", "Paging system in use:"},
    {"TxtLegendaCharInput_19", "Paging info for BOSCH system:"},
    {"TxtLegendaCharInput_18", "Paging fixed info for BOSCH system:"},
    {"Frame2", "Unit setup"},
    {"Frame1", "All settings"},
    {"CmdInstellingenOpslaan", "Save as default"},
    {"CmdInstellingenLezen", "Read default from file"},
    {"CmdOpslaanUnitGegevens", "Save to file"},
    {"CmdLezenUnitgegevens", "Read from file"},
    {"CmdWisLogVenster", "Clear log window"},
    {"CmdCancelReadWrite", "Cancel"},
    {"CmdLeesAlles", "Read all settings from unit"},
    {"CmdSchrijfAlles", "Write all settings to unit"},
    {"FramePagerOproepen", "Call a pager"},
    {"TxtLegendaTestOproepAdres_0", "Address"},
    {"TxtLegendaTestOproepAdres_1", "Bleep"},
    {"TxtLegendaTestOproepAdres_2", "Info"},
    {"CmdTestOproepPager", "Call pager"},
    {"FrameHerstartConverter", "Restart the converter"},
    {"CmdTestHerstart", "Restart"},
    {"FrameOpnieuwOpenenComPoort", "Re-open comport after power shutdown"},
    {"CmdReOpenCom", "Re-open comport"},
};

void setText(QWidget* widget, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        frame->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
}

void setNamed(QWidget* window, const QString& name, const QString& text)
{
    if (auto* widget = window->findChild<QWidget*>(name))
        setText(widget, text);
}

} // namespace

void SetDisplayTexts(QWidget* window)
{
    for (int k = 0; k < settings::kInputCount; ++k) {
        setNamed(window, QStringLiteral("Frame3_%1").arg(k), QStringLiteral("Use input: "));
        setNamed(window, QStringLiteral("Frame4_%1").arg(k),
                 QStringLiteral("Generate Alarm message: "));
        setNamed(window, QStringLiteral("Frame5_%1").arg(k),
                 QStringLiteral("Generate Error message: "));
    }
    for (const TabText& tab : kTabTexts) {
        if (auto* tabs = window->findChild<QTabWidget*>(QLatin1String(tab.tabs)))
            tabs->setTabText(tab.index, QString::fromLatin1(tab.text));
    }
    // Only the first 21 pairs: the other buttons lie on pages nobody sees.
    for (int j = 0; j <= 20; ++j) {
        setNamed(window, QStringLiteral("CmdReadSingleSetting_%1").arg(j), QStringLiteral("Read"));
        setNamed(window, QStringLiteral("CmdWriteSingleSetting_%1").arg(j),
                 QStringLiteral("Write"));
    }
    for (const Text& entry : kTexts)
        setNamed(window, QLatin1String(entry.widget), QString::fromLatin1(entry.text));
}

} // namespace pravenor::ui
