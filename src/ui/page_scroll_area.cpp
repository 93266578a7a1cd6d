#include "ui/page_scroll_area.h"

namespace pravenor::ui {

PageScrollArea::PageScrollArea(QWidget* page)
{
    setObjectName(page->objectName() + QStringLiteral("Scroll"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(page);
    // The tab page's own face shows through, not the base colour of a text area.
    viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
}

QSize PageScrollArea::sizeHint() const
{
    if (widget() == nullptr)
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(frame, frame);
}

} // namespace pravenor::ui
