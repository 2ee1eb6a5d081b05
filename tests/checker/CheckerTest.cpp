#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "checker/Checker.h"
#include "checker/Checks.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"

#include <sstream>
#include <unistd.h>

namespace
{
using Finding = std::pair<int, std::string>;

std::vector<Finding> findings(const std::vector<Problem>& problems)
{
    std::vector<Finding> out;
    for (const Problem& p : problems)
        out.emplace_back(p.line, p.kind);
    return out;
}

// The message of the finding of that kind on that line; fails the test when there is none.
std::string messageOf(const std::vector<Problem>& problems, const std::string& kind, int line)
{
    for (const Problem& p : problems)
        if (p.kind == kind && p.line == line)
            return p.message;
    ADD_FAILURE() << "no " << kind << " on line " << line;
    return "";
}

class CheckerTest : public ::testing::Test
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }

    int check(const std::vector<std::string>& arguments)
    {
        out.str("");
        err.str("");
        return runChecker(arguments, out, err);
    }

    std::ostringstream out;
    std::ostringstream err;
};

const std::string tenKeys = "Model=SphereMesh_4x6\nMaterial=default\nSize=1\nOrbitRadius=1\n"
                            "OrbitPeriod=1\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n";

const std::string brokenSystem = std::string(ORVTEST_TEST_DATA_DIR) + "/broken-system.cfg";
const std::string brokenSettings = std::string(ORVTEST_TEST_DATA_DIR) + "/broken-settings.cfg";

TEST_F(CheckerTest, FindsEachSystemProblemOnItsLine)
{
    loadSystemFile(brokenSystem);
    const std::vector<Problem> problems =
        checkSystemLines("s.cfg", readConfigLines(brokenSystem), bodyRegistry);
    const std::vector<Finding> expected{
        {2, "outside-section"}, {6, "parent-order"},     {21, "no-separator"},
        {22, "bad-value"},      {28, "unknown-key"},     {29, "zero-axis"},
        {30, "near-beyond-far"}, {33, "bad-value"},      {34, "unknown-parent"},
        {37, "bad-size"},       {43, "bad-value"},       {45, "skipped-section"},
        {51, "name-collision"}};
    EXPECT_EQ(expected, findings(problems));
    for (const Problem& p : problems)
    {
        SCOPED_TRACE(p.message);
        // Errors are what stops a body from showing or the viewer from starting.
        const bool stops = p.kind == "parent-order" || p.kind == "unknown-parent" || p.kind == "bad-size" ||
                           p.kind == "skipped-section" || p.kind == "name-collision";
        EXPECT_EQ(stops, p.isError());
    }
    EXPECT_NE(std::string::npos, messageOf(problems, "parent-order", 6).find("'Jupiter.Callisto'"));
    EXPECT_NE(std::string::npos, messageOf(problems, "unknown-key", 28).find("did you mean 'OrbitRadius'"));
    EXPECT_NE(std::string::npos, messageOf(problems, "skipped-section", 45).find("missing Model"));
    EXPECT_NE(std::string::npos, messageOf(problems, "skipped-section", 45).find("repeated Name 2 times"));
}

TEST_F(CheckerTest, FindsEachSettingsProblemOnItsLine)
{
    const std::vector<Problem> problems = checkSettingsLines("o.cfg", readConfigLines(brokenSettings));
    const std::vector<Finding> expected{
        {1, "outside-section"}, {5, "bad-value"},  {6, "no-separator"},   {7, "unknown-key"},
        {8, "wrong-section"},   {10, "bad-value"}, {11, "bad-value"},     {13, "repeated-key"},
        {14, "unknown-section"}};
    EXPECT_EQ(expected, findings(problems));
    EXPECT_NE(std::string::npos, messageOf(problems, "unknown-key", 7).find("did you mean 'MoveConstant'"));
}

TEST_F(CheckerTest, ListsTheBodiesTheViewerRegisters)
{
    ASSERT_EQ(1, check({"--json", brokenSystem}));
    const std::string json = out.str();
    EXPECT_EQ(std::string::npos, json.find("\"settings\"")) << "a system file alone reads no settings";

    loadSystemFile(brokenSystem);
    ASSERT_EQ(4u, bodyRegistry.size());
    size_t position = 0;
    for (const auto& body : bodyRegistry)
    {
        position = json.find("{\"section\": \"" + body->sectionName + "\"", position);
        ASSERT_NE(std::string::npos, position) << body->sectionName << " missing or out of order";
    }
}

TEST_F(CheckerTest, ExitStatusTellsCleanBrokenAndUnreadable)
{
    char previous[4096];
    ASSERT_NE(nullptr, ::getcwd(previous, sizeof previous));
    ASSERT_EQ(0, ::chdir(ORVTEST_DATA_DIR));
    const int defaults = check({});
    const std::string defaultReport = out.str();
    ASSERT_EQ(0, ::chdir(previous));
    EXPECT_EQ(0, defaults) << defaultReport;
    EXPECT_NE(std::string::npos, defaultReport.find("17 bodies, 0 errors, 0 warnings"));

    EXPECT_EQ(1, check({brokenSystem}));
    EXPECT_EQ(2, check({"no-such-system.cfg"}));
    EXPECT_EQ("orvtest-check: cannot read the system file \"no-such-system.cfg\": not a readable file\n",
              err.str());
    EXPECT_EQ(2, check({"/tmp"}));
    EXPECT_EQ(2, check({"--colour"}));
    EXPECT_EQ(2, check({"a.cfg", "b.cfg"}));
}

TEST_F(CheckerTest, ABodyNamedSunIsListedOnce)
{
    // A section named Sun whose parent orbits the sun once sent the tree round in a loop.
    const std::string file = writeTempFile("sun.cfg", "[Jupiter]\nName=J\nParent=Sun\n" + tenKeys +
                                                          "[Sun]\nName=S\nParent=Jupiter\n" + tenKeys);
    EXPECT_EQ(1, check({file}));
    const std::string report = out.str();
    EXPECT_EQ(report.find("[Sun] S"), report.rfind("[Sun] S"));
    EXPECT_NE(std::string::npos, report.find("taken by the viewer itself"));
    EXPECT_LT(report.size(), 2000u);
}

TEST_F(CheckerTest, ARingOfParentsIsOneErrorNamingEveryBodyInIt)
{
    const std::string file = writeTempFile("ring.cfg", "[A]\nName=A\nParent=B\n" + tenKeys + "[B]\nName=B\nParent=C\n" +
                                                           tenKeys + "[C]\nName=C\nParent=A\n" + tenKeys +
                                                           "[D]\nName=D\nParent=Sun\n" + tenKeys);
    loadSystemFile(file);
    const std::vector<Problem> problems = checkSystemLines("r.cfg", readConfigLines(file), bodyRegistry);
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ("parent-cycle", problems[0].kind);
    EXPECT_EQ(3, problems[0].line);
    EXPECT_TRUE(problems[0].isError());
    EXPECT_NE(std::string::npos, problems[0].message.find("A, B and C name each other as parents"));
    EXPECT_NE(std::string::npos, problems[0].message.find("A \xE2\x86\x92 B \xE2\x86\x92 C \xE2\x86\x92 A"));
}

TEST_F(CheckerTest, AByteOrderMarkIsSaidPlainlyAndIsNoProblem)
{
    const std::string file = writeTempFile("bom.cfg", "\xEF\xBB\xBF[A]\nName=A\nParent=Sun\n" + tenKeys);
    EXPECT_EQ(0, check({file}));
    const std::string report = out.str();
    EXPECT_NE(std::string::npos, report.find(":1: [A] note: the file starts with a UTF-8 byte-order mark"));
    EXPECT_NE(std::string::npos, report.find("1 body, 0 errors, 0 warnings"));
}

TEST(LikelyKeyTest, SuggestsNearKeysOnly)
{
    const std::vector<std::string> keys{"Size", "OrbitRadius", "NearDistance", "FarDistance"};
    const struct
    {
        const char* typed;
        const char* meant;
    } cases[] = {{"size", "Size"},         {"OrbitRaduis", "OrbitRadius"}, {"neardistance", "NearDistance"},
                 {"Colour", ""},           {"FarDist", ""},                {"Size", ""}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(c.meant, likelyKey(c.typed, keys));
    }
}
}
