// The Program Setup and About dialogs, driven through their controls as a user would, over
// the program in memory (and, for the port, a pseudo-terminal that comes and goes).
#include "app/clock.h"
#include "link/qt/qt_serial_port.h"
#include "link/recording_view.h"
#include "link/serial_devices.h"
#include "program/program.h"
#include "settings/control_board.h"
#include "sim/converter_model.h"
#include "sim/pseudo_terminal.h"
#include "sim/simulated_line.h"
#include "support/qt_event_loop.h"
#include "support/temp_folder.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/keep_in_front.h"
#include "ui/dialogs/program_setup_dialog.h"
#include "ui/user_preferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace pravenor {
namespace {

using test::PumpUntil;
using test::TempFolder;
using ui::AboutDialog;
using ui::ProgramSetupDialog;

class FixedClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 9, 30, 0}; }
};

// The program as the window holds it, with its port on a given serial line.
struct ProgramOver
{
    explicit ProgramOver(link::SerialPort& serial)
        : program(folder.path(), clock, serial, controls, view)
    {
        program.config.LogLevel = 2;
        program.config.UnitType = 3;
        program.log.setLineObserver(
            [this](const std::string& line) { logged.push_back(line.substr(9)); });
    }

    TempFolder folder;
    FixedClock clock;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program;
    std::vector<std::string> logged; // without their times
};

class DialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication<QApplication>(); }

    DialogTest() : line(model), world(line)
    {
        program.port.setDeviceOverride(link::LineAddress::Device("simulated converter"));
    }

    template <typename T> static T* find(QWidget* dialog, const char* name)
    {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget* dialog, const char* button)
    {
        QPushButton* found = find<QPushButton>(dialog, button);
        ASSERT_TRUE(found != nullptr && found->isEnabled()) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }
    static std::string firstLine(const std::filesystem::path& file)
    {
        const std::string text = TempFolder::read(file);
        return text.substr(0, text.find("\r\n"));
    }

    sim::ConverterModel model;
    sim::SimulatedLine line;
    ProgramOver world;
    program::Program& program = world.program;
    settings::ControlBoard& controls = world.controls;
    const TempFolder& folder = world.folder;
};

using ProgramSetupDialogTest = DialogTest;
using AboutDialogTest = DialogTest;

TEST_F(ProgramSetupDialogTest, OpensForViewingAndChangeUnlocksForEditing)
{
    program.config.ComPortIndex = 2;
    ProgramSetupDialog dialog(program);
    dialog.show();
    auto* combo = find<QComboBox>(&dialog, "ComboCom");
    auto* path = find<QLineEdit>(&dialog, "TxtSetPath");
    ASSERT_TRUE(combo != nullptr && path != nullptr);
    const auto enabled = [&](const char* name) {
        return find<QPushButton>(&dialog, name)->isEnabled();
    };
    const QColor windowText = QApplication::palette(path).color(QPalette::Text);

    EXPECT_EQ(combo->count(), 30);
    EXPECT_EQ(combo->itemText(29), "Com30");
    EXPECT_TRUE(enabled("CmdWijzigen") && enabled("CmdClose"));
    EXPECT_FALSE(enabled("CmdSave") || enabled("CmdCancel"));
    EXPECT_EQ(path->palette().color(QPalette::Text), QColor(192, 192, 192));
    EXPECT_EQ(combo->lineEdit()->palette().color(QPalette::Text), QColor(192, 192, 192));
    QTest::keyClicks(path, "X");
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClicks(combo->lineEdit(), "7");
    EXPECT_EQ(path->text(), "");
    EXPECT_EQ(combo->currentText(), "Com3");

    click(&dialog, "CmdWijzigen");
    EXPECT_TRUE(enabled("CmdSave") && enabled("CmdCancel"));
    EXPECT_FALSE(enabled("CmdWijzigen") || enabled("CmdClose"));
    EXPECT_EQ(path->palette().color(QPalette::Text), windowText);
    EXPECT_EQ(combo->lineEdit()->palette().color(QPalette::Text), windowText);
    QTest::keyClicks(path, "X");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(path->text(), "X");
    EXPECT_EQ(combo->currentText(), "Com4");
}

TEST_F(ProgramSetupDialogTest, TabOrderRunsFromThePortToSave)
{
    ProgramSetupDialog dialog(program);
    QWidget* combo = find<QComboBox>(&dialog, "ComboCom");
    ASSERT_NE(combo, nullptr);
    QStringList order;
    QWidget* widget = combo;
    do {
        const bool insideTheCombo = widget != combo && combo->isAncestorOf(widget);
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && !insideTheCombo)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != combo && order.size() < 20);
    EXPECT_EQ(
        order.join(' ').toStdString(),
        "ComboCom TxtNetworkAddress TxtSetPath ChkFastLink ChkKeepUnit ChkReadBack "
        "TxtCertificateAuthority TxtClientCertificate TxtClientKey CmdWijzigen CmdClose CmdCancel "
        "CmdSave");
}

TEST_F(ProgramSetupDialogTest, SaveWritesTheFileRebuildsTheListsAndShowsDefaultsAgain)
{
    TempFolder::write(folder / "default.set", "9    ->1\r\n100    ->Hall door\r\n");
    controls.clearChoiceList(44);
    controls.setText(0, "unsaved edit");
    program.stores.UnitValues[9] = settings::SettingValue::Number(0);
    ProgramSetupDialog dialog(program);
    click(&dialog, "CmdWijzigen");
    find<QComboBox>(&dialog, "ComboCom")->setCurrentIndex(2);
    find<QLineEdit>(&dialog, "TxtSetPath")->setText(QString::fromUtf8("D:\\Data\\Büro"));

    click(&dialog, "CmdSave");

    EXPECT_EQ(TempFolder::read(folder / "Pravenor.set"), "0        Compoort ->2\r\n"
                                                         "1      Logfile ->2\r\n"
                                                         "2       SetPath ->D:\\Data\\B\xFCro\r\n"
                                                         "3       UnitType ->3\r\n");
    EXPECT_EQ(program.config.ComPortIndex, 2);
    EXPECT_EQ(program.config.SetPath, "D:\\Data\\B\xFCro");
    EXPECT_EQ(controls.choiceEntries(44).size(), 151u);
    EXPECT_EQ(controls.chosenPosition(9), 1);
    EXPECT_EQ(controls.text(0), "Hall door");
    EXPECT_EQ(program.stores.UnitValues[9].asNumber(), -1);
    EXPECT_FALSE(find<QPushButton>(&dialog, "CmdSave")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>(&dialog, "TxtSetPath")->isReadOnly());
}

TEST_F(ProgramSetupDialogTest, FastLinkIsRememberedForTheUserAndAppliedOnlyWhenChanged)
{
    ui::UserPreferences preference(
        QString::fromStdString((folder / "config/Quilmar/Pravenor.conf").string()));
    int paceChanges = 0;
    const auto saveWith = [&](std::optional<bool> fast) {
        ProgramSetupDialog dialog(program, nullptr, &preference, [&] { ++paceChanges; });
        auto* box = find<QCheckBox>(&dialog, "ChkFastLink");
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(box->isChecked(), preference.fastLink());
        click(&dialog, "CmdWijzigen");
        if (fast)
            box->setChecked(*fast);
        click(&dialog, "CmdSave");
        return TempFolder::read(folder / "Pravenor.set");
    };

    const std::string standardFile = saveWith(std::nullopt);
    EXPECT_EQ(saveWith(true), standardFile);
    EXPECT_TRUE(preference.fastLink());
    EXPECT_EQ(program.engine.pace(), link::kFastPace);
    EXPECT_EQ(paceChanges, 1);

    // After a fall back, saving the port again leaves the standard pace alone.
    program.engine.setPace(link::kStandardPace);
    saveWith(std::nullopt);
    EXPECT_EQ(program.engine.pace(), link::kStandardPace);
    EXPECT_EQ(paceChanges, 1);

    EXPECT_EQ(saveWith(false), standardFile);
    EXPECT_FALSE(ui::UserPreferences(preference.file()).fastLink());
    EXPECT_EQ(paceChanges, 2);
}

TEST_F(ProgramSetupDialogTest, SaveReopensThePortOnTheChosenNumberAsTheDeviceComesAndGoes)
{
    link::QtSerialPort serial;
    ProgramOver over(serial);
    const std::filesystem::path device = over.folder / "converter";
    over.program.port.setDeviceOverride(link::LineAddress::Device(device.string()));
    ProgramSetupDialog dialog(over.program);
    const auto save = [&] {
        over.logged.clear();
        click(&dialog, "CmdWijzigen");
        find<QComboBox>(&dialog, "ComboCom")->setCurrentIndex(3);
        click(&dialog, "CmdSave");
    };

    save();
    EXPECT_EQ(over.logged, (std::vector<std::string>{"Comport closed by software.",
                                                     "Error opening ComPort:  4"}));
    EXPECT_EQ(over.program.engine.state(), link::EngineState::PortLost); // tried again every 5 s

    std::string error;
    std::optional<sim::PseudoTerminal> terminal = sim::PseudoTerminal::create(error);
    ASSERT_TRUE(terminal.has_value()) << error;
    std::filesystem::create_symlink(terminal->slavePath(), device);
    save();
    EXPECT_EQ(over.logged, (std::vector<std::string>{"Comport closed by software.",
                                                     "Com: 4 opened with: 9600,N,8,1"}));
    EXPECT_EQ(over.program.port.PortIsOpen(), 1);
    EXPECT_EQ(over.view.portCaption(), "Serial Port: 4 9600,N,8,1");
    EXPECT_NE(over.program.engine.state(), link::EngineState::Initial);

    terminal->close();
    std::filesystem::remove(device);
    save();
    EXPECT_EQ(over.logged, (std::vector<std::string>{"Comport closed by software.",
                                                     "Error opening ComPort:  4"}));
    EXPECT_EQ(over.program.port.PortIsOpen(), -1);
}

TEST_F(ProgramSetupDialogTest, FailedSaveOfTheFileIsShownWithoutBlockingAndLogged)
{
    std::filesystem::create_directory(folder / "Pravenor.set");
    auto* dialog = new ProgramSetupDialog(program);
    QSignalSpy tookFocus(dialog->findChild<ui::KeepInFront*>(), &ui::KeepInFront::focusTakenBack);
    dialog->show();
    click(dialog, "CmdWijzigen");
    click(dialog, "CmdSave");

    auto* box = dialog->findChild<QMessageBox*>("SaveFailedMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    const std::string text = "The program setup could not be saved to " +
                             (folder / "Pravenor.set").string() + ". It holds for this run only.";
    EXPECT_EQ(box->text().toStdString(), text);
    EXPECT_NE(std::find(world.logged.begin(), world.logged.end(), text), world.logged.end());
    // The dialog's own message box may have the focus.
    EXPECT_TRUE(PumpUntil([&] { return box->isActiveWindow(); }));
    QTest::qWait(50);
    EXPECT_EQ(tookFocus.count(), 0);
    dialog->close();
}

TEST_F(ProgramSetupDialogTest, CancelPutsTheStoredValuesBackAndLeavesFileAndPortAlone)
{
    program.config.ComPortIndex = 4;
    program.config.SetPath = "D:\\Data";
    ProgramSetupDialog dialog(program);
    dialog.show();
    auto* combo = find<QComboBox>(&dialog, "ComboCom");
    auto* path = find<QLineEdit>(&dialog, "TxtSetPath");
    click(&dialog, "CmdWijzigen");
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "Com9");
    path->setText("X:\\Other");
    ASSERT_EQ(combo->currentText(), "Com9");

    click(&dialog, "CmdCancel");

    EXPECT_EQ(combo->currentText(), "Com5");
    EXPECT_EQ(path->text(), "D:\\Data");
    EXPECT_TRUE(path->isReadOnly());
    EXPECT_TRUE(find<QPushButton>(&dialog, "CmdWijzigen")->isEnabled());
    EXPECT_EQ(program.config.ComPortIndex, 4);
    EXPECT_EQ(program.config.SetPath, "D:\\Data");
    EXPECT_FALSE(std::filesystem::exists(folder / "Pravenor.set"));
    EXPECT_EQ(line.openCount(), 0);
    EXPECT_TRUE(world.logged.empty());
}

TEST_F(ProgramSetupDialogTest,
       NetworkAddressTakesThePortNumbersPlaceIsKeptPerUserAndEmptyGivesItBack)
{
    program.port.setDeviceOverride({});
    program.config.ComPortIndex = 2;
    ui::UserPreferences preferences(QString::fromStdString((folder / "user.conf").string()));
    preferences.setFastLink(true);
    auto saveWith = [&](const QString& typed) {
        ProgramSetupDialog dialog(program, nullptr, &preferences);
        auto* address = find<QLineEdit>(&dialog, "TxtNetworkAddress");
        EXPECT_TRUE(address->isReadOnly());
        click(&dialog, "CmdWijzigen");
        address->setText(typed);
        click(&dialog, "CmdSave");
        return world.logged.back();
    };

    EXPECT_EQ(saveWith(" tcp://127.0.0.1:4001 "), "tcp://127.0.0.1:4001 opened with: 9600,N,8,1");
    EXPECT_EQ(ui::UserPreferences(preferences.file()).networkAddress(), "tcp://127.0.0.1:4001");
    EXPECT_EQ(firstLine(folder / "Pravenor.set"), "0        Compoort ->2"); // Pravenor.set as ever
    {
        ProgramSetupDialog reopened(program);
        EXPECT_EQ(find<QLineEdit>(&reopened, "TxtNetworkAddress")->text(), "tcp://127.0.0.1:4001");
    }

    EXPECT_EQ(saveWith(""), "Com: 3 opened with: 9600,N,8,1");
    EXPECT_EQ(preferences.networkAddress(), "");
    EXPECT_TRUE(preferences.fastLink()); // the two choices share the file, not their values
}

TEST_F(ProgramSetupDialogTest, ANetworkAddressThePortCannotUseIsRefusedAtSaveAndNotKept)
{
    program.port.setDeviceOverride({});
    ProgramSetupDialog dialog(program);
    click(&dialog, "CmdWijzigen");
    find<QLineEdit>(&dialog, "TxtNetworkAddress")->setText("192.168.1.20:4001");
    click(&dialog, "CmdSave");
    auto* box = dialog.findChild<QMessageBox*>("AddressRefused");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "Network address 192.168.1.20:4001: " +
                                             link::ParseNetworkLine("192.168.1.20:4001").error);
    EXPECT_TRUE(find<QPushButton>(&dialog, "CmdSave")->isEnabled()); // still editing
    EXPECT_EQ(program.port.networkAddress(), "");
}

TEST_F(ProgramSetupDialogTest, TheTlsFilesAreKeptPerUserAndTakenBeforeThePortReopens)
{
    ui::UserPreferences preferences(QString::fromStdString((folder / "user.conf").string()));
    int told = 0;
    {
        ProgramSetupDialog dialog(program, nullptr, &preferences);
        dialog.setTrustChanged([&] {
            ++told;
            EXPECT_EQ(ui::UserPreferences(preferences.file()).tlsKey(), "/home/me/me.key");
        });
        auto* authority = find<QLineEdit>(&dialog, "TxtCertificateAuthority");
        EXPECT_TRUE(authority->isReadOnly());
        click(&dialog, "CmdWijzigen");
        authority->setText(" /etc/plant/authority.pem ");
        find<QLineEdit>(&dialog, "TxtClientCertificate")->setText("/home/me/me.pem");
        find<QLineEdit>(&dialog, "TxtClientKey")->setText("/home/me/me.key");
        click(&dialog, "CmdSave");
    }
    EXPECT_EQ(told, 1);
    ProgramSetupDialog reopened(program, nullptr, &preferences);
    EXPECT_EQ(find<QLineEdit>(&reopened, "TxtCertificateAuthority")->text(),
              "/etc/plant/authority.pem");
    EXPECT_EQ(find<QLineEdit>(&reopened, "TxtClientCertificate")->text(), "/home/me/me.pem");

    // Trusted certificates by address, slashes and brackets and all.
    preferences.trustCertificate("tcp+tls://[fd00::5]:7443", "SHA256:AB");
    preferences.trustCertificate("rfc2217+tls://plant/x:7443", "SHA256:CD");
    preferences.trustCertificate("tcp+tls://[fd00::5]:7443", "SHA256:EF");
    EXPECT_EQ(ui::UserPreferences(preferences.file()).trustedCertificates(),
              (std::map<std::string, std::string>{{"tcp+tls://[fd00::5]:7443", "SHA256:EF"},
                                                  {"rfc2217+tls://plant/x:7443", "SHA256:CD"}}));
}

TEST_F(ProgramSetupDialogTest, StoredPortOutsideTheListShowsTheFirstPortOrNoneAndSavesSo)
{
    const struct
    {
        std::int16_t stored;
        const char* shown;
        const char* saved;
    } rows[] = {
        {4, "Com5", "4"}, {29, "Com30", "29"}, {30, "Com1", "0"},     {99, "Com1", "0"},
        {-1, "", "-1"},   {-2, "Com1", "0"},   {-32768, "Com1", "0"},
    };
    for (const auto& row : rows) {
        program.config.ComPortIndex = row.stored;
        ProgramSetupDialog dialog(program);
        EXPECT_EQ(find<QComboBox>(&dialog, "ComboCom")->currentText(), row.shown) << row.stored;
        click(&dialog, "CmdWijzigen");
        click(&dialog, "CmdSave");
        EXPECT_EQ(firstLine(folder / "Pravenor.set"),
                  std::string("0        Compoort ->") + row.saved)
            << row.stored;
    }
}

TEST_F(ProgramSetupDialogTest, TypedPortTextNamingNoEntryStoresMinusOne)
{
    const struct
    {
        const char* typed;
        std::int16_t saved;
        const char* opening; // what the reopening logs
    } rows[] = {
        {"Com31", -1, "Error opening ComPort:  0"},
        {"Com 7", -1, "Error opening ComPort:  0"},
        {"", -1, "Error opening ComPort:  0"},
        {"com7", 6, "Com: 7 opened with: 9600,N,8,1"},
        {"Com30", 29, "Com: 30 opened with: 9600,N,8,1"},
    };
    program.port.setDeviceOverride(std::nullopt); // the port number picks the device
    for (const auto& row : rows) {
        program.config.ComPortIndex = 0;
        ProgramSetupDialog dialog(program);
        dialog.show();
        auto* combo = find<QComboBox>(&dialog, "ComboCom");
        click(&dialog, "CmdWijzigen");
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combo->lineEdit(), row.typed);
        world.logged.clear();
        click(&dialog, "CmdSave");
        EXPECT_EQ(program.config.ComPortIndex, row.saved) << row.typed;
        EXPECT_EQ(firstLine(folder / "Pravenor.set"),
                  "0        Compoort ->" + std::to_string(row.saved))
            << row.typed;
        ASSERT_FALSE(world.logged.empty());
        EXPECT_EQ(world.logged.back(), row.opening) << row.typed;
    }
}

// Both dialogs, as the window opens them.
struct Opened
{
    const char* name;
    const char* closeButton;
    std::function<QDialog*(program::Program&, QWidget*)> open;
};
const Opened kDialogs[] = {
    {"Program Setup", "CmdClose",
     [](program::Program& p, QWidget* parent) -> QDialog* {
         return new ProgramSetupDialog(p, parent);
     }},
    {"About", "CmdSluit",
     [](program::Program& p, QWidget* parent) -> QDialog* {
         return new AboutDialog(
             p, [] {}, parent);
     }},
};

TEST_F(DialogTest, TakesTheFocusBackWithABeepWhenTheMainWindowIsActivated)
{
    for (const Opened& opened : kDialogs) {
        QWidget mainWindow;
        mainWindow.resize(400, 300);
        mainWindow.show();
        QPointer<QDialog> dialog = opened.open(program, &mainWindow);
        QSignalSpy tookFocus(dialog->findChild<ui::KeepInFront*>(),
                             &ui::KeepInFront::focusTakenBack);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(PumpUntil([&] { return dialog->isActiveWindow(); })) << opened.name;

        mainWindow.activateWindow();
        EXPECT_TRUE(PumpUntil([&] { return tookFocus.count() == 1 && dialog->isActiveWindow(); }))
            << opened.name;
        EXPECT_TRUE(dialog->isVisible()) << opened.name;
        delete dialog;
    }
}

TEST_F(DialogTest, CloseUnloadsTheDialog)
{
    for (const Opened& opened : kDialogs) {
        QPointer<QDialog> dialog = opened.open(program, nullptr);
        dialog->show();
        click(dialog, opened.closeButton);
        EXPECT_FALSE(dialog->isVisible()) << opened.name;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull()) << opened.name;
        delete dialog;
    }
}

TEST_F(AboutDialogTest, OpensWithTheVersionAndNoLevelShown)
{
    AboutDialog dialog(program, [] {});
    EXPECT_EQ(find<QLabel>(&dialog, "Label4")->text(), "Software version: " PRAVENOR_TEST_VERSION);
    EXPECT_EQ(find<QLabel>(&dialog, "LabelLocalLog")->text(), "");
}

TEST_F(AboutDialogTest, DoubleClickOnTheLogoFrameStepsTheDebugLevel)
{
    const struct
    {
        std::int16_t start;
        int clicks;
        std::vector<int> levelsSeen; // by the window, at each call
        const char* shown;
    } rows[] = {
        {0, 1, {1}, "1"},
        {0, 2, {1, 2}, "2"},
        {0, 3, {1, 2, 0}, "1"},
        {2, 1, {0}, "1"},
    };
    for (const auto& row : rows) {
        program.DebugLevel = static_cast<app::DebugMode>(row.start);
        std::vector<int> levelsSeen;
        AboutDialog dialog(program,
                           [&] { levelsSeen.push_back(static_cast<int>(program.DebugLevel)); });
        dialog.show();
        auto* frame = find<QWidget>(&dialog, "FrameLogo");
        const QPoint empty(3, 3);
        ASSERT_EQ(frame->childAt(empty), nullptr);
        for (int n = 0; n < row.clicks; ++n)
            QTest::mouseDClick(frame, Qt::LeftButton, {}, empty);
        EXPECT_EQ(levelsSeen, row.levelsSeen) << row.start << " " << row.clicks;
        EXPECT_EQ(static_cast<int>(program.DebugLevel), row.levelsSeen.back());
        EXPECT_EQ(find<QLabel>(&dialog, "LabelLocalLog")->text(), row.shown);
    }
}

TEST_F(AboutDialogTest, DoubleClickOnThePictureOrATextDoesNothing)
{
    int calls = 0;
    AboutDialog dialog(program, [&] { ++calls; });
    dialog.show();
    for (const char* name :
         {"Image1", "Label3_0", "Label3_1", "Label6", "Label4", "LabelLocalLog"}) {
        QTest::mouseDClick(find<QWidget>(&dialog, name), Qt::LeftButton);
        EXPECT_EQ(calls, 0) << name;
    }
    EXPECT_EQ(program.DebugLevel, app::DebugMode::Off);
    EXPECT_EQ(find<QLabel>(&dialog, "LabelLocalLog")->text(), "");
}

class SerialDevices : public ::testing::Test
{
protected:
    void touch(const std::string& name) { TempFolder::write(dev / name, ""); }
    void byIdLink(const std::string& name, const std::string& target)
    {
        std::filesystem::create_symlink(target, dev / "serial" / "by-id" / name);
    }

    TempFolder dev;
};

TEST_F(SerialDevices, ByIdNamesComeFirstWithTheTerminalAndPortNumberTheyLeadTo)
{
    for (const char* name : {"ttyUSB0", "ttyACM1", "ttyS0"})
        touch(name);
    std::filesystem::create_directories(dev / "serial" / "by-id");
    byIdLink("usb-FTDI_FT232R_A5-if00-port0", "../../ttyUSB0");
    byIdLink("usb-Arduino_Uno_75-if00", "../../ttyACM1");
    byIdLink("usb-Prolific_gone-if00-port0", "../../ttyUSB3"); // pulled out a moment ago

    const std::string byId = (dev / "serial" / "by-id").string() + "/";
    EXPECT_EQ(link::ListSerialDevices(dev.path()),
              (std::vector<link::SerialDevice>{
                  {byId + "usb-Arduino_Uno_75-if00", "/dev/ttyACM1", 12},
                  {byId + "usb-FTDI_FT232R_A5-if00-port0", "/dev/ttyUSB0", 1}}));
}

TEST_F(SerialDevices, WithoutByIdTheUsbAndAcmTerminalsInNumberOrder)
{
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "tty0", "ttyUSB"})
        touch(name);
    std::filesystem::create_directories(dev / "serial" / "by-id");
    const std::string at = dev.path().string() + "/";
    EXPECT_EQ(link::ListSerialDevices(dev.path()),
              (std::vector<link::SerialDevice>{{at + "ttyACM0", "/dev/ttyACM0", 11},
                                               {at + "ttyUSB2", "/dev/ttyUSB2", 3},
                                               {at + "ttyUSB10", "/dev/ttyUSB10", 0}}));
}

} // namespace
} // namespace pravenor
