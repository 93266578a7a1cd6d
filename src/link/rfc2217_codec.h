#pragma once

#include "link/serial_port.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pravenor::link {

namespace telnet {
constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kSe = 240;
constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kSuppressGoAhead = 3;
constexpr std::uint8_t kComPortOption = 44;
// COM-PORT-OPTION commands as the client sends them; the server answers with 100 added.
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kServerReply = 100;
} // namespace telnet

// The client's side of a telnet connection carrying the COM-PORT-OPTION: it offers binary
// transmission both ways and no go-ahead, asks for the line settings once the server takes
// the option, answers the server's negotiation, and keeps the converter's bytes apart from
// the telnet commands. 0xFF is doubled going out and undoubled coming in.
class Rfc2217Codec
{
public:
    explicit Rfc2217Codec(const LineSettings& wanted);

    // What the client says as soon as the connection stands.
    std::vector<std::uint8_t> start();

    // Bytes from the server: the converter's bytes are appended to `data`, whatever has to
    // be said back (negotiation answers, the line settings) to `reply`. Commands may be
    // split across calls anywhere.
    void receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                 std::vector<std::uint8_t>& reply);

    // One converter byte as it goes on the connection.
    void encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const;

    // Speed, data bits, parity and stop bits all confirmed as asked.
    bool lineConfirmed() const;
    // The same, and flow control too.
    bool allConfirmed() const;
    // One text per setting the server left unconfirmed or set otherwise, for the log.
    std::vector<std::string> unconfirmed() const;
    // Why the server's telnet can no longer be followed (a sub-negotiation that never ends);
    // empty while it can. The connection is to be closed once this is said.
    const std::string& failure() const { return m_failure; }

    // The longest sub-negotiation taken: a COM-PORT-OPTION notice or signature is far shorter.
    static constexpr std::size_t kMaxSubNegotiation = 512;
    // Answers given for one side of one option on a connection; a server that keeps asking
    // past them is not answered any more, so no server can keep the two ends talking.
    static constexpr int kMaxAnswers = 4;

private:
    enum class Input
    {
        Data,
        Command,    // after IAC
        Option,     // after IAC WILL/WONT/DO/DONT
        SubOption,  // after IAC SB
        SubData,    // inside a sub-negotiation
        SubCommand, // IAC inside a sub-negotiation
        AfterCr,    // CR from a server not sending binary: a NUL after it is padding
    };
    enum Setting
    {
        Speed,
        DataBits,
        ParityBits,
        StopBits,
        FlowControl,
        kSettingCount,
    };
    // An option's side as the other end should see it, after RFC 1143: a request only gets
    // an answer when it changes the side, and a side we asked to change is only confirmed.
    enum class Q : std::uint8_t
    {
        No,
        Yes,
        WantNo,
        WantYes,
    };
    struct Side
    {
        Q state = Q::No;
        bool withdrawn = false; // turned off by the other end: not agreed to again
        int answers = 0;
    };

    static bool weSupport(std::uint8_t option);
    static bool serverMaySupport(std::uint8_t option);
    void negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);
    void answer(Side& side, std::uint8_t verb, std::uint8_t option,
                std::vector<std::uint8_t>& reply);
    bool enabled(const Side& side) const { return side.state == Q::Yes; }
    void subNegotiation();
    void sendLineSettings(std::vector<std::uint8_t>& reply);
    std::uint32_t wantedValue(Setting setting) const;

    LineSettings m_wanted;
    Input m_input = Input::Data;
    std::uint8_t m_verb = 0;
    std::vector<std::uint8_t> m_sub;
    std::array<Side, 256> m_us{};     // options on our side
    std::array<Side, 256> m_server{}; // options on the server's side
    bool m_settingsSent = false;
    std::string m_failure;
    std::array<std::optional<std::uint32_t>, kSettingCount> m_confirmed{};
};

} // namespace pravenor::link
