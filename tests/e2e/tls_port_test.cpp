// The network port over TLS against ser2net itself, with certificates made here by openssl,
// and pravenor-sim on a pseudo-terminal as the converter behind it.
#include "link/frames.h"
#include "link/net/network_port.h"
#include "support/qt_event_loop.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

namespace pravenor {
namespace {

using namespace std::chrono_literals;
using link::NetworkPort;
using link::OpenResult;
using test::PumpUntil;
using test::TempFolder;

bool Shell(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Ports free now and all different: each probe keeps its port until every one is chosen, so
// that no two accepters are given the same one.
std::vector<std::uint16_t> FreePorts(std::size_t count)
{
    std::vector<std::unique_ptr<QTcpServer>> probes;
    std::vector<std::uint16_t> ports;
    for (std::size_t n = 0; n < count; ++n) {
        probes.push_back(std::make_unique<QTcpServer>());
        probes.back()->listen(QHostAddress::LocalHost);
        ports.push_back(probes.back()->serverPort());
    }
    return ports;
}

// Passes bytes both ways between the program and the server, and keeps what it passed.
class RecordingRelay
{
public:
    explicit RecordingRelay(std::uint16_t target)
    {
        m_server.listen(QHostAddress::LocalHost);
        // One connection at a time: a new one replaces the last, as the program reconnects.
        QObject::connect(&m_server, &QTcpServer::newConnection, [this, target] {
            if (m_client)
                m_client->abort();
            m_upstream.abort();
            m_client = m_server.nextPendingConnection();
            m_upstream.connectToHost(QHostAddress::LocalHost, target);
            QObject::connect(m_client, &QTcpSocket::readyRead, [this] {
                const QByteArray bytes = m_client->readAll();
                passed += bytes;
                m_upstream.write(bytes);
            });
        });
        QObject::connect(&m_upstream, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = m_upstream.readAll();
            passed += bytes;
            if (m_client)
                m_client->write(bytes);
        });
    }
    std::uint16_t port() const { return m_server.serverPort(); }

    QByteArray passed;

private:
    QTcpServer m_server;
    QTcpSocket m_upstream;
    QTcpSocket* m_client = nullptr;
};

class TlsPortTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void SetUp() override
    {
        if (!std::filesystem::exists("/usr/sbin/ser2net") || !Shell("openssl version"))
            GTEST_SKIP() << "ser2net (/usr/sbin/ser2net) or openssl is not installed";
        ASSERT_TRUE(makeCertificates());
        TempFolder::write(folder / "unit.cfg", "10    ->2\r\n100    ->Hall door\r\n");
        simulator = std::make_unique<test::SimProcess>(
            QStringList{"--link", path("converter"), "--load", path("unit.cfg")});
        ASSERT_TRUE(simulator->ready());
        startSer2net();
    }
    void TearDown() override
    {
        if (ser2net.state() != QProcess::NotRunning) {
            ser2net.terminate();
            if (!ser2net.waitForFinished(3000))
                ser2net.kill();
        }
    }

    QString path(const std::string& name) const
    {
        return QString::fromStdString((folder / name).string());
    }
    std::string file(const std::string& name) const { return (folder / name).string(); }

    // An authority, a second one nobody trusts, and server and client certificates.
    bool makeCertificates()
    {
        const std::string dir = folder.path().string();
        auto authority = [&](const std::string& name) {
            return Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj /CN=" + name +
                         " -keyout " + dir + "/" + name + ".key -out " + dir + "/" + name + ".pem");
        };
        auto certificate = [&](const std::string& name, const std::string& by,
                               const std::string& names, int days) {
            const std::string base = dir + "/" + name;
            std::ofstream(base + ".ext") << "subjectAltName=" << names << "\n";
            return Shell("openssl req -newkey rsa:2048 -nodes -subj /CN=" + name + " -keyout " +
                         base + ".key -out " + base + ".csr") &&
                   Shell("openssl x509 -req -in " + base + ".csr -CA " + dir + "/" + by +
                         ".pem -CAkey " + dir + "/" + by + ".key -CAcreateserial -days " +
                         std::to_string(days) + " -extfile " + base + ".ext -out " + base + ".pem");
        };
        const std::string local = "DNS:localhost,IP:127.0.0.1";
        return authority("authority") && authority("stranger") &&
               certificate("server", "authority", local, 30) &&
               certificate("elsewhere", "authority", "DNS:plant.example", 30) &&
               certificate("expired", "authority", local, -1) &&
               certificate("foreign", "stranger", local, 30) &&
               certificate("engineer", "authority", "DNS:engineer", 30) &&
               Shell("mkdir -p " + dir + "/auth/engineer/allowed_certs && cp " + dir +
                     "/authority.pem " + dir + "/auth/engineer/allowed_certs/ && openssl rehash " +
                     dir + "/auth/engineer/allowed_certs");
    }

    // One accepter per case, all on the one converter.
    void startSer2net()
    {
        const std::map<std::string, std::string> accepters = {
            {"telnet", "telnet(rfc2217),ssl(key={d}/server.key,cert={d}/server.pem)"},
            {"raw", "ssl(key={d}/server.key,cert={d}/server.pem)"},
            {"elsewhere", "ssl(key={d}/elsewhere.key,cert={d}/elsewhere.pem)"},
            {"expired", "ssl(key={d}/expired.key,cert={d}/expired.pem)"},
            {"foreign", "ssl(key={d}/foreign.key,cert={d}/foreign.pem)"},
            {"clientauth", "ssl(key={d}/server.key,cert={d}/server.pem,clientauth)"},
            {"plain", "telnet(rfc2217)"},
        };
        std::string config;
        const std::vector<std::uint16_t> free = FreePorts(accepters.size());
        std::size_t next = 0;
        for (const auto& [name, accepter] : accepters) {
            ports[name] = free[next++];
            std::string text = accepter;
            for (auto at = text.find("{d}"); at != std::string::npos; at = text.find("{d}"))
                text.replace(at, 3, folder.path().string());
            config += "connection: &" + name + "\n  accepter: " + text + ",tcp,127.0.0.1," +
                      std::to_string(ports[name]) + "\n  connector: serialdev," +
                      file("converter") +
                      ",9600n81,local\n  options:\n    authdir: " + file("auth") + "\n";
        }
        TempFolder::write(folder / "ser2net.yaml", config);
        ser2net.start("/usr/sbin/ser2net", {"-n", "-u", "-c", path("ser2net.yaml")});
        ASSERT_TRUE(ser2net.waitForStarted(5000));
        ASSERT_TRUE(PumpUntil(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, ports["plain"]);
                return probe.waitForConnected(100);
            },
            5s));
    }

    link::LineAddress address(const std::string& scheme, std::uint16_t number) const
    {
        return *link::ParseLineAddress(scheme + "://localhost:" + std::to_string(number)).address;
    }

    // A read of item 100 on a fresh connection: the converter's reply, unframed. ser2net
    // opens the converter's device for each connection and may drop what comes while it
    // does, so the program's retries are played: three connections, three requests each.
    std::string readHallDoor(const link::LineAddress& line)
    {
        std::string reply;
        for (int connection = 0; connection < 3; ++connection) {
            port.close();
            if (port.open(line, {}) != OpenResult::Opened ||
                !PumpUntil([&] { return port.ready() || !port.isOpen(); }, 8s) || !port.ready()) {
                reply = "not ready: " + port.failureReason();
                PumpUntil([] { return false; }, 1s);
                continue;
            }
            for (int request = 0; request < 3; ++request) {
                for (std::uint8_t byte : link::ReadRequestFrame(100))
                    port.writeByte(byte);
                if (PumpUntil(
                        [&] {
                            while (port.bytesWaiting() > 0)
                                reply += static_cast<char>(port.readByte());
                            return reply.find("Hall door") != std::string::npos;
                        },
                        1500ms))
                    return reply;
            }
        }
        return reply;
    }

    TempFolder folder;
    std::unique_ptr<test::SimProcess> simulator;
    QProcess ser2net;
    std::map<std::string, std::uint16_t> ports;
    NetworkPort port;
};

// Good cases both ways, raw and telnet, through a relay that sees only ciphertext.
TEST_F(TlsPortTest, TheConvertersBytesCrossTheNetworkOnlyEncrypted)
{
    for (const char* name : {"raw", "telnet"}) {
        const std::string scheme = std::string(name) == "telnet" ? "rfc2217+tls" : "tcp+tls";
        RecordingRelay relay(ports[name]);
        port.setTlsTrust({file("authority.pem"), "", "", "", {}});
        const std::string reply = readHallDoor(address(scheme, relay.port()));
        EXPECT_NE(reply.find("Hall door"), std::string::npos) << name << ": " << reply;
        EXPECT_GT(relay.passed.size(), 0) << name;
        EXPECT_FALSE(relay.passed.contains("Hall door")) << name;
        EXPECT_FALSE(relay.passed.contains(QByteArray::fromHex("0109010002771F641E"))) << name;
        port.close();
    }
}

TEST_F(TlsPortTest, EveryRefusalSaysWhyAndNothingReachesTheConverter)
{
    const std::string authority = file("authority.pem");
    std::string serverPin;
    {
        QFile pem(path("server.pem"));
        pem.open(QIODevice::ReadOnly);
        serverPin =
            "SHA256:" +
            QSslCertificate(pem.readAll()).digest(QCryptographicHash::Sha256).toHex().toStdString();
    }
    struct Row
    {
        const char* name;
        std::string scheme;
        const char* accepter;
        link::TlsTrust trust;
        std::string said; // a piece of the reason; empty: the line works
    };
    const Row rows[] = {
        {"unknown authority",
         "tcp+tls",
         "raw",
         {},
         "unknown authority (its fingerprint is SHA256:"},
        {"pinned, the same", "tcp+tls", "raw", {"", serverPin, "", "", {}}, ""},
        {"trusted for its address",
         "tcp+tls",
         "raw",
         {"", "", "", "", {{address("tcp+tls", ports["raw"]).text(), serverPin}}},
         ""},
        {"trusted for another address",
         "tcp+tls",
         "foreign",
         {"", "", "", "", {{address("tcp+tls", ports["raw"]).text(), serverPin}}},
         "unknown authority"},
        {"pinned, changed",
         "tcp+tls",
         "foreign",
         {"", serverPin, "", "", {}},
         "has changed: pinned"},
        {"another authority",
         "tcp+tls",
         "foreign",
         {authority, "", "", "", {}},
         "unknown authority"},
        {"wrong name",
         "tcp+tls",
         "elsewhere",
         {authority, "", "", "", {}},
         "is for plant.example, not for localhost"},
        {"expired", "tcp+tls", "expired", {authority, "", "", "", {}}, "certificate expired on"},
        {"client certificate wanted",
         "tcp+tls",
         "clientauth",
         {authority, "", "", "", {}},
         "wants a client certificate"},
        {"client certificate given",
         "tcp+tls",
         "clientauth",
         {authority, "", file("engineer.pem"), file("engineer.key"), {}},
         ""},
        {"unreadable key",
         "tcp+tls",
         "raw",
         {authority, "", file("engineer.pem"), file("nowhere.key"), {}},
         "cannot read the client key"},
        {"TLS to a plain port",
         "rfc2217+tls",
         "plain",
         {authority, "", "", "", {}},
         "TLS handshake"},
        {"plain to a TLS port", "rfc2217", "raw", {}, "a TLS port? then tcp+tls://"},
    };
    for (const Row& row : rows) {
        port.setTlsTrust(row.trust);
        const link::LineAddress line = address(row.scheme, ports[row.accepter]);
        if (row.said.empty()) {
            const std::string reply = readHallDoor(line);
            EXPECT_NE(reply.find("Hall door"), std::string::npos) << row.name << ": " << reply;
        } else {
            const OpenResult opened = port.open(line, {});
            // Written while the line is not yet ready: held, and dropped with the refusal.
            for (std::uint8_t byte : link::ReadRequestFrame(10))
                port.writeByte(byte);
            EXPECT_TRUE(opened == OpenResult::Failed ||
                        PumpUntil([&] { return !port.isOpen(); }, 8s))
                << row.name;
            EXPECT_NE(port.failureReason().find(row.said), std::string::npos)
                << row.name << ": " << port.failureReason();
            // What the window shows to ask whether to trust it.
            if (row.said == "unknown authority") {
                ASSERT_TRUE(port.unknownCertificate().has_value()) << row.name;
                EXPECT_EQ(port.unknownCertificate()->subject, "foreign") << row.name;
            }
        }
        port.close();
    }
    // Only the two good rows' requests for item 100 reached the converter.
    const std::string log = simulator->stopAndTakeLog();
    EXPECT_EQ(log.find("01 09 01 00 02 77 1F 0A"), std::string::npos) << log;
}

} // namespace
} // namespace pravenor
