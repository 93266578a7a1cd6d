// A fleet read at the standard pace against 1, 10, 50 and 100 simulated converters at 9600
// baud (or the counts given): pravenor-sim serves them all from one process, pravenor-cli
// reads them all in one. Prints each run's wall time beside the first count's, the tool's
// processor time (as cores: processor seconds per wall second) and its peak resident memory.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Child
{
    pid_t pid = -1;
    FILE* out = nullptr; // its standard output
};

// The program with its standard output on a pipe (or into outFile) and its standard error
// dropped.
Child spawn(const std::vector<std::string>& arguments, const char* outFile = nullptr)
{
    int pipeFds[2] = {-1, -1};
    if (outFile == nullptr && ::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFile == nullptr) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile,
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    Child child;
    const int failed = ::posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (outFile == nullptr) {
        ::close(pipeFds[1]);
        child.out = failed == 0 ? ::fdopen(pipeFds[0], "r") : nullptr;
    }
    if (failed != 0)
        child.pid = -1;
    return child;
}

struct Ended
{
    int status = -1;
    double cpuSeconds = 0;
    double peakMegabytes = 0;
};

Ended wait(pid_t pid)
{
    int status = 0;
    rusage usage{};
    Ended ended;
    if (::wait4(pid, &status, 0, &usage) != pid)
        return ended;
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    ended.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    ended.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return ended;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1, 10, 50, 100};
    const auto folder = std::filesystem::temp_directory_path() / "pravenor-fleet-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    std::printf("%6s %9s %8s %9s %7s %9s %9s %s\n", "units", "wall s", "x first", "cli cpu s",
                "cores", "peak MB", "sim cpu s", "exit");
    double firstWall = 0;
    for (const int count : counts) {
        Child simulator = spawn({PRAVENOR_SIM_PATH, "--count=" + std::to_string(count)});
        if (simulator.pid < 0 || simulator.out == nullptr) {
            std::fprintf(stderr, "cannot start %s\n", PRAVENOR_SIM_PATH);
            return 1;
        }
        const auto sites = folder / ("sites-" + std::to_string(count) + ".txt");
        {
            std::ofstream file(sites);
            char* line = nullptr;
            std::size_t size = 0;
            // One converter alone prints only its terminal; a fleet prints sites-file lines.
            for (int unit = 0; unit<count&& ::getline(&line, &size, simulator.out)> 0; ++unit)
                file << (count == 1 ? "sim-1 " : "") << line;
            std::free(line);
        }
        const auto started = std::chrono::steady_clock::now();
        const Child cli =
            spawn({PRAVENOR_CLI_PATH, "--home", (folder / "home").string(), "-q", "fleet", "read",
                   sites.string(), "-o", (folder / ("out-" + std::to_string(count))).string()},
                  (folder / ("table-" + std::to_string(count) + ".txt")).c_str());
        const Ended tool = wait(cli.pid);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ::kill(simulator.pid, SIGTERM);
        std::fclose(simulator.out);
        const Ended served = wait(simulator.pid);
        if (firstWall == 0)
            firstWall = wall;
        std::printf("%6d %9.2f %8.3f %9.2f %7.3f %9.1f %9.2f %d\n", count, wall, wall / firstWall,
                    tool.cpuSeconds, tool.cpuSeconds / wall, tool.peakMegabytes, served.cpuSeconds,
                    tool.status);
        std::fflush(stdout);
    }
    return 0;
}
