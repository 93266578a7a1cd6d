// The built pravenor-sim, driven through a real pseudo-terminal with plain POSIX calls.

#include "hex_bytes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pravenor::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::Bytes;
using testing::hex;
using testing::hexOf;

// Generous: the machine running the tests may be busy.
constexpr auto kPatience = 10s;

int remainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// The tool as a child process: standard output through a pipe, standard error into a file.
class SimProcess
{
public:
    SimProcess(const std::vector<std::string>& args, const std::filesystem::path& errorFile)
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        m_stdout = pipeFds[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);

        std::vector<std::string> all = {PRAVENOR_SIM_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, PRAVENOR_SIM_BINARY, &actions, nullptr, argv.data(), environ) !=
            0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
    }

    ~SimProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout != -1)
            ::close(m_stdout);
    }

    bool started() const { return m_pid > 0; }

    std::optional<std::string> readLine()
    {
        const auto deadline = Clock::now() + kPatience;
        for (;;) {
            const std::size_t end = m_buffered.find('\n');
            if (end != std::string::npos) {
                std::string line = m_buffered.substr(0, end);
                m_buffered.erase(0, end + 1);
                return line;
            }
            pollfd fd = {m_stdout, POLLIN, 0};
            if (::poll(&fd, 1, remainingMs(deadline)) <= 0)
                return std::nullopt;
            char chunk[256];
            const ssize_t n = ::read(m_stdout, chunk, sizeof chunk);
            if (n <= 0)
                return std::nullopt;
            m_buffered.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // Asks the tool to stop; its exit code, or nothing when it did not end in time.
    std::optional<int> stop()
    {
        ::kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + kPatience;
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_buffered;
};

class Terminal
{
public:
    explicit Terminal(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios raw{};
        if (m_fd != -1 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~Terminal()
    {
        if (m_fd != -1)
            ::close(m_fd);
    }

    bool isOpen() const { return m_fd != -1; }

    bool send(const Bytes& bytes)
    {
        return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    Bytes receive(std::size_t count)
    {
        Bytes bytes;
        const auto deadline = Clock::now() + kPatience;
        while (bytes.size() < count) {
            pollfd fd = {m_fd, POLLIN, 0};
            if (::poll(&fd, 1, remainingMs(deadline)) <= 0)
                break;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    // Whether the other side went away: hang-up, error, or end of file.
    bool hungUp()
    {
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, remainingMs(Clock::now() + kPatience)) <= 0)
            return false;
        if ((fd.revents & (POLLHUP | POLLERR)) != 0)
            return true;
        std::uint8_t byte = 0;
        return ::read(m_fd, &byte, 1) <= 0;
    }

private:
    int m_fd;
};

class PravenorSimTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("pravenor_sim_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string errorLog() const
    {
        std::ifstream in(folder / "stderr.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
};

TEST_F(PravenorSimTool, AnswersAReadRequestOnItsTerminalAndLogsBothFrames)
{
    std::ofstream(folder / "unit.cfg", std::ios::binary) << "5    ->7\r\n";
    SimProcess sim({"--load=" + (folder / "unit.cfg").string()}, folder / "stderr.txt");
    ASSERT_TRUE(sim.started());
    const std::optional<std::string> path = sim.readLine();
    ASSERT_TRUE(path.has_value());

    Terminal terminal(*path);
    ASSERT_TRUE(terminal.isOpen()) << *path;
    ASSERT_TRUE(terminal.send(hex("01 01 80 7F 01 09 01 00 02 77 1F 05 1E 3A")));
    EXPECT_EQ(hexOf(terminal.receive(14)), "01 0D 00 01 06 77 1F 05 1E 77 1F 07 1E 77");

    EXPECT_EQ(sim.stop(), std::optional<int>(0));
    const std::string log = errorLog();
    EXPECT_NE(log.find("<< 01 09 01 00 02 77 1F 05 1E 3A"), std::string::npos) << log;
    EXPECT_NE(log.find(">> 01 0D 00 01 06 77 1F 05 1E 77 1F 07 1E 77"), std::string::npos) << log;
}

TEST_F(PravenorSimTool, PowerCutHangsUpAndRepointsTheLink)
{
    const std::filesystem::path link = folder / "converter";
    SimProcess sim({"--link", link.string(), "--power-cut=0.5:1.5"}, folder / "stderr.txt");
    ASSERT_TRUE(sim.started());
    const std::optional<std::string> first = sim.readLine();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), *first);
    Terminal before(link.string());
    ASSERT_TRUE(before.isOpen());

    const std::optional<std::string> second = sim.readLine();
    ASSERT_TRUE(second.has_value()) << errorLog();
    EXPECT_TRUE(before.hungUp());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), *second);

    Terminal after(link.string());
    ASSERT_TRUE(after.isOpen());
    ASSERT_TRUE(after.send(hex("01 09 01 00 02 77 1F 05 1E 3A")));
    EXPECT_EQ(hexOf(after.receive(14)), "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");

    EXPECT_EQ(sim.stop(), std::optional<int>(0));
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    EXPECT_NE(errorLog().find("-- power cut"), std::string::npos);
}

TEST_F(PravenorSimTool, CountServesEachConverterOnItsOwnTerminalWithItsOwnSettings)
{
    SimProcess sim({"--count=2"}, folder / "stderr.txt");
    ASSERT_TRUE(sim.started());
    for (const char* name : {"sim-1 ", "sim-2 "}) {
        const std::optional<std::string> line = sim.readLine();
        ASSERT_TRUE(line.has_value());
        ASSERT_EQ(line->rfind(name, 0), 0U) << *line;
        Terminal terminal(line->substr(6));
        ASSERT_TRUE(terminal.isOpen()) << *line;
        // Item 60, a bleep code: the unit's own number, sent as its hexadecimal digit.
        ASSERT_TRUE(terminal.send(hex("01 01 80 7F 01 09 01 00 02 77 1F 3C 1E 03")));
        const Bytes reply = terminal.receive(14);
        ASSERT_EQ(reply.size(), 14U) << name;
        EXPECT_EQ(reply[11], name[4]) << hexOf(reply);
    }
    EXPECT_EQ(sim.stop(), std::optional<int>(0));
    EXPECT_NE(errorLog().find("sim-2 [ "), std::string::npos) << errorLog();
}

} // namespace
} // namespace pravenor::sim
