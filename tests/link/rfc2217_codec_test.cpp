#include "link/network_address.h"
#include "link/rfc2217_codec.h"
#include "sim/hex_bytes.h"

#include <gtest/gtest.h>

using namespace pravenor;
using link::NetworkAddress;
using link::NetworkProtocol;
using link::Rfc2217Codec;
using sim::testing::Bytes;
using sim::testing::hex;
using sim::testing::hexOf;

namespace {

struct Fed
{
    std::string data;
    std::string reply;
};

// The codec after its opening, fed the server's bytes in one piece or byte by byte.
Fed feed(Rfc2217Codec& codec, const Bytes& bytes, bool byteByByte = false)
{
    Bytes data;
    Bytes reply;
    if (byteByByte) {
        for (std::uint8_t byte : bytes)
            codec.receive({&byte, 1}, data, reply);
    } else {
        codec.receive(bytes, data, reply);
    }
    return {hexOf(data), hexOf(reply)};
}

Rfc2217Codec started()
{
    Rfc2217Codec codec(link::LineSettings{});
    codec.start();
    return codec;
}

// The five line settings as the client asks for them: 9600 baud, 8 bits, no parity, 1 stop
// bit, no flow control.
const char* const kSettings =
    "FF FA 2C 01 00 00 25 80 FF F0  FF FA 2C 02 08 FF F0  FF FA 2C 03 01 FF F0"
    "  FF FA 2C 04 01 FF F0  FF FA 2C 05 01 FF F0";

} // namespace

TEST(NetworkAddress, ReadsBothSchemesAndRefusesWhatIsNoAddress)
{
    struct Row
    {
        std::string text;
        std::optional<NetworkAddress> address;
    };
    const Row rows[] = {
        {"tcp://192.168.1.20:4001", NetworkAddress{NetworkProtocol::RawTcp, "192.168.1.20", 4001}},
        {"rfc2217://plant-room:7000", NetworkAddress{NetworkProtocol::Rfc2217, "plant-room", 7000}},
        {"TCP://[::1]:65535", NetworkAddress{NetworkProtocol::RawTcp, "::1", 65535}},
        {"tcp+tls://plant-room:7443",
         NetworkAddress{NetworkProtocol::RawTcp, "plant-room", 7443, true}},
        {"RFC2217+TLS://[fd00::5]:7443",
         NetworkAddress{NetworkProtocol::Rfc2217, "fd00::5", 7443, true}},
        {"tcp://[[fd00]:41", std::nullopt},
        {"tcp://ho]st:41", std::nullopt},
        {"tcp://ho\x1bst:41", std::nullopt},
        {"tcp+tls//host:41", std::nullopt},
        {"tcp://host", std::nullopt},
        {"tcp://:4001", std::nullopt},
        {"tcp://host:0", std::nullopt},
        {"tcp://host:65536", std::nullopt},
        {"tcp://host:40x1", std::nullopt},
        {"tcp://::1:4001", std::nullopt},
        {"udp://host:4001", std::nullopt},
        {"/dev/ttyUSB0", std::nullopt},
    };
    for (const Row& row : rows) {
        const link::ParsedNetworkAddress parsed = link::ParseNetworkAddress(row.text);
        EXPECT_EQ(parsed.address, row.address) << row.text;
        EXPECT_EQ(parsed.error.empty(), row.address.has_value()) << row.text;
        if (row.address) {
            EXPECT_EQ(link::ParseNetworkAddress(link::NetworkAddressText(*row.address)).address,
                      row.address);
        }
    }
    EXPECT_TRUE(link::LooksLikeNetworkAddress("tcp://host"));
    EXPECT_FALSE(link::LooksLikeNetworkAddress("/dev/ttyUSB0"));
}

TEST(Rfc2217Codec, OffersBinaryNoGoAheadAndTheComPortOption)
{
    Rfc2217Codec codec(link::LineSettings{});
    EXPECT_EQ(hexOf(codec.start()), hexOf(hex("FF FB 00 FF FB 03 FF FB 2C FF FD 00 FF FD 03")));
}

TEST(Rfc2217Codec, AnswersOnlyWhatItMust)
{
    struct Row
    {
        const char* what;
        std::string server;
        std::string answer;
    };
    const Row rows[] = {
        {"the server takes the options we offered", "FF FD 00 FF FD 03 FF FB 00 FF FB 03", ""},
        {"the server takes the com port option: the line settings follow", "FF FD 2C", kSettings},
        {"unknown options are refused both ways", "FF FD 01 FF FB 18", "FF FC 01 FF FE 18"},
        {"a server that stops binary is answered once", "FF FB 00 FF FC 00 FF FC 00", "FF FE 00"},
        {"the com port option offered by the server is declined", "FF FB 2C", "FF FE 2C"},
        {"the line settings go out once", "FF FD 2C FF FD 2C", kSettings},
    };
    for (const Row& row : rows) {
        Rfc2217Codec codec = started();
        EXPECT_EQ(feed(codec, hex(row.server)).reply, hexOf(hex(row.answer))) << row.what;
    }
}

TEST(Rfc2217Codec, KeepsTheConvertersBytesApartFromTelnet)
{
    struct Row
    {
        const char* what;
        std::string server;
        std::string data;
    };
    const Row rows[] = {
        {"a doubled FF is one FF", "01 FF FF 02 FF FF", "01 FF 02 FF"},
        {"commands without data carry nothing", "41 FF F1 42 FF F9 43", "41 42 43"},
        {"a notice inside the data, with a doubled FF", "41 FF FA 2C 6B FF FF FF F0 42", "41 42"},
        {"negotiation inside the data", "0D FF FB 00 0D 00", "0D 0D 00"},
        {"before binary, NUL after CR is padding", "0D 00 0A", "0D 0A"},
    };
    for (const Row& row : rows) {
        for (bool byteByByte : {false, true}) {
            Rfc2217Codec codec = started();
            EXPECT_EQ(feed(codec, hex(row.server), byteByByte).data, hexOf(hex(row.data)))
                << row.what << (byteByByte ? ", byte by byte" : "");
        }
    }
}

TEST(Rfc2217Codec, DoublesFFAndPadsCrOnlyBeforeBinary)
{
    Rfc2217Codec codec = started();
    Bytes out;
    for (std::uint8_t byte : hex("FF 0D 41"))
        codec.encode(byte, out);
    EXPECT_EQ(hexOf(out), "FF FF 0D 00 41");

    feed(codec, hex("FF FD 00"));
    out.clear();
    for (std::uint8_t byte : hex("FF 0D 41"))
        codec.encode(byte, out);
    EXPECT_EQ(hexOf(out), "FF FF 0D 41");
}

TEST(Rfc2217Codec, NotesWhatTheServerLeftUnconfirmed)
{
    struct Row
    {
        const char* what;
        std::string server;
        bool line;
        bool all;
        std::vector<std::string> notes;
    };
    const std::string line =
        "FF FA 2C 65 00 00 25 80 FF F0 FF FA 2C 66 08 FF F0 FF FA 2C 67 01 FF F0 "
        "FF FA 2C 68 01 FF F0 ";
    const Row rows[] = {
        {"everything confirmed", line + "FF FA 2C 69 01 FF F0", true, true, {}},
        {"flow control left out", line, true, false, {"flow control none not confirmed"}},
        {"nothing confirmed",
         "",
         false,
         false,
         {"speed 9600 not confirmed", "data bits 8 not confirmed", "parity none not confirmed",
          "stop bits 1 not confirmed", "flow control none not confirmed"}},
        {"another speed, FF doubled in it",
         line + "FF FA 2C 65 00 00 FF FF 00 FF F0 FF FA 2C 69 03 FF F0",
         false,
         false,
         {"speed 9600 asked, 65280 confirmed", "flow control none asked, RTS/CTS confirmed"}},
    };
    for (const Row& row : rows) {
        Rfc2217Codec codec = started();
        feed(codec, hex(row.server));
        EXPECT_EQ(codec.lineConfirmed(), row.line) << row.what;
        EXPECT_EQ(codec.allConfirmed(), row.all) << row.what;
        EXPECT_EQ(codec.unconfirmed(), row.notes) << row.what;
    }
}

// A hostile server may say anything, in any amount: what the codec answers and holds stays
// small, and an option the server withdrew is not taken up again.
TEST(Rfc2217Codec, NoServerCanKeepItAnsweringOrFillItsMemory)
{
    struct Row
    {
        const char* what;
        std::string round; // said again and again
    };
    const Row rows[] = {
        {"binary offered and withdrawn", "FF FB 00 FF FC 00 "},
        {"binary asked for and withdrawn", "FF FD 00 FF FE 00 "},
        {"an unknown option asked for", "FF FD 18 "},
    };
    for (const Row& row : rows) {
        Rfc2217Codec codec = started();
        std::string storm;
        for (int n = 0; n < 1000; ++n)
            storm += row.round;
        const Fed fed = feed(codec, hex(storm));
        EXPECT_LE(fed.reply.size(), 3 * 3 * Rfc2217Codec::kMaxAnswers) << row.what;
        EXPECT_TRUE(codec.failure().empty()) << row.what;
    }
    Rfc2217Codec codec = started();
    EXPECT_EQ(feed(codec, hex("FF FB 00 FF FC 00 FF FB 00")).reply, "FF FE 00 FF FE 00");

    Rfc2217Codec endless = started();
    std::string sub = "FF FA 2C 65";
    for (std::size_t n = 0; n < Rfc2217Codec::kMaxSubNegotiation; ++n)
        sub += n % 2 ? " FF FF" : " 41";
    EXPECT_TRUE(feed(endless, hex(sub + " 41")).data.empty());
    EXPECT_FALSE(endless.failure().empty());
}
