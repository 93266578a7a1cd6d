#include "ui/compare_dialog.h"

#include "ui/qt_text.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pravenor::ui {

namespace {

enum Column
{
    ItemColumn,
    SettingColumn,
    ScreenColumn,
    OtherColumn,
    TakeColumn,
    ColumnCount,
};

} // namespace

CompareSide CompareSide::File(const QString& fileName)
{
    return {QStringLiteral("Compare with file"), fileName, QStringLiteral("File"),
            QStringLiteral("the file's")};
}

CompareSide CompareSide::Unit()
{
    return {QStringLiteral("Compare with the unit"), QStringLiteral("the unit"),
            QStringLiteral("Unit"), QStringLiteral("the unit's")};
}

CompareDialog::CompareDialog(CompareSide side, std::vector<program::SettingDifference> differences,
                             Take take, QWidget* parent)
    : QDialog(parent), m_side(std::move(side)), m_differences(std::move(differences)),
      m_taken(m_differences.size(), false), m_take(std::move(take))
{
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(m_side.title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(
        m_differences.empty()
            ? QStringLiteral("The screen and %1 hold the same settings.").arg(m_side.name)
            : QStringLiteral("%1 settings on screen differ from %2:")
                  .arg(m_differences.size())
                  .arg(m_side.name));
    heading->setObjectName(QStringLiteral("CompareHeading"));
    layout->addWidget(heading);

    m_table = new QTableWidget(static_cast<int>(m_differences.size()), ColumnCount);
    m_table->setObjectName(QStringLiteral("CompareTable"));
    m_table->setAccessibleName(QStringLiteral("Settings that differ"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Setting"),
                                        QStringLiteral("Screen"), m_side.column, QString()});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(SettingColumn, QHeaderView::Stretch);
    for (int row = 0; row < static_cast<int>(m_differences.size()); ++row)
        addRow(row, m_differences[static_cast<std::size_t>(row)]);
    layout->addWidget(m_table, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* all = buttons->addButton(QStringLiteral("Take %1 value for all").arg(m_side.whose),
                                          QDialogButtonBox::ActionRole);
    all->setObjectName(QStringLiteral("CmdTakeAll"));
    all->setEnabled(!m_differences.empty());
    connect(all, &QPushButton::clicked, this, &CompareDialog::takeAll);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CmdCloseCompare"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(760, 420);
}

void CompareDialog::addRow(int row, const program::SettingDifference& difference)
{
    auto cell = [this, row](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        m_table->setItem(row, column, item);
    };
    cell(ItemColumn, QString::number(difference.item));
    cell(SettingColumn, FromCp1252(difference.name));
    cell(ScreenColumn, FromCp1252(difference.oursText));
    cell(OtherColumn, FromCp1252(difference.theirsText));
    auto* take = new QPushButton(QStringLiteral("Take %1 value").arg(m_side.whose));
    take->setObjectName(QStringLiteral("CmdTake_%1").arg(difference.item));
    take->setAccessibleName(QStringLiteral("Take %1 value for ").arg(m_side.whose) +
                            FromCp1252(difference.name));
    connect(take, &QPushButton::clicked, this, [this, row] { takeRow(row); });
    m_table->setCellWidget(row, TakeColumn, take);
}

int CompareDialog::rowCount() const
{
    return m_table->rowCount();
}

void CompareDialog::takeRow(int row)
{
    const auto at = static_cast<std::size_t>(row);
    if (row < 0 || at >= m_differences.size() || m_taken[at])
        return;
    const program::SettingDifference& difference = m_differences[at];
    m_take(difference.item, difference.theirs);
    m_taken[at] = true;
    m_table->item(row, ScreenColumn)->setText(FromCp1252(difference.theirsText));
    if (QWidget* button = m_table->cellWidget(row, TakeColumn))
        button->setEnabled(false);
}

void CompareDialog::takeAll()
{
    for (int row = 0; row < rowCount(); ++row)
        takeRow(row);
}

} // namespace pravenor::ui
