#pragma once

#include "link/transfer_view.h"

#include <ostream>
#include <string>

namespace pravenor::cli {

// Standard error as the window's progress box, progress bar and message window. On a
// terminal the bar stands on the last line with the progress text's current line beside it,
// and log lines scroll above it; otherwise every finished progress line and log line is a
// plain line, for a log file or a pipe. Quiet keeps only the failures.
class Console
{
public:
    Console(std::ostream& err, bool terminal, bool quiet, int width);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void logLine(const std::string& line);  // Windows-1252
    void progress(const std::string& text); // Windows-1252, any piece of a line
    void bar(int minimum, int maximum, int value);
    void hideBar();
    // The bar drawn full and left on its line: the batch it counted is done.
    void completeBar();
    void failure(const std::string& utf8); // shown even when quiet
    // Ends the bar and any unfinished progress line.
    void finish();

private:
    void clearBar();
    void drawBar();
    void plainLine(const std::string& cp1252);

    std::ostream& m_err;
    bool m_terminal;
    bool m_quiet;
    int m_width;
    std::string m_pending; // the progress text after its last line end
    bool m_barShown = false;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
    std::string m_drawn; // what the bar line shows now
};

// The transfer view of the command-line tool: everything goes to the console; a message box
// becomes a failure line.
class ConsoleView final : public link::TransferView
{
public:
    explicit ConsoleView(Console& console) : m_console(console) {}

    void appendProgress(const std::string& text) override { m_console.progress(text); }
    void showProgressBar(int minimum, int maximum, int value) override
    {
        m_console.bar(minimum, maximum, value);
    }
    void hideProgressBar() override { m_console.hideBar(); }
    void showCriticalMessage(const std::string& title, const std::string& text) override;
    void setPortCaption(const std::string&) override {}

private:
    Console& m_console;
};

} // namespace pravenor::cli
