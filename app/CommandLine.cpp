#include "app/CommandLine.h"

#include "config/Dates.h"

#include <cstdio>
#include <cstdlib>

const char* const viewerUsage =
    "usage: orvtest [OPTION]...\n"
    "Shows a sun and the planets and moons that orbit it, and lets you fly among them.\n"
    "\n"
    "  --system FILE       show FILE instead of the system the settings name\n"
    "  --settings FILE     read FILE instead of OrvTest.cfg\n"
    "  --screenshots DIR   save screenshots in DIR\n"
    "  --tour DIR          without the dialog, save a picture of the start view and\n"
    "                      of each of the first bodies in DIR, then end\n"
    "  --at DATE           start the clock at DATE (2030-01-01, 2030-01-01T12:00 or\n"
    "                      now) instead of the settings' Start\n"
    "  --size WxH          a window of W x H pixels, without the dialog\n"
    "  --fullscreen        the whole screen, without the dialog\n"
    "  --ui-scale F        text and marks on screen F times their size (the\n"
    "                      display's own by default: 1 at 96 dpi)\n"
    "  --help              print this help and end\n"
    "  --version           print the version and end\n"
    "\n"
    "Run from a folder that holds OrvTest.cfg, orvtest reads and writes there.\n"
    "Anywhere else it reads ~/.config/orvtest/ (made on the first run), keeps\n"
    "ogre.cfg and Ogre.log in ~/.cache/orvtest/ and screenshots in ~/Pictures/OrvTest/.\n"
    "Keys: H or F1 in the viewer. See orvtest(1).\n";

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
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
    };
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i)
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
        bool known = false;
        for (const auto& option : valued)
        {
            const std::string name = option.name;
            std::string value;
            if (argument == name)
            {
                if (i + 1 >= arguments.size())
                {
                    line.error = name + " needs a " + option.what;
                    break;
                }
                value = arguments[++i];
            }
            else if (argument.compare(0, name.size() + 1, name + "=") == 0)
                value = argument.substr(name.size() + 1);
            else
                continue;
            known = true;
            if (value.empty())
                line.error = name + " needs a " + option.what;
            line.*option.value = value;
            break;
        }
        if (!known && line.error.empty())
            line.error = (argument.size() > 1 && argument[0] == '-' ? "unknown option " : "unexpected argument ") +
                         argument;
    }
    double days = 0.0;
    std::string why;
    if (line.error.empty() && !line.clockStart.empty() && !parseDate(line.clockStart, days, why))
        line.error = "--at " + line.clockStart + ": " + why;
    if (line.error.empty() && !line.size.empty())
    {
        // Within what a texture or a window of the engine can be.
        char x = 0;
        char after = 0;
        if (std::sscanf(line.size.c_str(), "%d%c%d%c", &line.width, &x, &line.height, &after) != 3 || x != 'x' ||
            line.width < 16 || line.height < 16 || line.width > 16384 || line.height > 16384)
        {
            line.error = "--size " + line.size + ": write the width and height in pixels, 16 to 16384 each, as 1920x1080";
            line.width = line.height = 0;
        }
    }
    if (line.error.empty() && !line.uiScale.empty())
    {
        char* end = nullptr;
        const double scale = std::strtod(line.uiScale.c_str(), &end);
        if (*end != '\0' || !(scale >= 0.5 && scale <= 8.0))
            line.error = "--ui-scale " + line.uiScale + ": a number from 0.5 to 8";
        else
            line.scale = float(scale);
    }
    return line;
}
