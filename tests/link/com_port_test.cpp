#include "fake_port.h"
#include "link/com_port.h"
#include "link_fixture.h"

#include <gtest/gtest.h>

using namespace pravenor;
using pravenor::test::FakePort;

TEST(LineSettings, EveryCodeAndItsFallBack)
{
    EXPECT_EQ(link::LineSettingsText(4, 0, 1, 0), "9600,N,8,1");
    EXPECT_EQ(link::LineSettingsText(9, 3, 2, 2), "9600,N,8,1");
    EXPECT_EQ(link::LineSettingsText(0, 1, 0, 1), "300,E,7,2");
    EXPECT_EQ(link::LineSettingsText(1, 2, 1, 0), "1200,O,8,1");
    EXPECT_EQ(link::LineSettingsText(2, 0, 1, 0), "2400,N,8,1");
    EXPECT_EQ(link::LineSettingsText(3, 0, 1, 0), "4800,N,8,1");
    EXPECT_EQ(link::LineSettingsText(5, 0, 1, 0), "19200,N,8,1");

    const link::LineSettings plain = link::LineSettingsFor({});
    EXPECT_EQ(plain.baudRate, 9600);
    EXPECT_EQ(plain.parity, link::Parity::None);
    EXPECT_EQ(plain.dataBits, 8);
    EXPECT_EQ(plain.stopBits, 1);
    EXPECT_FALSE(plain.rtsHandshake);
    EXPECT_FALSE(plain.rtsEnable);

    const link::LineSettings rts = link::LineSettingsFor({4, 0, 1, 0, 1});
    EXPECT_FALSE(rts.rtsHandshake);
    EXPECT_TRUE(rts.rtsEnable);
    const link::LineSettings hardware = link::LineSettingsFor({4, 0, 1, 0, 7});
    EXPECT_TRUE(hardware.rtsHandshake);
    EXPECT_TRUE(hardware.rtsEnable);
}

#ifdef _WIN32
TEST(DeviceForPort, OnWindowsComNumbersTheDeviceNamespaceFromTen)
{
    EXPECT_EQ(link::DeviceForPort(1), "COM1");
    EXPECT_EQ(link::DeviceForPort(9), "COM9");
    EXPECT_EQ(link::DeviceForPort(10), "\\\\.\\COM10");
    EXPECT_EQ(link::DeviceForPort(30), "\\\\.\\COM30");
    EXPECT_EQ(link::DeviceForPort(0), "");
}
#else
TEST(DeviceForPort, UsbAdaptersFirstThenModemsThenBuiltInPorts)
{
    EXPECT_EQ(link::DeviceForPort(1), "/dev/ttyUSB0");
    EXPECT_EQ(link::DeviceForPort(10), "/dev/ttyUSB9");
    EXPECT_EQ(link::DeviceForPort(11), "/dev/ttyACM0");
    EXPECT_EQ(link::DeviceForPort(20), "/dev/ttyACM9");
    EXPECT_EQ(link::DeviceForPort(21), "/dev/ttyS0");
    EXPECT_EQ(link::DeviceForPort(30), "/dev/ttyS9");
    EXPECT_EQ(link::DeviceForPort(0), "");
    EXPECT_EQ(link::DeviceForPort(31), "");
}
#endif

class ComPortTest : public ::testing::Test
{
protected:
    FakePort serial;
    test::LinkWorld world{serial};
};

TEST_F(ComPortTest, OpeningLogsThePortAndSetsTheCaption)
{
    EXPECT_EQ(world.port.OpenComPort(0, 4, 0, 1, 0, 0), 0);
    EXPECT_EQ(world.logMessages().back(), "Com: 1 opened with: 9600,N,8,1");
    EXPECT_EQ(world.view.portCaption(), "Serial Port: 1 9600,N,8,1");
    EXPECT_EQ(world.port.PortIsOpen(), 1);
    EXPECT_EQ(serial.lastSettings.baudRate, 9600);

    EXPECT_EQ(world.port.OpenComPort(9), 0);
    EXPECT_EQ(world.view.portCaption(), "Serial Port: 10 9600,N,8,1");
    EXPECT_EQ(world.logMessages().back(), "Com: 10 opened with: 9600,N,8,1");
}

TEST_F(ComPortTest, AFailedOpeningLogsOneLineAndTheCaptionSaysWhichDeviceAndWhy)
{
    world.port.OpenComPort(0);
    serial.nextOpen = link::OpenResult::Failed;
    serial.reason = "No such file or directory";
    world.config.LogLevel = 0; // the frame tells whatever the log level
    EXPECT_EQ(world.port.OpenComPort(0), -1);
    EXPECT_EQ(world.view.portCaption(),
              "Serial Port: 1 /dev/test-converter not open: No such file or directory");
    world.config.LogLevel = 2;
    EXPECT_EQ(world.port.OpenComPort(0), -1);
    EXPECT_EQ(world.logMessages().back(), "Error opening ComPort:  1");
    EXPECT_EQ(world.port.PortIsOpen(), -1);
}

TEST_F(ComPortTest, ADeviceInUseIsSaidAsSuchWithoutTheDialoutAdvice)
{
    serial.nextOpen = link::OpenResult::InUse;
    serial.reason = "the port is in use by another program (process 4242)";
    const auto before = world.logMessages().size();
    EXPECT_EQ(world.port.OpenComPort(0), -1);
    const auto lines = world.logMessages();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(
        lines[before + 1],
        "Cannot open /dev/test-converter: the port is in use by another program (process 4242).");
    EXPECT_EQ(world.view.portCaption(), "Serial Port: 1 /dev/test-converter not open: the port is "
                                        "in use by another program (process 4242)");
}

TEST_F(ComPortTest, ALackOfPermissionNamesTheDialoutGroup)
{
    serial.nextOpen = link::OpenResult::PermissionDenied;
    const auto before = world.logMessages().size();
    EXPECT_EQ(world.port.OpenComPort(2), -1);
    const auto lines = world.logMessages();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines[before], "Error opening ComPort:  3");
    EXPECT_NE(lines[before + 1].find("dialout"), std::string::npos);
    EXPECT_NE(lines[before + 1].find("/dev/test-converter"), std::string::npos);
}

TEST_F(ComPortTest, PortNumbersMapToDevicesUnlessADeviceIsGiven)
{
    world.port.setDeviceOverride(std::nullopt);
    world.port.OpenComPort(0);
    EXPECT_EQ(serial.lastDevice, link::DeviceForPort(1));
    world.port.setDeviceOverride(link::LineAddress::Device("/tmp/pty-link"));
    world.port.OpenComPort(5);
    EXPECT_EQ(serial.lastDevice, "/tmp/pty-link");
}

TEST_F(ComPortTest, ANetworkAddressReplacesTheNumberAndIsNamedWithTheReasonWhenItFails)
{
    world.port.setDeviceOverride(std::nullopt);
    world.port.setNetworkAddress(link::ParseNetworkLine("rfc2217://plant-room:7000"));
    EXPECT_EQ(world.port.OpenComPort(3), 0);
    EXPECT_EQ(serial.lastDevice, "rfc2217://plant-room:7000");
    EXPECT_EQ(world.logMessages().back(), "rfc2217://plant-room:7000 opened with: 9600,N,8,1");
    EXPECT_EQ(world.view.portCaption(), "Network: rfc2217://plant-room:7000 9600,N,8,1");

    serial.nextOpen = link::OpenResult::Failed;
    serial.reason = "connection refused, nothing listens there";
    EXPECT_EQ(world.port.OpenComPort(3), -1);
    EXPECT_EQ(world.logMessages().back(),
              "Cannot open rfc2217://plant-room:7000: connection refused, nothing listens there");
    EXPECT_EQ(
        world.view.portCaption(),
        "Network: rfc2217://plant-room:7000 not open: connection refused, nothing listens there");

    // Mistyped, it is refused as an address rather than tried as a device.
    const int opensBefore = serial.openCount;
    world.port.setNetworkAddress(link::ParseNetworkLine("tcp://plant-room"));
    EXPECT_EQ(world.port.OpenComPort(3), -1);
    EXPECT_EQ(serial.openCount, opensBefore);
    EXPECT_NE(world.logMessages().back().find(
                  "Cannot open tcp://plant-room: write the address as HOST:PORT"),
              std::string::npos);

    world.port.setDeviceOverride(
        link::LineAddress::Device("/tmp/pty-link")); // a device given for the run still wins
    serial.nextOpen = link::OpenResult::Opened;
    world.port.OpenComPort(3);
    EXPECT_EQ(serial.lastDevice, "/tmp/pty-link");
}

TEST_F(ComPortTest, APortNumberWithoutADeviceFailsWithoutTryingTheLine)
{
    world.port.setDeviceOverride(std::nullopt);
    const int opensBefore = serial.openCount;
    EXPECT_EQ(world.port.OpenComPort(-1), -1);
    EXPECT_EQ(serial.openCount, opensBefore);
    EXPECT_EQ(world.logMessages().back(), "Error opening ComPort:  0");
    EXPECT_EQ(world.port.OpenComPort(-2), -1);
    EXPECT_EQ(world.logMessages().back(), "Error opening ComPort: -1");
}

TEST_F(ComPortTest, ClosingIsLoggedEvenWhenAlreadyClosed)
{
    world.port.CloseComPort();
    EXPECT_EQ(world.logMessages().back(), "Comport closed by software.");
    EXPECT_EQ(world.port.PortIsOpen(), -1);
}
