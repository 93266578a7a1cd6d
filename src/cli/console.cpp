#include "cli/console.h"

#include "app/cp1252.h"

#include <algorithm>

namespace pravenor::cli {

namespace {

constexpr int kBarCells = 24;

} // namespace

Console::Console(std::ostream& err, bool terminal, bool quiet, int width)
    : m_err(err), m_terminal(terminal), m_quiet(quiet), m_width(std::max(width, 40))
{
}

Console::~Console()
{
    finish();
}

void Console::plainLine(const std::string& cp1252)
{
    m_err << app::Cp1252ToUtf8(cp1252) << '\n';
}

void Console::clearBar()
{
    if (m_terminal && !m_drawn.empty()) {
        m_err << "\r\033[K";
        m_drawn.clear();
    }
}

void Console::drawBar()
{
    if (!m_terminal || m_quiet || !m_barShown)
        return;
    const int span = std::max(m_maximum - m_minimum, 1);
    const int done = std::clamp(m_value - m_minimum, 0, span);
    const int cells = done * kBarCells / span;
    std::string line = "[" + std::string(static_cast<std::size_t>(cells), '#') +
                       std::string(static_cast<std::size_t>(kBarCells - cells), '.') + "] ";
    const std::string percent = std::to_string(done * 100 / span);
    line += std::string(3 - std::min<std::size_t>(percent.size(), 3), ' ') + percent + "%";
    if (!m_pending.empty())
        line += "  " + m_pending;
    const std::size_t room = static_cast<std::size_t>(m_width - 1);
    if (line.size() > room)
        line.resize(room); // Windows-1252: one byte is one column
    if (line == m_drawn)
        return;
    m_err << "\r\033[K" << app::Cp1252ToUtf8(line) << std::flush;
    m_drawn = line;
}

void Console::logLine(const std::string& line)
{
    if (m_quiet)
        return;
    clearBar();
    plainLine(line);
    drawBar();
}

void Console::progress(const std::string& text)
{
    m_pending += text;
    std::size_t end = 0;
    while ((end = m_pending.find('\n')) != std::string::npos) {
        std::string line = m_pending.substr(0, end);
        m_pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!m_quiet && !m_terminal && !line.empty())
            plainLine(line);
    }
    drawBar();
}

void Console::bar(int minimum, int maximum, int value)
{
    m_barShown = true;
    m_minimum = minimum;
    m_maximum = maximum;
    m_value = value;
    drawBar();
}

void Console::completeBar()
{
    if (!m_terminal || m_quiet || m_maximum <= m_minimum)
        return;
    m_barShown = true;
    m_value = m_maximum;
    drawBar();
    m_barShown = false;
    m_err << '\n'; // it stays, at 100 %
    m_drawn.clear();
}

void Console::hideBar()
{
    m_barShown = false;
    clearBar();
}

void Console::failure(const std::string& utf8)
{
    clearBar();
    m_err << "pravenor-cli: " << utf8 << '\n';
    drawBar();
}

void Console::finish()
{
    clearBar();
    m_barShown = false;
    if (!m_quiet && !m_terminal && !m_pending.empty())
        plainLine(m_pending);
    m_pending.clear();
    m_err << std::flush;
}

// The title is the window's; on a terminal the text alone says it.
void ConsoleView::showCriticalMessage(const std::string&, const std::string& text)
{
    std::string oneLine = text;
    for (std::size_t at = 0; (at = oneLine.find("\r\n", at)) != std::string::npos;)
        oneLine.replace(at, 2, " ");
    m_console.failure(app::Cp1252ToUtf8(oneLine));
}

} // namespace pravenor::cli
