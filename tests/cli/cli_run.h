#pragma once

#include "support/qt_event_loop.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <memory>
#include <stdlib.h>
#include <string>

namespace pravenor::test {

// A fresh folder for one test. TempFolder names its folder after the test, which for table
// rows holds a slash.
class RunFolder
{
public:
    RunFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pravenor-cli-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~RunFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// One run of pravenor-cli as a script runs it.
struct CliRun
{
    bool ended = false; // within the bound given
    int status = -1;
    std::string out;
    std::string err;
    std::chrono::milliseconds took{0};
};

inline QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

inline CliRun RunCli(const QStringList& arguments, std::chrono::milliseconds bound)
{
    QProcess process;
    process.setProgram(PRAVENOR_CLI_PATH);
    process.setArguments(arguments);
    const auto start = std::chrono::steady_clock::now();
    process.start();
    CliRun run;
    run.ended =
        process.waitForStarted(5000) && process.waitForFinished(static_cast<int>(bound.count()));
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (!run.ended) {
        process.kill();
        process.waitForFinished(3000);
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

// A converter behind folder/converter, loaded with these four settings and zeros and empty
// texts elsewhere, and the program folder for the tool's log beside it.
class CliOverPty : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    static constexpr const char* kUnit =
        "9    ->1\r\n10    ->2\r\n60    ->12\r\n100    ->Hall door\r\n";

    void startSimulator(const QStringList& faults)
    {
        TempFolder::write(folder / "unit.cfg", kUnit);
        QStringList arguments{"--link", Q(folder / "converter"), "--load", Q(folder / "unit.cfg")};
        simulator = std::make_unique<SimProcess>(arguments + faults);
        ASSERT_TRUE(simulator->ready());
    }

    CliRun cli(const QStringList& arguments,
               std::chrono::milliseconds bound = std::chrono::seconds(60))
    {
        return RunCli(QStringList{"--home", Q(folder.path()), "--port", Q(folder / "converter")} +
                          arguments,
                      bound);
    }

    RunFolder folder;
    std::unique_ptr<SimProcess> simulator;
};

} // namespace pravenor::test
