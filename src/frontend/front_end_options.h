#pragma once

#include "link/line_address.h"
#include "link/tls_trust.h"

#include <QCommandLineParser>
#include <QStringList>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::frontend {

// The options every front end understands. The historic switches "/LOG" and "/DEBUG" count
// anywhere in the command line (the program reads them from the whole line); standing alone
// they are no argument.
struct FrontEndOptions
{
    bool demo = false;                         // --demo: the built-in simulated converter
    bool fast = false;                         // --fast: the link at the line's own speed
    std::string device;                        // --port DEVICE, as given
    std::optional<link::LineAddress> line;     // --port DEVICE read; none when not usable
    std::optional<std::filesystem::path> home; // --home DIR
    link::TlsTrust tls;                        // --ca, --pin, --cert, --key
    bool help = false;                         // -h, --help
    bool version = false;                      // --version
    std::string commandLine;                   // every argument, joined by blanks
    std::string error;                         // why the arguments cannot be used
};

// Qt's parser, set up with the common options; a front end adds its own before parse().
// Arguments are bytes: each reaches the parser as Latin-1, one character a byte, and values
// come back as the very bytes given, whatever their encoding (a path, a Windows-1252 text).
// Long options also take one dash (-help), and a value follows as the next argument or
// after "=".
class FrontEndParser
{
public:
    explicit FrontEndParser(const std::vector<std::string>& args);

    void addFlag(std::initializer_list<const char*> names);
    void addValue(std::initializer_list<const char*> names, const char* valueName);

    // False when an option is unknown or lacks its value; the common options are read either
    // way, so that --help still counts.
    bool parse();
    // Names the option that was left without its value ("--com needs a value"), or says which
    // argument is unknown, with the word the front end uses for it.
    std::string failure(const std::string& unknownWord) const;

    bool isSet(const char* name) const;
    std::optional<std::string> value(const char* name) const; // the last one given
    // The arguments that are no option, without the switches standing alone.
    std::vector<std::string> positional() const;
    const FrontEndOptions& common() const { return m_common; }

private:
    void findFailure();

    std::vector<std::string> m_args;
    QStringList m_qtArgs;
    QCommandLineParser m_parser;
    FrontEndOptions m_common;
    std::map<std::string, bool> m_takesValue; // every option name, without its dashes
    std::string m_unknown;      // the first argument that names no option ("--frob", "--demo=1")
    std::string m_missingValue; // the option at the end that lacks its value
};

// The text a front end gives for "--port DEVICE" and friends, for --help.
std::string FrontEndOptionsHelp();

} // namespace pravenor::frontend
