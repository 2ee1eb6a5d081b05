#ifndef ORVTEST_APP_COMMANDLINE_H
#define ORVTEST_APP_COMMANDLINE_H

#include <string>
#include <vector>

// What the viewer was asked for on its command line. Options take their value
// as the next argument or after "=".
struct CommandLine
{
    bool help = false;
    bool version = false;
    std::string systemFile;        // --system: instead of the settings' StaticSystem
    std::string settingsFile;      // --settings: instead of OrvTest.cfg
    std::string screenshotFolder;  // --screenshots
    std::string tourFolder;        // --tour: take the tour, its pictures there
    std::string clockStart;        // --at: the date the clock starts at, instead of the settings' Start
    std::string error;             // what was wrong with the line; empty when nothing
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The usage text, as --help prints it.
extern const char* const viewerUsage;

// Exit status for a command line the viewer does not understand.
constexpr int exitUsage = 2;

#endif
