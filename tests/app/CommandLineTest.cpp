#include "HeadlessEngine.h"
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Row
{
    const char* name;
    std::vector<std::string> arguments;
    CommandLine expected;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

class CommandLineTest : public testing::TestWithParam<Row>
{
};

CommandLine line(bool help, bool version, const char* system, const char* settings, const char* shots,
                 const char* tour, const char* error)
{
    CommandLine expected;
    expected.help = help;
    expected.version = version;
    expected.systemFile = system;
    expected.settingsFile = settings;
    expected.screenshotFolder = shots;
    expected.tourFolder = tour;
    expected.error = error;
    return expected;
}

TEST_P(CommandLineTest, ReadsWhatWasAskedAndSaysWhatWasWrong)
{
    const Row& row = GetParam();
    const CommandLine read = parseCommandLine(row.arguments);
    EXPECT_EQ(row.expected.help, read.help);
    EXPECT_EQ(row.expected.version, read.version);
    EXPECT_EQ(row.expected.systemFile, read.systemFile);
    EXPECT_EQ(row.expected.settingsFile, read.settingsFile);
    EXPECT_EQ(row.expected.screenshotFolder, read.screenshotFolder);
    EXPECT_EQ(row.expected.tourFolder, read.tourFolder);
    EXPECT_EQ(row.expected.error, read.error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    testing::Values(
        Row{"NothingIsTheViewerAsItAlwaysWas", {}, line(false, false, "", "", "", "", "")},
        Row{"Help", {"--help"}, line(true, false, "", "", "", "", "")},
        Row{"ShortHelp", {"-h"}, line(true, false, "", "", "", "", "")},
        Row{"Version", {"--version"}, line(false, true, "", "", "", "", "")},
        Row{"EveryValueBothWays",
            {"--system", "belt.cfg", "--settings=my.cfg", "--screenshots", "shots", "--tour=/tmp/t"},
            line(false, false, "belt.cfg", "my.cfg", "shots", "/tmp/t", "")},
        Row{"AValueThatLooksLikeAnOption", {"--system", "--help"},
            line(false, false, "--help", "", "", "", "")},
        Row{"TheLastOfTwoWins", {"--system", "a.cfg", "--system", "b.cfg"},
            line(false, false, "b.cfg", "", "", "", "")},
        Row{"UnknownOption", {"--fullscreen"}, line(false, false, "", "", "", "", "unknown option --fullscreen")},
        Row{"AKnownOptionsPrefixIsNotIt", {"--sys", "a.cfg"},
            line(false, false, "", "", "", "", "unknown option --sys")},
        Row{"StrayArgument", {"1.cfg"}, line(false, false, "", "", "", "", "unexpected argument 1.cfg")},
        Row{"MissingValueAtTheEnd", {"--tour"}, line(false, false, "", "", "", "", "--tour needs a DIR")},
        Row{"EmptyValue", {"--settings="}, line(false, false, "", "", "", "", "--settings needs a FILE")},
        Row{"AnErrorStopsTheReading", {"--bogus", "--help"},
            line(false, false, "", "", "", "", "unknown option --bogus")}),
    RowName());
}
