#pragma once

#include <QScrollArea>

namespace pravenor::ui {

// A page in a frameless scroll area. Qt's own asks for at most 36 by 24 lines whatever its
// page needs; this one asks for the whole page, so that the window is as large as its pages
// where the screen has room, and the page scrolls where it has not. The page is never
// squeezed below its own minimum: the scroll bars come first.
class PageScrollArea final : public QScrollArea
{
public:
    // Takes `page` in; the area carries the page's object name with "Scroll" added.
    explicit PageScrollArea(QWidget* page);

    QSize sizeHint() const override;
};

} // namespace pravenor::ui
