// The tool through serial device servers on the loopback: ser2net itself (raw and telnet
// with the COM-PORT-OPTION) with pravenor-sim's pseudo-terminal behind it, and pravenor-sim
// serving on the network on its own.
#include "cli_run.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

// A loopback port nothing listens on now.
quint16 FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// Whether something listens on 127.0.0.1:port, read from the kernel's table so that asking
// does not open a connection (ser2net would open the device for it).
bool Listening(quint16 port)
{
    std::ifstream table("/proc/net/tcp");
    const std::string local =
        "0100007F:" + QString("%1").arg(port, 4, 16, QChar('0')).toUpper().toStdString();
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, address, remote, state;
        fields >> slot >> address >> remote >> state;
        if (address == local && state == "0A")
            return true;
    }
    return false;
}

// ser2net in the foreground on a loopback port, with the terminal behind it.
class Ser2net
{
public:
    Ser2net(const std::filesystem::path& folder, const std::string& device, bool telnet)
        : m_config(folder / "ser2net.yaml"), m_pidFile(folder / "ser2net.pid"), m_port(FreePort())
    {
        TempFolder::write(m_config, "connection: &converter\n"
                                    "  accepter: " +
                                        std::string(telnet ? "telnet(rfc2217),tcp," : "tcp,") +
                                        "127.0.0.1," + std::to_string(m_port) +
                                        "\n"
                                        "  connector: serialdev," +
                                        device +
                                        ",9600n81,local\n"
                                        "  options:\n"
                                        "    chardelay: false\n");
        m_address =
            std::string(telnet ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(m_port);
    }
    ~Ser2net() { stop(); }

    bool start()
    {
        const QString program =
            QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/usr/bin", "/sbin"});
        if (program.isEmpty())
            return false;
        m_process.setProgram(program);
        m_process.setArguments({"-n", "-d", "-c", Q(m_config), "-P", Q(m_pidFile)});
        m_process.start();
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!Listening(m_port) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        return Listening(m_port);
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    QString address() const { return QString::fromStdString(m_address); }

private:
    std::filesystem::path m_config;
    std::filesystem::path m_pidFile;
    quint16 m_port;
    std::string m_address;
    QProcess m_process;
};

// A unit whose texts hold 0xFF, which the telnet line must double and undouble.
constexpr const char* kUnit =
    "9    ->1\r\n10    ->2\r\n60    ->12\r\n100    ->Hall \xFF door\r\n101    ->\xFF\xFF\r\n";
constexpr const char* kSite = "9    ->1\r\n10    ->3\r\n100    ->Caf\xFF\r\n147    ->\xFF end\r\n";

// A simulator with the unit loaded, on its own terminal (or network port), in folder/name.
std::unique_ptr<SimProcess> Converter(const RunFolder& folder, const QString& name,
                                      QStringList more = {})
{
    TempFolder::write(folder / "unit.cfg", kUnit);
    if (more.isEmpty())
        more = {"--link", Q(folder / name.toStdString())};
    return std::make_unique<SimProcess>(QStringList{"--load", Q(folder / "unit.cfg")} + more);
}

// The frames a simulator's log shows, in order, without their times.
std::vector<std::string> Frames(const std::string& log)
{
    std::vector<std::string> frames;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t at = line.find("] ");
        if (line.starts_with("[") && at != std::string::npos)
            frames.push_back(line.substr(at + 2));
    }
    return frames;
}

// The frames less what timing alone decides: the wake-up, sent again when an exchange took
// longer than the converter stays awake, and a request sent again after a time-out. A busy
// machine can hold up either line for seconds; the bytes each frame carries must not differ.
std::vector<std::string> Exchanges(const std::vector<std::string>& frames)
{
    const std::string wakeUp = "<< 01 01  (bad checksum, ignored)";
    std::vector<std::string> kept;
    for (const std::string& frame : frames) {
        if (frame != wakeUp && (kept.empty() || kept.back() != frame))
            kept.push_back(frame);
    }
    return kept;
}

// Where two frame lists part, with the frames around it: GoogleTest would print only the
// first 32 entries of each, usually all alike.
std::string WhereTheyPart(const std::vector<std::string>& overNetwork,
                          const std::vector<std::string>& direct)
{
    std::size_t at = 0;
    while (at < overNetwork.size() && at < direct.size() && overNetwork[at] == direct[at])
        ++at;
    std::string shown = "frames part at entry " + std::to_string(at) + " of " +
                        std::to_string(overNetwork.size()) + " / " + std::to_string(direct.size());
    const auto around = [&](const char* name, const std::vector<std::string>& frames) {
        shown.append("\n").append(name).append(":");
        for (std::size_t i = at < 3 ? 0 : at - 3; i < std::min(at + 4, frames.size()); ++i)
            shown.append("\n  ").append(std::to_string(i)).append(" ").append(frames[i]);
    };
    around("over the network", overNetwork);
    around("over the terminal", direct);
    return shown;
}

struct Started
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    CliRun wait(std::chrono::milliseconds bound)
    {
        CliRun run;
        run.ended = process->waitForFinished(static_cast<int>(bound.count()));
        if (!run.ended) {
            process->kill();
            process->waitForFinished(3000);
        }
        run.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        run.out = process->readAllStandardOutput().toStdString();
        run.err = process->readAllStandardError().toStdString();
        return run;
    }
};

Started StartCli(const QStringList& arguments)
{
    Started started;
    started.process->setProgram(PRAVENOR_CLI_PATH);
    started.process->setArguments(arguments);
    started.process->start();
    started.process->waitForStarted(5000);
    return started;
}

class CliThroughSer2net : public ::testing::TestWithParam<bool>
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
    RunFolder folder;
};

// Both lines run side by side, each against its own simulator holding the same unit.
TEST_P(CliThroughSer2net, ReadAllAndWriteAllGiveTheSameFileAndFramesAsThePseudoTerminal)
{
    const bool telnet = GetParam();
    auto direct = Converter(folder, "direct");
    auto behind = Converter(folder, "behind");
    ASSERT_TRUE(direct->ready() && behind->ready());
    Ser2net server(folder.path(), (folder / "behind").string(), telnet);
    ASSERT_TRUE(server.start()) << "ser2net must be installed (Debian package ser2net)";
    TempFolder::write(folder / "site.cfg", kSite);
    std::filesystem::create_directories(folder / "home-direct");
    std::filesystem::create_directories(folder / "home-net");

    auto both = [&](const QStringList& onTerminal, const QStringList& onNetwork) {
        Started a = StartCli(
            QStringList{"-q", "--home", Q(folder / "home-direct"), "--port", Q(folder / "direct")} +
            onTerminal);
        Started b = StartCli(
            QStringList{"-q", "--home", Q(folder / "home-net"), "--port", server.address()} +
            onNetwork);
        return std::make_pair(a.wait(60s), b.wait(60s));
    };
    // The read at the fast pace, the write at the standard one: both paces over the network.
    const auto [readDirect, readNet] = both({"--fast", "read", "-o", Q(folder / "direct.cfg")},
                                            {"--fast", "read", "-o", Q(folder / "net.cfg")});
    ASSERT_EQ(readDirect.status, 0) << readDirect.err;
    ASSERT_EQ(readNet.status, 0) << readNet.err;
    const std::string file = TempFolder::read(folder / "direct.cfg");
    EXPECT_NE(file.find("100    ->Hall \xFF door\r\n101    ->\xFF\xFF\r\n"), std::string::npos);
    EXPECT_EQ(TempFolder::read(folder / "net.cfg"), file);

    const auto [writeDirect, writeNet] =
        both({"write", Q(folder / "site.cfg")}, {"write", Q(folder / "site.cfg")});
    ASSERT_EQ(writeDirect.status, 0) << writeDirect.err;
    ASSERT_EQ(writeNet.status, 0) << writeNet.err;
    const std::vector<std::string> sent = Exchanges(Frames(direct->stopAndTakeLog()));
    EXPECT_GT(sent.size(), 500U);
    const std::vector<std::string> overNetwork = Exchanges(Frames(behind->stopAndTakeLog()));
    EXPECT_TRUE(overNetwork == sent) << WhereTheyPart(overNetwork, sent);
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, CliThroughSer2net, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& row) {
                             return row.param ? "Rfc2217" : "Raw";
                         });

using CliThroughAServerThatGoesAway = CliOverPty;

TEST_F(CliThroughAServerThatGoesAway, ReadAllEndsWholeWhenTheServerIsAwayForAFewSeconds)
{
    auto converter = Converter(folder, "converter");
    ASSERT_TRUE(converter->ready());
    Ser2net server(folder.path(), (folder / "converter").string(), false);
    ASSERT_TRUE(server.start());
    Started read = StartCli({"--home", Q(folder.path()), "--port", server.address(), "read", "-o",
                             Q(folder / "read.cfg")});
    std::this_thread::sleep_for(6s);
    server.stop();
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(server.start());
    const CliRun run = read.wait(90s);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("the server closed the connection"), std::string::npos) << run.err;
    const std::string file = TempFolder::read(folder / "read.cfg");
    EXPECT_NE(file.find("100    ->Hall \xFF door\r\n"), std::string::npos);
    EXPECT_TRUE(file.ends_with("\r\n147    ->\r\n"));
}

TEST(CliOverTheNetwork, AnAddressWhereNothingListensExitsThreeNamingIt)
{
    EnsureQtApplication();
    RunFolder folder;
    for (const QString scheme : {"tcp", "rfc2217"}) {
        const QString address = scheme + "://127.0.0.1:" + QString::number(FreePort());
        const CliRun run = RunCli(
            {"--home", Q(folder.path()), "--port-wait", "2", "--port", address, "read"}, 20s);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_LT(run.took, 7s);
        EXPECT_NE(
            run.err.find("cannot open the port " + address.toStdString() + ": connection refused"),
            std::string::npos)
            << run.err;
    }
}

// The simulator's own network modes, for the demo and for tests without a device server.
TEST(CliOverTheNetwork, TheSimulatorServesRawAndTelnet)
{
    EnsureQtApplication();
    RunFolder folder;
    for (const QStringList& mode :
         {QStringList{"--tcp", "0"}, QStringList{"--tcp", "[::1]:0", "--rfc2217"}}) {
        auto converter = Converter(folder, {}, mode);
        ASSERT_TRUE(converter->ready());
        const QString address = QString::fromStdString(converter->firstLine());
        EXPECT_TRUE(address.startsWith(mode.size() == 3 ? "rfc2217://[::1]:" : "tcp://127.0.0.1:"))
            << address.toStdString();
        const CliRun run =
            RunCli({"--home", Q(folder.path()), "--port", address, "get", "10", "100", "101"}, 20s);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "10=4800 baud\n100=Hall \xC3\xBF door\n101=\xC3\xBF\xC3\xBF\n")
            << run.err;
    }
}

} // namespace
} // namespace pravenor::test
