#include "HeadlessEngine.h"
#include "app/CommandLine.h"

#include <vector>

namespace
{
// What was read, the fields that are not at their defaults.
std::string describe(const CommandLine& read)
{
    std::string text;
    const auto field = [&](const char* name, const std::string& value) {
        if (!value.empty())
            text += std::string(text.empty() ? "" : " ") + name + "=" + value;
    };
    field("help", read.help ? "yes" : "");
    field("version", read.version ? "yes" : "");
    field("system", read.systemFile);
    field("settings", read.settingsFile);
    field("screenshots", read.screenshotFolder);
    field("tour", read.tourFolder);
    field("error", read.error);
    return text;
}

TEST(CommandLineTest, ReadsWhatWasAskedAndSaysWhatWasWrong)
{
    const struct
    {
        const char* name;
        std::vector<std::string> arguments;
        const char* read;
    } rows[] = {
        {"NothingIsTheViewerAsItAlwaysWas", {}, ""},
        {"Help", {"--help"}, "help=yes"},
        {"ShortHelp", {"-h"}, "help=yes"},
        {"Version", {"--version"}, "version=yes"},
        {"EveryValueBothWays", {"--system", "belt.cfg", "--settings=my.cfg", "--screenshots", "shots", "--tour=/tmp/t"},
         "system=belt.cfg settings=my.cfg screenshots=shots tour=/tmp/t"},
        {"AValueThatLooksLikeAnOption", {"--system", "--help"}, "system=--help"},
        {"TheLastOfTwoWins", {"--system", "a.cfg", "--system", "b.cfg"}, "system=b.cfg"},
        {"UnknownOption", {"--bogus"}, "error=unknown option --bogus"},
        {"AKnownOptionsPrefixIsNotIt", {"--sys", "a.cfg"}, "error=unknown option --sys"},
        {"StrayArgument", {"1.cfg"}, "error=unexpected argument 1.cfg"},
        {"MissingValueAtTheEnd", {"--tour"}, "error=--tour needs a DIR"},
        {"EmptyValue", {"--settings="}, "error=--settings needs a FILE"},
        {"AnErrorStopsTheReading", {"--bogus", "--help"}, "error=unknown option --bogus"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.read, describe(parseCommandLine(row.arguments))) << row.name;
}
}
