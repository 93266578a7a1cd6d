// The network port against a server played by the test on the loopback.
#include "link/net/network_port.h"
#include "support/qt_event_loop.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace pravenor {
namespace {

using namespace std::chrono_literals;
using link::NetworkPort;
using link::OpenResult;
using test::PumpUntil;

class NetworkPortTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    link::LineAddress address(const char* scheme) const
    {
        return *link::ParseLineAddress(std::string(scheme) +
                                       "://127.0.0.1:" + std::to_string(server.serverPort()))
                    .address;
    }
    QTcpSocket* accepted()
    {
        PumpUntil([&] { return server.hasPendingConnections(); });
        return server.nextPendingConnection();
    }

    QTcpServer server;
    NetworkPort port;
    std::vector<std::string> notes;
};

TEST_F(NetworkPortTest, BytesWrittenWhileConnectingGoOutAndADroppedConnectionIsALostPort)
{
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ASSERT_EQ(port.open(address("tcp"), {}), OpenResult::Opened);
    EXPECT_TRUE(port.isOpen()); // still connecting
    EXPECT_TRUE(port.writeByte(0x01));
    EXPECT_TRUE(port.writeByte(0xFF));
    QTcpSocket* converter = accepted();
    ASSERT_NE(converter, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return converter->bytesAvailable() >= 2; }));
    EXPECT_EQ(converter->readAll(), QByteArray("\x01\xFF", 2));
    converter->write("\xFF\x06", 2);
    ASSERT_TRUE(PumpUntil([&] { return port.bytesWaiting() == 2; }));
    EXPECT_EQ(port.readByte(), 0xFF);

    converter->close();
    ASSERT_TRUE(PumpUntil([&] { return !port.isOpen(); }));
    EXPECT_EQ(port.failureReason(), "the server closed the connection");
    // The next opening says so instead of trying again at once; the one after tries.
    EXPECT_EQ(port.open(address("tcp"), {}), OpenResult::Failed);
    EXPECT_EQ(port.open(address("tcp"), {}), OpenResult::Opened);
    EXPECT_NE(accepted(), nullptr);
}

TEST_F(NetworkPortTest, TelnetHoldsBytesUntilTheLineIsSetAndNotesWhatWasNotConfirmed)
{
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    port.setNoteHandler([&](const std::string& note) { notes.push_back(note); });
    ASSERT_EQ(port.open(address("rfc2217"), {}), OpenResult::Opened);
    port.writeByte(0xFF);
    QTcpSocket* server2217 = accepted();
    ASSERT_NE(server2217, nullptr);
    server2217->write("\xFF\xFD\x2C", 3); // DO COM-PORT-OPTION
    QByteArray received;
    ASSERT_TRUE(PumpUntil([&] {
        received += server2217->readAll();
        return received.endsWith(QByteArray::fromHex("FFFA2C0501FFF0")); // the last setting asked
    }));
    EXPECT_FALSE(received.contains(QByteArray::fromHex("FFFF")))
        << "the converter's byte went before the line was set";
    // Speed, data bits, parity and stop bits confirmed; flow control left out.
    server2217->write(
        QByteArray::fromHex("FFFA2C6500002580FFF0FFFA2C6608FFF0FFFA2C6701FFF0FFFA2C6801FFF0"));
    ASSERT_TRUE(
        PumpUntil([&] { return server2217->readAll() == QByteArray::fromHex("FFFF"); }, 2s));
    ASSERT_TRUE(PumpUntil([&] { return notes.size() == 2; }, 2s));
    EXPECT_EQ(notes[1], address("rfc2217").text() + ": flow control none not confirmed; going on.");
}

TEST_F(NetworkPortTest, ARefusedConnectionClosesThePortWithItsReason)
{
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const link::LineAddress nobody = address("tcp");
    server.close();
    ASSERT_EQ(port.open(nobody, {}), OpenResult::Opened);
    ASSERT_TRUE(PumpUntil([&] { return !port.isOpen(); }, 5s));
    EXPECT_EQ(port.failureReason(), "connection refused, nothing listens there");
    EXPECT_EQ(port.open(link::LineAddress::Device("/dev/ttyUSB0"), {}), OpenResult::Failed);
}

// A server that sends without end, or never reads what it is sent, ends the line with its
// reason instead of filling memory.
TEST_F(NetworkPortTest, AFloodOrADeafServerEndsTheLineWithinBounds)
{
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ASSERT_EQ(port.open(address("tcp"), {}), OpenResult::Opened);
    QTcpSocket* flood = accepted();
    ASSERT_NE(flood, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return port.ready(); }));
    const QByteArray chunk(16 * 1024, 'x');
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (flood->bytesToWrite() < chunk.size())
                flood->write(chunk);
            EXPECT_LE(static_cast<std::size_t>(port.bytesWaiting()), NetworkPort::kInputLimit);
            return !port.isOpen();
        },
        5s));
    EXPECT_NE(port.failureReason().find("floods the line"), std::string::npos)
        << port.failureReason();

    port.close();
    ASSERT_EQ(port.open(address("tcp"), {}), OpenResult::Opened);
    QTcpSocket* deaf = accepted();
    ASSERT_NE(deaf, nullptr);
    deaf->setReadBufferSize(1); // reads nothing more, so the kernel's buffers fill up
    ASSERT_TRUE(PumpUntil([&] { return port.ready(); }));
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (int n = 0; n < 4096 && port.isOpen(); ++n)
                port.writeByte(0x55);
            return !port.isOpen();
        },
        10s));
    EXPECT_EQ(port.failureReason(), "the server does not read what it is sent; the line is dead");
}

} // namespace
} // namespace pravenor
