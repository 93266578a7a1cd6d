#include "link/rfc2217_codec.h"

namespace pravenor::link {

using namespace telnet;

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kNul = 0x00;

// The setting's name in the log, and how a value of it reads.
const char* settingName(int setting)
{
    constexpr const char* kNames[] = {"speed", "data bits", "parity", "stop bits", "flow control"};
    return kNames[setting];
}

std::string valueText(int setting, std::uint32_t value)
{
    switch (setting) {
    case 2: {
        constexpr const char* kParity[] = {"?", "none", "odd", "even", "mark", "space"};
        return value < 6 ? kParity[value] : std::to_string(value);
    }
    case 3:
        return value == 3 ? "1.5" : std::to_string(value);
    case 4: {
        constexpr const char* kFlow[] = {"?", "none", "XON/XOFF", "RTS/CTS"};
        return value < 4 ? kFlow[value] : std::to_string(value);
    }
    default:
        return std::to_string(value);
    }
}

} // namespace

Rfc2217Codec::Rfc2217Codec(const LineSettings& wanted) : m_wanted(wanted) {}

bool Rfc2217Codec::weSupport(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

bool Rfc2217Codec::serverMaySupport(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

std::vector<std::uint8_t> Rfc2217Codec::start()
{
    std::vector<std::uint8_t> out;
    for (std::uint8_t option : {kBinary, kSuppressGoAhead, kComPortOption}) {
        out.insert(out.end(), {kIac, kWill, option});
        m_us[option].state = Q::WantYes;
    }
    for (std::uint8_t option : {kBinary, kSuppressGoAhead}) {
        out.insert(out.end(), {kIac, kDo, option});
        m_server[option].state = Q::WantYes;
    }
    return out;
}

void Rfc2217Codec::receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                           std::vector<std::uint8_t>& reply)
{
    for (const std::uint8_t byte : bytes) {
        if (!m_failure.empty())
            return;
        switch (m_input) {
        case Input::AfterCr:
            m_input = Input::Data;
            if (byte == kNul)
                break;
            [[fallthrough]];
        case Input::Data:
            if (byte == kIac) {
                m_input = Input::Command;
            } else {
                data.push_back(byte);
                if (byte == kCr && !enabled(m_server[kBinary]))
                    m_input = Input::AfterCr;
            }
            break;
        case Input::Command:
            m_input = Input::Data;
            if (byte == kIac) {
                data.push_back(kIac);
            } else if (byte >= kWill) { // WILL, WONT, DO, DONT
                m_verb = byte;
                m_input = Input::Option;
            } else if (byte == kSb) {
                m_input = Input::SubOption;
            } // NOP, go-ahead, break and the like carry nothing for the line
            break;
        case Input::Option:
            m_input = Input::Data;
            negotiate(m_verb, byte, reply);
            break;
        case Input::SubOption:
            m_sub.assign(1, byte);
            m_input = Input::SubData;
            break;
        case Input::SubData:
            if (byte == kIac)
                m_input = Input::SubCommand;
            else
                m_sub.push_back(byte);
            break;
        case Input::SubCommand:
            if (byte == kIac) {
                m_sub.push_back(kIac);
                m_input = Input::SubData;
            } else { // SE, or a broken sub-negotiation: either way it ends here
                m_input = Input::Data;
                subNegotiation();
            }
            break;
        }
        if (m_sub.size() > kMaxSubNegotiation)
            m_failure = "the server sent a telnet sub-negotiation that does not end";
    }
}

// Each side of an option follows RFC 1143. Beyond it, a side the other end has turned off
// stays off for the connection, and each side answers a few times at most: two ends that
// do not both follow the RFC could otherwise keep each other answering for ever.
void Rfc2217Codec::negotiate(std::uint8_t verb, std::uint8_t option,
                             std::vector<std::uint8_t>& reply)
{
    const bool aboutUs = verb == kDo || verb == kDont;
    const bool wantsOn = verb == kDo || verb == kWill;
    Side& side = aboutUs ? m_us[option] : m_server[option];
    const std::uint8_t yes = aboutUs ? kWill : kDo;
    const std::uint8_t no = aboutUs ? kWont : kDont;
    if (wantsOn) {
        const bool allowed =
            (aboutUs ? weSupport(option) : serverMaySupport(option)) && !side.withdrawn;
        switch (side.state) {
        case Q::No:
            if (allowed) {
                side.state = Q::Yes;
                answer(side, yes, option, reply);
            } else {
                answer(side, no, option, reply);
            }
            break;
        case Q::Yes:
            return;
        case Q::WantNo: // our refusal answered by a yes: off, as we said
            side.state = Q::No;
            return;
        case Q::WantYes:
            side.state = allowed ? Q::Yes : Q::No;
            break;
        }
    } else {
        switch (side.state) {
        case Q::No:
            return;
        case Q::Yes:
            side.state = Q::No;
            side.withdrawn = true;
            answer(side, no, option, reply);
            return;
        case Q::WantNo:
        case Q::WantYes:
            side.state = Q::No;
            return;
        }
    }
    if (aboutUs && option == kComPortOption && side.state == Q::Yes)
        sendLineSettings(reply);
}

void Rfc2217Codec::answer(Side& side, std::uint8_t verb, std::uint8_t option,
                          std::vector<std::uint8_t>& reply)
{
    if (side.answers >= kMaxAnswers)
        return;
    ++side.answers;
    reply.insert(reply.end(), {kIac, verb, option});
}

std::uint32_t Rfc2217Codec::wantedValue(Setting setting) const
{
    switch (setting) {
    case Speed:
        return static_cast<std::uint32_t>(m_wanted.baudRate);
    case DataBits:
        return static_cast<std::uint32_t>(m_wanted.dataBits);
    case ParityBits:
        return m_wanted.parity == Parity::Odd ? 2U : m_wanted.parity == Parity::Even ? 3U : 1U;
    case StopBits:
        return static_cast<std::uint32_t>(m_wanted.stopBits);
    case FlowControl:
        return m_wanted.rtsHandshake ? 3U : 1U;
    case kSettingCount:
        break;
    }
    return 0;
}

void Rfc2217Codec::sendLineSettings(std::vector<std::uint8_t>& reply)
{
    if (m_settingsSent)
        return;
    m_settingsSent = true;
    auto command = [&](std::uint8_t code, std::vector<std::uint8_t> value) {
        reply.insert(reply.end(), {kIac, kSb, kComPortOption, code});
        for (std::uint8_t byte : value) {
            reply.push_back(byte);
            if (byte == kIac)
                reply.push_back(kIac);
        }
        reply.insert(reply.end(), {kIac, kSe});
    };
    const std::uint32_t baud = wantedValue(Speed);
    command(kSetBaudRate,
            {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
             static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)});
    command(kSetDataSize, {static_cast<std::uint8_t>(wantedValue(DataBits))});
    command(kSetParity, {static_cast<std::uint8_t>(wantedValue(ParityBits))});
    command(kSetStopSize, {static_cast<std::uint8_t>(wantedValue(StopBits))});
    command(kSetControl, {static_cast<std::uint8_t>(wantedValue(FlowControl))});
}

void Rfc2217Codec::subNegotiation()
{
    if (m_sub.size() < 3 || m_sub[0] != kComPortOption)
        return;
    const std::uint8_t code = m_sub[1];
    if (code < kServerReply + kSetBaudRate || code > kServerReply + kSetControl)
        return; // line and modem state notices and the like: nothing the link uses
    const auto setting = static_cast<std::size_t>(code - kServerReply - kSetBaudRate);
    if (setting == Speed) {
        if (m_sub.size() < 6)
            return;
        m_confirmed[setting] = (std::uint32_t{m_sub[2]} << 24) | (std::uint32_t{m_sub[3]} << 16) |
                               (std::uint32_t{m_sub[4]} << 8) | m_sub[5];
        return;
    }
    m_confirmed[setting] = m_sub[2];
}

void Rfc2217Codec::encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const
{
    out.push_back(byte);
    if (byte == kIac)
        out.push_back(kIac);
    else if (byte == kCr && !enabled(m_us[kBinary]))
        out.push_back(kNul);
}

bool Rfc2217Codec::lineConfirmed() const
{
    for (int setting = Speed; setting < FlowControl; ++setting) {
        if (m_confirmed[static_cast<std::size_t>(setting)] !=
            wantedValue(static_cast<Setting>(setting)))
            return false;
    }
    return true;
}

bool Rfc2217Codec::allConfirmed() const
{
    return lineConfirmed() && m_confirmed[FlowControl] == wantedValue(FlowControl);
}

std::vector<std::string> Rfc2217Codec::unconfirmed() const
{
    std::vector<std::string> notes;
    for (int setting = Speed; setting < kSettingCount; ++setting) {
        const auto& confirmed = m_confirmed[static_cast<std::size_t>(setting)];
        const std::uint32_t wanted = wantedValue(static_cast<Setting>(setting));
        const std::string asked = valueText(setting, wanted);
        if (!confirmed)
            notes.push_back(std::string(settingName(setting)) + " " + asked + " not confirmed");
        else if (*confirmed != wanted)
            notes.push_back(std::string(settingName(setting)) + " " + asked + " asked, " +
                            valueText(setting, *confirmed) + " confirmed");
    }
    return notes;
}

} // namespace pravenor::link
