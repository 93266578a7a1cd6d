#include "ui/changes_dialog.h"

#include "program/change_review.h"
#include "ui/qt_text.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pravenor::ui {

namespace {

QTableWidget* makeTable(const QString& name, const QStringList& headers)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return table;
}

void cell(QTableWidget* table, int row, int column, const std::string& cp1252)
{
    table->setItem(row, column, new QTableWidgetItem(FromCp1252(cp1252)));
}

} // namespace

ChangesDialog::ChangesDialog(program::Program& program, QWidget* parent)
    : QDialog(parent), m_program(program),
      m_changed(makeTable(QStringLiteral("TblWijzigingen"),
                          {QStringLiteral("Setting"), QStringLiteral("Unit holds"),
                           QStringLiteral("Screen"), QString()})),
      m_notRead(makeTable(QStringLiteral("TblNietGelezen"),
                          {QStringLiteral("Setting"), QStringLiteral("Screen")})),
      m_putBackAll(new QPushButton(QStringLiteral("Put back the unit's value for all")))
{
    setObjectName(QStringLiteral("frmWijzigingen"));
    setWindowTitle(QStringLiteral("Changes"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_changed, 3);
    auto* apart = new QLabel(QStringLiteral("Not read from the unit:"));
    layout->addWidget(apart);
    layout->addWidget(m_notRead, 1);
    auto* buttons = new QDialogButtonBox;
    m_putBackAll->setObjectName(QStringLiteral("CmdAllesTerugzetten"));
    buttons->addButton(m_putBackAll, QDialogButtonBox::ActionRole);
    connect(m_putBackAll, &QPushButton::clicked, this, &ChangesDialog::putBackAll);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(760, 460);
    refresh();
}

void ChangesDialog::refresh()
{
    const program::ChangeReview review = program::ReviewChanges(m_program);
    m_changed->setRowCount(static_cast<int>(review.changed.size()));
    for (int row = 0; row < static_cast<int>(review.changed.size()); ++row) {
        const program::ChangeRow& change = review.changed[static_cast<std::size_t>(row)];
        cell(m_changed, row, 0, change.name);
        cell(m_changed, row, 1, change.unitText);
        cell(m_changed, row, 2, change.screenText);
        auto* back = new QPushButton(QStringLiteral("Put back the unit's value"));
        back->setObjectName(QStringLiteral("CmdTerugzetten_%1").arg(change.item));
        back->setAccessibleName(QStringLiteral("Put back the unit's value for ") +
                                FromCp1252(change.name));
        const int item = change.item;
        connect(back, &QPushButton::clicked, this, [this, item] { putBack(item); });
        m_changed->setCellWidget(row, 3, back);
    }
    // The buttons' column as wide as the button's caption.
    if (m_changed->rowCount() > 0)
        m_changed->setColumnWidth(3, m_changed->cellWidget(0, 3)->sizeHint().width());
    m_notRead->setRowCount(static_cast<int>(review.notRead.size()));
    for (int row = 0; row < static_cast<int>(review.notRead.size()); ++row) {
        cell(m_notRead, row, 0, review.notRead[static_cast<std::size_t>(row)].name);
        cell(m_notRead, row, 1, review.notRead[static_cast<std::size_t>(row)].screenText);
    }
    m_putBackAll->setEnabled(!review.changed.empty());
}

void ChangesDialog::putBack(int item)
{
    program::PutBackUnitValue(m_program, item);
    refresh();
}

void ChangesDialog::putBackAll()
{
    for (const program::ChangeRow& change : program::ReviewChanges(m_program).changed)
        program::PutBackUnitValue(m_program, change.item);
    refresh();
}

int ChangesDialog::changedCount() const
{
    return m_changed->rowCount();
}

int ChangesDialog::notReadCount() const
{
    return m_notRead->rowCount();
}

} // namespace pravenor::ui
