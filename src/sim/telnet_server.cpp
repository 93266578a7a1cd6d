#include "sim/telnet_server.h"

namespace pravenor::sim {

namespace {

constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr std::uint8_t BINARY = 0, SGA = 3, COM_PORT = 44;
constexpr std::uint8_t CR = 0x0D, NUL = 0x00;

bool serverOffers(std::uint8_t option)
{
    return option == BINARY || option == SGA;
}

bool hostMayUse(std::uint8_t option)
{
    return option == BINARY || option == SGA || option == COM_PORT;
}

} // namespace

void TelnetServer::receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                           std::vector<std::uint8_t>& reply)
{
    for (std::uint8_t byte : bytes) {
        switch (m_input) {
        case Input::AfterCr:
            m_input = Input::Data;
            if (byte == NUL)
                continue;
            [[fallthrough]];
        case Input::Data:
            if (byte == IAC) {
                m_input = Input::Command;
                continue;
            }
            data.push_back(byte);
            if (byte == CR && !m_remote[BINARY])
                m_input = Input::AfterCr;
            continue;
        case Input::Command:
            m_input = Input::Data;
            if (byte == IAC) {
                data.push_back(IAC);
            } else if (byte == WILL || byte == WONT || byte == DO || byte == DONT) {
                m_verb = byte;
                m_input = Input::Option;
            } else if (byte == SB) {
                m_input = Input::SubOption;
            }
            continue;
        case Input::Option:
            m_input = Input::Data;
            negotiate(m_verb, byte, reply);
            continue;
        case Input::SubOption:
            m_sub.assign(1, byte);
            m_input = Input::SubData;
            continue;
        case Input::SubData:
            if (byte == IAC)
                m_input = Input::SubCommand;
            else
                m_sub.push_back(byte);
            continue;
        case Input::SubCommand:
            if (byte == IAC) {
                m_sub.push_back(IAC);
                m_input = Input::SubData;
                continue;
            }
            m_input = Input::Data;
            if (m_sub.size() >= 3 && m_sub[0] == COM_PORT)
                comPortCommand(reply);
            continue;
        }
    }
}

// The server agrees to what it supports and answers only a change, never a repeat.
void TelnetServer::negotiate(std::uint8_t verb, std::uint8_t option,
                             std::vector<std::uint8_t>& reply)
{
    const bool aboutServer = verb == DO || verb == DONT;
    const bool on = verb == DO || verb == WILL;
    bool& state = aboutServer ? m_local[option] : m_remote[option];
    const bool supported = aboutServer ? serverOffers(option) : hostMayUse(option);
    if (on && !supported) {
        reply.insert(reply.end(), {IAC, aboutServer ? WONT : DONT, option});
        return;
    }
    if (state == on)
        return;
    state = on;
    reply.insert(reply.end(), {IAC, aboutServer ? (on ? WILL : WONT) : (on ? DO : DONT), option});
}

void TelnetServer::comPortCommand(std::vector<std::uint8_t>& reply)
{
    const std::uint8_t command = m_sub[1];
    if (command < 1 || command > 5)
        return; // purges, break and modem lines change nothing on a simulated line
    const std::vector<std::uint8_t> value(m_sub.begin() + 2, m_sub.end());
    reply.insert(reply.end(), {IAC, SB, COM_PORT, static_cast<std::uint8_t>(command + 100)});
    for (std::uint8_t byte : value) {
        reply.push_back(byte);
        if (byte == IAC)
            reply.push_back(IAC);
    }
    reply.insert(reply.end(), {IAC, SE});

    static constexpr const char* kNames[] = {"",       "speed",     "data bits",
                                             "parity", "stop bits", "flow control"};
    std::uint32_t number = 0;
    for (std::uint8_t byte : value)
        number = (number << 8) | byte;
    m_notes.push_back(std::string(kNames[command]) + " " + std::to_string(number));
}

void TelnetServer::encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const
{
    out.push_back(byte);
    if (byte == IAC)
        out.push_back(IAC);
    else if (byte == CR && !m_local[BINARY])
        out.push_back(NUL);
}

std::vector<std::string> TelnetServer::takeNotes()
{
    std::vector<std::string> notes;
    notes.swap(m_notes);
    return notes;
}

} // namespace pravenor::sim
