// The tool against its built-in simulated converter, which answers at once: what it prints,
// saves and exits with.
#include "cli_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <fstream>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

class CliDemo : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    CliRun cli(const QStringList& arguments)
    {
        return RunCli(QStringList{"--home", Q(folder.path())} + arguments, 20s);
    }

    // The demo converter's settings file with some lines replaced.
    std::string demoFile(const std::vector<std::pair<std::string, std::string>>& replaced)
    {
        std::string text = cli({"read"}).out;
        for (const auto& [from, to] : replaced) {
            const std::size_t at = text.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos)
                text.replace(at, from.size(), to);
        }
        return text;
    }

    RunFolder folder;
};

TEST_F(CliDemo, ReadToStandardOutputGivesTheBytesThatTheSaveWrites)
{
    const CliRun shown = cli({"read"});
    const CliRun saved = cli({"read", "-o", Q(folder / "unit.cfg")});
    ASSERT_EQ(shown.status, 0) << shown.err;
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    EXPECT_EQ(shown.out, TempFolder::read(folder / "unit.cfg"));
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = shown.out.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 140u);
    EXPECT_NE(shown.out.find("\r\n10    ->3\r\n"), std::string::npos);
    EXPECT_NE(shown.out.find("\r\n108    ->Entrance door ALARM\r\n"), std::string::npos);

    const CliRun fast = cli({"--fast", "read"});
    ASSERT_EQ(fast.status, 0) << fast.err;
    EXPECT_EQ(fast.out, shown.out);
}

TEST_F(CliDemo, ADiffWithoutDifferencesSaysInOneLineThatTheUnitMatches)
{
    TempFolder::write(folder / "site.cfg", demoFile({}));
    const std::string line = "The unit matches site.cfg: no differences.";
    const CliRun said = cli({"diff", Q(folder / "site.cfg")});
    EXPECT_EQ(said.status, 0) << said.err;
    EXPECT_EQ(said.out, "");
    EXPECT_NE(said.err.find(line), std::string::npos) << said.err;
    const CliRun quiet = cli({"-q", "diff", Q(folder / "site.cfg")});
    EXPECT_EQ(quiet.err.find(line), std::string::npos) << quiet.err;
}

TEST_F(CliDemo, DiffJsonIsOneObjectWithStableKeys)
{
    TempFolder::write(folder / "site.cfg",
                      demoFile({{"\r\n10    ->3\r\n", "\r\n10    ->2\r\n"},
                                {"\r\n132    ->1001\r\n", "\r\n132    ->\"7\"\r\n"}}));
    const CliRun run = cli({"diff", "--json", Q(folder / "site.cfg")});
    EXPECT_EQ(run.status, 1) << run.err;
    QJsonParseError error{};
    const QJsonObject object =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    EXPECT_EQ(object["file"].toString(), Q(folder / "site.cfg"));
    EXPECT_FALSE(object["equal"].toBool(true));
    const QJsonArray differences = object["differences"].toArray();
    ASSERT_EQ(differences.size(), 2);
    const QJsonObject speed = differences[0].toObject();
    EXPECT_EQ(speed["item"].toInt(), 10);
    EXPECT_EQ(speed["legend"].toString(), "Paging serial speed:");
    EXPECT_EQ(speed["unit"].toObject()["value"].toInt(), 3);
    EXPECT_EQ(speed["unit"].toObject()["text"].toString(), "9600 baud");
    EXPECT_EQ(speed["file"].toObject()["value"].toInt(), 2);
    EXPECT_EQ(speed["file"].toObject()["text"].toString(), "4800 baud");
    const QJsonObject address = differences[1].toObject();
    EXPECT_EQ(address["item"].toInt(), 132);
    EXPECT_EQ(address["legend"].toString(), "Input 1, Address:");
    EXPECT_EQ(address["name"].toString(), "Input 1, Alarm, Address:");
    EXPECT_EQ(address["unit"].toObject()["value"].toString(), "1001");
    EXPECT_EQ(address["file"].toObject()["text"].toString(), "\"7\"");
}

TEST_F(CliDemo, GetJsonGivesPositionTextAndLegend)
{
    const CliRun run = cli({"get", "--json", "44", "108"});
    ASSERT_EQ(run.status, 0) << run.err;
    QJsonParseError error{};
    const QJsonArray settings = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error)
                                    .object()["settings"]
                                    .toArray();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    ASSERT_EQ(settings.size(), 2);
    EXPECT_EQ(settings[0].toObject(), (QJsonObject{{"item", 44},
                                                   {"name", "Input 1, Alarm, Repeat:"},
                                                   {"legend", "Input 1, Repeat:"},
                                                   {"value", 6},
                                                   {"text", "60 seconds"}}));
    EXPECT_EQ(settings[1].toObject()["value"].toString(), "Entrance door ALARM");
}

TEST_F(CliDemo, ReportOfAFileNeedsNoConverterAndOfTheUnitReadsItFirst)
{
    TempFolder::write(folder / "site.cfg", demoFile({{"\r\n108    ->Entrance door ALARM\r\n",
                                                      "\r\n108    ->Hall <door> open\r\n"}}));
    const CliRun ofFile =
        cli({"report", Q(folder / "site.cfg"), "-o", Q(folder / "r.html"), "--site", "Plant room"});
    ASSERT_EQ(ofFile.status, 0) << ofFile.err;
    EXPECT_EQ(ofFile.err.find("Reading"), std::string::npos) << ofFile.err;
    const std::string html = TempFolder::read(folder / "r.html");
    for (const char* expected : {"Plant room", "Hall &lt;door&gt; open", "9600 baud",
                                 "None of these values has been read from the unit."})
        EXPECT_NE(html.find(expected), std::string::npos) << expected;

    const CliRun ofUnit = cli({"-q", "report", "-o", Q(folder / "r.pdf")});
    ASSERT_EQ(ofUnit.status, 0) << ofUnit.err;
    QProcess text;
    text.start("pdftotext", {Q(folder / "r.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const char* expected :
         {"Entrance door ALARM", "the demo converter", "read from the unit", "Page 1 of"})
        EXPECT_TRUE(pdf.contains(expected)) << expected << "\n" << pdf.toStdString();

    const CliRun unwritable = cli({"report", Q(folder / "site.cfg"), "-o", Q(folder / "no/r.pdf")});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("pravenor-cli: the report could not be written to"),
              std::string::npos)
        << unwritable.err;
}

TEST_F(CliDemo, WriteRefusesAFileWithValuesItsSettingsCannotHoldBeforeAnythingIsSent)
{
    TempFolder::write(folder / "site.cfg", demoFile({{"\r\n44    ->6\r\n", "\r\n44    ->200\r\n"},
                                                     {"\r\n100    ->", "\r\n100    ->A\x1e"
                                                                       "B"}}));
    const CliRun run = cli({"write", Q(folder / "site.cfg")});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("pravenor-cli: setting 44 (Input 1, Repeat:): the file's value (200) "
                           "cannot be held (the "
                           "window would show Not used.)"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("pravenor-cli: setting 100"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("holds control characters, which are never sent"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("pravenor-cli: nothing was written"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Writing [Item:"), std::string::npos) << run.err;
}

TEST_F(CliDemo, WriteVerifyListsWhatTheConverterHoldsDifferently)
{
    // Item 44's list ends at 150: the value cannot be held by its box, so 0 is written when
    // the user says so.
    TempFolder::write(folder / "site.cfg",
                      demoFile({{"\r\n44    ->6\r\n", "\r\n44    ->200\r\n"}}));
    const CliRun run = cli({"write", "--lenient", "--verify", Q(folder / "site.cfg")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "44 Input 1, Alarm, Repeat: unit \"Not used.\", file \"(200)\"\n");
    EXPECT_NE(run.err.find("pravenor-cli: warning: setting 44 (Input 1, Repeat:): the file's value "
                           "(200) cannot be "
                           "held; Not used. is written instead"),
              std::string::npos)
        << run.err;
}

TEST_F(CliDemo, TheLogGoesToStandardErrorAndTheDaysFileAndThePortIsClosedAtTheEnd)
{
    const CliRun run = cli({"restart"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(" STATUS: RESET command sent to converter.\n"), std::string::npos)
        << run.err;
    const std::string last = " Comport closed by software.\n";
    EXPECT_EQ(run.err.substr(run.err.size() - last.size()), last);
    std::string logged;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "Log"))
        logged += TempFolder::read(entry.path());
    EXPECT_NE(logged.find(" STATUS: RESET command sent to converter.\r\n"), std::string::npos)
        << logged;
}

struct StatusRow
{
    QStringList arguments; // {} in a path: the test's folder
    int status;
    const char* err;
};

// Rows print as their arguments, not as bytes.
void PrintTo(const StatusRow& row, std::ostream* os)
{
    *os << row.arguments.join(QChar(' ')).toStdString();
}

class CliExitStatus : public CliDemo, public ::testing::WithParamInterface<StatusRow>
{
};

TEST_P(CliExitStatus, TellsHowTheRunWent)
{
    QStringList arguments = GetParam().arguments;
    for (QString& argument : arguments)
        argument.replace("{}", Q(folder.path()));
    const CliRun run = cli(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    const std::string err = QString(GetParam().err).replace("{}", Q(folder.path())).toStdString();
    EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliExitStatus,
    ::testing::Values(
        StatusRow{{"page", "--address", "1234", "--bleep", "A", "--text", "Test"},
                  0,
                  "STATUS: send call to pager via Pravenor successfull."},
        StatusRow{{"set", "10=19200 baud", "100=Front door"},
                  0,
                  "Writing [Item: 100 Value: Front door OK -> SAVED."},
        StatusRow{{"frobnicate"}, 2, "pravenor-cli: unknown command frobnicate"},
        StatusRow{{"set", "10=9601"}, 2, "  4  19200 baud"},
        StatusRow{{"diff", "{}/missing.cfg"},
                  2,
                  "pravenor-cli: The settings file {}/missing.cfg could not be opened."},
        StatusRow{{"read", "-o", "{}/no/folder/unit.cfg"}, 2, "pravenor-cli: "},
        StatusRow{{"set", "100=A\x1e"
                          "B"},
                  2,
                  "pravenor-cli: the text for setting 100"},
        StatusRow{{"page", "--address",
                   "1\x1e"
                   "2\x1f"
                   "HACKED",
                   "--bleep", "A"},
                  2,
                  "--address holds control characters"},
        StatusRow{{"page", "--address", "1234", "--bleep", "A", "--text", "\xce\xa9"},
                  2,
                  "--text holds characters that the converter's character set (Windows-1252) "
                  "cannot carry"},
        StatusRow{{"--port", "{}/no-device", "get", "10"},
                  3,
                  "pravenor-cli: cannot open the port {}/no-device: No such file or directory"}));

TEST(CliHelp, NamesEveryCommandAndExitStatusAsTheManualDoes)
{
    EnsureQtApplication();
    const CliRun help = RunCli({"--help"}, 10s);
    ASSERT_EQ(help.status, 0);
    std::ifstream file(PRAVENOR_MANUAL_PATH);
    const std::string manual{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
    for (const char* command : {"read", "write", "diff", "get", "set", "restart", "page", "history",
                                "restore", "report", "fleet"}) {
        EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        EXPECT_NE(manual.find(std::string(".B ") + command), std::string::npos) << command;
    }
    for (const char* option :
         {"--port", "--com", "--demo", "--home", "--json", "--quiet", "--port-wait", "--verify",
          "--lenient", "--no-backup", "--site", "--engineer", "--only", "--jobs"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
        std::string roff = option;
        for (std::size_t at = 0; (at = roff.find('-', at)) != std::string::npos; at += 2)
            roff.replace(at, 1, "\\-");
        EXPECT_NE(manual.find(roff), std::string::npos) << option;
    }
    for (int status = 0; status <= 4; ++status) {
        EXPECT_NE(help.out.find("\n  " + std::to_string(status) + "  "), std::string::npos)
            << status;
        EXPECT_NE(manual.find(".B " + std::to_string(status) + "\n"), std::string::npos) << status;
    }
}

} // namespace
} // namespace pravenor::test
