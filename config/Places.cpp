#include "config/Places.h"

#include "config/Files.h"
#include "config/Views.h"

#include <cstdlib>
#include <sstream>

#include <pwd.h>
#include <unistd.h>

namespace
{
std::string withSlash(const std::string& folder)
{
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return withSlash(home);
    if (const passwd* entry = ::getpwuid(::getuid()))
        return withSlash(entry->pw_dir);
    return "/";
}

// The program's own data: beside the program in the folder the build lays
// out, or in share/orvtest/ of the tree it was installed into.
std::string dataFolderFor(const std::string& programFolder)
{
    for (const std::string& candidate : {programFolder, programFolder + "../share/orvtest/"})
    {
        char* real = candidate.empty() ? nullptr : ::realpath(candidate.c_str(), nullptr);
        const std::string folder = real ? withSlash(real) : "";
        std::free(real);
        if (!folder.empty() && isRegularFile(folder + "resources.cfg"))
            return folder;
    }
    return "";
}

// A person's own copies of the default files, each saying what it is.
void copyDefaults(Places& places)
{
    const struct
    {
        const char* name;
        const char* header;
    } copies[] = {
        {"OrvTest.cfg",
         "# Your copy of OrvTest's settings, made on its first run. OrvTest reads it\n"
         "# when it starts from a folder without an OrvTest.cfg of its own; delete it\n"
         "# to go back to the installed defaults in "},
        {"1.cfg",
         "# Your copy of the solar system OrvTest shows, made on its first run. Edit\n"
         "# it while OrvTest runs: the viewer shows each saved change, or says on its\n"
         "# status line what stops it; orvtest-check explains every line. Delete it\n"
         "# to go back to the installed system in "},
    };
    for (const auto& copy : copies)
    {
        const std::string source = places.dataFolder + copy.name;
        const Result<std::string> text = readWholeFile(source);
        if (!text)
        {
            places.notes.push_back("cannot read the default " + source + ": " + text.why());
            continue;
        }
        const Result<> written = writeNewFile(places.configFolder + copy.name, copy.header + source + ".\n\n" + *text);
        if (!written)
            places.notes.push_back("cannot write " + written.why());
    }
}

// The value of KEY="..." in a user-dirs.dirs file, with $HOME expanded; empty when absent.
std::string userDirectory(const std::string& file, const std::string& key)
{
    const Result<std::string> text = readWholeFile(file);
    if (!text)
        return "";
    std::istringstream stream(*text);
    std::string line;
    while (std::getline(stream, line))
    {
        if (line.compare(0, key.size() + 1, key + "=") != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            return homeFolder() + (value.size() > 6 ? value.substr(6) : "");
        // Only "$HOME/..." and absolute paths are allowed there.
        return !value.empty() && value.front() == '/' ? value : "";
    }
    return "";
}
}

std::string programFolder()
{
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    return folderOf(std::string(path, std::size_t(length)));
}

std::string xdgFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return withSlash(value);
    return homeFolder() + fallback + "/";
}

std::string picturesFolder()
{
    const std::string pictures = userDirectory(xdgFolder("XDG_CONFIG_HOME", ".config") + "user-dirs.dirs",
                                               "XDG_PICTURES_DIR");
    return withSlash(pictures.empty() ? homeFolder() + "Pictures" : pictures) + "OrvTest/";
}

std::vector<std::string> Places::searchFolders() const
{
    std::vector<std::string> folders;
    for (const std::string& folder : {std::string(), folderOf(settingsFile), configFolder, dataFolder})
    {
        bool known = false;
        for (const std::string& seen : folders)
            known = known || seen == folder;
        if (!known)
            folders.push_back(folder);
    }
    return folders;
}

std::string Places::find(const std::string& name) const
{
    if (name.empty() || name.front() == '/')
        return name;
    // The first that exists, readable or not: the reader then says what is wrong with it.
    for (const std::string& folder : searchFolders())
        if (statusOf(folder + name).exists)
            return folder + name;
    return name;
}

Places locatePlaces(const std::string& programFolder, const PlaceChoices& choices)
{
    Places places;
    places.inWorkingFolder = isRegularFile("OrvTest.cfg");
    places.dataFolder = dataFolderFor(programFolder);
    places.configFolder = xdgFolder("XDG_CONFIG_HOME", ".config") + "orvtest/";
    places.cacheFolder = xdgFolder("XDG_CACHE_HOME", ".cache") + "orvtest/";
    places.screenshotFolder = withSlash(choices.screenshotFolder);

    if (places.inWorkingFolder)
    {
        // Every file in the working folder, but the engine's own where the
        // folder lacks them: an installed program keeps those with its data.
        places.settingsFile = choices.settingsFile.empty() ? "OrvTest.cfg" : choices.settingsFile;
        places.resourcesFile = isRegularFile("resources.cfg") ? "resources.cfg" : places.dataFolder + "resources.cfg";
        places.pluginsFile = isRegularFile("plugins.cfg") ? "plugins.cfg" : places.dataFolder + "plugins.cfg";
        places.renderSettingsFile = "ogre.cfg";
        places.logFile = "Ogre.log";
        places.viewsFile = folderOf(places.settingsFile) + viewsFileName;
        return places;
    }
    if (!choices.settingsFile.empty())
        places.settingsFile = choices.settingsFile;
    else if (isRegularFile(places.configFolder + "OrvTest.cfg"))
        places.settingsFile = places.configFolder + "OrvTest.cfg";
    else
        places.settingsFile = places.dataFolder + "OrvTest.cfg";
    places.resourcesFile = places.dataFolder + "resources.cfg";
    places.pluginsFile = places.dataFolder + "plugins.cfg";
    places.renderSettingsFile = places.cacheFolder + "ogre.cfg";
    places.logFile = places.cacheFolder + "Ogre.log";
    if (places.screenshotFolder.empty())
        places.screenshotFolder = picturesFolder();
    // The installed settings' folder is no place of the person's.
    places.viewsFile = (places.settingsFile == places.dataFolder + "OrvTest.cfg" ? places.configFolder
                                                                                 : folderOf(places.settingsFile)) +
                       viewsFileName;
    return places;
}

Places findPlaces(const std::string& programFolder, const PlaceChoices& choices)
{
    Places places = locatePlaces(programFolder, choices);
    if (places.inWorkingFolder)
        return places;

    if (!isFolder(places.configFolder))
    {
        if (const Result<> made = makeFolders(places.configFolder); made)
        {
            places.notes.push_back("made " + places.configFolder + " with copies of the default settings and system");
            copyDefaults(places);
            if (choices.settingsFile.empty() && isRegularFile(places.configFolder + "OrvTest.cfg"))
                places.settingsFile = places.configFolder + "OrvTest.cfg";
        }
        else
            places.notes.push_back(made.why() + "; the installed settings are used");
    }
    const Result<> cacheMade = makeFolders(places.cacheFolder);
    if (!cacheMade)
    {
        places.logFile.clear();
        places.notes.push_back(cacheMade.why() + "; the render settings are not kept and there is no log");
        return places;
    }
    // The dialog starts from the program's own choices: a window, not the screen.
    if (!isRegularFile(places.renderSettingsFile))
    {
        // Without the program's own, the engine's defaults serve, unnoted.
        const Result<std::string> defaults = readWholeFile(places.dataFolder + "ogre.cfg");
        const Result<> written = defaults ? writeNewFile(places.renderSettingsFile, *defaults) : Result<>();
        if (!written)
            places.notes.push_back("cannot write " + written.why());
    }
    return places;
}
