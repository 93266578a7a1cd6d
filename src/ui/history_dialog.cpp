#include "ui/history_dialog.h"

#include "program/commands.h"
#include "program/program.h"
#include "program/settings_comparison.h"
#include "program/unit_history.h"
#include "ui/qt_text.h"
#include "ui/widget_view.h"
#include "ui/window_parts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace pravenor::ui {

namespace {

constexpr int kFollowMs = 100;

QTableWidget* makeTable(const char* name, const QString& accessible, const QStringList& columns)
{
    auto* table = new QTableWidget(0, static_cast<int>(columns.size()));
    table->setObjectName(QLatin1String(name));
    table->setAccessibleName(accessible);
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void setCell(QTableWidget* table, int row, int column, const QString& text)
{
    table->setItem(row, column, new QTableWidgetItem(text));
}

bool requestsServed(const program::Program& program)
{
    const auto& requests = program.stores.ItemRequest;
    return program.engine.state() == link::EngineState::Idle &&
           std::all_of(requests.begin(), requests.end(),
                       [](settings::Request r) { return r == settings::Request::None; });
}

} // namespace

HistoryDialog::HistoryDialog(program::Program& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_snapshots(program.history.snapshots().list())
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(m_snapshots.empty()
                                     ? QStringLiteral("No snapshot of the unit on %1 is kept yet.")
                                           .arg(FromCp1252(program.history.line()))
                                     : QStringLiteral("What the unit on %1 held before each write:")
                                           .arg(FromCp1252(program.history.line()))));

    m_list = makeTable("HistoryList", QStringLiteral("Snapshots"),
                       {QStringLiteral("Date"), QStringLiteral("Time"),
                        QStringLiteral("Settings the write changed"), QStringLiteral("File")});
    m_list->setRowCount(static_cast<int>(m_snapshots.size()));
    const std::vector<files::JournalRow> rows = program.history.journal().read();
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const files::Snapshot& s = m_snapshots[static_cast<std::size_t>(row)];
        const app::LocalTime& t = s.taken;
        setCell(m_list, row, 0,
                QStringLiteral("%1-%2-%3")
                    .arg(t.year, 4, 10, QLatin1Char('0'))
                    .arg(t.month, 2, 10, QLatin1Char('0'))
                    .arg(t.day, 2, 10, QLatin1Char('0')));
        setCell(m_list, row, 1,
                QStringLiteral("%1:%2:%3")
                    .arg(t.hour, 2, 10, QLatin1Char('0'))
                    .arg(t.minute, 2, 10, QLatin1Char('0'))
                    .arg(t.second, 2, 10, QLatin1Char('0')));
        setCell(m_list, row, 2, QString::number(program::ChangesAfter(rows, s.fileName)));
        setCell(m_list, row, 3, QString::fromStdString(s.fileName));
    }
    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int row) { selectSnapshot(row); });
    layout->addWidget(m_list, 1);

    m_heading = new QLabel;
    m_heading->setObjectName(QStringLiteral("HistoryHeading"));
    layout->addWidget(m_heading);
    m_differences = makeTable("HistoryDifferences", QStringLiteral("Differences from the screen"),
                              {QStringLiteral("Item"), QStringLiteral("Setting"),
                               QStringLiteral("Screen"), QStringLiteral("Snapshot")});
    layout->addWidget(m_differences, 2);

    auto* buttons = new QDialogButtonBox;
    m_restoreButton = buttons->addButton(QStringLiteral("Restore the unit to this"),
                                         QDialogButtonBox::ActionRole);
    m_restoreButton->setObjectName(QStringLiteral("CmdRestoreSnapshot"));
    m_restoreButton->setEnabled(false);
    connect(m_restoreButton, &QPushButton::clicked, this, &HistoryDialog::restoreSelected);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CmdCloseHistory"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);

    m_follow.setInterval(kFollowMs);
    connect(&m_follow, &QTimer::timeout, this, &HistoryDialog::followRestore);
    resize(760, 520);
    if (!m_snapshots.empty())
        m_list->setCurrentCell(0, 0);
}

int HistoryDialog::snapshotCount() const
{
    return static_cast<int>(m_snapshots.size());
}

int HistoryDialog::differenceCount() const
{
    return m_differences->rowCount();
}

void HistoryDialog::selectSnapshot(int row)
{
    m_shown.reset();
    if (row >= 0 && row < snapshotCount()) {
        files::SnapshotContent content =
            files::SnapshotStore::load(m_snapshots[static_cast<std::size_t>(row)].path);
        if (content.ok)
            m_shown = std::move(content);
    }
    if (m_list->currentRow() != row && row >= 0 && row < snapshotCount())
        m_list->setCurrentCell(row, 0);
    showDifferences();
}

// Only the settings the snapshot holds: of the others it knew nothing.
void HistoryDialog::showDifferences()
{
    std::vector<program::SettingDifference> differences;
    if (m_shown) {
        differences = program::CompareSettings(program::ScreenValues(m_program), m_shown->values);
        std::erase_if(differences, [this](const program::SettingDifference& d) {
            return !m_shown->items.test(static_cast<std::size_t>(d.item));
        });
    }
    m_differences->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < m_differences->rowCount(); ++row) {
        const program::SettingDifference& d = differences[static_cast<std::size_t>(row)];
        setCell(m_differences, row, 0, QString::number(d.item));
        setCell(m_differences, row, 1, FromCp1252(d.legend));
        setCell(m_differences, row, 2, FromCp1252(d.oursText));
        setCell(m_differences, row, 3, FromCp1252(d.theirsText));
    }
    m_heading->setText(!m_shown ? QString()
                       : differences.empty()
                           ? QStringLiteral("The screen holds the same settings as this snapshot.")
                           : QStringLiteral("%1 settings on screen differ from this snapshot:")
                                 .arg(differences.size()));
    m_restoreButton->setEnabled(m_shown.has_value() && !m_restore);
}

void HistoryDialog::restoreSelected()
{
    if (!m_shown || m_restore)
        return;
    const program::RestoreRun run(*m_shown);
    const settings::RestorePlan plan = run.plan(m_program);
    QString text =
        QStringLiteral("Restore the unit to this snapshot?\n%1 settings differ from what "
                       "the unit holds and are written back.")
            .arg(plan.writes.size());
    if (!plan.readFirst.empty())
        text += QStringLiteral("\n%1 settings the unit holds are not known yet: they are read "
                               "first, and written back where they differ.")
                    .arg(plan.readFirst.size());
    OpenConfirmation(this, BoxTitle(), text, [this] {
        startRestore();
    })->setObjectName(QStringLiteral("RestoreConfirmation"));
}

void HistoryDialog::startRestore()
{
    if (!m_shown || m_program.port.PortIsOpen() != 1)
        return;
    m_restore.emplace(*m_shown);
    m_writesAsked = false;
    m_restoreButton->setEnabled(false);
    m_restore->requestReads(m_program);
    m_follow.start();
}

// The second round once the first is in; the window's engine does the rest.
void HistoryDialog::followRestore()
{
    if (!m_restore || !requestsServed(m_program))
        return;
    if (!m_writesAsked) {
        m_writesAsked = true;
        const std::vector<int> writes = m_restore->requestWrites(m_program);
        m_program.log.WriteLog(std::to_string(writes.size()) +
                               " settings differ from the snapshot and are written back.");
        return;
    }
    m_follow.stop();
    m_restore.reset();
    showDifferences();
}

} // namespace pravenor::ui
