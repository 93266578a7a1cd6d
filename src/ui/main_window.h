#pragma once

#include "files/file_result.h"
#include "link/tls_trust.h"
#include "link/transfer_engine.h"
#include "program/start_program.h"
#include "program/unit_compare.h"
#include "program/unit_history.h"
#include "ui/activity_led.h"
#include "ui/setting_pages.h"
#include "ui/user_preferences.h"
#include "ui/widget_controls.h"
#include "ui/widget_view.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace pravenor::frontend {
class ConverterLine;
}
namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

class FindField;

// frmHoofdscherm, the program's working window: the pages with every setting, the commands
// and the four timers that drive the engine, the red marking, the message window and the
// link indicators. It is handed the program and the line; it owns neither.
class MainWindow final : public QMainWindow, private program::StartupSteps
{
    Q_OBJECT

public:
    explicit MainWindow(bool demo, QWidget* parent = nullptr);
    ~MainWindow() override;

    settings::SettingControls& settingControls() { return *m_controls; }
    link::TransferView& transferView() { return *m_view; }

    // The user's remembered choices of the link (the user's own configuration unless given);
    // before load(). A run made fast by --fast is the session's (frontend/session.h).
    void setUserPreferences(UserPreferences preferences) { m_preferences = std::move(preferences); }

    // What loading the window does: the start-up, then the timers.
    void load(program::Program& program, frontend::ConverterLine& line,
              const std::string& commandLine);

    // The service controls of debug level 2: shown at that level, hidden at the others.
    void applyDebugLevel();

    // Sizes and places the window within `available` (a screen's free area): as large as its
    // pages ask where that fits, never larger, and a page that does not fit scrolls.
    void fitTo(const QRect& available);

    // For tests and measurements.
    program::Program& program() { return *m_program; }
    WidgetControls& widgetControls() { return *m_controls; }
    void setBeeper(std::function<void()> beeper) { m_beep = std::move(beeper); }
    void tick();           // one engine tick, as the engine's timer gives it
    void refreshMarking(); // the 100 ms red marking, and the change counts on the tabs
    void ledTick();        // the 250 ms message window and indicators
    long tickCount() const { return m_tickCount; }
    // The one refresh of every control that comes 300 ms after the start (it shows the stored
    // values over whatever the controls held, edits included), now, for a driver that edits
    // at once and cannot tell when 300 ms will have passed.
    void startRefreshNow();
    int engineTickMs() const { return m_engineTimer.interval(); }

    static const QString kToolCaption;          // the tool's name, "by" and the maker's web address
    static constexpr int kProgressLines = 5000; // the progress box keeps this many last lines
    // The window is never made smaller than this, unless the screen is.
    static constexpr QSize kMinimumSize{560, 400};

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showChangeCounts();
    // The start-up's steps that belong to the window.
    void UpdateMessageWindow() override;
    void ArrangeTabs() override;
    void SetDisplayTexts() override;
    void StartupWarnings(const std::vector<std::string>& warnings) override;
    // True when the port is open; otherwise a box says it is not, and the command is not given.
    bool portReady();

    // The command buttons of the File, Unit and Service pages, one entry each in the
    // command table.
    enum class Command
    {
        SaveDefault,     // CmdInstellingenOpslaan
        ReadDefault,     // CmdInstellingenLezen
        SaveToFile,      // CmdOpslaanUnitGegevens
        ReadFromFile,    // CmdLezenUnitgegevens
        CompareWithFile, // CmdVergelijkMetBestand
        CompareWithUnit, // CmdVergelijkMetUnit
        Report,          // CmdRapport
        PrintReport,     // CmdRapportAfdrukken
        ClearLog,        // CmdWisLogVenster
        ReadAll,         // CmdLeesAlles
        CancelReadWrite, // CmdCancelReadWrite
        WriteAll,        // CmdSchrijfAlles
        WriteChanged,    // CmdSchrijfGewijzigd
        Restart,         // CmdTestHerstart
        ReopenPort,      // CmdReOpenCom
        CallPager,       // CmdTestOproepPager
        History,         // CmdHistory
        Count,
    };
    struct CommandEntry;

    void buildMenu();
    // Makes and connects every command's button from the command table.
    void makeCommands();
    // A command as its button gives it: asked first where it asks, refused while the port is
    // closed where it needs the port.
    void run(const CommandEntry& command);
    QPushButton* button(Command command) const
    {
        return m_commands[static_cast<std::size_t>(command)];
    }
    QWidget* buildStatusPage();
    QWidget* buildFilePage();
    QWidget* buildUnitPage();
    QWidget* buildServicePage();
    QWidget* buildLinkFrame();
    void connectSettingButtons();

    // A confirmation: OK and Cancel, OK the default, no icon; the action runs on OK only.
    // The settings-file dialog; `chosen` gets the file, a cancel gets a beep.
    void chooseFile(bool save, std::function<void(const std::filesystem::path&)> chosen);
    void writeChanged();
    // "Call pager": refused at once with what is wrong where the command line would refuse
    // it, so that nothing goes out; otherwise asked of the engine.
    void callPager();
    // A restart or pager call told on the Service page, a batch's closing line on the Unit
    // page, as the engine reports their ends.
    void jobEnded(link::Job job, link::JobEnd end);
    // The message of the newest line in the message window, without its time.
    QString newestMessage() const;
    // Where a command throws away edits nothing has kept: the count line added to its own
    // question, or a question of its own where it asks none. Without such edits text as it is.
    QString withUnsavedEdits(const QString& text) const;
    // Runs go at once when nothing would be lost, else after OK.
    void askIfEditsLost(const QString& what, std::function<void()> go);
    void openHistory();
    void showWriteSummary(const program::WriteSummary& summary);
    void compareWithFile(const std::filesystem::path& file);
    void compareWithUnit();
    void finishUnitCompare(bool readDone);
    // The pages, inner tab and input tab of the setting opened, the focus on its control.
    void revealSetting(int item);
    // "Report…" and "Print…": the report of what the screen shows, to a file or a printer.
    void makeReport(bool print);
    void openLineMonitor();
    // "Changes" (Ctrl+D): the review of every setting that differs from the unit.
    void openChanges();
    // The file's outcome in a box where it has one; `done` and the file logged on success.
    void showFileResult(const files::FileResult& result, const char* done = nullptr,
                        const std::filesystem::path& file = {});
    void openSetup();
    void openAbout();
    void showDialog(QWidget* dialog);
    void closePortOnce();
    // Quit and the close box: the timers stop, the port closes once, every window goes.
    void endProgram();
    void followPace();
    void followTrust();
    void offerTrust();
    void beep();

    bool m_demo;
    program::Program* m_program = nullptr;
    frontend::ConverterLine* m_line = nullptr;
    link::TlsTrust m_givenTrust; // --ca, --pin, --cert, --key: they win over the preferences
    std::set<std::string> m_trustOffered; // fingerprints the user was asked about this run

    QWidget* m_unplaced = nullptr;
    SettingPages m_pages;
    std::unique_ptr<WidgetControls> m_controls;
    std::unique_ptr<WidgetView> m_view;

    QTabWidget* m_mainTabs = nullptr;            // SSTab1
    QTabWidget* m_setupTabs = nullptr;           // SSTab2
    std::array<QLineEdit*, 25> m_messageLines{}; // Text2
    QPlainTextEdit* m_progress = nullptr;        // TxtProgress
    QProgressBar* m_progressBar = nullptr;       // ProgressBarProgrammeren
    QGroupBox* m_linkFrame = nullptr;            // FrmCommunicatie
    QFrame* m_txShape = nullptr;                 // ShpTx
    QFrame* m_rxShape = nullptr;                 // ShpRx
    std::array<QPushButton*, static_cast<std::size_t>(Command::Count)> m_commands{};
    QWidget* m_pagerFrame = nullptr;    // FramePagerOproepen
    FindField* m_find = nullptr;        // TxtZoekInstelling, "Find setting"
    QLineEdit* m_pagerInfo = nullptr;   // TxtTestPagerDisplayInfo
    QLabel* m_serviceOutcome = nullptr; // how the last restart or pager call went

    UserPreferences m_preferences;
    bool m_closeAsked = false; // the close box asked about lost edits and got OK
    QTimer m_engineTimer;      // TmrAfhandel: its interval follows the engine's pace
    QTimer m_markingTimer;     // TmrUpdateVensters
    QTimer m_ledTimer;         // LedTimer
    QTimer m_startRefresh;     // TimerStartRefresh
    ActivityLed m_txLed;
    ActivityLed m_rxLed;
    bool m_portClosedAtEnd = false;
    long m_tickCount = 0;
    std::function<void()> m_beep;
    QPointer<QWidget> m_setupDialog;
    QPointer<QWidget> m_aboutDialog;
    QPointer<QWidget> m_lineMonitor;
    std::optional<program::UnitCompare> m_unitCompare; // while its read-all runs
    long m_countedAtChange = -1; // the marking's change count when the tabs were last counted
    QPointer<QWidget> m_changes; // frmWijzigingen
};

} // namespace pravenor::ui
