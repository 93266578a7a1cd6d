#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

namespace pravenor::test {

// pravenor-sim in its own process, serving behind a fixed link name.
class SimProcess
{
public:
    // A simulator whose log nobody reads while it runs must not keep it: a full pipe would
    // stop its converters mid-reply.
    explicit SimProcess(const QStringList& arguments, bool keepTrafficLog = true)
    {
        m_process.setProgram(PRAVENOR_SIM_PATH);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        if (!keepTrafficLog)
            m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start();
        m_started = m_process.waitForStarted(5000);
        // The first line is the terminal's path; the link points at it from then on.
        while (m_started && !m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_ready = m_started && m_process.canReadLine();
        if (m_ready)
            m_firstLine = m_process.readLine().trimmed().toStdString();
    }
    ~SimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return m_ready; }
    // The terminal's path, or with --tcp the address to give the program.
    const std::string& firstLine() const { return m_firstLine; }
    // The line printed after the ones taken so far (with --count, the next converter's);
    // empty when none comes within five seconds.
    std::string nextLine()
    {
        while (m_ready && !m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        return m_process.canReadLine() ? m_process.readLine().trimmed().toStdString()
                                       : std::string();
    }
    // Stops the simulator and gives what it logged on standard error: every frame in hex.
    std::string stopAndTakeLog()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
        return m_process.readAllStandardError().toStdString();
    }

private:
    QProcess m_process;
    bool m_started = false;
    bool m_ready = false;
    std::string m_firstLine;
};

} // namespace pravenor::test
