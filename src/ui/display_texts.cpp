#include "ui/display_texts.h"

#include "settings/catalogue.h"
#include "settings/page_layout.h"
#include "ui/qt_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace pravenor::ui {

namespace {

void setText(QWidget* widget, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        frame->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
}

void setNamed(QWidget* window, const QString& name, const QString& text)
{
    if (auto* widget = window->findChild<QWidget*>(name))
        setText(widget, text);
}

QString numbered(const char* array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

} // namespace

void SetDisplayTexts(QWidget* window)
{
    // The same captions on every input page: the page's tab says which input it is.
    for (const settings::InputFrame& frame : settings::InputFrames()) {
        for (int k = 0; k < settings::kInputCount; ++k)
            setNamed(window, numbered(frame.name, k), FromCp1252(frame.caption));
    }
    // The legends of the general and the paging settings, the hidden ones included.
    for (const settings::ItemGroup& group : settings::ItemGroups()) {
        if (group.place.page == settings::Page::GeneralSetup ||
            group.place.page == settings::Page::PagingSetup)
            setNamed(window, numbered("TxtLegendaCharInput", group.first),
                     FromCp1252(group.legend));
    }
    for (int j = 0; j < settings::kCaptionedButtonPairs; ++j) {
        setNamed(window, numbered("CmdReadSingleSetting", j), QStringLiteral("Read"));
        setNamed(window, numbered("CmdWriteSingleSetting", j), QStringLiteral("Write"));
    }
}

} // namespace pravenor::ui
