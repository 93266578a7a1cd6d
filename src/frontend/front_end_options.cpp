#include "frontend/front_end_options.h"

#include "link/control_chars.h"
#include "link/line_address.h"

namespace pravenor::frontend {

namespace {

QString FromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

bool IsStandaloneSwitch(const std::string& arg)
{
    return arg == "/LOG" || arg == "/DEBUG";
}

} // namespace

FrontEndParser::FrontEndParser(const std::vector<std::string>& args) : m_args(args)
{
    m_qtArgs.reserve(static_cast<qsizetype>(args.size()) + 1);
    m_qtArgs << QStringLiteral("program"); // the parser skips the program's name
    for (const std::string& arg : args) {
        m_qtArgs << FromBytes(arg);
        m_common.commandLine += (m_common.commandLine.empty() ? "" : " ") + arg;
    }
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addFlag({"h", "help"});
    addFlag({"version"});
    addFlag({"demo"});
    addFlag({"fast"});
    addValue({"home"}, "DIR");
    addValue({"port"}, "DEVICE");
    addValue({"ca"}, "FILE");
    addValue({"pin"}, "SHA256:HEX");
    addValue({"cert"}, "FILE");
    addValue({"key"}, "FILE");
}

void FrontEndParser::addFlag(std::initializer_list<const char*> names)
{
    QStringList qtNames;
    for (const char* name : names) {
        qtNames << QString::fromLatin1(name);
        m_takesValue[name] = false;
    }
    m_parser.addOption(QCommandLineOption(qtNames));
}

void FrontEndParser::addValue(std::initializer_list<const char*> names, const char* valueName)
{
    QStringList qtNames;
    for (const char* name : names) {
        qtNames << QString::fromLatin1(name);
        m_takesValue[name] = true;
    }
    m_parser.addOption(QCommandLineOption(qtNames, QString(), QString::fromLatin1(valueName)));
}

bool FrontEndParser::parse()
{
    const bool parsed = m_parser.parse(m_qtArgs);
    if (!parsed)
        findFailure();
    m_common.help = isSet("help");
    m_common.version = isSet("version");
    m_common.demo = isSet("demo");
    m_common.fast = isSet("fast");
    if (auto home = value("home"))
        m_common.home = *home;
    m_common.device = value("port").value_or("");
    const link::ParsedLineAddress port = link::ParseLineAddress(m_common.device);
    m_common.line = port.address;
    if (m_common.demo && !m_common.device.empty())
        m_common.error = "--demo uses the simulated converter; leave out --port";
    if (m_common.error.empty() && !port.error.empty())
        m_common.error = "--port " + link::VisibleText(m_common.device) + ": " + port.error;
    link::TlsTrust& tls = m_common.tls;
    tls.authorityFile = value("ca").value_or("");
    tls.pin = value("pin").value_or("");
    tls.certificateFile = value("cert").value_or("");
    tls.keyFile = value("key").value_or("");
    if (m_common.error.empty() && !tls.pin.empty() && link::PinDigits(tls.pin).empty())
        m_common.error =
            "--pin " + tls.pin + ": write SHA256: and the certificate's 64 hexadecimal digits";
    if (m_common.error.empty() && tls.certificateFile.empty() != tls.keyFile.empty())
        m_common.error = "--cert and --key go together: the certificate and its private key";
    return parsed;
}

// Qt's own messages are worded for people who know its parser; ours name the argument as typed.
// The walk takes the arguments as the parser does, values included.
void FrontEndParser::findFailure()
{
    for (std::size_t i = 0; i < m_args.size(); ++i) {
        const std::string& arg = m_args[i];
        if (arg == "--")
            return;
        if (arg.size() < 2 || arg[0] != '-')
            continue;
        const std::size_t start = arg[1] == '-' ? 2 : 1;
        const std::size_t equals = arg.find('=');
        const auto option = m_takesValue.find(arg.substr(start, equals - start));
        if (option == m_takesValue.end() || (!option->second && equals != std::string::npos)) {
            m_unknown = arg;
            return;
        }
        if (option->second && equals == std::string::npos && ++i == m_args.size())
            m_missingValue = arg;
    }
}

std::string FrontEndParser::failure(const std::string& unknownWord) const
{
    if (!m_missingValue.empty())
        return m_missingValue + " needs a value";
    if (!m_unknown.empty())
        return unknownWord + " " + m_unknown;
    return {};
}

bool FrontEndParser::isSet(const char* name) const
{
    return m_parser.isSet(QString::fromLatin1(name));
}

std::optional<std::string> FrontEndParser::value(const char* name) const
{
    if (!isSet(name))
        return std::nullopt;
    return ToBytes(m_parser.value(QString::fromLatin1(name)));
}

std::vector<std::string> FrontEndParser::positional() const
{
    std::vector<std::string> arguments;
    for (const QString& argument : m_parser.positionalArguments()) {
        std::string bytes = ToBytes(argument);
        if (!IsStandaloneSwitch(bytes))
            arguments.push_back(std::move(bytes));
    }
    return arguments;
}

std::string FrontEndOptionsHelp()
{
    return "  --port DEVICE  the converter's serial device, e.g. /dev/ttyUSB0 or a\n"
           "                 /dev/serial/by-id/... name, or a serial device server on the\n"
           "                 network: tcp://HOST:PORT (raw) or rfc2217://HOST:PORT, or\n"
           "                 the same inside TLS: tcp+tls://HOST:PORT, rfc2217+tls://...\n"
           "  --ca FILE      TLS: the authorities (PEM) that vouch for the server; the\n"
           "                 system's when left out\n"
           "  --pin SHA256:HEX  TLS: accept exactly the server certificate with this\n"
           "                 fingerprint, whoever signed it\n"
           "  --cert FILE, --key FILE  TLS: this program's certificate and key (PEM) for\n"
           "                 a server that asks for one\n"
           "  --demo         the built-in simulated converter\n"
           "  --fast         talk to the converter as fast as the line allows; back to the\n"
           "                 standard pace by itself when the converter cannot keep up\n"
           "  --home DIR     the program folder (Pravenor.set, default.set, Log/)\n"
           "  /LOG, /DEBUG   debug level 1 or 2; 2 shows the service controls and more\n"
           "                 detail in the progress text\n"
           "  --version      the program's version\n"
           "  -h, --help     this text\n";
}

} // namespace pravenor::frontend
