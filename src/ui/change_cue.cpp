#include "ui/change_cue.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

namespace pravenor::ui {

namespace {

const char* const kItemProperty = "pravenorChangedItem";
const char* const kMarkName = "ChangeMark";
constexpr int kMarkSize = 9;

// The folded corner at the control's top left, above whatever the control draws there (an
// editable box's line edit included).
class ChangeMark final : public QWidget
{
public:
    explicit ChangeMark(QWidget* control) : QWidget(control)
    {
        setObjectName(QLatin1String(kMarkName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, kMarkSize, kMarkSize);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath corner;
        corner.moveTo(0, 0);
        corner.lineTo(kMarkSize, 0);
        corner.lineTo(0, kMarkSize);
        corner.closeSubpath();
        // A dark edge on a light fill reads on every background.
        painter.fillPath(corner, ChangeCue::MarkingRed(parentWidget()));
        painter.setPen(QPen(QColor(40, 0, 0), 1));
        painter.drawPath(corner);
    }
};

ChangeMark* markOf(const QWidget* control)
{
    return control->findChild<ChangeMark*>(QLatin1String(kMarkName), Qt::FindDirectChildrenOnly);
}

} // namespace

ChangeCue::ChangeCue(QObject* parent) : QObject(parent) {}

QColor ChangeCue::MarkingRed(const QWidget* control)
{
    const QColor base = control->palette().color(QPalette::Base);
    return base.lightness() < 128 ? QColor(255, 110, 110) : QColor(255, 0, 0);
}

void ChangeCue::setMarked(QWidget* control, int item, bool marked)
{
    ChangeMark* mark = markOf(control);
    if (!marked) {
        delete mark;
        control->setProperty(kItemProperty, QVariant());
        return;
    }
    control->setProperty(kItemProperty, item);
    if (!mark) {
        control->installEventFilter(this);
        mark = new ChangeMark(control);
    }
    mark->raise();
    mark->show();
}

bool ChangeCue::isMarked(const QWidget* control)
{
    return markOf(control) != nullptr;
}

int ChangeCue::marksUnder(const QWidget* area, const std::function<bool(int item)>& counts)
{
    // A hidden control (item 5 has one) may differ from the unit, but nobody can see or
    // change it there.
    const QList<QWidget*> marks = area->findChildren<QWidget*>(QLatin1String(kMarkName));
    return static_cast<int>(std::count_if(marks.begin(), marks.end(), [&](const QWidget* mark) {
        const QWidget* control = mark->parentWidget();
        return !control->isHidden() && counts(control->property(kItemProperty).toInt());
    }));
}

QString ChangeCue::toolTipOf(const QWidget* control) const
{
    const QVariant item = control->property(kItemProperty);
    if (!item.isValid() || !m_unitText)
        return {};
    return QStringLiteral("Unit holds: ") + m_unitText(item.toInt());
}

bool ChangeCue::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* control = static_cast<QWidget*>(watched);
        const QString tip = toolTipOf(control);
        if (!tip.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, control);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pravenor::ui
