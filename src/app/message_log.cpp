#include "app/message_log.h"

#include "app/cp1252.h"
#include "app/program_config.h"
#include "app/regular_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace pravenor::app {

std::string TimeOfDayText(const LocalTime& time)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return buffer;
}

MessageLog::MessageLog(const ProgramConfig& config, const Clock& clock,
                       std::filesystem::path programFolder)
    : m_config(config), m_clock(clock), m_folder(std::move(programFolder))
{
}

void MessageLog::ClearMessageLines()
{
    m_lines.fill(std::string());
    m_count = 0;
}

void MessageLog::AddMessageLine(std::string line)
{
    if (m_count < kLineCount) {
        m_lines[static_cast<std::size_t>(m_count++)] = std::move(line);
        return;
    }
    for (std::size_t i = 1; i < m_lines.size(); ++i)
        m_lines[i - 1] = std::move(m_lines[i]);
    m_lines.back() = std::move(line);
}

std::filesystem::path MessageLog::LogFilePath(const LocalTime& time) const
{
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d%04d.log", time.day % 100, time.month % 100,
                  time.year % 10000);
    return m_folder / "Log" / name;
}

bool MessageLog::writing() const
{
    return m_config.LogLevel != 0;
}

void MessageLog::WriteLog(std::string_view message)
{
    const LocalTime moment = m_clock.now();
    std::string line = TimeOfDayText(moment) + " " +
                       (m_source.empty() ? std::string() : m_source + ": ") + std::string(message);
    if (m_config.LogLevel == 0)
        return;

    AddMessageLine(line);
    if (m_observer)
        m_observer(line);

    const std::filesystem::path file = LogFilePath(moment);
    errno = 0;
    bool written = appendToFile(file, line);
    std::error_code error;
    if (!written && !std::filesystem::exists(file.parent_path(), error)) {
        std::filesystem::create_directory(file.parent_path(), error);
        errno = 0;
        written = appendToFile(file, line);
    }
    if (written) {
        m_fileFailing = false;
        return;
    }
    // A record that silently stops is worse than none: say it, once.
    if (m_fileFailing)
        return;
    m_fileFailing = true;
    const int cause = errno;
    const std::string note =
        "The day's log file " + PathText(file) + " cannot be written" +
        (cause != 0 ? " (" + Utf8ToCp1252(std::strerror(cause)) + ")" : std::string()) +
        ": messages are not kept in a file until it can.";
    AddMessageLine(TimeOfDayText(moment) + " " + note);
    if (m_failureObserver)
        m_failureObserver(note);
}

void MessageLog::setFileFailureObserver(std::function<void(const std::string&)> observer)
{
    m_failureObserver = std::move(observer);
}

bool MessageLog::appendToFile(const std::filesystem::path& file, const std::string& line) const
{
    return AppendToRegularFile(file, Cp1252ToUtf8(line) + "\r\n");
}

void MessageLog::setSource(std::string name)
{
    m_source = std::move(name);
}

void MessageLog::setLineObserver(std::function<void(const std::string&)> observer)
{
    m_observer = std::move(observer);
}

} // namespace pravenor::app
