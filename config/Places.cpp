#include "config/Places.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool isFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool exists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
}

bool isFolder(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

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
        if (!folder.empty() && isFile(folder + "resources.cfg"))
            return folder;
    }
    return "";
}

bool readWhole(const std::string& path, std::string& text)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return false;
    text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

// Writes `text` as a new file; an existing one is kept as it is.
bool writeNew(const std::string& path, const std::string& text, std::string& why)
{
    if (isFile(path))
        return true;
    std::ofstream stream(path, std::ios::binary);
    stream << text;
    stream.close();
    if (!stream)
    {
        why = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
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
        std::string text;
        std::string why;
        const std::string source = places.dataFolder + copy.name;
        if (!readWhole(source, text))
            places.notes.push_back("cannot read the default " + source);
        else if (!writeNew(places.configFolder + copy.name, copy.header + source + ".\n\n" + text, why))
            places.notes.push_back("cannot write " + why);
    }
}

// The value of KEY="..." in a user-dirs.dirs file, with $HOME expanded; empty when absent.
std::string userDirectory(const std::string& file, const std::string& key)
{
    std::ifstream stream(file);
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

std::string folderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "" : file.substr(0, slash + 1);
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

bool makeFolders(const std::string& folder, std::string& why)
{
    std::string path;
    std::istringstream parts(folder);
    std::string part;
    if (!folder.empty() && folder.front() == '/')
        path = "/";
    while (std::getline(parts, part, '/'))
    {
        if (part.empty())
            continue;
        path += part + "/";
        if (isFolder(path))
            continue;
        if (::mkdir(path.c_str(), 0755) != 0 && !(errno == EEXIST && isFolder(path)))
        {
            why = "cannot make the folder " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
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
        if (exists(folder + name))
            return folder + name;
    return name;
}

Places locatePlaces(const std::string& programFolder, const PlaceChoices& choices)
{
    Places places;
    places.inWorkingFolder = isFile("OrvTest.cfg");
    places.dataFolder = dataFolderFor(programFolder);
    places.configFolder = xdgFolder("XDG_CONFIG_HOME", ".config") + "orvtest/";
    places.cacheFolder = xdgFolder("XDG_CACHE_HOME", ".cache") + "orvtest/";
    places.screenshotFolder = withSlash(choices.screenshotFolder);

    if (places.inWorkingFolder)
    {
        // As it always was, but for the engine's files, which an installed
        // program keeps with its data.
        places.settingsFile = choices.settingsFile.empty() ? "OrvTest.cfg" : choices.settingsFile;
        places.resourcesFile = isFile("resources.cfg") ? "resources.cfg" : places.dataFolder + "resources.cfg";
        places.pluginsFile = isFile("plugins.cfg") ? "plugins.cfg" : places.dataFolder + "plugins.cfg";
        places.renderSettingsFile = "ogre.cfg";
        places.logFile = "Ogre.log";
        return places;
    }
    if (!choices.settingsFile.empty())
        places.settingsFile = choices.settingsFile;
    else if (isFile(places.configFolder + "OrvTest.cfg"))
        places.settingsFile = places.configFolder + "OrvTest.cfg";
    else
        places.settingsFile = places.dataFolder + "OrvTest.cfg";
    places.resourcesFile = places.dataFolder + "resources.cfg";
    places.pluginsFile = places.dataFolder + "plugins.cfg";
    places.renderSettingsFile = places.cacheFolder + "ogre.cfg";
    places.logFile = places.cacheFolder + "Ogre.log";
    if (places.screenshotFolder.empty())
        places.screenshotFolder = picturesFolder();
    return places;
}

Places findPlaces(const std::string& programFolder, const PlaceChoices& choices)
{
    Places places = locatePlaces(programFolder, choices);
    if (places.inWorkingFolder)
        return places;

    std::string why;
    if (!isFolder(places.configFolder))
    {
        if (makeFolders(places.configFolder, why))
        {
            places.notes.push_back("made " + places.configFolder + " with copies of the default settings and system");
            copyDefaults(places);
            if (choices.settingsFile.empty() && isFile(places.configFolder + "OrvTest.cfg"))
                places.settingsFile = places.configFolder + "OrvTest.cfg";
        }
        else
            places.notes.push_back(why + "; the installed settings are used");
    }
    if (makeFolders(places.cacheFolder, why))
    {
        // The dialog starts from the program's own choices: a window, not the screen.
        std::string defaults;
        if (!isFile(places.renderSettingsFile) && readWhole(places.dataFolder + "ogre.cfg", defaults) &&
            !writeNew(places.renderSettingsFile, defaults, why))
            places.notes.push_back("cannot write " + why);
    }
    else
    {
        places.logFile.clear();
        places.notes.push_back(why + "; the render settings are not kept and there is no log");
    }
    return places;
}
