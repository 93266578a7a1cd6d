#include "ui/find_field.h"

#include "ui/qt_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

namespace pravenor::ui {

namespace {

constexpr int kShownRows = 12;

} // namespace

FindField::FindField(Search search, QWidget* window)
    : m_search(std::move(search)), m_list(new QListWidget(window))
{
    setObjectName(QStringLiteral("TxtZoekInstelling"));
    setAccessibleName(QStringLiteral("Find setting"));
    setPlaceholderText(QStringLiteral("Find setting (Ctrl+F)"));
    setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("LstGevondenInstellingen"));
    m_list->setAccessibleName(QStringLiteral("Settings found"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->hide();
    connect(this, &QLineEdit::textEdited, this, &FindField::update);
    // Where the focus came from, for Escape to go back to.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* before, QWidget* now) {
        if (now == this && before != nullptr && before != this)
            m_cameFrom = before;
    });
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(m_list->row(item)); });
}

void FindField::start()
{
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void FindField::update(const QString& query)
{
    m_list->clear();
    m_items.clear();
    for (const program::SettingMatch& match : m_search(query)) {
        m_items.push_back(match.item);
        m_list->addItem(FromCp1252(match.name) + QStringLiteral("  ") + FromCp1252(match.value));
    }
    if (m_items.empty()) {
        m_list->hide();
        return;
    }
    m_list->setCurrentRow(0);
    QWidget* window = m_list->parentWidget();
    const QPoint below = mapTo(window, QPoint(0, height()));
    const int rows = std::min(kShownRows, m_list->count());
    // As wide as the longest match asks, within the window: a field at the window's right
    // edge opens its list leftwards.
    const int wanted = std::max(width(), m_list->sizeHintForColumn(0) + 2 * m_list->frameWidth() +
                                             m_list->verticalScrollBar()->sizeHint().width());
    const int listWidth = std::min(wanted, window->width());
    const int left = std::clamp(below.x(), 0, window->width() - listWidth);
    m_list->setGeometry(left, below.y(), listWidth,
                        rows * m_list->sizeHintForRow(0) + 2 * m_list->frameWidth());
    m_list->raise();
    m_list->show();
}

void FindField::choose(int row)
{
    if (row < 0 || row >= static_cast<int>(m_items.size()))
        return;
    const int item = m_items[static_cast<std::size_t>(row)];
    m_list->hide();
    if (m_chosen)
        m_chosen(item);
}

void FindField::close()
{
    m_list->hide();
    if (m_cameFrom)
        m_cameFrom->setFocus(Qt::OtherFocusReason);
}

void FindField::keyPressEvent(QKeyEvent* event)
{
    const int row = m_list->currentRow();
    switch (event->key()) {
    case Qt::Key_Down:
        if (m_list->isVisible() && row + 1 < m_list->count())
            m_list->setCurrentRow(row + 1);
        return;
    case Qt::Key_Up:
        if (m_list->isVisible() && row > 0)
            m_list->setCurrentRow(row - 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_list->isVisible())
            choose(row);
        return;
    case Qt::Key_Escape:
        close();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

} // namespace pravenor::ui
