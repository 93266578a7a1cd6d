#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace pravenor::ui {

// The second sign of a setting that differs from the unit, beside the red text: a folded
// corner drawn by a child of the control, so that no palette, style sheet or colour vision
// takes it away, and the tooltip "Unit holds: VALUE", asked for when it is shown so that it
// never lags behind a read.
class ChangeCue final : public QObject
{
public:
    explicit ChangeCue(QObject* parent = nullptr);

    // What the tooltip says the unit holds for the item; without a source none is shown.
    void setUnitText(std::function<QString(int item)> source) { m_unitText = std::move(source); }

    void setMarked(QWidget* control, int item, bool marked);
    static bool isMarked(const QWidget* control);
    // How many marked controls the area shows, anywhere inside it, of the items that count.
    static int marksUnder(const QWidget* area, const std::function<bool(int item)>& counts);
    // The tooltip a marked control shows now; empty for one not marked.
    QString toolTipOf(const QWidget* control) const;

    // The red of the marking on this control's background: the system's pure red on light
    // backgrounds, a lighter one where the palette is dark, so that it reads on both.
    static QColor MarkingRed(const QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QString(int item)> m_unitText;
};

} // namespace pravenor::ui
