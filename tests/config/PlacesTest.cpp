// Where the viewer's files are, for a run from a working folder and for an
// installed program started anywhere, in a tree of temporary folders.

#include "config/Places.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string readFile(const std::string& path)
{
    const Result<std::string> text = readWholeFile(path);
    return text ? *text : "";
}

bool exists(const std::string& path) { return statusOf(path).exists; }

class PlacesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orvtest-places-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        root = std::string(pattern) + "/";
        for (const char* folder : {"home/", "work/", "prefix/bin/", "prefix/share/orvtest/"})
            ASSERT_TRUE(makeFolders(root + folder)) << folder;
        data = root + "prefix/share/orvtest/";
        for (const char* file : {"resources.cfg", "plugins.cfg", "ogre.cfg", "1.cfg"})
            write(data + file, std::string("installed ") + file + "\n");
        write(data + "OrvTest.cfg", "[System]\nStaticSystem=1.cfg\n");

        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? value : "", value != nullptr);
        }
        ::setenv("HOME", (root + "home").c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_CACHE_HOME");
        char here[4096];
        ASSERT_NE(nullptr, ::getcwd(here, sizeof here));
        previousFolder = here;
        ASSERT_EQ(0, ::chdir((root + "work").c_str()));
    }

    void TearDown() override
    {
        EXPECT_EQ(0, ::chdir(previousFolder.c_str()));
        for (const auto& [name, value, set] : saved)
            set ? ::setenv(name.c_str(), value.c_str(), 1) : ::unsetenv(name.c_str());
        EXPECT_EQ(0, std::system(("rm -rf " + root).c_str()));
    }

    static void write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    Places installedRun(const PlaceChoices& choices = {}) { return findPlaces(root + "prefix/bin/", choices); }

    std::string root;
    std::string data;
    std::string previousFolder;
    std::vector<std::tuple<std::string, std::string, bool>> saved;
};

TEST_F(PlacesTest, AWorkingFolderKeepsEveryFileThereAndTouchesNoHome)
{
    for (const char* file : {"OrvTest.cfg", "resources.cfg", "plugins.cfg"})
        write(file, "here\n");
    const Places places = installedRun();
    EXPECT_TRUE(places.inWorkingFolder);
    using Names = std::vector<std::string>;
    EXPECT_EQ((Names{"OrvTest.cfg", "resources.cfg", "plugins.cfg", "ogre.cfg", "Ogre.log", "", "views.cfg"}),
              (Names{places.settingsFile, places.resourcesFile, places.pluginsFile, places.renderSettingsFile,
                     places.logFile, places.screenshotFolder, places.viewsFile}));
    EXPECT_FALSE(exists(root + "home/.config") || exists(root + "home/.cache"));
    // A system file beside the settings is read by its bare name.
    write("1.cfg", "here\n");
    EXPECT_EQ("1.cfg", places.find("1.cfg"));
    // The engine's files come from the installed data when the folder lacks them.
    ::unlink("plugins.cfg");
    EXPECT_EQ(data + "plugins.cfg", installedRun().pluginsFile);
}

// What tests/e2e/desktop.py's installed run sees is not repeated here.
TEST_F(PlacesTest, TheFirstRunElsewhereMakesThePersonsFoldersWithCommentedCopies)
{
    const Places places = installedRun();
    EXPECT_FALSE(places.inWorkingFolder);
    const std::string config = root + "home/.config/orvtest/";
    EXPECT_EQ(config, places.configFolder);
    EXPECT_EQ(data, places.dataFolder);   // from bin/../share/orvtest, without the ".."
    for (const char* file : {"OrvTest.cfg", "1.cfg"})
    {
        const std::string copy = readFile(config + file);
        EXPECT_NE(std::string::npos, copy.find(data + file)) << "does not say where the original is";
        EXPECT_EQ(readFile(data + file), copy.substr(copy.find("\n\n") + 2));
    }
    EXPECT_EQ("installed ogre.cfg\n", readFile(places.renderSettingsFile));

    // The person's edits stay theirs on the next run.
    write(config + "OrvTest.cfg", "[System]\nStaticSystem=mine.cfg\n");
    write(root + "home/.cache/orvtest/ogre.cfg", "chosen");
    const Places next = installedRun();
    EXPECT_EQ("[System]\nStaticSystem=mine.cfg\n", readFile(next.settingsFile));
    EXPECT_EQ("chosen", readFile(root + "home/.cache/orvtest/ogre.cfg"));
    EXPECT_TRUE(next.notes.empty());
}

TEST_F(PlacesTest, ASystemFileIsLookedUpInTheWorkingFolderThenThePersonsThenTheInstalled)
{
    const Places places = installedRun();
    const std::string config = places.configFolder;
    write(data + "only-installed.cfg", "");
    write(config + "mine.cfg", "");
    write(data + "mine.cfg", "");
    write("here.cfg", "");
    write(config + "here.cfg", "");
    // Something in the way is the reader's to refuse, not a reason to look further.
    ASSERT_EQ(0, ::mkdir("folder.cfg", 0755));
    write(config + "folder.cfg", "");
    // nowhere.cfg as given, for the error to name it.
    const struct { const char* name; std::string found; } rows[] = {
        {"only-installed.cfg", data + "only-installed.cfg"}, {"mine.cfg", config + "mine.cfg"}, {"here.cfg", "here.cfg"},
        {"folder.cfg", "folder.cfg"}, {"nowhere.cfg", "nowhere.cfg"}, {"/etc/absolute.cfg", "/etc/absolute.cfg"}};
    for (const auto& row : rows)
        EXPECT_EQ(row.found, places.find(row.name)) << row.name;
}

TEST_F(PlacesTest, TheDesktopsFoldersAreFollowed)
{
    ::setenv("XDG_CONFIG_HOME", (root + "conf").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", "relative/cache", 1);   // not absolute: ignored
    ASSERT_TRUE(makeFolders(root + "conf"));
    write(root + "conf/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    const Places places = installedRun();
    EXPECT_EQ(root + "conf/orvtest/", places.configFolder);
    EXPECT_EQ(root + "home/.cache/orvtest/", places.cacheFolder);
    EXPECT_EQ(root + "home/Bilder/OrvTest/", places.screenshotFolder);

    write(root + "conf/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/pictures\"\n");
    EXPECT_EQ("/srv/pictures/OrvTest/", picturesFolder());
    // The command line wins.
    EXPECT_EQ("shots/", installedRun(PlaceChoices{"", "shots"}).screenshotFolder);
    EXPECT_EQ("other.cfg", installedRun(PlaceChoices{"other.cfg", ""}).settingsFile);
}

TEST_F(PlacesTest, FoldersThatCannotBeMadeAreNotedAndTheDefaultsServe)
{
    // A file where the home folder should be: nothing can be made under it.
    write(root + "not-a-folder", "");
    ::setenv("HOME", (root + "not-a-folder").c_str(), 1);
    const Places places = installedRun();
    EXPECT_EQ(data + "OrvTest.cfg", places.settingsFile);
    // Views are kept where the person's files would be, never among the installed ones.
    EXPECT_EQ(root + "not-a-folder/.config/orvtest/views.cfg", places.viewsFile);
    EXPECT_EQ("", places.logFile);
    ASSERT_EQ(2u, places.notes.size());
    EXPECT_NE(std::string::npos, places.notes[0].find("cannot make the folder")) << places.notes[0];
    EXPECT_NE(std::string::npos, places.notes[0].find("installed settings are used")) << places.notes[0];
    EXPECT_NE(std::string::npos, places.notes[1].find("no log")) << places.notes[1];
}
}
