#ifndef ORVTEST_APP_COMMANDLINE_H
#define ORVTEST_APP_COMMANDLINE_H

#include "config/Result.h"

#include <string>
#include <vector>

// What the viewer was asked for on its command line. Options take their value
// as the next argument or after "=".
struct CommandLine
{
    bool help = false;
    bool version = false;
    // Whether the window is chosen on the command line, so the dialog is not shown.
    bool windowChosen() const { return width > 0 || fullscreen; }
    std::string systemFile;        // --system: instead of the settings' StaticSystem
    std::vector<std::string> catalogueFiles;   // --catalogue, each time given: instead of the settings' Files
    std::string settingsFile;      // --settings: instead of OrvTest.cfg
    std::string screenshotFolder;  // --screenshots
    std::string tourFolder;        // --tour: take the tour, its pictures there
    std::string clockStart;        // --at: the date the clock starts at, instead of the settings' Start
    std::string size;              // --size WxH: the window (or a film's frames), without the dialog
    int width = 0;                 // read from it; 0 when not given
    int height = 0;
    bool fullscreen = false;       // --fullscreen: the whole screen, without the dialog
    bool trueScale = false;        // --true-scale: start at true scale
    std::string uiScale;           // --ui-scale F: the size of everything written on screen
    float scale = 0.0f;            // read from it; 0 when not given, for the display's own
    std::string fieldOfViewText;   // --fov DEGREES
    double fieldOfView = 0.0;      // read from it; 0 when not given
    std::string viewName;          // --view NAME: start at the kept view
    // A film (--record DIR): its frames, and how fast and where it goes.
    std::string filmFolder;        // --record DIR
    std::string framesText;        // --frames N
    long frames = 0;               // read from it, or from --seconds; 0 when neither is given
    std::string framesPerSecondText;   // --fps F
    double framesPerSecond = 30.0;
    std::string secondsText;       // --seconds S
    double seconds = 0.0;
    std::string pathText;          // --path A,B,...
    std::vector<std::string> path; // the views' names
    bool overlays = false;         // --overlays: the status line, clock and panels drawn into the film
};

// What the arguments (without the program's name) ask for; a Failure saying
// what is wrong with the first argument that does not read, or with the
// options together.
Result<CommandLine> parseCommandLine(const std::vector<std::string>& arguments);

// The usage text, as --help prints it.
extern const char* const viewerUsage;

// Exit status for a command line the viewer does not understand.
constexpr int exitUsage = 2;

#endif
