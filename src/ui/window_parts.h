#pragma once

#include "app/box_title.h"
#include "ui/qt_text.h"

#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

// Small makers the window and its dialogs share.
namespace pravenor::ui {

// The indicator colours: dark when idle, light for a flash.
inline const QColor kTxDark(0xC0, 0x00, 0x00);
inline const QColor kTxLight(0xFF, 0x80, 0x80);
inline const QColor kRxDark(0x00, 0xC0, 0x00);
inline const QColor kRxLight(0x80, 0xFF, 0x80);

inline QString BoxTitle()
{
    return FromCp1252(app::kBoxTitle);
}

// The caption with Alt and `key` pressing it: the first `key` in the caption underlined, in
// either letter case. No key, or one the caption lacks: the caption as it is.
inline QString WithMnemonic(const QString& caption, char key)
{
    if (key == '\0')
        return caption;
    qsizetype at = caption.indexOf(QLatin1Char(key));
    if (at < 0)
        at = caption.indexOf(QLatin1Char(key), 0, Qt::CaseInsensitive);
    return at < 0 ? caption : QString(caption).insert(at, QLatin1Char('&'));
}

// A button named by the system's name, its caption doubling as its accessible name; Alt and
// `key` press it. It never becomes a dialog's default by taking the focus, so Enter does not
// press a button the user merely tabbed past.
inline QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent = nullptr,
                               char key = '\0')
{
    auto* button = new QPushButton(WithMnemonic(QString::fromUtf8(caption), key), parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    // Some styles fit a long caption edge to edge; it keeps a margin of its own here.
    constexpr int kCaptionMargin = 12;
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) +
                            2 * kCaptionMargin);
    return button;
}

// A label named by the system's name, its text doubling as its accessible name.
inline QLabel* MakeLabel(const char* name, const char* text, QWidget* parent = nullptr)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(label->text());
    return label;
}

// A text box as wide as `characters` capitals and no wider, frame and margins included.
inline int FieldWidth(const QLineEdit* box, int characters)
{
    // A text box asks for 17 'x' and its frame; the frame is what is kept of that.
    const QFontMetrics metrics = box->fontMetrics();
    const int frame = box->sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    return metrics.horizontalAdvance(QString(characters, QLatin1Char('X'))) + frame;
}

// A text the program writes and the user only reads, scrolls and copies from.
inline QPlainTextEdit* MakeReadOnlyText(const char* name, const char* accessibleName)
{
    auto* text = new QPlainTextEdit;
    text->setObjectName(QLatin1String(name));
    text->setAccessibleName(QString::fromUtf8(accessibleName));
    text->setReadOnly(true);
    return text;
}

// A page of a tab widget, named for tests, screen-reader scripts and the screenshot tool.
inline QWidget* MakePage(const QString& name)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    return page;
}

// A dialog that deletes itself when closed, named by the system's name, its title doubling as
// its accessible name.
inline void NameDialog(QWidget* dialog, const char* name, const char* title)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowTitle(QString::fromUtf8(title));
    dialog->setAccessibleName(dialog->windowTitle());
}

inline QGroupBox* MakeFrame(const char* name, const char* caption)
{
    auto* frame = new QGroupBox(QString::fromUtf8(caption));
    frame->setObjectName(QLatin1String(name));
    frame->setAccessibleName(frame->title());
    return frame;
}

inline void SetFill(QFrame* shape, const QColor& colour)
{
    if (shape->palette().color(QPalette::Window) == colour)
        return;
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, colour);
    shape->setPalette(palette);
}

} // namespace pravenor::ui
