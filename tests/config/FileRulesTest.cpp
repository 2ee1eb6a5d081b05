// The verdicts on a file: what orvtest-check says and the viewer does.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "config/SystemFileKeys.h"

namespace
{
using Finding = std::pair<int, std::string>;   // line, kind

std::vector<Finding> findings(const std::vector<Problem>& problems)
{
    std::vector<Finding> out;
    for (const Problem& p : problems)
        out.emplace_back(p.line, p.kind);
    return out;
}

// The message of the finding of that kind; fails the test when there is none.
std::string messageOf(const std::vector<Problem>& problems, const std::string& kind)
{
    for (const Problem& p : problems)
        if (p.kind == kind)
            return p.message;
    ADD_FAILURE() << "no " << kind;
    return "";
}

bool anyMesh(const std::string& mesh) { return mesh != "Teapot.Mesh"; }

TEST(FileRulesTest, FindsEachProblemOfABrokenFileOnItsLine)
{
    const std::string system = std::string(ORVTEST_TEST_DATA_DIR) + "/broken-system.cfg";
    const SystemVerdict verdict = judgeSystemText("s.cfg", readConfigText(system), anyMesh);
    const std::vector<Finding> expected{
        {2, "outside-section"},  {6, "parent-order"},  {21, "no-separator"},     {22, "bad-value"},
        {28, "unknown-key"},     {29, "zero-axis"},    {30, "near-beyond-far"},  {33, "bad-value"},
        {34, "unknown-parent"},  {37, "bad-size"},     {43, "bad-value"},        {45, "skipped-section"},
        {51, "name-collision"}};
    EXPECT_EQ(expected, findings(verdict.problems));
    for (const Problem& p : verdict.problems)
    {
        const bool stops = p.kind == "parent-order" || p.kind == "unknown-parent" || p.kind == "bad-size" ||
                           p.kind == "skipped-section" || p.kind == "name-collision";
        EXPECT_EQ(stops, p.isError()) << p.kind;
        EXPECT_FALSE(p.refusedAtStart) << p.kind;
    }
    EXPECT_NE(std::string::npos, messageOf(verdict.problems, "parent-order").find("'Jupiter.Callisto'"));
    EXPECT_NE(std::string::npos, messageOf(verdict.problems, "unknown-key").find("did you mean 'OrbitRadius'"));
    const std::string skipped = messageOf(verdict.problems, "skipped-section");
    EXPECT_NE(std::string::npos, skipped.find("each of the " + std::to_string(requiredBodyKeyCount()) + " required"));
    EXPECT_NE(std::string::npos, skipped.find("missing Model"));
    EXPECT_NE(std::string::npos, skipped.find("repeated Name 2 times"));

    const std::string settings = std::string(ORVTEST_TEST_DATA_DIR) + "/broken-settings.cfg";
    const SettingsVerdict read = judgeSettingsText("o.cfg", readConfigText(settings), AppSettings());
    const std::vector<Finding> expectedSettings{
        {1, "outside-section"}, {5, "bad-value"},  {6, "no-separator"}, {7, "unknown-key"},  {8, "wrong-section"},
        {10, "bad-value"},      {11, "bad-value"}, {13, "repeated-key"}, {14, "unknown-section"}};
    EXPECT_EQ(expectedSettings, findings(read.problems));
    EXPECT_NE(std::string::npos, messageOf(read.problems, "unknown-key").find("did you mean 'MoveConstant'"));
}

// A planet A of the sun whose `extra` lines start at line 12: as written,
// with no frame-locked orbit, and with no orbit radius either.
std::string planet(const std::string& extra) { return bodySection("A", "Sun", extra); }
std::string dated(const std::string& extra) { return withValue(planet(extra), "OrbitPeriod", "0"); }
std::string unplaced(const std::string& extra) { return withValue(dated(extra), "OrbitRadius", "0"); }

// On an orbit by its perihelion, at 300 world units for 0.25 AU, then
// `extra` lines from line 14 on.
std::string byPerihelion(const std::string& extra)
{
    return unplaced("PerihelionDistance=300\nPerihelionAU=0.25\n" + extra);
}

// Sound: no finding; Errs: an error the viewer starts with all the same;
// Refuses: one it does not start with.
enum Verdict { Sound, Warns, Errs, Refuses };
// A ring of a planet that spins, in its equator, with a picture: as a ring should be.
const std::string ringed = "RotationHours=10\nRingInner=8\nRingOuter=12\nRingMap=r.png\n";

struct VerdictRow { const char* name; bool settings; std::string text; const char* kind; int line; Verdict verdict; };

// What the broken files above find on their lines, what each file of
// tests/data/corpus and a chain of moons too deep do to the viewer
// (tests/fuzz/corpus_agreement.py, tests/e2e/failures.py) and a light's
// range out of bounds (viewer/ViewerTest) are not repeated here.
const VerdictRow verdictRows[] = {
    {"SoundSystem", false, bodySection("A") + bodySection("A.B", "A"), "", 0, Sound},
    {"AModelWithoutAMesh", false, withValue(planet(""), "Model", "Teapot"), "unknown-model", 4, Errs},
    {"ANameLongerThanShown", false, withValue(planet(""), "Name", std::string(70, 'x')), "long-name", 2, Warns},
    {"ASizeBeyondTheWorld", false, withValue(planet(""), "Size", "2e18"), "beyond-the-world", 6, Warns},
    {"ABodyUnderANamelessSection", false, "[]\n" + planet("").substr(4), "outside-section", 1, Warns},
    {"AnOrbitOfNoTime", false, planet("OrbitDays=0\n"), "bad-element", 12, Refuses},
    {"AnOpenOrbit", false, dated("OrbitDays=100\nEccentricity=1\n"), "bad-element", 13, Refuses},
    {"AnEpochNoCalendarHas", false, dated("OrbitDays=100\nEpoch=2000-02-30\n"), "bad-date", 13, Refuses},
    {"AFrameLockedPeriodTheClockLeavesIdle", false, planet("OrbitDays=100\n"), "idle-key", 8, Warns},
    {"ElementsWithoutOrbitDays", false, planet("Inclination=5\n"), "idle-key", 12, Warns},
    // One rule for the eccentricity: an ellipse's for a dated orbit, idle (never wrong) without one.
    {"AnEccentricityJustBelowOne", false, dated("OrbitDays=100\nEccentricity=0.9999999\n"), "", 0, Sound},
    {"AnOpenOrbitThatIsNoOrbit", false, planet("Eccentricity=1.5\n"), "idle-key", 12, Warns},
    // A body that faces its parent is turned by its orbit: a rotation model beside it is idle.
    {"FacingItsParentWithARotationModel", false, dated("OrbitDays=9\nRotationHours=-216\nFacesParent=1\nMeridian=4\n"),
     "idle-key", 15, Warns},
    {"FacingItsParentWithoutAnOrbit", false, planet("RotationHours=-216\nFacesParent=1\n"), "idle-key", 13, Warns},
    // Rings and clouds.
    {"ARingInItsEquator", false, planet(ringed), "", 0, Sound},
    {"RingRadiiTheWrongWayRound", false, planet("RotationHours=10\nRingInner=12\nRingOuter=8\nRingMap=r.png\n"),
     "ring-radii", 14, Warns},
    {"ARingWithoutAPole", false, planet("RingInner=8\nRingOuter=12\nRingMap=r.png\n"), "ring-without-pole", 14, Warns},
    {"ARingInsideItsBody", false, planet("RotationHours=10\nRingInner=3\nRingOuter=12\nRingMap=r.png\n"),
     "ring-inside-body", 13, Warns},
    {"RingRadiiWithoutAMap", false, planet("RotationHours=10\nRingInner=8\nRingOuter=12\n"), "idle-key", 14, Warns},
    {"AMoonThroughItsPlanetsRing", false, planet(ringed) + withValue(bodySection("A.B", "A"), "OrbitRadius", "10"),
     "orbit-through-ring", 22, Warns},
    {"AMoonClearOfItsPlanetsRing", false, planet(ringed) + withValue(bodySection("A.B", "A"), "OrbitRadius", "17.5"),
     "", 0, Sound},
    {"CloudKeysWithoutAMap", false, planet("CloudHeight=0.02\n"), "idle-key", 12, Warns},
    {"CloudsBelowTheSurface", false, planet("CloudMap=c.dds\nCloudHeight=-0.1\n"), "out-of-range", 13, Warns},
    // Orbits by their perihelion: any conic about the Sun, paced by the real perihelion distance.
    {"AHyperbolaByItsPerihelion", false, byPerihelion("Eccentricity=1.2\nPerihelionDate=2017-09-09T11:42\n"),
     "", 0, Sound},
    {"AParabolaByItsPerihelion", false, byPerihelion("Eccentricity=1\n"), "", 0, Sound},
    {"AnEllipseByItsPerihelion", false, byPerihelion("Eccentricity=0.5\n"), "", 0, Sound},
    {"ANegativeEccentricityByItsPerihelion", false, byPerihelion("Eccentricity=-0.1\n"), "bad-element", 14, Refuses},
    {"APerihelionDistanceWithoutItsPace", false, unplaced("PerihelionDistance=300\n"), "bad-element", 12, Refuses},
    {"APerihelionAUOfZero", false, unplaced("PerihelionDistance=300\nPerihelionAU=0\n"), "bad-element", 13, Refuses},
    {"APerihelionDistanceBelowZero", false, planet("PerihelionDistance=-5\n"), "bad-element", 12, Refuses},
    {"AMoonByItsPerihelion", false,
     bodySection("A") + withValue(withValue(bodySection("A.M", "A", "PerihelionDistance=30\nPerihelionAU=0.1\n"),
                                            "OrbitRadius", "0"),
                                  "OrbitPeriod", "0"),
     "moon-by-perihelion", 14, Refuses},
    {"AnOrbitRadiusTheConicLeavesIdle", false, dated("PerihelionDistance=300\nPerihelionAU=0.25\n"),
     "idle-key", 7, Warns},
    {"AMeanAnomalyTheConicLeavesIdle", false, byPerihelion("MeanAnomaly=10\n"), "idle-key", 14, Warns},
    {"AnEpochTheConicLeavesIdle", false, byPerihelion("Epoch=2017-09-01\n"), "idle-key", 14, Warns},
    {"PerihelionKeysBesideOrbitDays", false, dated("OrbitDays=100\nPerihelionDate=2020-01-01\n"),
     "idle-key", 13, Warns},
    {"ThePaceWithoutAnOrbit", false, planet("PerihelionAU=2\n"), "idle-key", 12, Warns},
    {"AClockStartNoOneCanRead", true, "[Clock]\nStart=tomorrow\n", "bad-date", 2, Refuses},
    {"SoundSettings", true, "[Performance]\nNearClipDistance=1e18\n[Light]\nRange=0\n[StarField]\nDistance=-1e18\n",
     "", 0, Sound},
    {"AnOutOfRangeValueLaterCorrected", true, "[Light]\nRange=-1\nRange=5\n", "repeated-key", 3, Warns},
    {"ANegativeAttenuationFactor", true, "[Light]\nLinear=-0.5\n", "out-of-range", 2, Warns},
    {"AColourBeyondOne", true, "[Light]\nDiffuseLight=1 2 1\n", "out-of-range", 2, Warns},
    {"MoreStarsThanDrawn", true, "[StarField]\nDensity=200000\n", "capped", 2, Warns},
    {"SettingsAboveTheFirstSection", true, "MoveConstant=5\nRange=2\n[Light]\n", "outside-section", 1, Warns}};

struct VerdictTest : ::testing::TestWithParam<VerdictRow> { void TearDown() override { resetProcessState(); } };

TEST_P(VerdictTest, JudgesAsTheViewerDoes)
{
    const VerdictRow& row = GetParam();
    const std::vector<Problem> problems = row.settings ? judgeSettingsText("f.cfg", row.text, AppSettings()).problems
                                                       : judgeSystemText("f.cfg", row.text, anyMesh).problems;
    if (row.verdict == Sound)
    {
        EXPECT_TRUE(problems.empty()) << problems.front().where();
        return;
    }
    ASSERT_EQ(1u, problems.size()) << problems.front().where() << " ... " << problems.back().where();
    EXPECT_EQ(row.kind, problems[0].kind);
    EXPECT_EQ(row.line, problems[0].line) << problems[0].message;
    EXPECT_EQ(row.verdict == Warns ? Problem::Warning : Problem::Error, problems[0].severity);
    EXPECT_EQ(row.verdict == Refuses, problems[0].refusedAtStart);
    EXPECT_EQ(row.verdict == Refuses, firstRefusedAtStart(problems) != nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, VerdictTest, ::testing::ValuesIn(verdictRows), RowName());

TEST(FileRulesTest, ARingOfParentsIsOneErrorNamingEveryBodyInIt)
{
    const SystemVerdict verdict = judgeSystemText(
        "r.cfg", bodySection("A", "B") + bodySection("B", "C") + bodySection("C", "A") + bodySection("D"), anyMesh);
    ASSERT_EQ(1u, verdict.problems.size());
    EXPECT_EQ("parent-cycle", verdict.problems[0].kind);
    EXPECT_EQ(3, verdict.problems[0].line);
    EXPECT_NE(std::string::npos, verdict.problems[0].message.find("A, B and C name each other as parents"));
    EXPECT_NE(std::string::npos, verdict.problems[0].message.find("A \xE2\x86\x92 B \xE2\x86\x92 C \xE2\x86\x92 A"));
}

TEST(LikelyKeyTest, SuggestsNearKeysOnly)
{
    const std::vector<std::string> keys{"Size", "OrbitRadius", "NearDistance", "FarDistance"};
    const struct { const char* typed, *meant; } cases[] = {{"size", "Size"}, {"OrbitRaduis", "OrbitRadius"}, {"neardistance", "NearDistance"},
                 {"Colour", ""},    {"FarDist", ""},                {"Size", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(c.meant, likelyKey(c.typed, keys)) << c.typed;
}
}
