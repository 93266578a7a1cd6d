#pragma once

#include "program/setting_search.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <vector>

class QListWidget;

namespace pravenor::ui {

// "Find setting": matches show under the field as you type (full name and value); Enter
// takes the first or the one chosen with the arrow keys, a click takes one; Escape closes
// the list and gives the focus back to where it was.
class FindField final : public QLineEdit
{
public:
    using Search = std::function<std::vector<program::SettingMatch>(const QString& query)>;

    FindField(Search search, QWidget* window);

    // Ctrl+F: the focus here, remembering where it came from.
    void start();
    // Called with the item chosen.
    void setOnChosen(std::function<void(int item)> chosen) { m_chosen = std::move(chosen); }
    QListWidget* matchList() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void update(const QString& query);
    void choose(int row);
    void close();

    Search m_search;
    std::function<void(int item)> m_chosen;
    QListWidget* m_list; // a child of the window, above its pages
    std::vector<int> m_items;
    QPointer<QWidget> m_cameFrom;
};

} // namespace pravenor::ui
