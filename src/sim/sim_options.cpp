#include "sim/sim_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace pravenor::sim {

namespace {

using std::chrono::milliseconds;

std::optional<long long> wholeNumber(std::string_view text, long long lowest, long long highest)
{
    long long value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc{} || end != last || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<double> realNumber(std::string_view text, double lowest, double highest)
{
    double value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc{} || end != last || !std::isfinite(value) ||
        value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// "A:B" -> A and B; "A" -> A and nothing.
std::pair<std::string_view, std::optional<std::string_view>> splitColon(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {text, std::nullopt};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

// No count, "all" or "every": every reply; otherwise the next N.
std::optional<FaultRepeat> repeat(std::optional<std::string_view> text)
{
    if (!text || *text == "all" || *text == "every")
        return FaultRepeat::every();
    const std::optional<long long> n = wholeNumber(*text, 1, 1'000'000'000);
    if (!n)
        return std::nullopt;
    return FaultRepeat::times(static_cast<int>(*n));
}

constexpr long long kLongestDelayMs = 3'600'000;

} // namespace

SimCommandLine parseSimOptions(const std::vector<std::string_view>& args)
{
    SimCommandLine result;
    SimOptions& options = result.options;
    FaultPlan& faults = options.faults;

    const std::map<std::string_view, FaultRepeat*> replyFaults = {
        {"no-answer", &faults.noAnswer},
        {"bad-checksum", &faults.badChecksum},
        {"nack", &faults.nack},
        {"too-long", &faults.tooLong},
        {"short-reply", &faults.shortReply},
        {"body-stops", &faults.bodyStops},
    };

    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            result.help = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            result.error = "unexpected argument \"" + std::string(arg) + "\"";
            break;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name =
            arg.substr(2, equals == std::string_view::npos ? std::string_view::npos : equals - 2);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos)
            value = arg.substr(equals + 1);
        auto fail = [&](std::string_view usage) {
            result.error = "--" + std::string(name) + " takes " + std::string(usage) + ", not \"" +
                           std::string(arg) + "\"";
        };

        if (name == "link" || name == "load") {
            if (!value && i + 1 < args.size())
                value = args[++i];
            if (!value || value->empty()) {
                fail("a path");
                break;
            }
            (name == "link" ? options.linkPath : options.loadFile) = std::string(*value);
        } else if (const auto fault = replyFaults.find(name); fault != replyFaults.end()) {
            const std::optional<FaultRepeat> times = repeat(value);
            if (!times) {
                fail("an optional count, as in --" + std::string(name) + "=3");
                break;
            }
            *fault->second = *times;
        } else if (name == "late") {
            const auto [ms, count] = splitColon(value.value_or(""));
            const std::optional<long long> delay = wholeNumber(ms, 1, kLongestDelayMs);
            const std::optional<FaultRepeat> times = repeat(count);
            if (!delay || !times) {
                fail("MS[:N], as in --late=500:2");
                break;
            }
            faults.lateBy = milliseconds(*delay);
            faults.late = *times;
        } else if (name == "chatter") {
            const auto [ms, text] = splitColon(value.value_or(""));
            const std::optional<long long> every = wholeNumber(ms, 1, kLongestDelayMs);
            if (!every) {
                fail("MS[:TEXT], as in --chatter=1000:OK");
                break;
            }
            faults.chatterEvery = milliseconds(*every);
            faults.chatterText = std::string(text.value_or("OK"));
        } else if (name == "noise") {
            const auto [rate, seed] = splitColon(value.value_or(""));
            const std::optional<double> chance = realNumber(rate, 0.0, 1.0);
            const std::optional<long long> seedValue =
                seed ? wholeNumber(*seed, 0, 0xFFFFFFFFLL) : std::optional<long long>(1);
            if (!chance || !seedValue) {
                fail("RATE[:SEED] with RATE from 0 to 1, as in --noise=0.05:7");
                break;
            }
            faults.noiseRate = *chance;
            faults.noiseSeed = static_cast<std::uint32_t>(*seedValue);
        } else if (name == "power-cut") {
            const auto [length, after] = splitColon(value.value_or(""));
            const std::optional<double> seconds = realNumber(length, 0.001, 86'400.0);
            const std::optional<double> afterSeconds =
                after ? realNumber(*after, 0.0, 86'400.0) : std::optional<double>(5.0);
            if (!seconds || !afterSeconds) {
                fail("SECONDS[:AFTER_SECONDS], as in --power-cut=3:10");
                break;
            }
            faults.powerCutFor = milliseconds(std::llround(*seconds * 1000.0));
            faults.powerCutAfter = milliseconds(std::llround(*afterSeconds * 1000.0));
        } else if (name == "tcp") {
            if (!value && i + 1 < args.size())
                value = args[++i];
            std::string_view port = value.value_or("");
            const std::size_t colon = port.rfind(':');
            if (colon != std::string_view::npos) {
                std::string_view host = port.substr(0, colon);
                if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
                    host = host.substr(1, host.size() - 2);
                options.tcpHost = std::string(host);
                port = port.substr(colon + 1);
            }
            const std::optional<long long> number = wholeNumber(port, 0, 65535);
            if (!number || options.tcpHost.empty()) {
                fail("[HOST:]PORT, as in --tcp=7000 or --tcp=[::1]:7000");
                break;
            }
            options.tcpPort = static_cast<std::uint16_t>(*number);
        } else if (name == "rfc2217") {
            options.rfc2217 = true;
        } else if (name == "buffer-position") {
            if (!value || value->size() != 1) {
                fail("one character, as in --buffer-position=3");
                break;
            }
            options.bufferPositionByte = static_cast<std::uint8_t>((*value)[0]);
        } else {
            result.error = "unknown option \"" + std::string(arg) + "\"";
        }
    }
    if (result.error.empty() && options.rfc2217 && !options.tcpPort)
        result.error = "--rfc2217 serves on the network: give --tcp PORT as well";
    if (result.error.empty() && options.tcpPort && !options.linkPath.empty())
        result.error = "--link names a terminal; with --tcp there is none";
    return result;
}

std::string simHelpText()
{
    return R"(Usage: pravenor-sim [OPTION]...
Plays a Pravenor serial converter on a pseudo-terminal. The first line printed is the
terminal to open (for example /dev/pts/4); point the program's serial port at it. Every
frame received and sent is logged in hex on standard error ("<<" in, ">>" out). Stop
with Ctrl+C.

  --link PATH            Keep a symbolic link at PATH to the current terminal, so that
                         the program can use one fixed name even when a power cut makes
                         a new terminal. Removed when the simulator stops.
  --load FILE.cfg        Start with the values of this unit-data file instead of zeros
                         and empty texts.
  --tcp [HOST:]PORT      Serve on a TCP port instead, as a serial device server does
                         (HOST 127.0.0.1 unless given; PORT 0 takes any free port).
                         The first line printed is then the address to give the
                         program, for example tcp://127.0.0.1:7000. One connection at
                         a time; a new one replaces the old. During a power cut
                         nothing listens, and the address is printed again after it.
  --rfc2217              With --tcp: speak telnet with the COM-PORT-OPTION, confirming
                         the line settings the program asks for.
  --buffer-position=C    Answer the buffer position request with the character C
                         (default 0). A digit is a proper position; any other
                         character shows the program a bad answer.

Faults. N is how many replies the fault spoils, starting with the next one; without N
it spoils every reply. When several faults are due, a reply gets the first of
no-answer, body-stops, too-long, short-reply, nack, bad-checksum; the others wait
for later replies. --late and --noise come on top.
  --no-answer[=N]        Take the request in but send nothing back.
  --late=MS[:N]          Wait MS milliseconds before answering.
  --bad-checksum[=N]     Send the reply with a checksum byte that is one off.
  --nack[=N]             Refuse: send a 7-byte reply with NACK (15 hex) where ACK
                         belongs, instead of the real reply.
  --too-long[=N]         Send a 199-byte reply (LEN 198) with a correct checksum,
                         one byte more than the program may accept.
  --short-reply[=N]      Send a 7-byte reply with a correct checksum, too short to
                         carry a setting.
  --body-stops[=N]       Send SOH, LEN and half the body, then nothing more.
  --chatter=MS[:TEXT]    Every MS milliseconds while no request is being answered,
                         send the line TEXT (default OK) with CR LF.
  --noise=RATE[:SEED]    Before each reply byte, send a random byte with the chance
                         RATE (0 to 1). The same SEED (default 1) gives the same noise.
  --power-cut=SECONDS[:AFTER_SECONDS]
                         AFTER_SECONDS (default 5) after the start, cut the power for
                         SECONDS: the terminal closes (the program sees its port fail),
                         the link is removed, and afterwards a new terminal is made,
                         the link re-pointed and the new path printed on a new line.
  -h, --help             Show this text.
)";
}

} // namespace pravenor::sim
