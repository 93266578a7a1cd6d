#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pravenor::sim {

// The server's side of a telnet connection with the COM-PORT-OPTION, as a serial device
// server plays it: it agrees to binary transmission and no go-ahead both ways, takes the
// option, confirms every line setting asked for with the value asked, and keeps the host's
// bytes apart from telnet commands. Written from the telnet and RFC 2217 texts on its own,
// so that it checks the program's side instead of sharing its reading of them.
class TelnetServer
{
public:
    // Host bytes to `data`, what the server says back to `reply`.
    void receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                 std::vector<std::uint8_t>& reply);
    // One converter byte as it goes to the host.
    void encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const;
    // What the host asked of the line since the last call, one text each, for the log.
    std::vector<std::string> takeNotes();

private:
    enum class Input
    {
        Data,
        Command,
        Option,
        SubOption,
        SubData,
        SubCommand,
        AfterCr,
    };

    void negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);
    void comPortCommand(std::vector<std::uint8_t>& reply);

    Input m_input = Input::Data;
    std::uint8_t m_verb = 0;
    std::vector<std::uint8_t> m_sub;
    std::array<bool, 256> m_local{};  // options on the server's side
    std::array<bool, 256> m_remote{}; // options on the host's side
    std::vector<std::string> m_notes;
};

} // namespace pravenor::sim
