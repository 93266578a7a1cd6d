#include "link/frames.h"
#include "ui/main_window.h"
#include "ui/window_parts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

// The window's own pages and the link frame; the setting pages come from the page table.
namespace pravenor::ui {

QWidget* MainWindow::buildLinkFrame()
{
    m_linkFrame = MakeFrame("FrmCommunicatie", "Serial port:");
    auto* row = new QHBoxLayout(m_linkFrame);
    auto shape = [row](QFrame*& shapeOut, const char* name, int index, const char* text,
                       const QColor& colour) {
        shapeOut = new QFrame;
        shapeOut->setObjectName(QLatin1String(name));
        shapeOut->setFixedSize(14, 14);
        shapeOut->setFrameShape(QFrame::Box);
        shapeOut->setAutoFillBackground(true);
        shapeOut->setAccessibleName(QString::fromUtf8(text) + QStringLiteral(" indicator"));
        SetFill(shapeOut, colour);
        auto* label = new QLabel(QString::fromUtf8(text));
        label->setObjectName(QStringLiteral("Label4_%1").arg(index));
        row->addWidget(shapeOut);
        row->addWidget(label);
    };
    shape(m_txShape, "ShpTx", 1, "TxD", kTxDark);
    shape(m_rxShape, "ShpRx", 2, "RxD", kRxDark);
    row->addStretch(1);
    m_linkFrame->setMinimumWidth(260);
    return m_linkFrame;
}

QWidget* MainWindow::buildStatusPage()
{
    auto* page = MakePage(QStringLiteral("StatusPage"));
    auto* column = new QVBoxLayout(page);
    column->setSpacing(0);
    for (int i = 0; i < static_cast<int>(m_messageLines.size()); ++i) {
        auto* line = new QLineEdit;
        line->setObjectName(QStringLiteral("Text2_%1").arg(i));
        line->setAccessibleName(QStringLiteral("Message line %1").arg(i + 1));
        line->setReadOnly(true);
        line->setFrame(false);
        line->setFocusPolicy(Qt::ClickFocus);
        line->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
        m_messageLines[static_cast<std::size_t>(i)] = line;
        column->addWidget(line);
    }
    column->addStretch(1);
    return page;
}

QWidget* MainWindow::buildFilePage()
{
    auto* page = MakePage(QStringLiteral("FilePage"));
    auto* row = new QHBoxLayout(page);
    QGroupBox* unitSetup = MakeFrame("Frame2", "Unit setup");
    auto* left = new QVBoxLayout(unitSetup);
    left->addWidget(button(Command::SaveDefault));
    left->addWidget(button(Command::ReadDefault));
    QGroupBox* allSettings = MakeFrame("Frame1", "All settings");
    auto* right = new QVBoxLayout(allSettings);
    right->addWidget(button(Command::SaveToFile));
    right->addWidget(button(Command::ReadFromFile));
    right->addWidget(button(Command::CompareWithFile));
    right->addWidget(button(Command::CompareWithUnit));
    right->addWidget(button(Command::Report));
    right->addWidget(button(Command::PrintReport));
    row->addWidget(unitSetup, 0, Qt::AlignTop);
    row->addWidget(allSettings, 0, Qt::AlignTop);
    row->addStretch(1);
    return page;
}

QWidget* MainWindow::buildUnitPage()
{
    auto* page = MakePage(QStringLiteral("UnitPage"));
    auto* column = new QVBoxLayout(page);
    m_progress = MakeReadOnlyText("TxtProgress", "Progress");
    m_progress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_progress->setStyleSheet(QStringLiteral("QPlainTextEdit { color: blue; }"));
    // A window left open for days of read-alls keeps the latest lines, not all of them.
    m_progress->setMaximumBlockCount(kProgressLines);
    column->addWidget(m_progress, 1);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("ProgressBarProgrammeren"));
    m_progressBar->setAccessibleName(QStringLiteral("Transfer progress"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximumHeight(10);
    m_progressBar->hide();
    column->addWidget(m_progressBar);
    auto* grid = new QGridLayout;
    // Placed row by row, so that Tab goes through them as they are read.
    grid->addWidget(button(Command::ClearLog), 0, 0);
    grid->addWidget(button(Command::ReadAll), 0, 1);
    grid->addWidget(button(Command::CancelReadWrite), 1, 0);
    grid->addWidget(button(Command::WriteAll), 1, 1);
    grid->addWidget(button(Command::WriteChanged), 1, 2);
    grid->addWidget(button(Command::History), 1, 3);
    column->addLayout(grid);
    return page;
}

QWidget* MainWindow::buildServicePage()
{
    auto* page = MakePage(QStringLiteral("ServicePage"));
    auto* column = new QVBoxLayout(page);
    QGroupBox* restart = MakeFrame("FrameHerstartConverter", "Restart the converter");
    (new QHBoxLayout(restart))->addWidget(button(Command::Restart), 0, Qt::AlignLeft);
    QGroupBox* reopen =
        MakeFrame("FrameOpnieuwOpenenComPoort", "Re-open comport after power shutdown");
    (new QHBoxLayout(reopen))->addWidget(button(Command::ReopenPort), 0, Qt::AlignLeft);

    QGroupBox* pager = MakeFrame("FramePagerOproepen", "Call a pager");
    m_pagerFrame = pager;
    auto* grid = new QGridLayout(pager);
    auto legend = [grid](int index, const char* text, QWidget* input) {
        // Alt and the underlined letter go to the box, as with the buttons.
        const char key = index == 2 ? 'n' : text[0];
        auto* label = new QLabel(WithMnemonic(QString::fromUtf8(text), key));
        label->setObjectName(QStringLiteral("TxtLegendaTestOproepAdres_%1").arg(index));
        label->setBuddy(input);
        grid->addWidget(label, index, 0);
    };
    auto& widgets = m_pages.widgets;
    widgets.pagerAddress = new QLineEdit;
    widgets.pagerAddress->setObjectName(QStringLiteral("TxtTestPagerAdres"));
    widgets.pagerAddress->setAccessibleName(QStringLiteral("Pager address"));
    widgets.pagerAddress->setMaxLength(static_cast<int>(link::kPagerAddressLength));
    widgets.pagerBleep = new QComboBox;
    widgets.pagerBleep->setObjectName(QStringLiteral("ComboTestBleepCode"));
    widgets.pagerBleep->setAccessibleName(QStringLiteral("Pager bleep code"));
    m_pagerInfo = widgets.pagerInfo = new QLineEdit;
    m_pagerInfo->setObjectName(QStringLiteral("TxtTestPagerDisplayInfo"));
    m_pagerInfo->setAccessibleName(QStringLiteral("Pager info text"));
    m_pagerInfo->setMaxLength(static_cast<int>(link::kPagerDisplayLength));
    m_pagerInfo->setToolTip(QStringLiteral("Double-click to clear"));
    m_pagerInfo->installEventFilter(this);
    legend(0, "Address", widgets.pagerAddress);
    grid->addWidget(widgets.pagerAddress, 0, 1, Qt::AlignLeft);
    legend(1, "Bleep", widgets.pagerBleep);
    grid->addWidget(widgets.pagerBleep, 1, 1, Qt::AlignLeft);
    legend(2, "Info", m_pagerInfo);
    grid->addWidget(m_pagerInfo, 2, 1, Qt::AlignLeft);
    grid->addWidget(button(Command::CallPager), 3, 1, Qt::AlignLeft);
    // Each box as wide as the text it takes.
    widgets.pagerAddress->setFixedWidth(
        FieldWidth(widgets.pagerAddress, widgets.pagerAddress->maxLength()));
    m_pagerInfo->setFixedWidth(FieldWidth(m_pagerInfo, m_pagerInfo->maxLength()));
    widgets.pagerBleep->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->setColumnStretch(2, 1);

    m_serviceOutcome = new QLabel;
    m_serviceOutcome->setObjectName(QStringLiteral("ServiceOutcome"));
    m_serviceOutcome->setAccessibleName(QStringLiteral("Outcome of the last service command"));
    m_serviceOutcome->setWordWrap(true);
    m_serviceOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);

    column->addWidget(restart);
    column->addWidget(reopen);
    column->addWidget(pager);
    column->addWidget(m_serviceOutcome);
    column->addStretch(1);
    return page;
}

} // namespace pravenor::ui
