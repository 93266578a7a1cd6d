#include "link/qt/qt_serial_port.h"
#include "support/as_ordinary_user.h"
#include "support/qt_event_loop.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ostream>
#include <pty.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pravenor::link {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

using test::EnsureQtApplication;
using test::PumpUntil;

// A pseudo-terminal in raw mode: the port under test opens the slave by its path, the test
// plays the converter on the master.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) {
            return;
        }
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        char name[128] = {};
        if (::ptsname_r(m_master, name, sizeof name) == 0) {
            m_path = name;
        }
    }
    ~PseudoTerminal()
    {
        closeMaster();
        if (m_slave >= 0) {
            ::close(m_slave);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return m_master >= 0 && !m_path.empty(); }
    const std::string& path() const { return m_path; }

    void send(const Bytes& bytes) const
    {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Collects what the port sends, keeping the event loop running so that it can send.
    Bytes receive(std::size_t count) const
    {
        Bytes received;
        PumpUntil([&] {
            std::uint8_t chunk[4096];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n > 0) {
                received.insert(received.end(), chunk, chunk + n);
            }
            return received.size() >= count;
        });
        return received;
    }

    // The line settings as the driver holds them, read through the test's own slave handle.
    termios slaveSettings() const
    {
        termios settings{};
        ::tcgetattr(m_slave, &settings);
        return settings;
    }

    void closeMaster()
    {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

Bytes readAll(QtSerialPort& port)
{
    Bytes bytes;
    for (int byte = port.readByte(); byte >= 0; byte = port.readByte()) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

// Zero bytes, 0xFF, CR and LF, XON and XOFF, DEL: everything a tty might translate or eat.
const Bytes kAwkwardBytes = {0x00, 0x01, 0xFF, 0x0D, 0x0A, 0x11, 0x13, 0x7F, 0x80, 0x00, 0x03};

class QtSerialPortTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_pty.valid()) << "no pseudo-terminal available";
        ASSERT_EQ(m_port.open(m_pty.path(), LineSettings{}), OpenResult::Opened)
            << m_port.lastErrorText();
        ASSERT_TRUE(m_port.isOpen());
    }

    PseudoTerminal m_pty;
    QtSerialPort m_port;
};

TEST_F(QtSerialPortTest, ReadByte_DeliversEveryByteInOrderOneAtATime)
{
    m_pty.send(kAwkwardBytes);
    const auto size = static_cast<int>(kAwkwardBytes.size());
    ASSERT_TRUE(PumpUntil([&] { return m_port.bytesWaiting() >= size; }))
        << "waiting: " << m_port.bytesWaiting();
    EXPECT_EQ(m_port.bytesWaiting(), size);

    EXPECT_EQ(m_port.readByte(), 0x00);
    EXPECT_EQ(m_port.bytesWaiting(), size - 1);
    const Bytes rest(kAwkwardBytes.begin() + 1, kAwkwardBytes.end());
    EXPECT_EQ(readAll(m_port), rest);
    EXPECT_EQ(m_port.bytesWaiting(), 0);
    EXPECT_EQ(m_port.readByte(), -1);
}

TEST_F(QtSerialPortTest, WriteByte_BytesArriveOnTheLineUnchanged)
{
    for (const std::uint8_t byte : kAwkwardBytes) {
        EXPECT_TRUE(m_port.writeByte(byte));
    }
    EXPECT_EQ(m_pty.receive(kAwkwardBytes.size()), kAwkwardBytes);
}

TEST_F(QtSerialPortTest, WriteByte_BurstLongerThanTheDriverQueueArrivesComplete)
{
    // More than a pseudo-terminal buffers at once: writeByte must queue, not wait or drop.
    Bytes burst(20000);
    for (std::size_t i = 0; i < burst.size(); ++i) {
        burst[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (const std::uint8_t byte : burst) {
        ASSERT_TRUE(m_port.writeByte(byte));
    }
    EXPECT_EQ(m_pty.receive(burst.size()), burst);
    EXPECT_TRUE(m_port.isOpen());
}

TEST_F(QtSerialPortTest, DiscardInput_DropsWaitingBytesAndKeepsReceiving)
{
    m_pty.send({0x01, 0x02, 0x03});
    ASSERT_TRUE(PumpUntil([&] { return m_port.bytesWaiting() == 3; }));

    m_port.discardInput();
    EXPECT_EQ(m_port.bytesWaiting(), 0);
    EXPECT_EQ(m_port.readByte(), -1);

    m_pty.send({0x42});
    ASSERT_TRUE(PumpUntil([&] { return m_port.bytesWaiting() > 0; }));
    EXPECT_EQ(readAll(m_port), Bytes{0x42});
}

TEST_F(QtSerialPortTest, MasterClosed_IsOpenTurnsFalseAtOnceAndTrafficIsRefused)
{
    // No event processing in between: the engine may ask before Qt has seen anything. The
    // port asks the system at most once a millisecond, so that is as long as it may take.
    m_pty.closeMaster();
    std::this_thread::sleep_for(2ms);
    EXPECT_FALSE(m_port.isOpen());
    EXPECT_FALSE(m_port.lastErrorText().empty());
    EXPECT_EQ(m_port.readByte(), -1);
    EXPECT_EQ(m_port.bytesWaiting(), 0);
    EXPECT_FALSE(m_port.writeByte(0x01));
}

TEST_F(QtSerialPortTest, MasterClosed_EventLoopAloneNoticesTheLoss)
{
    // Only the event loop runs here, as between the window's ticks: Qt's read failure must
    // reach the port's error handler without isOpen() polling for it.
    m_pty.closeMaster();
    EXPECT_TRUE(PumpUntil([&] { return !m_port.lastErrorText().empty(); }));
    EXPECT_FALSE(m_port.isOpen());
}

TEST_F(QtSerialPortTest, Open_AgainReleasesTheFirstDevice)
{
    PseudoTerminal second;
    ASSERT_TRUE(second.valid());
    ASSERT_EQ(m_port.open(second.path(), LineSettings{}), OpenResult::Opened);

    // Another port can take the first device only if this one let go of it.
    QtSerialPort other;
    EXPECT_EQ(other.open(m_pty.path(), LineSettings{}), OpenResult::Opened)
        << other.lastErrorText();

    second.send({0x55});
    ASSERT_TRUE(PumpUntil([&] { return m_port.bytesWaiting() > 0; }));
    EXPECT_EQ(readAll(m_port), Bytes{0x55});

    // Closed before its pseudo-terminal goes: Qt drops the device's lock file only after the
    // device, and a test process that gets the freed number meanwhile would find it locked.
    m_port.close();
}

TEST_F(QtSerialPortTest, Open_ASecondOpenerIsToldThePortIsInUseUnderAnyNameOfTheDevice)
{
    // As root too: the exclusive mode of a tty does not hold against root, the lock does.
    char folder[] = "/tmp/pravenor-lock-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string link = std::string(folder) + "/converter";
    ASSERT_EQ(::symlink(m_pty.path().c_str(), link.c_str()), 0);
    const std::string inUse =
        "the port is in use by another program (process " + std::to_string(::getpid()) + ")";
    for (const std::string& name : {m_pty.path(), link}) {
        QtSerialPort other;
        EXPECT_EQ(other.open(name, LineSettings{}), OpenResult::InUse) << name;
        EXPECT_EQ(other.failureReason(), inUse) << name;
        EXPECT_FALSE(other.isOpen());
    }
    // Still the first one's: the refused opener changed nothing on the line.
    m_pty.send({0x42});
    ASSERT_TRUE(PumpUntil([&] { return m_port.bytesWaiting() > 0; }));

    m_port.close();
    QtSerialPort other;
    EXPECT_EQ(other.open(link, LineSettings{}), OpenResult::Opened) << other.failureReason();
    other.close();
    ::unlink(link.c_str());
    ::rmdir(folder);
}

TEST_F(QtSerialPortTest, Close_ThenCloseAgainIsHarmless)
{
    m_port.close();
    EXPECT_FALSE(m_port.isOpen());
    m_port.close();
    EXPECT_FALSE(m_port.isOpen());
    EXPECT_FALSE(m_port.writeByte(0x01));
    EXPECT_EQ(m_port.readByte(), -1);
}

struct LineCase
{
    const char* name;
    LineSettings settings;
    speed_t speed;
    bool oddParity;
    bool twoStopBits;
    bool hardwareFlow;
};

void PrintTo(const LineCase& c, std::ostream* out)
{
    *out << c.name;
}

class LineSettingsTest : public ::testing::TestWithParam<LineCase>
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
};

TEST_P(LineSettingsTest, Open_SetsTheLineAsAsked)
{
    const LineCase& c = GetParam();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    QtSerialPort port;
    ASSERT_EQ(port.open(pty.path(), c.settings), OpenResult::Opened) << port.lastErrorText();

    const termios line = pty.slaveSettings();
    EXPECT_EQ(::cfgetospeed(&line), c.speed);
    EXPECT_EQ(::cfgetispeed(&line), c.speed);
    // The pseudo-terminal driver forces eight data bits without parity, but it keeps the
    // odd/even choice, which is enough to catch the two being swapped.
    EXPECT_EQ((line.c_cflag & PARODD) != 0, c.oddParity);
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ((line.c_cflag & CRTSCTS) != 0, c.hardwareFlow);
    // Bytes must pass untranslated whatever the settings.
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, LineSettingsTest,
    ::testing::Values(
        //       name                settings                                   speed   odd    2 stop hw flow
        LineCase{"Converter9600N81", {9600,  Parity::None, 8, 1, false, false}, B9600,  false, false, false},
        LineCase{"Even7Two19200",    {19200, Parity::Even, 7, 2, false, true},  B19200, false, true,  false},
        LineCase{"Odd300",           {300,   Parity::Odd,  8, 1, false, false}, B300,   true,  false, false},
        LineCase{"RtsHandshake",     {4800,  Parity::None, 8, 1, true,  true},  B4800,  false, false, true}),
    [](const ::testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });
// clang-format on

class OpenFailureTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    // One name per process: QSerialPort locks a name before it tries to open it, so two test
    // processes opening the same missing name at once would see each other's lock.
    static std::string missingDevice()
    {
        return "/dev/pravenor-no-such-port-" + std::to_string(::getpid());
    }
};

TEST_F(OpenFailureTest, MissingDeviceFails)
{
    QtSerialPort port;
    EXPECT_EQ(port.open(missingDevice(), LineSettings{}), OpenResult::Failed);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.lastErrorText().empty());
    EXPECT_EQ(port.readByte(), -1);
    EXPECT_FALSE(port.writeByte(0x00));
}

TEST_F(OpenFailureTest, UnsupportedLineSettingsFailWithoutOpening)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    const LineSettings nineDataBits{9600, Parity::None, 9, 1, false, false};
    const LineSettings threeStopBits{9600, Parity::None, 8, 3, false, false};
    const LineSettings noSpeed{0, Parity::None, 8, 1, false, false};
    for (const LineSettings& settings : {nineDataBits, threeStopBits, noSpeed}) {
        QtSerialPort port;
        EXPECT_EQ(port.open(pty.path(), settings), OpenResult::Failed);
        EXPECT_FALSE(port.isOpen());
    }
}

TEST_F(OpenFailureTest, FailedReopenLeavesThePortClosed)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    QtSerialPort port;
    ASSERT_EQ(port.open(pty.path(), LineSettings{}), OpenResult::Opened);
    EXPECT_EQ(port.open(missingDevice(), LineSettings{}), OpenResult::Failed);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(OpenFailureTest, DeviceWithoutPermissionIsPermissionDenied)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    ASSERT_EQ(::chmod(pty.path().c_str(), 0), 0);
    test::AsOrdinaryUser([&] {
        QtSerialPort port;
        EXPECT_EQ(port.open(pty.path(), LineSettings{}), OpenResult::PermissionDenied)
            << port.lastErrorText();
        EXPECT_FALSE(port.isOpen());
    });
}

struct ErrorCase
{
    QSerialPort::SerialPortError error;
    bool closesPort;
    OpenResult whenOpening;
};

TEST(ErrorMappingTest, EveryQtErrorHasItsDecision)
{
    const ErrorCase cases[] = {
        {QSerialPort::NoError, false, OpenResult::Failed},
        {QSerialPort::DeviceNotFoundError, true, OpenResult::Failed},
        {QSerialPort::PermissionError, true, OpenResult::PermissionDenied},
        {QSerialPort::OpenError, false, OpenResult::Failed},
        {QSerialPort::WriteError, true, OpenResult::Failed},
        {QSerialPort::ReadError, true, OpenResult::Failed},
        {QSerialPort::ResourceError, true, OpenResult::Failed},
        {QSerialPort::UnsupportedOperationError, false, OpenResult::Failed},
        {QSerialPort::UnknownError, true, OpenResult::Failed},
        {QSerialPort::TimeoutError, false, OpenResult::Failed},
        {QSerialPort::NotOpenError, false, OpenResult::Failed},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.error));
        EXPECT_EQ(QtSerialPort::closesPort(c.error), c.closesPort);
        EXPECT_EQ(QtSerialPort::openFailure(c.error), c.whenOpening);
    }
}

} // namespace
} // namespace pravenor::link
