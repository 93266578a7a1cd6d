#pragma once

#include "app/clock.h"
#include "frontend/converter_line.h"
#include "frontend/front_end_options.h"
#include "frontend/session.h"
#include "program/program.h"
#include "sim/converter_model.h"
#include "support/qt_event_loop.h"
#include "support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/user_preferences.h"

#include <QApplication>
#include <QMessageBox>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace pravenor::test {

class FixedTime final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 7, 10, 0, 0}; }
};

// The window as the program makes it, over the demo converter or a given device, driven in
// tick time: the tests call the timers' work themselves.
class WindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication<QApplication>(); }
    void TearDown() override
    {
        window.reset(); // the window closes the port through the program on release
        session.reset();
    }

    void load(const std::string& commandLine = {}, const std::string& device = {})
    {
        frontend::FrontEndOptions options;
        options.demo = device.empty();
        options.line = link::ParseLineAddress(device).address;
        options.fast = fastForThisRun;
        window = std::make_unique<ui::MainWindow>(options.demo);
        session = std::make_unique<frontend::Session>(
            options, folder.path(), clock, window->settingControls(), window->transferView());
        line = &session->line();
        program = &session->program();
        window->setBeeper([this] { ++beeps; });
        window->setUserPreferences(
            ui::UserPreferences(QString::fromStdString((folder / "user.conf").string())));
        window->load(*program, *line, commandLine);
        // On a slow machine (the sanitizers) the start's refresh could come in the middle of
        // a test and show the stored values over its edits.
        if (!keepStartRefresh)
            window->startRefreshNow();
    }
    bool keepStartRefresh = false; // a test of that refresh itself

    // Ticks until done() holds; false when it never did.
    bool tickUntil(const std::function<bool()>& done, int limit = 20'000)
    {
        for (int n = 0; n < limit; ++n) {
            if (done())
                return true;
            window->tick();
        }
        return done();
    }
    bool idle() const
    {
        for (settings::Request r : program->stores.ItemRequest)
            if (r != settings::Request::None)
                return false;
        return program->engine.batchKind() == link::Batch::None &&
               !program->engine.requested(link::Job::ReadAll) &&
               !program->engine.requested(link::Job::WriteAll) &&
               program->engine.state() == link::EngineState::Idle;
    }
    bool logged(const std::string& text) const
    {
        for (const std::string& entry : program->log.MessageLines())
            if (entry.size() > 9 && entry.substr(9) == text)
                return true;
        return false;
    }

    sim::ConverterModel& model() const { return *line->model(); }

    template <typename W> W* find(const QString& name) const
    {
        W* widget = window->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void click(const QString& name);
    // The message box the window has open, if any.
    QMessageBox* openBox() const;
    void answer(QMessageBox::StandardButton button);

    TempFolder folder;
    FixedTime clock;
    std::unique_ptr<ui::MainWindow> window;
    std::unique_ptr<frontend::Session> session;
    frontend::ConverterLine* line = nullptr; // the session's
    program::Program* program = nullptr;     // the session's
    int beeps = 0;
    bool fastForThisRun = false; // --fast
};

} // namespace pravenor::test
