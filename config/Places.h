#ifndef ORVTEST_CONFIG_PLACES_H
#define ORVTEST_CONFIG_PLACES_H

#include "config/Files.h"

#include <string>
#include <vector>

// Where the viewer's files are. Run from a folder that holds OrvTest.cfg, the
// viewer reads and writes there, as a development build does. Run from anywhere else, it
// keeps a person's files where the desktop keeps such things (the XDG base
// directories) and its own data where it was installed, found from where the
// program itself is, so that an installed tree can be moved as a whole.
struct Places
{
    // The working folder holds OrvTest.cfg: every file is read and written there.
    bool inWorkingFolder = true;
    // The program's own data: resources.cfg, plugins.cfg, media and the
    // default settings and system files. Empty for the working folder.
    std::string dataFolder;
    // $XDG_CONFIG_HOME/orvtest/: the person's settings and system files.
    std::string configFolder;
    // $XDG_CACHE_HOME/orvtest/: the render settings (ogre.cfg) and the log.
    std::string cacheFolder;

    std::string settingsFile;    // the settings file to read
    std::string resourcesFile;   // resources.cfg
    std::string pluginsFile;     // plugins.cfg
    std::string renderSettingsFile;   // ogre.cfg
    std::string logFile;         // Ogre.log; empty for no log file
    std::string screenshotFolder;     // empty for the working folder
    std::string viewsFile;       // views.cfg: beside the settings file, or in the config folder for the installed one

    // What was made or could not be made while finding these, for the person
    // (on stderr) and the log.
    std::vector<std::string> notes;

    // Folders to look in for a file named by a relative path, first first.
    std::vector<std::string> searchFolders() const;
    // `name` as found in searchFolders(), or as given when it is absolute or
    // found nowhere (so that an error names what the file said).
    std::string find(const std::string& name) const;
};

// What the command line may choose instead.
struct PlaceChoices
{
    std::string settingsFile;       // --settings
    std::string screenshotFolder;   // --screenshots
};

// The places for a run from the current working folder: the program at
// `programFolder`, the environment as getenv says. Changes nothing.
Places locatePlaces(const std::string& programFolder, const PlaceChoices& choices);

// The same, for a run of the viewer: outside a working folder, a person's
// config folder is made on the first run, with commented copies of the
// default settings and system file, and the cache folder is made, with the
// program's default render settings. A folder that cannot be made is noted;
// the installed defaults serve instead, and the log is not kept.
Places findPlaces(const std::string& programFolder, const PlaceChoices& choices);

// The folder that holds the running program, with a trailing '/'.
std::string programFolder();

// The folder $XDG_<NAME>_HOME names, or $HOME/`fallback` when it names none
// (or a relative path, which XDG base directories must not be); with a
// trailing '/'.
std::string xdgFolder(const char* variable, const char* fallback);

// Where screenshots go for a run outside a working folder:
// $XDG_PICTURES_DIR/OrvTest/ as ~/.config/user-dirs.dirs gives it, else
// ~/Pictures/OrvTest/.
std::string picturesFolder();

#endif
