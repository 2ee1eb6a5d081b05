#include "app/CommandLine.h"

#include "config/Dates.h"
#include "config/SettingsKeys.h"
#include "config/Views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* const viewerUsage =
    "usage: orvtest [OPTION]...\n"
    "Shows a sun and the planets and moons that orbit it, and lets you fly among them.\n"
    "\n"
    "  --system FILE       show FILE instead of the system the settings name\n"
    "  --catalogue FILE    show the asteroids or comets of the catalogue FILE\n"
    "                      (MPCORB.DAT, CometEls.txt, JPL's answers; gzipped or\n"
    "                      not) instead of those the settings name; repeatable\n"
    "  --settings FILE     read FILE instead of OrvTest.cfg\n"
    "  --screenshots DIR   save screenshots in DIR\n"
    "  --tour DIR          without the dialog, save a picture of the start view and\n"
    "                      of each of the first bodies in DIR, then end\n"
    "  --at DATE           start the clock at DATE (2030-01-01, 2030-01-01T12:00 or\n"
    "                      now) instead of the settings' Start\n"
    "  --size WxH          a window of W x H pixels, without the dialog\n"
    "  --fullscreen        the whole screen, without the dialog\n"
    "  --true-scale        start at true scale: the bodies at their real sizes and\n"
    "                      distances (X switches)\n"
    "  --ui-scale F        text and marks on screen F times their size (the\n"
    "                      display's own by default: 1 at 96 dpi)\n"
    "  --fov DEGREES       a vertical field of view of 1 to 120 degrees (45), over\n"
    "                      a view's own\n"
    "  --view NAME         start at the view kept as NAME (K keeps one)\n"
    "  --record DIR        without the dialog, draw a film into DIR/frame_000001.png\n"
    "                      and on, then end: --size WxH frames (1920x1080), from\n"
    "                      --view NAME or along --path, for this long:\n"
    "  --frames N          N frames\n"
    "  --seconds S         or S seconds of film\n"
    "  --fps F             frames a second of film time (30)\n"
    "  --path A,B,...      a film flies through the kept views A, B, ... in order\n"
    "  --overlays          a film shows the status line, clock and panels\n"
    "  --help              print this help and end\n"
    "  --version           print the version and end\n"
    "\n"
    "Run from a folder that holds OrvTest.cfg, orvtest reads and writes there.\n"
    "Anywhere else it reads ~/.config/orvtest/ (made on the first run), keeps\n"
    "ogre.cfg and Ogre.log in ~/.cache/orvtest/ and screenshots in ~/Pictures/OrvTest/.\n"
    "Keys: H or F1 in the viewer. See orvtest(1).\n";

namespace
{
// A number that is the whole of `text`, from `lowest` to `highest`.
bool readNumberIn(const std::string& text, double lowest, double highest, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value >= lowest && value <= highest;
}

// A bound as the messages write it: 0.5, 8.
std::string boundText(double bound)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", bound);
    return text;
}

// Reads the options of a film, which only a film may be given.
Result<> readFilmOptions(CommandLine& line)
{
    const std::pair<const std::string*, const char*> filmOnly[] = {
        {&line.framesText, "--frames"}, {&line.framesPerSecondText, "--fps"}, {&line.secondsText, "--seconds"},
        {&line.pathText, "--path"}};
    if (line.filmFolder.empty())
    {
        for (const auto& [text, name] : filmOnly)
            if (!text->empty())
                return Failure{std::string(name) + " is for a film: give --record DIR too"};
        if (line.overlays)
            return Failure{"--overlays is for a film: give --record DIR too"};
        return {};
    }
    if (!line.tourFolder.empty())
        return Failure{"--record and --tour are two runs of their own: give one"};
    if (line.fullscreen)
        return Failure{"--fullscreen is for the window: a film is drawn off-screen, at --size"};
    double value = 0.0;
    if (!line.framesPerSecondText.empty())
    {
        if (!readNumberIn(line.framesPerSecondText, 0.0, 1000.0, value) || value == 0.0)
            return Failure{"--fps " + line.framesPerSecondText + ": frames a second, above 0 and at most 1000"};
        line.framesPerSecond = value;
    }
    if (!line.framesText.empty())
    {
        if (!readNumberIn(line.framesText, 1.0, 1e7, value) || value != std::floor(value))
            return Failure{"--frames " + line.framesText + ": a whole number of frames, from 1 to 10000000"};
        line.frames = long(value);
    }
    if (!line.secondsText.empty())
    {
        if (!readNumberIn(line.secondsText, 0.0, 1e6, value) || value == 0.0)
            return Failure{"--seconds " + line.secondsText + ": seconds of film, above 0 and at most 1000000"};
        line.seconds = value;
        const long frames = std::max(1L, std::lround(value * line.framesPerSecond));
        if (line.frames > 0 && line.frames != frames)
            return Failure{"--frames " + line.framesText + " and --seconds " + line.secondsText + " disagree: at " +
                           line.framesPerSecondText + (line.framesPerSecondText.empty() ? "30" : "") +
                           " frames a second that is " + std::to_string(frames) + " frames; give one of them"};
        line.frames = frames;
    }
    if (line.frames == 0)
        return Failure{"--record needs the film's length: --frames N or --seconds S"};
    if (!line.pathText.empty())
    {
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.pathText.find(',', start)) != std::string::npos; start = comma + 1)
            line.path.push_back(line.pathText.substr(start, comma - start));
        line.path.push_back(line.pathText.substr(start));
        for (const std::string& name : line.path)
            if (name.empty() || line.path.size() < 2)
                return Failure{"--path " + line.pathText + ": name two kept views or more, separated by commas"};
        if (!line.viewName.empty())
            return Failure{"--view and --path both say where the film starts: give one"};
    }
    if (line.width == 0)
    {
        line.width = 1920;
        line.height = 1080;
    }
    return {};
}
}

Result<CommandLine> parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    const struct
    {
        const char* name;
        std::string CommandLine::*value;
        const char* what;
    } valued[] = {
        {"--system", &CommandLine::systemFile, "FILE"},
        {"--settings", &CommandLine::settingsFile, "FILE"},
        {"--screenshots", &CommandLine::screenshotFolder, "DIR"},
        {"--tour", &CommandLine::tourFolder, "DIR"},
        {"--at", &CommandLine::clockStart, "DATE"},
        {"--size", &CommandLine::size, "WxH"},
        {"--ui-scale", &CommandLine::uiScale, "F"},
        {"--fov", &CommandLine::fieldOfViewText, "DEGREES"},
        {"--view", &CommandLine::viewName, "NAME"},
        {"--record", &CommandLine::filmFolder, "DIR"},
        {"--frames", &CommandLine::framesText, "N"},
        {"--fps", &CommandLine::framesPerSecondText, "F"},
        {"--seconds", &CommandLine::secondsText, "S"},
        {"--path", &CommandLine::pathText, "A,B,..."},
    };
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
        {
            line.help = true;
            continue;
        }
        if (argument == "--version")
        {
            line.version = true;
            continue;
        }
        if (argument == "--fullscreen")
        {
            line.fullscreen = true;
            continue;
        }
        if (argument == "--overlays")
        {
            line.overlays = true;
            continue;
        }
        if (argument == "--true-scale")
        {
            line.trueScale = true;
            continue;
        }
        // The one option that may be given again: each names one more catalogue.
        if (argument == "--catalogue" || argument.compare(0, 12, "--catalogue=") == 0)
        {
            std::string value = argument.size() > 11 ? argument.substr(12) : "";
            if (argument.size() == 11 && i + 1 < arguments.size())
                value = arguments[++i];
            if (value.empty())
                return Failure{"--catalogue needs a FILE"};
            line.catalogueFiles.push_back(value);
            continue;
        }
        bool known = false;
        for (const auto& option : valued)
        {
            const std::string name = option.name;
            const bool apart = argument == name;   // the value is the next argument
            if (!apart && argument.compare(0, name.size() + 1, name + "=") != 0)
                continue;
            std::string value = apart ? "" : argument.substr(name.size() + 1);
            if (apart && i + 1 < arguments.size())
                value = arguments[++i];
            if (value.empty())
                return Failure{name + " needs a " + option.what};
            line.*option.value = value;
            known = true;
            break;
        }
        if (!known)
            return Failure{(argument.size() > 1 && argument[0] == '-' ? "unknown option " : "unexpected argument ") +
                           argument};
    }
    if (!line.clockStart.empty())
        if (const Result<double> date = parseDate(line.clockStart); !date)
            return Failure{"--at " + line.clockStart + ": " + date.why()};
    if (!line.size.empty())
    {
        // Within what a texture or a window of the engine can be.
        char x = 0;
        char after = 0;
        if (std::sscanf(line.size.c_str(), "%d%c%d%c", &line.width, &x, &line.height, &after) != 3 || x != 'x' ||
            line.width < 16 || line.height < 16 || line.width > 16384 || line.height > 16384)
            return Failure{"--size " + line.size +
                           ": write the width and height in pixels, 16 to 16384 each, as 1920x1080"};
    }
    if (!line.uiScale.empty())
    {
        double scale = 0.0;
        if (!readNumberIn(line.uiScale, smallestUiScale, largestUiScale, scale))
            return Failure{"--ui-scale " + line.uiScale + ": a number from " + boundText(smallestUiScale) + " to " +
                           boundText(largestUiScale)};
        line.scale = float(scale);
    }
    if (!line.fieldOfViewText.empty() &&
        !readNumberIn(line.fieldOfViewText, narrowestFieldOfView, widestFieldOfView, line.fieldOfView))
        return Failure{"--fov " + line.fieldOfViewText + ": a number of degrees from " +
                       boundText(narrowestFieldOfView) + " to " + boundText(widestFieldOfView)};
    if (const Result<> film = readFilmOptions(line); !film)
        return Failure{film.why()};
    return line;
}
