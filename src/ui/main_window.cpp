#include "ui/main_window.h"

#include "frontend/converter_line.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/setting_search.h"
#include "program/settings_comparison.h"
#include "program/unsaved_edits.h"
#include "settings/page_layout.h"
#include "ui/change_cue.h"
#include "ui/changes_dialog.h"
#include "ui/compare_dialog.h"
#include "ui/converter_text_validator.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/program_setup_dialog.h"
#include "ui/display_texts.h"
#include "ui/find_field.h"
#include "ui/history_dialog.h"
#include "ui/line_monitor_window.h"
#include "ui/page_scroll_area.h"
#include "ui/qt_text.h"
#include "ui/report_commands.h"
#include "ui/window_parts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>
#include <tuple>

namespace pravenor::ui {

namespace {

constexpr int kMarkingTickMs = 100;
constexpr int kLedTickMs = 250;
constexpr int kStartRefreshMs = 300;

} // namespace

const QString MainWindow::kToolCaption = QStringLiteral("Pravenor by www.quilmar.nl");

MainWindow::MainWindow(bool demo, QWidget* parent)
    : QMainWindow(parent), m_demo(demo), m_beep([] { QApplication::beep(); })
{
    setObjectName(QStringLiteral("frmHoofdscherm"));
    setWindowTitle(QStringLiteral(" ") + kToolCaption +
                   (demo ? QStringLiteral(" - demo: simulated converter") : QString()));

    m_unplaced = new QWidget(this);
    m_unplaced->setObjectName(QStringLiteral("UnplacedControls"));
    m_unplaced->hide();
    m_pages = BuildSettingPages(m_unplaced);
    makeCommands();

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    top->addWidget(buildLinkFrame(), 0, Qt::AlignLeft);
    top->addStretch(1);
    m_find = new FindField(
        [this](const QString& query) {
            return program::FindSettings(ToCp1252(query), program::ScreenValues(*m_program));
        },
        this);
    m_find->setMinimumWidth(260);
    m_find->setOnChosen([this](int item) { revealSetting(item); });
    top->addWidget(m_find, 0, Qt::AlignTop);
    layout->addLayout(top);

    m_mainTabs = new QTabWidget;
    m_mainTabs->setObjectName(QStringLiteral("SSTab1"));
    // Every page scrolls on its own, so that the tabs stay on screen whatever its size; the
    // input pages scroll inside their own tab strip.
    auto scrolled = [](QWidget* page) { return new PageScrollArea(page); };
    m_mainTabs->addTab(scrolled(buildStatusPage()), QStringLiteral("Status"));
    m_setupTabs = new QTabWidget;
    m_setupTabs->setObjectName(QStringLiteral("SSTab2"));
    m_setupTabs->setTabPosition(QTabWidget::South);
    m_setupTabs->addTab(scrolled(m_pages.generalSetup), QStringLiteral("General Setup"));
    m_setupTabs->addTab(m_pages.inputContactSetup, QStringLiteral("Input Contact Setup"));
    m_setupTabs->addTab(scrolled(m_pages.pagingSetup), QStringLiteral("Paging Setup"));
    m_mainTabs->addTab(m_setupTabs, QStringLiteral("Setup"));
    m_mainTabs->addTab(scrolled(buildFilePage()), QStringLiteral("File"));
    m_mainTabs->addTab(scrolled(buildUnitPage()), QStringLiteral("Unit"));
    m_mainTabs->addTab(scrolled(buildServicePage()), QStringLiteral("Service"));
    layout->addWidget(m_mainTabs, 1);
    setCentralWidget(central);
    buildMenu();

    m_controls = std::make_unique<WidgetControls>(m_pages.widgets);
    m_controls->changeCue().setUnitText([this](int item) {
        const settings::SettingValue& unit =
            m_program->stores.UnitValues[static_cast<std::size_t>(item)];
        return program::NeverReadFromUnit(item, unit) ? QStringLiteral("(not read from the unit)")
                                                      : FromCp1252(program::ValueText(item, unit));
    });
    m_view = std::make_unique<WidgetView>(m_progress, m_progressBar, m_linkFrame, this);
    std::vector<QLineEdit*> converterTexts(m_pages.widgets.texts.begin(),
                                           m_pages.widgets.texts.end());
    converterTexts.push_back(m_pages.widgets.pagerAddress);
    converterTexts.push_back(m_pages.widgets.pagerInfo);
    for (QLineEdit* box : converterTexts) {
        box->setValidator(new ConverterTextValidator(box));
        // A refused character is said where it was typed, not dropped without a word.
        connect(box, &QLineEdit::inputRejected, box, [box] {
            const QString why =
                box->text().size() >= box->maxLength()
                    ? QStringLiteral("Not taken: this box holds at most %1 characters.")
                          .arg(box->maxLength())
                    : QStringLiteral("Not taken: the converter can show only the characters "
                                     "of Windows-1252 (such as é, ü, ß), and no control "
                                     "characters.");
            QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), why, box);
        });
    }
    if (demo)
        m_view->setCaptionSuffix(QStringLiteral(" (demo)"));

    m_engineTimer.setTimerType(Qt::PreciseTimer);
    m_engineTimer.setInterval(static_cast<int>(link::kStandardPace.idleTick.count()));
    m_markingTimer.setInterval(kMarkingTickMs);
    m_ledTimer.setInterval(kLedTickMs);
    m_startRefresh.setInterval(kStartRefreshMs);
    m_startRefresh.setSingleShot(true);
    connect(&m_engineTimer, &QTimer::timeout, this, &MainWindow::tick);
    connect(&m_markingTimer, &QTimer::timeout, this, &MainWindow::refreshMarking);
    connect(&m_ledTimer, &QTimer::timeout, this, &MainWindow::ledTick);
    connect(&m_startRefresh, &QTimer::timeout, this, [this] { m_program->sync.ShowAllValues(); });
}

void MainWindow::fitTo(const QRect& available)
{
    // Before the window is first shown its frame is unknown; a title bar is what it mostly is.
    QSize frame = frameGeometry().size() - size();
    if (!isVisible() || frame.isEmpty())
        frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    ensurePolished();
    setMinimumSize(kMinimumSize.boundedTo(room));
    // Smaller than the pages only where the screen says so: there the pages scroll.
    const QSize wanted = sizeHint().expandedTo(kMinimumSize).boundedTo(room);
    resize(wanted);
    const QSize outer = wanted + frame;
    move(available.x() + (available.width() - outer.width()) / 2,
         available.y() + (available.height() - outer.height()) / 2);
}

MainWindow::~MainWindow()
{
    m_engineTimer.stop();
    closePortOnce();
}

void MainWindow::buildMenu()
{
    auto add = [this](const char* name, const char* caption) {
        QAction* action = menuBar()->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        return action;
    };
    // Alt and the underlined letter reach each command from the keyboard.
    connect(add("Setup", "&Setup"), &QAction::triggered, this, &MainWindow::openSetup);
    QAction* quit = add("Quit", "&Quit");
    connect(quit, &QAction::triggered, this, [this] {
        OpenConfirmation(this, kToolCaption,
                         withUnsavedEdits(QStringLiteral("Are you sure to quit the program?")),
                         [this] { endProgram(); });
    });
    connect(add("About", "&Info"), &QAction::triggered, this, &MainWindow::openAbout);
    connect(add("LineMonitor", "&Line monitor"), &QAction::triggered, this,
            &MainWindow::openLineMonitor);
    QAction* changes = add("Changes", "&Changes");
    changes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(changes, &QAction::triggered, this, &MainWindow::openChanges);

    // What an engineer does a hundred times a day, by key, and listed here with its key.
    QMenu* commands = menuBar()->addMenu(QStringLiteral("Co&mmands"));
    commands->setObjectName(QStringLiteral("Commands"));
    auto command = [this, commands](const char* name, const char* caption, const QKeySequence& keys,
                                    std::function<void()> act) {
        QAction* action = commands->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, std::move(act));
    };
    auto press = [this](Command which) { return [this, which] { button(which)->click(); }; };
    command("KeyReadAll", "Read all settings from unit", QKeySequence(Qt::CTRL | Qt::Key_R),
            press(Command::ReadAll));
    command("KeyWriteChanged", "Write changed settings", QKeySequence(Qt::CTRL | Qt::Key_W),
            press(Command::WriteChanged));
    command("KeySaveToFile", "Save to file", QKeySequence(Qt::CTRL | Qt::Key_S),
            press(Command::SaveToFile));
    command("KeyFind", "Find setting", QKeySequence::Find, [this] { m_find->start(); });
    commands->addSeparator();
    auto step = [this](int by) {
        return [this, by] {
            const int count = m_mainTabs->count();
            m_mainTabs->setCurrentIndex((m_mainTabs->currentIndex() + by + count) % count);
        };
    };
    command("KeyNextPage", "Next page", QKeySequence(Qt::CTRL | Qt::Key_Tab), step(1));
    command("KeyPreviousPage", "Previous page",
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), step(-1));
}

void MainWindow::openChanges()
{
    if (!m_changes)
        m_changes = new ChangesDialog(*m_program, this);
    else
        static_cast<ChangesDialog*>(m_changes.data())->refresh();
    showDialog(m_changes);
}

// One window command: its button, the question it asks first, whether it needs the port,
// and what it does.
struct MainWindow::CommandEntry
{
    Command command;
    const char* name; // the system's object name
    const char* caption;
    char key = '\0';                // Alt and this letter press the button
    const char* askTitle = nullptr; // the confirmation's title; none: it does not ask
    const char* askText = nullptr;  // its lines parted by CR LF, trailing blanks kept
    bool needsPort = false;
    bool losesEdits = false; // throws away what is on screen: says how much first
    bool writesUnit = false; // with the unit's settings not kept, says how many are unknown
    void (*act)(MainWindow& window) = nullptr;
};

void MainWindow::makeCommands()
{
    static constexpr CommandEntry kCommands[] = {
        {.command = Command::SaveDefault,
         .name = "CmdInstellingenOpslaan",
         .caption = "Save as default",
         .key = 'd',
         .askTitle = app::kBoxTitle,
         .askText = "Write default setup to file.\r\nOverwriten the previous default setting "
                    "file!\r\nZeker weten? ",
         .act = [](MainWindow& w) { w.showFileResult(program::WriteDefault(*w.m_program)); }},
        {.command = Command::ReadDefault,
         .name = "CmdInstellingenLezen",
         .caption = "Read default from file",
         .key = 'R',
         .askTitle = app::kBoxTitle,
         .askText = "Read default settings from file.\r\nAll previous settings will be "
                    "lost..\r\nZeker weten? ",
         .losesEdits = true,
         .act = [](MainWindow& w) { w.showFileResult(program::ReadDefault(*w.m_program)); }},
        {.command = Command::SaveToFile,
         .name = "CmdOpslaanUnitGegevens",
         .caption = "Save to file",
         .key = 't',
         .act =
             [](MainWindow& w) {
                 w.chooseFile(true, [&w](const std::filesystem::path& file) {
                     w.showFileResult(program::SaveSettings(*w.m_program, file), "Saved to ", file);
                 });
             }},
        {.command = Command::ReadFromFile,
         .name = "CmdLezenUnitgegevens",
         .caption = "Read from file",
         .key = 'f',
         .losesEdits = true,
         .act =
             [](MainWindow& w) {
                 w.chooseFile(false, [&w](const std::filesystem::path& file) {
                     w.showFileResult(program::LoadSettings(*w.m_program, file), "Read from ",
                                      file);
                 });
             }},
        {.command = Command::CompareWithFile,
         .name = "CmdVergelijkMetBestand",
         .caption = "Compare with file…",
         .key = 'w',
         .act =
             [](MainWindow& w) {
                 w.chooseFile(false,
                              [&w](const std::filesystem::path& file) { w.compareWithFile(file); });
             }},
        {.command = Command::CompareWithUnit,
         .name = "CmdVergelijkMetUnit",
         .caption = "Compare with the unit",
         .key = 'u',
         .needsPort = true,
         .act = [](MainWindow& w) { w.compareWithUnit(); }},
        {.command = Command::Report,
         .name = "CmdRapport",
         .caption = "Report…",
         .key = 'p',
         .act = [](MainWindow& w) { w.makeReport(false); }},
        {.command = Command::PrintReport,
         .name = "CmdRapportAfdrukken",
         .caption = "Print…",
         .key = 'n',
         .act = [](MainWindow& w) { w.makeReport(true); }},
        {.command = Command::ClearLog,
         .name = "CmdWisLogVenster",
         .caption = "Clear log window",
         .key = 'g',
         .act = [](MainWindow& w) { w.m_progress->clear(); }},
        {.command = Command::ReadAll,
         .name = "CmdLeesAlles",
         .caption = "Read all settings from unit",
         .key = 'R',
         .needsPort = true,
         .act = [](MainWindow& w) { program::ReadAll(*w.m_program); }},
        {.command = Command::CancelReadWrite,
         .name = "CmdCancelReadWrite",
         .caption = "Cancel",
         .key = 'n',
         .act = [](MainWindow& w) { program::CancelReadWrite(*w.m_program); }},
        {.command = Command::WriteAll,
         .name = "CmdSchrijfAlles",
         .caption = "Write all settings to unit",
         .key = 'W',
         .askTitle = app::kBoxTitle,
         .askText = "Overwrite all settings in the converter?\r\nAre you sure? ",
         .needsPort = true,
         .writesUnit = true,
         .act = [](MainWindow& w) { program::WriteAll(*w.m_program); }},
        {.command = Command::WriteChanged,
         .name = "CmdSchrijfGewijzigd",
         .caption = "Write changed settings",
         .key = 'h',
         .act = [](MainWindow& w) { w.writeChanged(); }},
        {.command = Command::Restart,
         .name = "CmdTestHerstart",
         .caption = "Restart",
         .key = 'R',
         .askTitle = "Pravenor",
         .askText = "Reboot the Converter.\r\n\r\nAre you sure? ",
         .needsPort = true,
         .act =
             [](MainWindow& w) {
                 program::Restart(*w.m_program);
                 w.m_serviceOutcome->setText(
                     QStringLiteral("Restart: waiting for the converter's answer."));
             }},
        {.command = Command::ReopenPort,
         .name = "CmdReOpenCom",
         .caption = "Re-open comport",
         .key = 'o',
         .act = [](MainWindow& w) { program::ReopenPort(*w.m_program); }},
        {.command = Command::CallPager,
         .name = "CmdTestOproepPager",
         .caption = "Call pager",
         .key = 'p',
         .needsPort = true,
         .act = [](MainWindow& w) { w.callPager(); }},
        {.command = Command::History,
         .name = "CmdHistory",
         .caption = "History…",
         .key = 't',
         .act = [](MainWindow& w) { w.openHistory(); }},
    };
    // In the order of Command, so that every command has its one entry.
    static_assert([] {
        for (std::size_t n = 0; n < std::size(kCommands); ++n) {
            if (kCommands[n].command != static_cast<Command>(n))
                return false;
        }
        return std::size(kCommands) == static_cast<std::size_t>(Command::Count);
    }());
    for (const CommandEntry& command : kCommands) {
        QPushButton* made = MakeButton(command.name, command.caption, nullptr, command.key);
        m_commands[static_cast<std::size_t>(command.command)] = made;
        connect(made, &QPushButton::clicked, this, [this, &command] { run(command); });
    }
}

void MainWindow::run(const CommandEntry& command)
{
    auto go = [this, &command] {
        if (!command.needsPort || portReady())
            command.act(*this);
    };
    if (command.askTitle == nullptr) {
        if (command.losesEdits)
            askIfEditsLost(QString::fromUtf8(command.caption), go);
        else
            go();
        return;
    }
    QString text = QString::fromUtf8(command.askText);
    if (command.losesEdits)
        text = withUnsavedEdits(text);
    if (command.writesUnit && !m_program->history.keepUnit) {
        std::vector<int> exchanged;
        for (int item = 0; item < settings::kItemCount; ++item) {
            if (settings::ItemIsImplemented(item))
                exchanged.push_back(item);
        }
        if (const int unknown = m_program->history.unknownBefore(exchanged); unknown > 0)
            text = QStringLiteral("%1 settings' earlier values are unknown and are not kept.\r\n")
                       .arg(unknown) +
                   text;
    }
    OpenConfirmation(this, QString::fromUtf8(command.askTitle), text, go);
}

// The count goes before the question's last line ("Zeker weten? ", "Are you sure? ").
QString MainWindow::withUnsavedEdits(const QString& text) const
{
    const auto edits = program::UnsavedEdits(*m_program);
    if (edits.empty())
        return text;
    const QString line = FromCp1252(program::UnsavedEditsLine(static_cast<int>(edits.size()))) +
                         QStringLiteral("\r\n");
    const qsizetype last = text.lastIndexOf(QStringLiteral("\r\n"));
    return last < 0 ? line + text : QString(text).insert(last + 2, line);
}

void MainWindow::askIfEditsLost(const QString& what, std::function<void()> go)
{
    const auto edits = program::UnsavedEdits(*m_program);
    if (edits.empty()) {
        go();
        return;
    }
    OpenConfirmation(this, BoxTitle(),
                     what + QStringLiteral("\r\n") +
                         FromCp1252(program::UnsavedEditsLine(static_cast<int>(edits.size()))) +
                         QStringLiteral("\r\nThey are lost if you go on."),
                     std::move(go));
}

void MainWindow::openHistory()
{
    showDialog(new HistoryDialog(*m_program, this));
}

void MainWindow::showWriteSummary(const program::WriteSummary& summary)
{
    auto* box =
        new QMessageBox(summary.failed.empty() && summary.refused.empty() && summary.differs.empty()
                            ? QMessageBox::Information
                            : QMessageBox::Warning,
                        BoxTitle(),
                        FromCp1252(program::WriteSummaryText(summary))
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("WriteSummary"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::connectSettingButtons()
{
    program::Program& p = *m_program;
    for (int n = 0; n < settings::kItemButtonCount; ++n) {
        connect(m_pages.widgets.readButtons[static_cast<std::size_t>(n)], &QPushButton::clicked,
                this, [this, &p, n] {
                    if (portReady())
                        program::ReadSingle(p, n);
                });
        connect(m_pages.widgets.writeButtons[static_cast<std::size_t>(n)], &QPushButton::clicked,
                this, [this, &p, n] {
                    if (portReady())
                        program::WriteSingle(p, n);
                });
    }
    for (QTabWidget* tabs : {m_mainTabs, m_setupTabs, m_pages.inputTabs})
        connect(tabs, &QTabWidget::tabBarClicked, this, [&p] { p.sync.ClearComboSelections(); });
}

void MainWindow::load(program::Program& program, frontend::ConverterLine& line,
                      const std::string& commandLine)
{
    m_program = &program;
    m_line = &line;
    m_givenTrust = line.tlsTrust();
    followTrust();
    connectSettingButtons();
    if (m_preferences.fastLink())
        program.engine.setPace(link::kFastPace);
    program.port.setNetworkAddress(
        link::ParseNetworkLine(ToCp1252(m_preferences.networkAddress())));
    program.history.keepUnit = m_preferences.keepUnit();
    program.history.verify = m_preferences.readBack();
    // A missing adapter is tried every few seconds; the message window says so once, with
    // what to do about it, and again only when something changes.
    program.port.sayFailuresOnce(program.port.deviceOverride()
                                     ? "Check the device given with --port, or start with --demo."
                                     : "Choose the port under Setup, or start with --demo.");
    // The engine's failure box says what failed; the setting is named beside it.
    m_view->setCriticalNote([this] {
        const int item = m_program->engine.CurrentItem();
        return item < 0 ? QString()
                        : QStringLiteral("Setting: ") + FromCp1252(settings::SettingFullName(item));
    });
    program.engine.setJobObserver([this](link::Job job, link::JobEnd end) { jobEnded(job, end); });
    program.history.setSummaryObserver(
        [this](const program::WriteSummary& summary) { showWriteSummary(summary); });
    program::StartProgram(program, commandLine, *this);
    followPace();
    LineUpInputFrames(m_pages);
    // As large as the pages ask, now that the lists are filled; the screen may say less.
    resize(sizeHint().expandedTo(kMinimumSize));
    if (m_demo)
        program.log.WriteLog(
            "Demo mode: the built-in simulated converter stands in for the serial port.");
    m_engineTimer.start();
    m_markingTimer.start();
    m_ledTimer.start();
    m_startRefresh.start();
}

void MainWindow::startRefreshNow()
{
    if (!m_startRefresh.isActive())
        return;
    m_startRefresh.stop();
    m_program->sync.ShowAllValues();
}

void MainWindow::UpdateMessageWindow()
{
    const auto& lines = m_program->log.MessageLines();
    for (std::size_t i = 0; i < m_messageLines.size(); ++i) {
        const QString text = FromCp1252(lines[i]);
        if (m_messageLines[i]->text() != text)
            m_messageLines[i]->setText(text);
    }
}

void MainWindow::ArrangeTabs()
{
    // The input tabs "10" and "9" are never made: a hidden tab is still offered to screen
    // readers, and choosing it there would show its "Should not be visible." page.
    applyDebugLevel();
    m_mainTabs->setTabVisible(4, true);
    m_pages.inputTabs->setCurrentIndex(m_pages.inputTabs->count() -
                                       1); // input 1: the tabs run 8 down to 1
    m_setupTabs->setCurrentIndex(0);
    m_mainTabs->setCurrentIndex(0);
}

void MainWindow::applyDebugLevel()
{
    const bool service = m_program->DebugLevel == app::DebugMode::Debug;
    m_pages.generalButtonsFrame->setVisible(service);
    m_pages.pagingButtonsFrame->setVisible(service);
    for (QWidget* pair : m_pages.pagingButtonPairs)
        pair->setVisible(service);
    button(Command::SaveDefault)->setEnabled(service);
}

void MainWindow::SetDisplayTexts()
{
    ui::SetDisplayTexts(this);
}

void MainWindow::StartupWarnings(const std::vector<std::string>& warnings)
{
    QString text;
    for (const std::string& warning : warnings)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + FromCp1252(warning);
    OpenMessageBox(this, BoxTitle(), text, QMessageBox::Warning);
}

bool MainWindow::portReady()
{
    if (m_program->port.PortIsOpen() == 1)
        return true;
    OpenMessageBox(
        this, BoxTitle(),
        QStringLiteral(
            "The serial port is not open, so nothing can be sent to the converter.\n%1\n"
            "The program tries it again every 5 seconds; check the cable and the port in "
            "Setup, or use \"Re-open comport\".")
            .arg(m_linkFrame->title()),
        QMessageBox::Warning);
    return false;
}

void MainWindow::tick()
{
    ++m_tickCount;
    m_program->engine.ProcessTransfer(0);
    followPace();
    m_line->advance(m_program->engine.tickInterval());
}

// The engine says when it wants its next tick: often while it talks to the converter at the
// fast pace, every 25 ms otherwise.
void MainWindow::followPace()
{
    const link::TransferEngine& engine = m_program->engine;
    const int interval = static_cast<int>(engine.tickInterval().count());
    if (m_engineTimer.interval() != interval)
        m_engineTimer.setInterval(interval);
    m_view->setFastMark(engine.pace().fast());
}

void MainWindow::refreshMarking()
{
    m_program->sync.RefreshSettingControls();
    // The counts follow the marking: they are counted again only when it changed.
    if (const long changes = m_controls->colourChanges(); changes != m_countedAtChange) {
        m_countedAtChange = changes;
        showChangeCounts();
    }
}

// Each tab with changed settings on it carries their count ("3 (2)"), so that a change on a
// page out of sight is seen too. A setting never read is marked but is no change; before the
// first read every tab would count. A tab's own caption is kept in its tab data.
void MainWindow::showChangeCounts()
{
    const auto changed = [this](int item) {
        return item >= 0 && item < settings::kItemCount &&
               !program::NeverReadFromUnit(
                   item, m_program->stores.UnitValues[static_cast<std::size_t>(item)]);
    };
    for (QTabWidget* tabs : findChildren<QTabWidget*>()) {
        QTabBar* bar = tabs->tabBar();
        for (int i = 0; i < tabs->count(); ++i) {
            if (!bar->tabData(i).isValid())
                bar->setTabData(i, tabs->tabText(i));
            const QString caption = bar->tabData(i).toString();
            const int count = ChangeCue::marksUnder(tabs->widget(i), changed);
            const QString shown =
                count == 0 ? caption : QStringLiteral("%1 (%2)").arg(caption).arg(count);
            if (tabs->tabText(i) != shown)
                tabs->setTabText(i, shown);
        }
    }
}

void MainWindow::ledTick()
{
    if (m_program->config.LogLevel > 0)
        UpdateMessageWindow();
    offerTrust();
    link::ByteLayer& bytes = m_program->engine.bytes();
    SetFill(m_txShape, m_txLed.tick(bytes.TxActivity) ? kTxLight : kTxDark);
    SetFill(m_rxShape, m_rxLed.tick(bytes.RxActivity) ? kRxLight : kRxDark);
}

void MainWindow::revealSetting(int item)
{
    QWidget* control = nullptr;
    if (settings::IsTextItem(item))
        control = m_pages.widgets.texts.at(static_cast<std::size_t>(settings::TextBoxOf(item)));
    else if (settings::IsChoiceItem(item))
        control = m_pages.widgets.combos.at(static_cast<std::size_t>(item));
    if (control == nullptr)
        return;
    // Every tab strip above the control opens the page that holds it, the outer one last.
    for (QWidget* page = control; page != nullptr; page = page->parentWidget()) {
        QWidget* stack = page->parentWidget();
        if (stack == nullptr)
            break;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(page);
    }
    control->setFocus(Qt::OtherFocusReason);
}

void MainWindow::makeReport(bool print)
{
    QString site = m_preferences.reportSite();
    QString engineer = m_preferences.reportEngineer();
    if (!AskReportHeading(this, site, engineer))
        return;
    m_preferences.setReportHeading(site, engineer);
    const program::CommissioningReport report =
        ScreenReport(*m_program, site, engineer, m_linkFrame->title());
    if (print) {
        PrintReport(this, report);
        return;
    }
    auto* dialog =
        new QFileDialog(this, QStringLiteral("Report"),
                        QString::fromStdString(program::SettingsFolder(*m_program).string()),
                        QStringLiteral("PDF (*.pdf);;HTML (*.html)"));
    dialog->setObjectName(QStringLiteral("ReportFile"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->selectFile(QStringLiteral("Report.pdf"));
    connect(dialog, &QFileDialog::finished, this, [this, dialog, report](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty() || files.first().isEmpty())
            return;
        const QString why = WriteReport(report, std::filesystem::path(files.first().toStdString()));
        if (!why.isEmpty())
            QMessageBox::warning(this, QString::fromUtf8(app::kBoxTitle),
                                 QStringLiteral("The report could not be written: ") + why);
    });
    dialog->open();
}

void MainWindow::chooseFile(bool save, std::function<void(const std::filesystem::path&)> chosen)
{
    const QString folder = QString::fromStdString(program::SettingsFolder(*m_program).string());
    auto* dialog = new QFileDialog(
        this, save ? QStringLiteral("Save to file") : QStringLiteral("Read from file"), folder,
        QStringLiteral("cfg (*.cfg)"));
    dialog->setObjectName(QStringLiteral("CommonDialog1"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setDefaultSuffix(QStringLiteral("cfg"));
        dialog->selectFile(QStringLiteral("NieuweInstellingen"));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    connect(dialog, &QFileDialog::finished, this,
            [this, dialog, chosen = std::move(chosen)](int result) {
                const QStringList files = dialog->selectedFiles();
                if (result != QDialog::Accepted || files.isEmpty() || files.first().isEmpty()) {
                    beep();
                    return;
                }
                chosen(std::filesystem::path(files.first().toStdString()));
            });
    dialog->open();
}

// Only what the user changed goes out, through the ordinary single-item requests, so a
// slip in an untouched control stays on screen.
void MainWindow::writeChanged()
{
    const std::vector<int> items = program::ChangedSettings(*m_program);
    if (items.empty()) {
        OpenMessageBox(
            this, BoxTitle(),
            QStringLiteral("Nothing to write: every setting on screen matches the converter."),
            QMessageBox::Information);
        return;
    }
    const QString count = items.size() == 1
                              ? QStringLiteral("the 1 changed setting")
                              : QStringLiteral("the %1 changed settings").arg(items.size());
    OpenConfirmation(this, BoxTitle(),
                     QStringLiteral("Write %1 to the converter?\r\nAre you sure? ").arg(count),
                     [this, items] {
                         if (portReady())
                             program::WriteSettings(*m_program, items);
                     });
}

void MainWindow::callPager()
{
    const SettingWidgets& widgets = m_pages.widgets;
    using Field = program::PagerCallFault::Field;
    program::PagerCallFault fault;
    // What Windows-1252 cannot carry would go out as "?", which is not what was typed.
    for (const auto& [box, field, name] :
         {std::tuple{widgets.pagerAddress, Field::Address, QStringLiteral("The pager address")},
          std::tuple{widgets.pagerInfo, Field::Text, QStringLiteral("The pager text")}}) {
        if (fault.field == Field::None && FromCp1252(ToCp1252(box->text())) != box->text())
            fault = {field, ToCp1252(name + QStringLiteral(" holds characters that the "
                                                           "converter's character set "
                                                           "(Windows-1252) cannot carry."))};
    }
    if (fault.field == Field::None)
        fault = program::CheckPagerCall(ToCp1252(widgets.pagerAddress->text()),
                                        widgets.pagerBleep->currentIndex(),
                                        ToCp1252(widgets.pagerInfo->text()));
    if (fault.field != Field::None) {
        const QString why = FromCp1252(fault.why);
        m_serviceOutcome->setText(QStringLiteral("Pager call not sent: ") + why);
        QWidget* at = fault.field == Field::Address ? static_cast<QWidget*>(widgets.pagerAddress)
                      : fault.field == Field::Bleep ? static_cast<QWidget*>(widgets.pagerBleep)
                                                    : static_cast<QWidget*>(widgets.pagerInfo);
        at->setFocus(Qt::OtherFocusReason);
        OpenMessageBox(this, BoxTitle(), why, QMessageBox::Warning);
        return;
    }
    program::CallPager(*m_program);
    m_serviceOutcome->setText(QStringLiteral("Pager call: waiting for the converter's answer."));
}

QString MainWindow::newestMessage() const
{
    const auto& lines = m_program->log.MessageLines();
    const int count = m_program->log.MessageLineCount();
    if (count == 0)
        return {};
    const std::string& line = lines[static_cast<std::size_t>(count - 1)];
    constexpr std::size_t kTimeStamp = 9; // "hh:mm:ss "
    return FromCp1252(line.size() > kTimeStamp ? std::string_view(line).substr(kTimeStamp)
                                               : std::string_view());
}

void MainWindow::jobEnded(link::Job job, link::JobEnd end)
{
    using link::Job;
    using link::JobEnd;
    // A read may leave a control as red as it was and still turn it from never read into
    // changed: the tabs are counted again after every batch.
    m_countedAtChange = -1;
    if (job == Job::ReadAll || job == Job::WriteAll) {
        // At debug level 2 the engine puts its closing line into the box itself.
        const std::string& closing = m_program->engine.closingLine();
        if (!closing.empty() && m_program->DebugLevel != app::DebugMode::Debug)
            m_view->appendProgress(closing + "\r\n");
        if (job == Job::ReadAll && m_unitCompare)
            finishUnitCompare(end == JobEnd::Done);
        return;
    }
    const QString what =
        job == Job::Restart ? QStringLiteral("Restart") : QStringLiteral("Pager call");
    switch (end) {
    case JobEnd::Done:
        m_serviceOutcome->setText(what + QStringLiteral(": confirmed by the converter."));
        break;
    case JobEnd::Failed: {
        // The engine logs a time-out or a refusal as it happens; a plain "no" it does not.
        QString why = newestMessage();
        if (!why.startsWith(QStringLiteral("ERROR"), Qt::CaseInsensitive))
            why = QStringLiteral("the converter did not acknowledge it");
        m_serviceOutcome->setText(what + QStringLiteral(": not confirmed by the converter (") +
                                  why + QStringLiteral(")."));
        break;
    }
    case JobEnd::Cancelled:
        m_serviceOutcome->setText(what + QStringLiteral(": cancelled."));
        break;
    case JobEnd::PortLost:
        m_serviceOutcome->setText(what +
                                  QStringLiteral(": the port went away; it may or may not have "
                                                 "reached the converter."));
        break;
    }
}

void MainWindow::compareWithFile(const std::filesystem::path& file)
{
    const program::FileSnapshot snapshot = program::ReadSettingsSnapshot(file);
    if (!snapshot.ok) {
        m_program->log.WriteLog(snapshot.message);
        OpenMessageBox(this, BoxTitle(), FromCp1252(snapshot.message), QMessageBox::Warning);
        return;
    }
    auto* dialog = new CompareDialog(
        CompareSide::File(QString::fromStdString(file.filename().string())),
        program::CompareSettings(program::ScreenValues(*m_program), snapshot.values),
        [this](int item, const settings::SettingValue& value) {
            program::ShowOnScreen(*m_program, item, value);
        },
        this);
    dialog->show();
}

void MainWindow::compareWithUnit()
{
    // One batch at a time: the compare waits for nothing, it is simply not started.
    if (m_unitCompare || m_program->engine.batchKind() != link::Batch::None) {
        beep();
        return;
    }
    m_unitCompare.emplace(*m_program);
}

void MainWindow::finishUnitCompare(bool readDone)
{
    std::vector<program::SettingDifference> differences =
        m_unitCompare->finish(*m_program, readDone);
    m_unitCompare.reset();
    if (!readDone) {
        m_program->log.WriteLog("The unit could not be read: nothing was compared.");
        return;
    }
    auto* dialog = new CompareDialog(
        CompareSide::Unit(), std::move(differences),
        [this](int item, const settings::SettingValue& value) {
            program::ShowOnScreen(*m_program, item, value);
        },
        this);
    dialog->show();
}

void MainWindow::openLineMonitor()
{
    if (!m_lineMonitor)
        m_lineMonitor = new LineMonitorWindow(m_program->engine, this);
    showDialog(m_lineMonitor);
}

void MainWindow::showFileResult(const files::FileResult& result, const char* done,
                                const std::filesystem::path& file)
{
    // The log says which file the screen's settings went to or came from.
    if (done != nullptr && result.ok)
        m_program->log.WriteLog(done + ToCp1252(QString::fromStdString(file.string())) + ".");
    if (result.message.empty())
        return;
    OpenMessageBox(this, result.title.empty() ? BoxTitle() : FromCp1252(result.title),
                   FromCp1252(result.message),
                   result.critical ? QMessageBox::Critical : QMessageBox::Warning);
}

// Both dialogs are modeless: the timers run on while they are open. An open one is brought
// forward rather than opened twice.
// The files Program Setup keeps for TLS, where the command line gave none.
void MainWindow::followTrust()
{
    link::TlsTrust trust = m_givenTrust;
    auto take = [](std::string& given, const QString& kept) {
        if (given.empty())
            given = ToCp1252(kept);
    };
    take(trust.authorityFile, m_preferences.tlsAuthority());
    if (trust.certificateFile.empty() && trust.keyFile.empty()) {
        take(trust.certificateFile, m_preferences.tlsCertificate());
        take(trust.keyFile, m_preferences.tlsKey());
    }
    trust.trusted = m_preferences.trustedCertificates();
    m_line->setTlsTrust(trust);
}

// A device server with a certificate of its own: its fingerprint and subject shown once per
// run, and trusted for its address if the user says so. Never a changed one: that is refused
// (and logged) as it stands.
void MainWindow::offerTrust()
{
    const std::optional<link::UnknownCertificate> unknown = m_line->unknownCertificate();
    if (!unknown || m_trustOffered.contains(unknown->fingerprint))
        return;
    m_trustOffered.insert(unknown->fingerprint);
    const QString address = FromCp1252(unknown->address);
    auto* box = new QMessageBox(
        QMessageBox::Question, BoxTitle(),
        QStringLiteral("The server at %1 shows a certificate that no known authority vouches "
                       "for.\n\nSubject: %2\nFingerprint: %3\n\nCompare the fingerprint with "
                       "the one the device server shows. Trust this certificate for %1?")
            .arg(address, FromCp1252(unknown->subject), FromCp1252(unknown->fingerprint)),
        QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(QStringLiteral("TrustCertificate"));
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, unknown = *unknown](int) {
        if (box->clickedButton() != box->button(QMessageBox::Yes))
            return;
        m_preferences.trustCertificate(unknown.address, unknown.fingerprint);
        followTrust();
        m_program->log.WriteLog("Trusted for " + unknown.address + ": " + unknown.fingerprint);
    });
    box->open();
}

void MainWindow::openSetup()
{
    if (!m_setupDialog) {
        auto* dialog =
            new ProgramSetupDialog(*m_program, this, &m_preferences, [this] { followPace(); });
        dialog->setTrustChanged([this] { followTrust(); });
        dialog->setUnsavedEdits(
            [this] { return static_cast<int>(program::UnsavedEdits(*m_program).size()); });
        if (m_demo)
            dialog->setRunNote(QStringLiteral(
                "In use for this run (--demo): the built-in simulated converter, whatever the "
                "port"));
        m_setupDialog = dialog;
    }
    showDialog(m_setupDialog);
}

void MainWindow::openAbout()
{
    if (!m_aboutDialog)
        m_aboutDialog = new AboutDialog(
            *m_program, [this] { applyDebugLevel(); }, this);
    showDialog(m_aboutDialog);
}

void MainWindow::showDialog(QWidget* dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::closePortOnce()
{
    if (m_portClosedAtEnd || !m_program)
        return;
    m_portClosedAtEnd = true;
    m_program->port.CloseComPort();
}

void MainWindow::beep()
{
    if (m_beep)
        m_beep();
}

void MainWindow::endProgram()
{
    for (QTimer* timer : {&m_engineTimer, &m_markingTimer, &m_ledTimer, &m_startRefresh})
        timer->stop();
    closePortOnce();
    // quit() would first ask every window to close, and Program Setup in the middle of an
    // edit says no; the program ends all the same, with all its windows. Outside a running
    // event loop (a test driving the window by hand) there is nothing to leave.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box asks nothing of its own; with edits nothing has kept it asks first.
    if (!m_closeAsked && m_program != nullptr && !program::UnsavedEdits(*m_program).empty()) {
        event->ignore();
        askIfEditsLost(QStringLiteral("Close the program."), [this] {
            m_closeAsked = true;
            close();
        });
        return;
    }
    endProgram();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pagerInfo && event->type() == QEvent::MouseButtonDblClick) {
        m_pagerInfo->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace pravenor::ui
