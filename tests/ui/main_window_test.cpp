// The window as a user meets it: what start-up shows, what each kind of command does, the
// red marking, the files through the dialog, and an engine that never waits for a box.
#include "settings/control_sync.h"
#include "sim/simulated_line.h"
#include "ui/widget_controls.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fstream>

namespace pravenor::test {
namespace {

using settings::ControlColour;

QString numbered(const char* array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

TEST_F(WindowTest, StartUpOpensOnStatusGeneralSetupAndInputOne)
{
    load();
    auto* main = find<QTabWidget>("SSTab1");
    auto* setup = find<QTabWidget>("SSTab2");
    auto* inputs = find<QTabWidget>("SSTab3");
    EXPECT_EQ(main->currentIndex(), 0);
    EXPECT_EQ(main->tabText(0), "Status");
    EXPECT_EQ(setup->tabText(setup->currentIndex()), "General Setup");
    EXPECT_EQ(inputs->tabText(inputs->currentIndex()), "1");
    EXPECT_EQ(inputs->tabPosition(), QTabWidget::West);
    // "10" and "9" are no tabs at all, so that no screen reader offers them; their markers
    // live on out of sight.
    EXPECT_EQ(inputs->count(), 8);
    for (int t = 0; t < inputs->count(); ++t)
        EXPECT_EQ(inputs->tabText(t), QString::number(8 - t));
    EXPECT_FALSE(find<QLabel>("LabelShouldNotBeVisble_0")->isVisibleTo(window.get()));
    EXPECT_FALSE(find<QLabel>("LabelShouldNotBeVisble_1")->isVisibleTo(window.get()));
    EXPECT_TRUE(window->windowTitle().startsWith(" Pravenor by "));

    for (int item : {0, 9, 10, 11, 12, 13, 14, 17, 20, 44, 59, 60, 91})
        EXPECT_FALSE(find<QComboBox>(numbered("ComboInstellingen", item))->isHidden()) << item;
    for (int item : {1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 18, 19})
        EXPECT_TRUE(find<QComboBox>(numbered("ComboInstellingen", item))->isHidden()) << item;
    EXPECT_EQ(find<QComboBox>(numbered("ComboInstellingen", 44))->count(), 151);

    // The English texts, on visible and hidden controls alike.
    EXPECT_EQ(find<QPushButton>(numbered("CmdReadSingleSetting", 0))->text(), "Read");
    EXPECT_EQ(find<QPushButton>(numbered("CmdWriteSingleSetting", 0))->text(), "Write");
    EXPECT_EQ(find<QPushButton>(numbered("CmdWriteSingleSetting", 30))->text(), "Schrijven");
    auto* hiddenLegend = find<QLabel>(numbered("TxtLegendaCharInput", 5));
    EXPECT_EQ(hiddenLegend->text(), "Paging limit address length to:");
    EXPECT_TRUE(hiddenLegend->isHidden());
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(find<QGroupBox>(numbered("Frame4", k))->title(), "Generate Alarm message: ");
    EXPECT_EQ(find<QPushButton>("CmdLeesAlles")->text().remove(QLatin1Char('&')),
              "Read all settings from unit");

    // The same rows hold the same items on every input page, input 8 included.
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 23))->parentWidget()->objectName(),
              "Frame5_7");
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 31))->parentWidget()->objectName(),
              "Frame5_7");
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 16))->parentWidget()->objectName(),
              "Frame5_0");
    EXPECT_EQ(find<QLineEdit>(numbered("TxtTekstInput", 16))->accessibleName(),
              "Input 1, Error, Text at failure:");

    // Without /DEBUG the service controls are out of reach.
    EXPECT_TRUE(find<QWidget>("FrameCmdButtonsPaging")->isHidden());
    EXPECT_TRUE(find<QWidget>("FrameCmdButtonsAlgemeen")->isHidden());
    EXPECT_FALSE(find<QPushButton>("CmdInstellingenOpslaan")->isEnabled());
    EXPECT_EQ(program->engine.state(), link::EngineState::Idle);
}

TEST_F(WindowTest, DebugSwitchOffersTheServiceControls)
{
    load("/DEBUG");
    EXPECT_FALSE(find<QWidget>("FrameCmdButtonsPaging")->isHidden());
    EXPECT_FALSE(find<QWidget>("FrameCmdButtonsAlgemeen")->isHidden());
    EXPECT_TRUE(find<QPushButton>("CmdInstellingenOpslaan")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(numbered("CmdReadSingleSetting", 5))->isHidden());
}

TEST_F(WindowTest, ButtonsOnlySetRequests)
{
    load();
    auto& stores = program->stores;
    click("CmdLeesAlles");
    EXPECT_TRUE(program->engine.requested(link::Job::ReadAll));

    click(numbered("CmdReadSingleSetting", 10));
    EXPECT_EQ(stores.ItemRequest[10], settings::Request::Read);

    auto* speed = find<QComboBox>(numbered("ComboInstellingen", 12));
    speed->setCurrentIndex(1);
    click(numbered("CmdWriteSingleSetting", 12));
    speed->setCurrentIndex(0);
    EXPECT_EQ(stores.WorkValues[12].asNumber(), 1); // the value at the click
    EXPECT_EQ(stores.ItemRequest[12], settings::Request::Write);

    find<QLineEdit>("TxtTestPagerAdres")->setText(QStringLiteral("1001"));
    click("CmdTestOproepPager");
    EXPECT_TRUE(program->engine.requested(link::Job::PagerCall));

    find<QPlainTextEdit>("TxtProgress")->setPlainText("old progress");
    program->log.WriteLog("a message");
    window->ledTick();
    click("CmdWisLogVenster");
    EXPECT_TRUE(find<QPlainTextEdit>("TxtProgress")->toPlainText().isEmpty());
    const int newest = program->log.MessageLineCount() - 1;
    EXPECT_EQ(find<QLineEdit>(numbered("Text2", newest))->text(), "10:00:00 a message");
}

TEST_F(WindowTest, ConfirmationsAskBeforeTheyAct)
{
    load();
    auto* diagnose = find<QComboBox>(numbered("ComboInstellingen", 0));
    diagnose->setCurrentIndex(2);
    click("CmdSchrijfAlles");
    QMessageBox* box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Pravenor by Quilmar");
    EXPECT_EQ(box->text(), "Overwrite all settings in the converter?\nAre you sure? ");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(program->engine.requested(link::Job::WriteAll));
    EXPECT_NE(program->stores.WorkValues[0].asNumber(), 2);

    click("CmdSchrijfAlles");
    answer(QMessageBox::Ok);
    // Asked for, or already taken up by an engine tick that came while the box closed.
    EXPECT_TRUE(program->engine.requested(link::Job::WriteAll) ||
                program->engine.batchKind() == link::Batch::WriteAll);
    EXPECT_EQ(program->stores.WorkValues[0].asNumber(), 2);

    click("CmdTestHerstart");
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->windowTitle(), "Pravenor");
    EXPECT_EQ(openBox()->text(), "Reboot the Converter.\n\nAre you sure? ");
    answer(QMessageBox::Ok);
    EXPECT_TRUE(program->engine.requested(link::Job::Restart));

    window->menuBar()->actions().at(1)->trigger(); // "Quit"
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(), "Are you sure to quit the program?");
    answer(QMessageBox::Cancel);
    EXPECT_EQ(program->port.PortIsOpen(), 1);
}

TEST_F(WindowTest, ReadAllFillsTheControlsAndClearsTheRedMarking)
{
    load();
    window->refreshMarking();
    auto& controls = window->widgetControls();
    EXPECT_EQ(controls.choiceColour(9), ControlColour::Red); // shown from default.set, never read
    // Every tab says how many changes lie on it, in sight or not; a setting never read is none.
    auto captions = [&](const char* tabsName) {
        auto* tabs = find<QTabWidget>(tabsName);
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        return texts.join(QStringLiteral("|")).toStdString();
    };
    EXPECT_EQ(captions("SSTab1"), "Status|Setup|File|Unit|Service");

    click("CmdLeesAlles");
    ASSERT_TRUE(tickUntil([&] { return logged("Reading of settings successfull."); }));
    window->refreshMarking();
    EXPECT_EQ(find<QComboBox>(numbered("ComboInstellingen", 9))->currentText(), "forward to relay");
    EXPECT_EQ(controls.choiceColour(9), ControlColour::WindowText);
    EXPECT_EQ(controls.textColour(0), ControlColour::WindowText);

    const long changes = controls.colourChanges();
    window->refreshMarking();
    EXPECT_EQ(controls.colourChanges(), changes); // nothing changed, nothing repainted

    const QString unitText = find<QLineEdit>(numbered("TxtTekstInput", 0))->text();
    find<QComboBox>(numbered("ComboInstellingen", 9))->setCurrentIndex(0);
    find<QLineEdit>(numbered("TxtTekstInput", 0))->setText("Changed on site");
    window->refreshMarking();
    EXPECT_EQ(controls.choiceColour(9), ControlColour::Red);
    EXPECT_EQ(controls.textColour(0), ControlColour::Red);
    EXPECT_EQ(find<QComboBox>(numbered("ComboInstellingen", 9))->palette().color(QPalette::Text),
              QColor(255, 0, 0));

    EXPECT_EQ(captions("SSTab1"), "Status|Setup (2)|File|Unit|Service");
    EXPECT_EQ(captions("SSTab2"), "General Setup (1)|Input Contact Setup (1)|Paging Setup");
    EXPECT_EQ(captions("SSTab3"), "8|7|6|5|4|3|2|1 (1)");
    find<QLineEdit>(numbered("TxtTekstInput", 0))->setText(unitText);
    window->refreshMarking();
    EXPECT_EQ(captions("SSTab3"), "8|7|6|5|4|3|2|1");
}

TEST_F(WindowTest, CancelDuringReadAllEndsItWithoutSuccess)
{
    load();
    click("CmdLeesAlles");
    for (int n = 0; n < 60; ++n)
        window->tick();
    click("CmdCancelReadWrite");
    EXPECT_TRUE(find<QPlainTextEdit>("TxtProgress")->toPlainText().endsWith("\nCancelled!\n"));
    ASSERT_TRUE(tickUntil([&] { return idle(); }, 400));
    for (int n = 0; n < 400; ++n)
        window->tick();
    EXPECT_FALSE(logged("Reading of settings successfull."));
}

QFileDialog* openFileDialog(ui::MainWindow& window)
{
    for (QFileDialog* dialog : window.findChildren<QFileDialog*>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Types the file's name into the dialog and presses its accept button. selectFile leaves the
// name box alone while it has the focus, as it has when the dialog opens over a box that is
// closing, so the name goes into the box itself as well.
void choose(QFileDialog* dialog, const std::filesystem::path& file)
{
    const QString name = QString::fromStdString(file.string());
    dialog->selectFile(name);
    if (auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        nameBox->setText(name);
    static_cast<QDialog*>(dialog)->accept();
    QApplication::processEvents();
}

TEST_F(WindowTest, SettingsFilesGoThroughTheFileDialog)
{
    load();
    auto* relay = find<QComboBox>(numbered("ComboInstellingen", 9));
    relay->setCurrentIndex(1);
    click("CmdOpslaanUnitGegevens");
    QFileDialog* dialog = openFileDialog(*window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(std::filesystem::path(dialog->directory().absolutePath().toStdString()),
              folder.path() / "Instellingen");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"cfg (*.cfg)"});
    const std::filesystem::path file = folder.path() / "Instellingen" / "site.cfg";
    choose(dialog, file);
    EXPECT_NE(TempFolder::read(file).find("9    ->1\r\n"), std::string::npos);

    relay->setCurrentIndex(0);
    click("CmdLezenUnitgegevens");
    answer(QMessageBox::Ok); // the edit is lost: asked first
    dialog = openFileDialog(*window);
    ASSERT_NE(dialog, nullptr);
    choose(dialog, file);
    EXPECT_EQ(relay->currentIndex(), 1);

    click("CmdLezenUnitgegevens");
    ASSERT_NE(openFileDialog(*window), nullptr);
    openFileDialog(*window)->reject();
    QApplication::processEvents();
    EXPECT_EQ(beeps, 1);

    std::filesystem::remove(file);
    click("CmdOpslaanUnitGegevens");
    ASSERT_NE(openFileDialog(*window), nullptr);
    openFileDialog(*window)->reject();
    QApplication::processEvents();
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(WindowTest, AFileThatCannotBeUsedIsSaidInABoxAndTheLog)
{
    load();
    const std::filesystem::path file = folder.path() / "Instellingen" / "broken.cfg";
    std::filesystem::create_directories(file.parent_path());
    TempFolder::write(file, "9    ->" + std::string(400, '9') + "\r\n");
    click("CmdLezenUnitgegevens");
    QFileDialog* dialog = openFileDialog(*window);
    ASSERT_NE(dialog, nullptr);
    choose(dialog, file);
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text(), "Fout bij verwerken instellingen-file");
    EXPECT_EQ(openBox()->icon(), QMessageBox::Critical);
    EXPECT_TRUE(logged("Setting 9 in " + file.string() + ": the number cannot be used."));
}

TEST_F(WindowTest, TheEngineTicksOnBehindAnOpenBox)
{
    load();
    click("CmdSchrijfAlles"); // a confirmation waits for the user
    window->transferView().showCriticalMessage("Pravenor by Quilmar",
                                               "ERROR reading setting from converter.");
    ASSERT_NE(openBox(), nullptr);
    const auto before = line->simulated()->now();
    QTest::qWait(400);
    EXPECT_GE(line->simulated()->now() - before, std::chrono::milliseconds(250));
}

TEST_F(WindowTest, TheIndicatorsFlashWithTraffic)
{
    load();
    auto fill = [this](const char* name) {
        return find<QFrame>(name)->palette().color(QPalette::Window);
    };
    EXPECT_EQ(fill("ShpTx"), QColor(0xC0, 0, 0));
    program->engine.bytes().TxActivity = true;
    program->engine.bytes().RxActivity = true;
    window->ledTick();
    EXPECT_EQ(fill("ShpTx"), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(fill("ShpRx"), QColor(0x80, 0xFF, 0x80));
    window->ledTick();
    EXPECT_EQ(fill("ShpTx"), QColor(0xC0, 0, 0));
    EXPECT_EQ(fill("ShpRx"), QColor(0, 0xC0, 0));
}

} // namespace
} // namespace pravenor::test

namespace pravenor::test {
namespace {

TEST_F(WindowTest, TheFastLinkShowsInThePortCaptionAndTheTimerFollowsItsPace)
{
    fastForThisRun = true;
    load();
    auto* frame = find<QGroupBox>("FrmCommunicatie");
    EXPECT_TRUE(frame->title().endsWith(" (fast)")) << frame->title().toStdString();
    EXPECT_EQ(window->engineTickMs(), 25);

    click("CmdLeesAlles");
    window->tick(); // the batch is taken up
    EXPECT_EQ(window->engineTickMs(), 1);
    ASSERT_TRUE(tickUntil([&] { return program->engine.state() == link::EngineState::ReadSoh; }));
    // After the batch, an exchange whose reply is no reply: no position where it belongs.
    line->model()->setBufferPositionByte('X');
    program->engine.request(link::Job::PagerCall);
    ASSERT_TRUE(tickUntil([&] { return !program->engine.pace().fast(); }, 20'000));
    EXPECT_FALSE(frame->title().contains(QStringLiteral("fast"))) << frame->title().toStdString();
    EXPECT_EQ(window->engineTickMs(), 25);
}

TEST_F(WindowTest, DialogsLeaveTheEngineTickingAndAboutStepsTheServiceControls)
{
    load();
    window->menuBar()->actions().at(0)->trigger(); // "Setup"
    QWidget* setup = window->findChild<QWidget*>("frmInstellingen");
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(setup->isModal());
    const auto before = line->simulated()->now();
    QTest::qWait(300);
    EXPECT_GE(line->simulated()->now() - before, std::chrono::milliseconds(200));

    window->menuBar()->actions().at(2)->trigger(); // "Info"
    QWidget* logo = window->findChild<QWidget*>("FrameLogo");
    ASSERT_NE(logo, nullptr);
    QTest::mouseDClick(logo, Qt::LeftButton);
    EXPECT_TRUE(find<QWidget>("FrameCmdButtonsPaging")->isHidden()); // level 1 shows nothing new
    QTest::mouseDClick(logo, Qt::LeftButton);
    EXPECT_EQ(program->DebugLevel, app::DebugMode::Debug);
    EXPECT_FALSE(find<QWidget>("FrameCmdButtonsPaging")->isHidden());
    EXPECT_TRUE(find<QPushButton>("CmdInstellingenOpslaan")->isEnabled());
}

// Runs the program's event loop until the program ends it; false when it did not end in time.
bool RunsToItsEnd()
{
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    const int status = QApplication::exec();
    return !timedOut && status == 0;
}

TEST_F(WindowTest, QuitAnsweredOkEndsTheProgramWhateverIsOpen)
{
    // The engine stops with the answer, before the program has ended: it must not find the
    // port closed and open it again.
    load();
    window->findChild<QAction*>("Quit")->trigger();
    answer(QMessageBox::Ok);
    QTest::qWait(500);
    EXPECT_EQ(program->port.PortIsOpen(), -1);
    window.reset();
    session.reset();

    const struct
    {
        const char* open; // menu entry opened first, if any
        bool editing;     // "Change" pressed in Program Setup
        bool closeBox;    // ended by the close box rather than "Quit"
    } rows[] = {
        {nullptr, false, false}, {"Setup", false, false}, {"Setup", true, false},
        {"About", false, false}, {"Setup", true, true},
    };
    for (const auto& row : rows) {
        const std::string shown = std::string(row.open ? row.open : "nothing") +
                                  (row.editing ? " editing" : "") +
                                  (row.closeBox ? ", close box" : "");
        load();
        window->show();
        if (row.open != nullptr)
            window->findChild<QAction*>(QLatin1String(row.open))->trigger();
        if (row.editing)
            find<QPushButton>("CmdWijzigen")->click();
        QTimer::singleShot(0, window.get(), [&] {
            if (row.closeBox) {
                window->close();
                return;
            }
            window->findChild<QAction*>("Quit")->trigger();
            if (QMessageBox* box = openBox())
                box->button(QMessageBox::Ok)->click();
        });

        EXPECT_TRUE(RunsToItsEnd()) << shown;
        EXPECT_EQ(program->port.PortIsOpen(), -1) << shown;
        QTest::qWait(500); // an engine left ticking would find the port lost and open it again
        EXPECT_EQ(program->port.PortIsOpen(), -1) << shown;
        int closed = 0;
        for (const std::string& entry : program->log.MessageLines())
            closed += entry.ends_with("Comport closed by software.") ? 1 : 0;
        EXPECT_EQ(closed, 1) << shown;
        window.reset();
        session.reset();
    }
}

TEST_F(WindowTest, TheStartRefreshShowsTheStoredValuesOnceAfterStartUp)
{
    keepStartRefresh = true;
    load();
    auto* relay = find<QComboBox>(numbered("ComboInstellingen", 9));
    const int stored = relay->currentIndex();
    const int edited = stored == 0 ? 1 : 0;
    relay->setCurrentIndex(edited);
    QTest::qWait(450);
    EXPECT_EQ(relay->currentIndex(), stored);
    relay->setCurrentIndex(edited);
    QTest::qWait(450);
    EXPECT_EQ(relay->currentIndex(), edited);
}

TEST_F(WindowTest, AtLogLevelZeroTheMessageWindowIsNotRefreshed)
{
    load();
    program->log.WriteLog("news");
    auto* newest = find<QLineEdit>(numbered("Text2", program->log.MessageLineCount() - 1));
    program->config.LogLevel = 0;
    window->ledTick();
    EXPECT_NE(newest->text(), "10:00:00 news");
    program->config.LogLevel = 2;
    window->ledTick();
    EXPECT_EQ(newest->text(), "10:00:00 news");
}

TEST_F(WindowTest, TheDefaultFileCommandsAskFirstAndActOnOkOnly)
{
    load("/DEBUG"); // "Save as default" is for the service engineer
    auto* relay = find<QComboBox>(numbered("ComboInstellingen", 9));
    const std::filesystem::path file = folder.path() / "default.set";
    auto fileText = [&] {
        return std::filesystem::exists(file) ? TempFolder::read(file) : std::string();
    };
    auto asks = [&](const char* button, const char* text) {
        click(QLatin1String(button));
        QMessageBox* box = openBox();
        ASSERT_NE(box, nullptr) << button;
        EXPECT_EQ(box->windowTitle(), "Pravenor by Quilmar");
        EXPECT_EQ(box->text(), text);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    };
    const char* save = "Write default setup to file.\nOverwriten the previous default setting "
                       "file!\nZeker weten? ";

    relay->setCurrentIndex(1);
    const std::string before = fileText();
    asks("CmdInstellingenOpslaan", save);
    answer(QMessageBox::Cancel);
    EXPECT_EQ(fileText(), before);
    asks("CmdInstellingenOpslaan", save);
    answer(QMessageBox::Ok);
    EXPECT_NE(fileText().find("9    ->1\r\n"), std::string::npos);

    // The edit on screen that nothing has kept is counted in the question.
    const char* read = "Read default settings from file.\nAll previous settings will be "
                       "lost..\n1 setting changed on screen was neither written to the "
                       "unit nor saved to a file.\nZeker weten? ";
    relay->setCurrentIndex(0);
    asks("CmdInstellingenLezen", read);
    answer(QMessageBox::Cancel);
    EXPECT_EQ(relay->currentIndex(), 0);
    asks("CmdInstellingenLezen", read);
    answer(QMessageBox::Ok);
    EXPECT_EQ(relay->currentIndex(), 1);
}

TEST_F(WindowTest, ATabClickClearsTheHighlightInTheComboBoxes)
{
    load();
    window->show();
    find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    find<QTabWidget>("SSTab2")->setCurrentIndex(1);
    auto* repeat = find<QComboBox>(numbered("ComboInstellingen", 44));
    repeat->setCurrentIndex(3);
    for (const char* name : {"SSTab1", "SSTab2", "SSTab3"}) {
        repeat->lineEdit()->selectAll();
        ASSERT_TRUE(repeat->lineEdit()->hasSelectedText());
        QTabBar* bar = find<QTabWidget>(QLatin1String(name))->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(bar->currentIndex()).center());
        EXPECT_FALSE(repeat->lineEdit()->hasSelectedText()) << name;
    }
}

TEST_F(WindowTest, APravenorSetThatCannotBeUsedIsSaidInABoxAndTheStatusPage)
{
    std::filesystem::create_directory(folder.path() / "Pravenor.set");
    load();
    const std::string warning =
        (folder.path() / "Pravenor.set").string() +
        " cannot be used (it is a folder); the program starts with its defaults.";
    ASSERT_NE(openBox(), nullptr);
    EXPECT_EQ(openBox()->text().toStdString(), warning);
    EXPECT_EQ(openBox()->icon(), QMessageBox::Warning);
    EXPECT_TRUE(logged(warning));
}

TEST_F(WindowTest, TheProgressBoxKeepsOnlyItsLastLines)
{
    load();
    const int lines = ui::MainWindow::kProgressLines + 1000;
    for (int n = 0; n < lines; ++n)
        window->transferView().appendProgress("Read setting " + std::to_string(n) + "  OK\r\n");
    auto* progress = find<QPlainTextEdit>("TxtProgress");
    EXPECT_LE(progress->blockCount(), ui::MainWindow::kProgressLines);
    EXPECT_TRUE(
        progress->toPlainText().endsWith(QStringLiteral("Read setting %1  OK\n").arg(lines - 1)));
    EXPECT_FALSE(progress->toPlainText().startsWith(QStringLiteral("Read setting 0  OK")));
}

TEST_F(WindowTest, TextBoxesForTheConverterRefuseWhatItWouldMisread)
{
    load();
    for (const char* name : {"TxtTekstInput_0", "TxtTestPagerAdres", "TxtTestPagerDisplayInfo"}) {
        auto* box = find<QLineEdit>(QLatin1String(name));
        box->clear();
        QTest::keyClicks(box, QStringLiteral("12"));
        box->insert(QStringLiteral("3\x1e"
                                   "4\x1f"
                                   "HACKED")); // as a paste arrives
        box->insert(QStringLiteral("\u03a9")); // no Windows-1252 character
        box->insert(QStringLiteral("\u00e9")); // one
        EXPECT_EQ(box->text(), QStringLiteral("12\u00e9")) << name;
    }
}

} // namespace
} // namespace pravenor::test
