#include "link/line_address.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace pravenor {
namespace {

using link::LineAddress;
using link::NetworkAddress;
using link::NetworkProtocol;

TEST(LineAddress, ReadsADeviceOrANetworkAddressAndNamesItAsWritten)
{
    struct Row
    {
        std::string text;
        std::optional<LineAddress> address; // none: refused, with a reason
    };
    const Row rows[] = {
        {"/dev/ttyUSB0", LineAddress::Device("/dev/ttyUSB0")},
        {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
         LineAddress::Device("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0")},
        {"COM3", LineAddress::Device("COM3")},
        {"plant-room:7000", LineAddress::Device("plant-room:7000")},
        {"tcp://192.168.1.20:4001",
         LineAddress::Network({NetworkProtocol::RawTcp, "192.168.1.20", 4001},
                              "tcp://192.168.1.20:4001")},
        {"RFC2217://[::1]:7000",
         LineAddress::Network({NetworkProtocol::Rfc2217, "::1", 7000}, "RFC2217://[::1]:7000")},
        {"tcp://plant-room", std::nullopt},
        {"rfc2217://plant-room:0", std::nullopt},
    };
    for (const Row& row : rows) {
        const link::ParsedLineAddress parsed = link::ParseLineAddress(row.text);
        EXPECT_EQ(parsed.address, row.address) << row.text;
        EXPECT_EQ(parsed.error.empty(), row.address.has_value()) << row.text;
        EXPECT_EQ(parsed.text, row.text);
        if (parsed.address) {
            EXPECT_EQ(parsed.address->text(), row.text); // the log and the caption say it so
        }
    }
    const link::ParsedLineAddress none = link::ParseLineAddress("");
    EXPECT_FALSE(none.address);
    EXPECT_EQ(none.error, "");

    // Program Setup's field takes a network address only; empty, the port number is used.
    EXPECT_NE(link::ParseNetworkLine("/dev/ttyUSB0").error, "");
    EXPECT_EQ(link::ParseNetworkLine("").error, "");
    EXPECT_EQ(link::ParseNetworkLine("tcp://host:1").address->kind(), LineAddress::Kind::Network);

    EXPECT_EQ(LineAddress::Port(1).text(), link::DeviceForPort(1));
}

} // namespace
} // namespace pravenor
