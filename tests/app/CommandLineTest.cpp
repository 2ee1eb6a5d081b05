#include "HeadlessEngine.h"
#include "app/CommandLine.h"

#include <vector>

namespace
{
// What was read, the fields that are not at their defaults; or the error.
std::string describe(const Result<CommandLine>& parsed)
{
    if (!parsed)
        return "error=" + parsed.why();
    const CommandLine& read = *parsed;
    std::string text;
    const auto field = [&](const char* name, const std::string& value) {
        if (!value.empty())
            text += std::string(text.empty() ? "" : " ") + name + "=" + value;
    };
    field("help", read.help ? "yes" : "");
    field("version", read.version ? "yes" : "");
    field("system", read.systemFile);
    const auto listed = [](const std::vector<std::string>& names) {
        std::string list;
        for (const std::string& name : names)
            list += "<" + name + ">";
        return list;
    };
    field("catalogues", listed(read.catalogueFiles));
    field("settings", read.settingsFile);
    field("screenshots", read.screenshotFolder);
    field("tour", read.tourFolder);
    field("at", read.clockStart);
    field("size", read.width ? std::to_string(read.width) + "," + std::to_string(read.height) : "");
    field("fullscreen", read.fullscreen ? "yes" : "");
    field("scale", read.scale > 0 ? std::to_string(read.scale).substr(0, 4) : "");
    field("fov", read.fieldOfView > 0 ? std::to_string(read.fieldOfView).substr(0, 5) : "");
    field("view", read.viewName);
    field("record", read.filmFolder);
    field("frames", read.frames ? std::to_string(read.frames) + " at " + std::to_string(read.framesPerSecond) : "");
    field("path", listed(read.path));
    field("overlays", read.overlays ? "yes" : "");
    return text;
}

TEST(CommandLineTest, ReadsWhatWasAskedAndSaysWhatWasWrong)
{
    const struct { const char* name; std::vector<std::string> arguments; const char* read; } rows[] = {
        {"NothingIsTheViewerAsItAlwaysWas", {}, ""}, {"ShortHelp", {"-h"}, "help=yes"},
        {"EveryValueBothWays", {"--system", "belt.cfg", "--settings=my.cfg", "--screenshots", "shots", "--tour=/tmp/t"},
         "system=belt.cfg settings=my.cfg screenshots=shots tour=/tmp/t"},
        {"AValueThatLooksLikeAnOption", {"--system", "--help"}, "system=--help"},
        {"TheLastOfTwoWins", {"--system", "a.cfg", "--system", "b.cfg"}, "system=b.cfg"},
        // Each --catalogue adds one, in order, a name with blanks or commas as it is.
        {"CataloguesAddUp", {"--catalogue", "MPCORB.DAT.gz", "--catalogue=Comet Els,1.txt", "--catalogue", "--help"},
         "catalogues=<MPCORB.DAT.gz><Comet Els,1.txt><--help>"},
        {"ACatalogueWithoutItsFile", {"--catalogue"}, "error=--catalogue needs a FILE"},
        {"ACatalogueOfNoName", {"--catalogue="}, "error=--catalogue needs a FILE"},
        {"AKnownOptionsPrefixIsNotIt", {"--sys", "a.cfg"}, "error=unknown option --sys"},
        {"StrayArgument", {"1.cfg"}, "error=unexpected argument 1.cfg"},
        {"MissingValueAtTheEnd", {"--tour"}, "error=--tour needs a DIR"},
        {"EmptyValue", {"--settings="}, "error=--settings needs a FILE"},
        {"AnErrorStopsTheReading", {"--bogus", "--help"}, "error=unknown option --bogus"},
        {"TheWindowAndTheScale", {"--size", "1920x1080", "--fullscreen", "--ui-scale=1.5", "--at", "now"},
         "at=now size=1920,1080 fullscreen=yes scale=1.50"},
        {"ASizeWithoutHeight", {"--size", "1920"}, "error=--size 1920: write the width and height in pixels, "
                                                   "16 to 16384 each, as 1920x1080"},
        {"ASizeBeyondAnyTexture", {"--size=99999x10"}, "error=--size 99999x10: write the width and height in "
                                                       "pixels, 16 to 16384 each, as 1920x1080"},
        {"TheSmallestScale", {"--ui-scale=0.5"}, "scale=0.50"}, {"TheLargestScale", {"--ui-scale=8"}, "scale=8.00"},
        {"AScaleJustBelow", {"--ui-scale=0.49"}, "error=--ui-scale 0.49: a number from 0.5 to 8"},
        {"AScaleJustAbove", {"--ui-scale=8.01"}, "error=--ui-scale 8.01: a number from 0.5 to 8"},
        {"ANarrowField", {"--fov", "1"}, "fov=1.000"},
        {"AFieldAndAView", {"--view", "home", "--fov=120"}, "fov=120.0 view=home"},
        {"AFieldTooWide", {"--fov", "121"}, "error=--fov 121: a number of degrees from 1 to 120"},
        {"AFieldOfNothing", {"--fov", "0"}, "error=--fov 0: a number of degrees from 1 to 120"},
        {"AFilmAlongAPath", {"--record", "f", "--seconds=2", "--fps", "12.5", "--path", "a,Earth rise", "--overlays"},
         "size=1920,1080 record=f frames=25 at 12.500000 path=<a><Earth rise> overlays=yes"},
        {"AFilmOfFramesFromAView", {"--record", "f", "--frames", "3", "--size", "64x48", "--view", "v"},
         "size=64,48 view=v record=f frames=3 at 30.000000"},
        {"AFilmNeedsALength", {"--record", "f"}, "error=--record needs the film's length: --frames N or --seconds S"},
        {"FramesAndSecondsDisagree", {"--record", "f", "--frames", "10", "--seconds", "1"},
         "error=--frames 10 and --seconds 1 disagree: at 30 frames a second that is 30 frames; give one of them"},
        {"NoPartOfAFrame", {"--record", "f", "--frames", "2.5"},
         "error=--frames 2.5: a whole number of frames, from 1 to 10000000"},
        {"NoFilmAtNoSpeed", {"--record", "f", "--frames", "2", "--fps", "0"},
         "error=--fps 0: frames a second, above 0 and at most 1000"},
        {"APathOfOneView", {"--record", "f", "--frames", "2", "--path", "a,"},
         "error=--path a,: name two kept views or more, separated by commas"},
        {"AFilmOptionWithoutAFilm", {"--seconds", "3"}, "error=--seconds is for a film: give --record DIR too"},
        {"ADateNoCalendarHas", {"--at", "2030-02-30"},
         "error=--at 2030-02-30: '2030-02-30' is no date: write 2030-01-01, 2030-01-01T12:00 (UTC), J2000 or now"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.read, describe(parseCommandLine(row.arguments))) << row.name;
}
}
