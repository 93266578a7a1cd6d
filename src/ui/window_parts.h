#pragma once

#include <QColor>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>

// Small makers the main window's files share.
namespace pravenor::ui {

// The indicator colours: dark when idle, light for a flash.
inline const QColor kTxDark(0xC0, 0x00, 0x00);
inline const QColor kTxLight(0xFF, 0x80, 0x80);
inline const QColor kRxDark(0x00, 0xC0, 0x00);
inline const QColor kRxLight(0x80, 0xFF, 0x80);

inline QPushButton* makeButton(const char* name, const char* text)
{
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QString::fromUtf8(text));
    return b;
}

inline QGroupBox* makeFrame(const char* name, const char* caption)
{
    auto* f = new QGroupBox(QString::fromLatin1(caption));
    f->setObjectName(QLatin1String(name));
    f->setAccessibleName(QString::fromLatin1(caption));
    return f;
}

inline void setFill(QFrame* shape, const QColor& colour)
{
    if (shape->palette().color(QPalette::Window) == colour)
        return;
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, colour);
    shape->setPalette(palette);
}

} // namespace pravenor::ui
