#include "sim/tool/sim_command_line.h"

#include <QCommandLineParser>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

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

// One option: its name, what it takes (for the message when a value does not fit) and how its
// value goes into the options. A fault whose count is optional (--nack, --nack=3) takes its
// count only after "=", so that a bare --nack never swallows the next argument.
struct OptionRule
{
    const char* name;
    const char* takes;
    bool optionalCount;
    std::function<bool(std::string_view value, SimOptions& options)> apply;
};

std::vector<OptionRule> OptionRules()
{
    auto replyFault = [](const char* name, FaultRepeat FaultPlan::*fault) {
        return OptionRule{name, nullptr, true,
                          [fault](std::string_view value, SimOptions& options) {
                              const std::optional<FaultRepeat> times = repeat(value);
                              if (times)
                                  options.faults.*fault = *times;
                              return times.has_value();
                          }};
    };
    auto path = [](const char* name, std::string SimOptions::*field) {
        return OptionRule{name, "a path", false,
                          [field](std::string_view value, SimOptions& options) {
                              options.*field = std::string(value);
                              return !value.empty();
                          }};
    };
    auto whole = [](const char* name, const char* takes, int SimOptions::*field, long long lowest,
                    long long highest) {
        return OptionRule{name, takes, false, [=](std::string_view value, SimOptions& options) {
                              const std::optional<long long> n =
                                  wholeNumber(value, lowest, highest);
                              if (n)
                                  options.*field = static_cast<int>(*n);
                              return n.has_value();
                          }};
    };
    return {
        path("link", &SimOptions::linkPath),
        path("load", &SimOptions::loadFile),
        replyFault("no-answer", &FaultPlan::noAnswer),
        replyFault("bad-checksum", &FaultPlan::badChecksum),
        replyFault("nack", &FaultPlan::nack),
        replyFault("too-long", &FaultPlan::tooLong),
        replyFault("short-reply", &FaultPlan::shortReply),
        replyFault("body-stops", &FaultPlan::bodyStops),
        {"late", "MS[:N], as in --late=500:2", false,
         [](std::string_view value, SimOptions& options) {
             const auto [ms, count] = splitColon(value);
             const std::optional<long long> delay = wholeNumber(ms, 1, kLongestDelayMs);
             const std::optional<FaultRepeat> times = repeat(count);
             if (!delay || !times)
                 return false;
             options.faults.lateBy = milliseconds(*delay);
             options.faults.late = *times;
             return true;
         }},
        {"chatter", "MS[:TEXT], as in --chatter=1000:OK", false,
         [](std::string_view value, SimOptions& options) {
             const auto [ms, text] = splitColon(value);
             const std::optional<long long> every = wholeNumber(ms, 1, kLongestDelayMs);
             if (!every)
                 return false;
             options.faults.chatterEvery = milliseconds(*every);
             options.faults.chatterText = std::string(text.value_or("OK"));
             return true;
         }},
        {"noise", "RATE[:SEED] with RATE from 0 to 1, as in --noise=0.05:7", false,
         [](std::string_view value, SimOptions& options) {
             const auto [rate, seed] = splitColon(value);
             const std::optional<double> chance = realNumber(rate, 0.0, 1.0);
             const std::optional<long long> seedValue =
                 seed ? wholeNumber(*seed, 0, 0xFFFFFFFFLL) : std::optional<long long>(1);
             if (!chance || !seedValue)
                 return false;
             options.faults.noiseRate = *chance;
             options.faults.noiseSeed = static_cast<std::uint32_t>(*seedValue);
             return true;
         }},
        {"power-cut", "SECONDS[:AFTER_SECONDS], as in --power-cut=3:10", false,
         [](std::string_view value, SimOptions& options) {
             const auto [length, after] = splitColon(value);
             const std::optional<double> seconds = realNumber(length, 0.001, 86'400.0);
             const std::optional<double> afterSeconds =
                 after ? realNumber(*after, 0.0, 86'400.0) : std::optional<double>(5.0);
             if (!seconds || !afterSeconds)
                 return false;
             options.faults.powerCutFor = milliseconds(std::llround(*seconds * 1000.0));
             options.faults.powerCutAfter = milliseconds(std::llround(*afterSeconds * 1000.0));
             return true;
         }},
        whole("baud", "a rate in bits per second, as in --baud=9600", &SimOptions::baud, 50,
              4'000'000),
        {"deaf-after-reply", "MS, as in --deaf-after-reply=30", false,
         [](std::string_view value, SimOptions& options) {
             const std::optional<long long> ms = wholeNumber(value, 1, kLongestDelayMs);
             if (!ms)
                 return false;
             options.faults.deafAfterReply = milliseconds(*ms);
             return true;
         }},
        {"tcp", "[HOST:]PORT, as in --tcp=7000 or --tcp=[::1]:7000", false,
         [](std::string_view value, SimOptions& options) {
             std::string_view port = value;
             const std::size_t colon = port.rfind(':');
             if (colon != std::string_view::npos) {
                 std::string_view host = port.substr(0, colon);
                 if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
                     host = host.substr(1, host.size() - 2);
                 options.tcpHost = std::string(host);
                 port = port.substr(colon + 1);
             }
             const std::optional<long long> number = wholeNumber(port, 0, 65535);
             if (!number || options.tcpHost.empty())
                 return false;
             options.tcpPort = static_cast<std::uint16_t>(*number);
             return true;
         }},
        whole("count", "a number of converters from 1 to 1000, as in --count=50",
              &SimOptions::count, 1, 1000),
        {"buffer-position", "one character, as in --buffer-position=3", false,
         [](std::string_view value, SimOptions& options) {
             if (value.size() != 1)
                 return false;
             options.bufferPositionByte = static_cast<std::uint8_t>(value[0]);
             return true;
         }},
    };
}

// Arguments are bytes; Latin-1 carries each byte through the parser as one character.
QString FromBytes(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Why the parser refused: the arguments walked as it walks them, named as they were typed.
std::string Refusal(const std::vector<std::string_view>& args, const std::vector<OptionRule>& rules)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-')
            continue;
        if (arg[1] != '-') {
            if (arg != "-h")
                return "unexpected argument \"" + std::string(arg) + "\"";
            continue;
        }
        const std::string_view name = arg.substr(2, arg.find('=') - 2);
        if (arg == "--help" || arg == "--rfc2217")
            continue;
        if (name == "rfc2217")
            return "--rfc2217 takes no value, not \"" + std::string(arg) + "\"";
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [&](const OptionRule& r) { return name == r.name; });
        if (rule == rules.end())
            return "unknown option \"" + std::string(arg) + "\"";
        if (!rule->optionalCount && arg.find('=') == std::string_view::npos && ++i == args.size())
            return "--" + std::string(name) + " takes " + rule->takes + ", not \"" +
                   std::string(arg) + "\"";
    }
    return "unknown option";
}

} // namespace

SimCommandLine parseSimOptions(const std::vector<std::string_view>& args)
{
    SimCommandLine result;
    const std::vector<OptionRule> rules = OptionRules();

    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("rfc2217")));
    for (const OptionRule& rule : rules)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(rule.name), QString(), QStringLiteral("VALUE")));

    QStringList qtArgs{QStringLiteral("pravenor-sim")};
    bool optionsEnded = false;
    for (const std::string_view arg : args) {
        optionsEnded = optionsEnded || arg == "--";
        // Alone, a fault with an optional count spoils every reply.
        const bool bareCount =
            !optionsEnded && std::any_of(rules.begin(), rules.end(), [&](const OptionRule& rule) {
                return rule.optionalCount && arg.substr(0, 2) == "--" && arg.substr(2) == rule.name;
            });
        qtArgs << FromBytes(arg) + (bareCount ? QStringLiteral("=every") : QString());
    }
    if (!parser.parse(qtArgs)) {
        result.error = Refusal(args, rules);
        return result;
    }
    result.help = parser.isSet(QStringLiteral("help"));
    result.options.rfc2217 = parser.isSet(QStringLiteral("rfc2217"));
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        result.error = "unexpected argument \"" + extra.front().toLatin1().toStdString() + "\"";
        return result;
    }
    for (const OptionRule& rule : rules) {
        const QString name = QString::fromLatin1(rule.name);
        for (const QString& given : parser.values(name)) {
            const std::string value = given.toLatin1().toStdString();
            if (rule.apply(value, result.options))
                continue;
            const std::string takes =
                rule.takes ? rule.takes
                           : "an optional count, as in --" + std::string(rule.name) + "=3";
            result.error = "--" + std::string(rule.name) + " takes " + takes + ", not \"--" +
                           rule.name + "=" + value + "\"";
            return result;
        }
    }
    if (result.options.rfc2217 && !result.options.tcpPort)
        result.error = "--rfc2217 serves on the network: give --tcp PORT as well";
    else if (result.options.tcpPort && !result.options.linkPath.empty())
        result.error = "--link names a terminal; with --tcp there is none";
    else if (result.options.count > 1 && !result.options.linkPath.empty())
        result.error = "--link names one terminal; with --count each converter has its own";
    else if (result.options.count > 1 && result.options.tcpPort.value_or(0) != 0 &&
             *result.options.tcpPort + result.options.count - 1 > 65535)
        result.error = "--tcp's port and --count run past port 65535";
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
  --count=N              Serve N converters at once (default 1), each on its own
                         terminal, or with --tcp on its own port (PORT, PORT+1, ...;
                         with 0 each takes any free port). Converter n (from 1) is
                         named sim-n, holds "Unit n" in its first alarm text and n
                         (modulo 16) in its first bleep code, on top of --load; the
                         faults apply to each. Each line printed is then the name and
                         the terminal or address, as a sites file takes it; the frames
                         logged carry the name too.
  --baud=N               The line's rate in bits per second (default 9600): requests
                         are taken in and replies sent at ten bits a byte.

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
  --deaf-after-reply=MS  Play a converter that needs a pause after replying: a request
                         that starts within MS milliseconds of the end of its last
                         reply goes unheard and unanswered.
  --power-cut=SECONDS[:AFTER_SECONDS]
                         AFTER_SECONDS (default 5) after the start, cut the power for
                         SECONDS: the terminal closes (the program sees its port fail),
                         the link is removed, and afterwards a new terminal is made,
                         the link re-pointed and the new path printed on a new line.
  -h, --help             Show this text.
)";
}

} // namespace pravenor::sim
