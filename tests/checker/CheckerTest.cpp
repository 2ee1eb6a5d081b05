// orvtest-check as a person runs it: in a working folder, on its files.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "checker/Checker.h"
#include "config/Files.h"
#include "sim/WorldLimits.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace
{
class CheckerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetProcessState();
        char pattern[] = "/tmp/orvtest-checker-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        folder = std::string(pattern) + "/";
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        write("OrvTest.cfg", "[System]\nStaticSystem=1.cfg\n");
        write("resources.cfg", "[General]\nFileSystem=meshes\n");
        ASSERT_TRUE(makeFolders("meshes"));
        write("meshes/Teapot.Mesh", "a mesh");
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        EXPECT_GT(std::filesystem::remove_all(folder), 0u);
        resetProcessState();
    }

    static void write(const std::string& name, const std::string& text)
    {
        removeFile(name);
        const Result<> written = writeNewFile(name, text);
        ASSERT_TRUE(written) << written.why();
    }

    int check(const std::vector<std::string>& arguments)
    {
        out.str("");
        err.str("");
        return runChecker(arguments, out, err);
    }

    std::string folder, previousFolder;
    std::ostringstream out, err;
};

TEST_F(CheckerTest, ExitStatusTellsCleanBrokenAndUnreadable)
{
    write("OrvTest.cfg", "[System]\nStaticSystem=" + std::string(ORVTEST_DATA_DIR) + "/1.cfg\n");
    EXPECT_EQ(0, check({})) << out.str();
    EXPECT_NE(std::string::npos, out.str().find("17 bodies, 0 errors, 0 warnings"));
    // The tree says what moves each body: the clock's days and hours here, not frame-locked periods of 0.
    EXPECT_NE(std::string::npos, out.str().find("[3.Earth] Earth  SphereMesh_64x128, size 120, orbit 2100, round in "
                                                "365.256 days by VSOP87-Earth, turns in 23.9345 hours\n"))
        << out.str();

    EXPECT_EQ(1, check({std::string(ORVTEST_TEST_DATA_DIR) + "/broken-system.cfg"}));
    EXPECT_EQ(2, check({"no-such-system.cfg"}));
    EXPECT_EQ("orvtest-check: cannot read the system file \"no-such-system.cfg\": Cannot open file: "
              "no-such-system.cfg (No such file or directory)\n",
              err.str());
    EXPECT_EQ(2, check({"--json", "meshes"}));
    EXPECT_NE(std::string::npos, out.str().find("\"error\": {\"file\": \"meshes\""));
    write("utf16.cfg", std::string("\xFF\xFE[\0A\0]\0", 8));
    EXPECT_EQ(2, check({"utf16.cfg"}));
    EXPECT_NE(std::string::npos, err.str().find("save it as UTF-8"));
    EXPECT_EQ(2, check({"a.cfg", "b.cfg"}));
}

TEST_F(CheckerTest, AModelNamesAGeneratedSphereOrAMeshOfTheResourceLocations)
{
    const std::string meshes = "[General]\nFileSystem=meshes\n";
    const struct { const char* model; std::string resources; int status; const char* said; } rows[] = {
        {"SphereMesh_64x128", meshes, 0, "0 errors, 0 warnings"}, {"Teapot", meshes, 0, "0 errors, 0 warnings"},
        {"../meshes/Teapot", meshes, 1, "error: Model '../meshes/Teapot' names no mesh"},
        {"Teapot", "[General]\nFileSystem=elsewhere\n", 1, "error: Model 'Teapot' names no mesh"},
        // An archive it cannot look into: said, not claimed.
        {"Kettle", meshes + "Zip=kitchen.zip\n", 1, "warning: Model 'Kettle' names no mesh"}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.model);
        write("resources.cfg", row.resources);
        write("1.cfg", withValue(bodySection("A"), "Model", row.model));
        EXPECT_EQ(row.status, check({}));
        EXPECT_NE(std::string::npos, out.str().find(row.said)) << out.str();
    }
}

TEST_F(CheckerTest, TheTreeGrowsWithTheFileNotWithItsDepth)
{
    std::string text = bodySection("c100000");
    for (int n = 1; n < maxMoonDepth; ++n)
        text += bodySection("c" + std::to_string(100000 + n), "c" + std::to_string(100000 + n - 1));
    write("1.cfg", text);
    EXPECT_EQ(0, check({}));
    std::istringstream report(out.str());
    std::size_t widest = 0;
    for (std::string line; std::getline(report, line);)
        widest = std::max(widest, line.size());
    EXPECT_LT(widest, 200u);
    EXPECT_NE(std::string::npos, out.str().find("(level 1000) \xE2\x94\x94\xE2\x94\x80 [c100999]"));
}

TEST_F(CheckerTest, TheViewsBesideTheSettingsAreJudgedAgainstTheSystem)
{
    write("1.cfg", bodySection("3.Earth"));
    // The views' own findings are config/ViewsTest's; here a body the system lacks.
    write("views.cfg", "[a]\nPosition=1 2 3\n[b]\nPosition=1 2 3\nDirection=0 0 1\nFocus=Pluto\n"
                       "[c]\nPosition=0 0 0\nDirection=0 0 1\nFocus=3.Earth\n");
    EXPECT_EQ(1, check({}));
    for (const char* said : {"views.cfg:1: [a] error: the view has no Direction that reads: it is left out",
                             "views.cfg:6: [b] warning: Focus 'Pluto' names no body of the system",
                             "1 body, 1 error, 1 warning"})
        EXPECT_NE(std::string::npos, out.str().find(said)) << said << "\n" << out.str();
}

// A catalogue judged as the viewer's reader reads it; the reader's refusals
// are catalogue/CatalogueFilesTest's, the JSON's fields check_json.py's.
TEST_F(CheckerTest, EachCatalogueIsJudgedAfterTheSystemAndTheWorstDecidesTheStatus)
{
    write("1.cfg", bodySection("A"));
    for (const char* name : {"comets.txt", "mpcorb.txt"})
    {
        std::ifstream source(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/" + name, std::ios::binary);
        write(name, std::string(std::istreambuf_iterator<char>(source), {}));
    }
    EXPECT_EQ(0, check({"--catalogue", "comets.txt"}));
    EXPECT_LT(out.str().find("1 body, 0 errors, 0 warnings"), out.str().find("comets.txt: MPC comets, 3 bodies\n"));
    EXPECT_EQ(1, check({"--catalogue", "comets.txt", "--catalogue=mpcorb.txt"}));
    for (const char* said : {"comets.txt: 3 bodies, 0 warnings\n", "mpcorb.txt: 2 bodies, 1 warning\n",
                             "mpcorb.txt:6: warning: columns 71-79 (orbital eccentricity) read \"0.3x96520\"; the "
                             "line is skipped\n"})
        EXPECT_NE(std::string::npos, out.str().find(said)) << said << "\n" << out.str();
    // One that cannot be read is said alone, on the error stream, before anything else is written.
    write("catalogue.txt", "Name,q,e\nHalley,0.586,0.967\n");
    EXPECT_EQ(2, check({"--catalogue", "comets.txt", "--catalogue", "catalogue.txt"}));
    EXPECT_EQ("", out.str());
    EXPECT_NE(std::string::npos, err.str().find("catalogue.txt is none of the formats read here (MPCORB, MPC comets, "
                                                 "JPL SBDB JSON): it is text whose first line reads \"Name,q,e\""))
        << err.str();
    EXPECT_EQ(2, check({"--catalogue", "missing.txt"}));
    EXPECT_NE(std::string::npos, err.str().find("cannot be opened")) << err.str();
    EXPECT_EQ(2, check({"--catalogue"}));
    EXPECT_NE(std::string::npos, err.str().find("--catalogue needs a FILE"));
}

TEST_F(CheckerTest, ABodyNamedSunIsListedOnce)
{
    // A section named Sun whose parent orbits the sun could send the tree round in a loop.
    write("1.cfg", bodySection("Jupiter") + bodySection("Sun", "Jupiter"));
    EXPECT_EQ(1, check({}));
    const std::string report = out.str();
    EXPECT_EQ(report.find("[Sun] Sun"), report.rfind("[Sun] Sun"));
    EXPECT_NE(std::string::npos, report.find("taken by the viewer itself"));
}
}
