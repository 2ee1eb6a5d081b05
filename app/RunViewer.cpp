#include "app/RunViewer.h"

#include "OrvTestVersion.h"
#include "app/CommandLine.h"
#include "app/FilmRun.h"
#include "app/OrvTestApp.h"
#include "app/Platform.h"
#include "config/AppSettings.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "config/Places.h"
#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"
#include "sim/WorldLimits.h"
#include "viewer/Catalogues.h"

#include <OgreException.h>
#include <OISException.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>

namespace
{
const char* const errorCaption = "An exception has occured!";
// The start view and the first bodies.
constexpr int tourJumps = 4;

// The error box, or for a run without one (the tour) a line on stderr.
void tellUser(const std::string& text, bool quiet)
{
    if (quiet)
        std::cerr << "OrvTest: " << text << std::endl;
    else
        showErrorBox(errorCaption, text);
}

// Reads the two start-up files; false (after telling the user) when one cannot be read.
bool loadStartupFiles(const std::string& settingsFile, const Places& places, const std::string& systemChoice,
                      std::string& systemFile, bool quiet)
{
    try
    {
        loadSettings(settingsFile);
        // Values the engine cannot take stop it in the middle of a frame: refused here instead.
        const SettingsVerdict verdict = judgeSettingsText(settingsFile, readConfigText(settingsFile), appSettings);
        if (const Problem* refused = firstRefusedAtStart(verdict.problems))
        {
            tellUser("Cannot use the settings file \"" + settingsFile + "\".\n" + refused->where(), quiet);
            return false;
        }
    }
    catch (const Ogre::Exception& error)
    {
        tellUser("Cannot read the settings file \"" + settingsFile + "\".\n" + error.getDescription(), quiet);
        return false;
    }

    systemFile = places.find(systemChoice.empty() ? appSettings.StaticSystem : systemChoice);
    try
    {
        loadSystemFile(systemFile);
        // Judged in full only when it must be: a large system starts faster without.
        if (deepestMoon(bodyRegistry) > maxMoonDepth)
        {
            const SystemVerdict verdict = judgeSystemText(systemFile, readConfigText(systemFile), {});
            if (const Problem* refused = firstRefusedAtStart(verdict.problems))
            {
                tellUser("Cannot show the system file \"" + systemFile + "\".\n" + refused->where(), quiet);
                bodyRegistry.clear();
                return false;
            }
        }
    }
    catch (const Ogre::Exception& error)
    {
        tellUser("Cannot read the system file \"" + systemFile + "\".\n" + error.getDescription(), quiet);
        bodyRegistry.clear();
        return false;
    }
    return true;
}

// The box, once the input library has let go of the keyboard and pointer.
void reportError(OrvTestApp& app, const std::string& text, bool quiet)
{
    app.releaseInput();
    tellUser(text, quiet);
}

std::vector<std::string> placesForTheLog(const Places& places, const std::string& systemFile,
                                         const ViewerFiles& viewerFiles)
{
    std::vector<std::string> lines{
        std::string("OrvTest ") + orvtestVersion,
        "OrvTest: settings from " + places.settingsFile,
        "OrvTest: system from " + systemFile,
    };
    for (const std::string& catalogue : viewerFiles.catalogueFiles)
        lines.push_back("OrvTest: catalogue from " + catalogue);
    lines.insert(lines.end(), {
        "OrvTest: resources from " + places.resourcesFile + ", plug-ins from " + places.pluginsFile,
        "OrvTest: render settings in " + places.renderSettingsFile,
        "OrvTest: screenshots to " + (viewerFiles.screenshotFolder.empty() ? "the working folder"
                                                                          : viewerFiles.screenshotFolder),
    });
    for (const std::string& note : places.notes)
        lines.push_back("OrvTest: " + note);
    return lines;
}

// The tour needs a display, and a person without one needs to know how to lend it one.
Result<> tourCanStart(const std::string& folder)
{
    if (const Result<> made = makeFolders(folder); !made)
        return Failure{"the tour cannot keep its pictures: " + made.why()};
    if (!DisplayConnection().isOpen())
    {
        const char* display = std::getenv("DISPLAY");
        return Failure{std::string("the tour needs an X display, and ") +
                       (display && *display ? std::string("\"") + display + "\" cannot be opened"
                                            : "DISPLAY is not set") +
                       ". Take it in a virtual one:\n  xvfb-run orvtest --tour " + folder};
    }
    return {};
}
}

int runViewer(OrvTestApp& app, const CommandLine& commandLine)
{
    const bool touring = !commandLine.tourFolder.empty();
    const bool filming = !commandLine.filmFolder.empty();
    if (touring || filming)
    {
        const Result<> ready = touring ? tourCanStart(commandLine.tourFolder) : filmCanStart(commandLine);
        if (!ready)
        {
            std::cerr << "OrvTest: " << ready.why() << std::endl;
            return exitFailure;
        }
    }
    // Neither a tour nor a film has anyone to read a box.
    const bool quiet = touring || filming;

    const Places places = findPlaces(programFolder(), PlaceChoices{commandLine.settingsFile,
                                                                   touring ? commandLine.tourFolder
                                                                           : commandLine.screenshotFolder});
    for (const std::string& note : places.notes)
        std::cerr << "OrvTest: " << note << std::endl;

    std::string systemFile;
    if (!loadStartupFiles(places.settingsFile, places, commandLine.systemFile, systemFile, quiet))
        return exitFailure;

    // The catalogues are read behind the frames; one the viewer cannot show
    // at all is refused now, as a system file is.
    const bool cataloguesFromSettings = commandLine.catalogueFiles.empty();
    std::vector<std::string> catalogueFiles;
    for (const std::string& name : cataloguesFromSettings ? catalogueNames(appSettings, bodyRegistry.anyFollowsClock())
                                                          : commandLine.catalogueFiles)
    {
        catalogueFiles.push_back(places.find(name));
        if (const Result<> readable = catalogueReadable(catalogueFiles.back()); !readable)
        {
            tellUser("Cannot read the catalogue file \"" + catalogueFiles.back() + "\".\n" + readable.why(), quiet);
            bodyRegistry.clear();
            return exitFailure;
        }
    }

    EngineFiles engineFiles;
    engineFiles.plugins = places.pluginsFile;
    engineFiles.resources = places.resourcesFile;
    engineFiles.renderSettings = places.renderSettingsFile;
    engineFiles.log = places.logFile;
    ViewerFiles viewerFiles;
    viewerFiles.systemFile = systemFile;
    viewerFiles.settingsFile = places.settingsFile;
    viewerFiles.screenshotFolder = places.screenshotFolder;
    viewerFiles.viewsFile = places.viewsFile;
    viewerFiles.catalogueFiles = catalogueFiles;
    viewerFiles.cataloguesFromSettings = cataloguesFromSettings;
    viewerFiles.findFile = [places](const std::string& name) { return places.find(name); };
    app.useFiles(engineFiles, viewerFiles, placesForTheLog(places, systemFile, viewerFiles));
    if (touring)
        app.takeTour(int(std::min<std::size_t>(tourJumps, bodyRegistry.size())));
    // Both were read before now: the command line's, and the settings' by the checker's rule.
    const Result<double> clockDays =
        parseDate(commandLine.clockStart.empty() ? appSettings.Start.text : commandLine.clockStart);
    app.startClockAt(clockDays ? *clockDays : nowDays());
    app.askUiScale(commandLine.scale);
    app.askFieldOfView(commandLine.fieldOfView);
    app.askTrueScale(commandLine.trueScale || appSettings.TrueScale);
    if (commandLine.windowChosen())
        app.chooseWindow(commandLine.width, commandLine.height, commandLine.fullscreen);
    if (const Result<> prepared = prepareViewsAndFilm(app, commandLine, places.viewsFile); !prepared)
    {
        tellUser(prepared.why(), quiet);
        bodyRegistry.clear();
        return exitFailure;
    }

    int exitCode = exitSuccess;
    try
    {
        app.run();
    }
    catch (const Ogre::Exception& error)
    {
        reportError(app, error.getFullDescription(), quiet);
        exitCode = exitFailure;
    }
    catch (const OIS::Exception& error)
    {
        reportError(app, std::string("Input system: ") + error.eText, quiet);
        exitCode = exitFailure;
    }
    catch (const std::exception& error)
    {
        reportError(app, error.what(), quiet);
        exitCode = exitFailure;
    }
    // Bodies go while the engine and their nodes still exist.
    bodyRegistry.clear();
    if (exitCode == exitSuccess && endingSignal())
        return exitSignalled + endingSignal();
    if (touring && exitCode == exitSuccess)
    {
        if (!app.tourCompleted())
        {
            std::cerr << "OrvTest: the tour did not finish: see " << places.logFile << std::endl;
            return exitFailure;
        }
        std::cout << "OrvTest: the tour's pictures are in " << places.screenshotFolder << std::endl;
    }
    if (filming && exitCode == exitSuccess && !app.filmCompleted())
        return exitFailure;
    return exitCode;
}
