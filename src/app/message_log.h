#pragma once

#include "app/clock.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace pravenor::app {

struct ProgramConfig;

// Every status message of the program: time-stamped into the last 25 lines that the message
// window shows, and appended to the day's log file Log/DDMMYYYY.log in the program folder.
// Messages are Windows-1252 bytes like every text of the core; the log file is UTF-8.
class MessageLog
{
public:
    static constexpr int kLineCount = 25;
    using Lines = std::array<std::string, kLineCount>;

    // LogLevel is read from config at every call: 0 silences the log entirely.
    MessageLog(const ProgramConfig& config, const Clock& clock,
               std::filesystem::path programFolder);

    void WriteLog(std::string_view message);
    // Whether WriteLog shows and keeps what it is given now (LogLevel not 0).
    bool writing() const;
    void ClearMessageLines();
    void AddMessageLine(std::string line);

    const Lines& MessageLines() const { return m_lines; }
    int MessageLineCount() const { return m_count; }

    std::filesystem::path LogFilePath(const LocalTime& time) const;

    // One of many converters run at once: every line names it after the time ("NAME: ..."),
    // in the message lines and in the day's file that the others write to as well.
    void setSource(std::string name);

    // Called with every line that WriteLog adds, for front ends that echo the log.
    void setLineObserver(std::function<void(const std::string&)> observer);
    // Called once when the day's log file cannot be written, and again only after it could
    // be in between; the same note goes into the message lines.
    void setFileFailureObserver(std::function<void(const std::string&)> observer);

private:
    bool appendToFile(const std::filesystem::path& file, const std::string& line) const;

    const ProgramConfig& m_config;
    const Clock& m_clock;
    std::filesystem::path m_folder;
    Lines m_lines;
    int m_count = 0;
    std::function<void(const std::string&)> m_observer;
    std::function<void(const std::string&)> m_failureObserver;
    bool m_fileFailing = false;
    std::string m_source;
};

// "HH:MM:SS" of a time of day.
std::string TimeOfDayText(const LocalTime& time);

} // namespace pravenor::app
