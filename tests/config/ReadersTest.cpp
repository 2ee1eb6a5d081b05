// The two readers: every row a file and what the reader must make of it.
// Expected values are written as the file writes them and read with the key
// tables; every key a row does not name must keep its default. Separators
// and the byte-order mark are the shared line reader's, tried on settings.

#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "config/SettingsKeys.h"
#include "config/SystemFile.h"
#include "config/SystemFileKeys.h"
#include "sim/BodyRegistry.h"

#include <OgreException.h>

#include <map>

namespace
{
using Expected = std::map<std::string, std::string>;   // key: value as a file writes it

struct SettingsRow { const char* name; const char* text; Expected expected; };

const SettingsRow settingsRows[] = {
    {"NoEntries", "# a comment\n[System]\n", {}},
    {"EveryKeyInItsSection",
     "[System]\nStaticSystem=solar.cfg\n[Performance]\nMeshLod=1\nReduction=0.25\nMoveConstant=25\n"
     "NearClipDistance=0.5\nStepsPerSecond=30\n[Light]\nShadowTechnique=SHADOWTYPE_STENCIL_ADDITIVE\n"
     "AmbientLight=0.1 0.2 0.3\nDiffuseLight=0.5 0.6 0.7\nSpecularLight=0 0 1\nRange=5000\nConstant=1\n"
     "Linear=0.01\nQuadratic=0.001\n[StarField]\nDistance=3000\nDensity=250\n",
     {{"StaticSystem", "solar.cfg"}, {"MeshLod", "1"}, {"Reduction", "0.25"}, {"MoveConstant", "25"},
      {"NearClipDistance", "0.5"}, {"StepsPerSecond", "30"}, {"ShadowTechnique", "SHADOWTYPE_STENCIL_ADDITIVE"},
      {"AmbientLight", "0.1 0.2 0.3"}, {"DiffuseLight", "0.5 0.6 0.7"}, {"SpecularLight", "0 0 1"},
      {"Range", "5000"}, {"Constant", "1"}, {"Linear", "0.01"}, {"Quadratic", "0.001"}, {"Distance", "3000"},
      {"Density", "250"}}},
    {"TabColonAndEqualsSeparate", "[Performance]\nMoveConstant\t20\n  Reduction :  0.75  \nNearClipDistance = 2\n",
     {{"MoveConstant", "20"}, {"Reduction", "0.75"}, {"NearClipDistance", "2"}}},
    {"ABlankAloneSeparatesNothing", "[Performance]\nMoveConstant 20\n", {}},
    {"AKeyInTheWrongSectionIsSkipped", "[Performance]\nRange=5\n", {}},
    {"NamesAreCaseSensitive", "[light]\nRange=5\n[Light]\nrange=6\n", {}},
    {"AnUnknownShadowTechniqueKeepsTheOldOne",
     "[Light]\nShadowTechnique=SHADOWTYPE_STENCIL_MODULATIVE\nShadowTechnique=SHADOWTYPE_NONE\n",
     {{"ShadowTechnique", "SHADOWTYPE_STENCIL_MODULATIVE"}}},
    {"AFourthColourNumberLeavesAlphaAtOne", "[Light]\nAmbientLight=0.1 0.2 0.3 0.5\n",
     {{"AmbientLight", "0.1 0.2 0.3"}}},
    {"MeshLodTakesZeroOrOneOnly", "[Performance]\nMeshLod=true\nMeshLod=2\n", {}},
    {"AFileNameIsCutAtItsFirstBlank", "[System]\nStaticSystem=my system.cfg\n", {{"StaticSystem", "my"}}},
    {"ANegativeDensityIsKept", "[StarField]\nDensity=-5\n", {{"Density", "-5"}}},
    {"ABadValueKeepsTheEarlierOne", "[Light]\nRange=7\nRange=x\n[Performance]\nReduction=abc\nMoveConstant=\n",
     {{"Range", "7"}}},
    {"ARepeatedKeyTakesItsLastValue", "[Light]\nRange=7\nRange=9\n", {{"Range", "9"}}},
    {"ANumberIsReadFromTheStart", "[StarField]\nDensity=12abc\nDistance=1e3 units\n",
     {{"Density", "12"}, {"Distance", "1000"}}},
    {"AByteOrderMarkIsSkipped", "\xEF\xBB\xBF[Performance]\nMoveConstant=25\n", {{"MoveConstant", "25"}}},
    {"OutOfRangeNumbersKeepTheDefault", "[StarField]\nDensity=99999999999\nDistance=1e39\n", {}}};

template <typename Row>
struct ReaderTest : ::testing::TestWithParam<Row> { void TearDown() override { resetProcessState(); } };
using SettingsReaderTest = ReaderTest<SettingsRow>;

TEST_P(SettingsReaderTest, ReadsEveryKeyByItsRules)
{
    loadSettings(writeTempFile("OrvTest.cfg", GetParam().text));
    for (const SettingsKey& key : settingsKeys())
    {
        const auto given = GetParam().expected.find(key.name);
        AppSettings expected;
        ASSERT_TRUE(given == GetParam().expected.end() || readKeyValue(expected, key.field, given->second));
        EXPECT_FALSE(differs(key, expected, appSettings)) << key.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsReaderTest, ::testing::ValuesIn(settingsRows), RowName());

// The shipped asteroids need a dated system's scale to stand on; a system
// that follows no clock shows only the catalogues its settings name.
TEST(CatalogueNamesTest, TheShippedOnesOnlyWhereBodiesFollowTheClockAndNamedFilesAnywhere)
{
    using Names = std::vector<std::string>;
    Names shippedThenMine = shippedCatalogues;
    shippedThenMine.push_back("mine.txt");
    const struct { bool shipped, dated; Names files, expected; } rows[] = {
        {true, true, {"mine.txt"}, shippedThenMine}, {true, false, {"mine.txt"}, {"mine.txt"}}, {false, true, {}, {}},
        {true, true, {shippedCatalogues[1], "mine.txt"}, shippedThenMine}};
    for (const auto& row : rows)
    {
        AppSettings settings;
        settings.Shipped = row.shipped;
        settings.Files = row.files;
        EXPECT_EQ(catalogueNames(settings, row.dated), row.expected) << row.shipped << row.dated;
    }
}

// Expected: of the one body the file makes; none expected when empty and `bodies` 0.
struct SystemRow { const char* name; std::string text; Expected expected; std::size_t bodies = 1; };

// A section with the required keys but `omit`, then `extra` lines.
std::string without(const std::string& omit, const std::string& extra = "")
{
    std::string text = bodySection("A");
    const std::size_t at = text.find("\n" + omit + "=");
    if (!omit.empty())
        text.erase(at + 1, text.find('\n', at + 1) - at);
    return text + extra;
}

const SystemRow systemRows[] = {
    {"TheRequiredKeysAloneGiveTheDefaults", bodySection("A"),
     {{"Name", "A"}, {"Parent", "Sun"}, {"Model", "SphereMesh_4x6"}, {"Material", "default"}, {"Size", "5"},
      {"OrbitRadius", "100"}, {"OrbitPeriod", "1"}, {"PitchPeriod", "0"}, {"YawPeriod", "0"}, {"RollPeriod", "0"}}},
    {"ANameOfTwoWordsKeepsTheFirst", without("Name", "Name=Red Planet\n"), {{"Name", "Red"}}},
    {"AbcCountsButLeavesSizeAtZero", without("Size", "Size=abc\n"), {{"Size", "0"}}},
    {"TwelveAbcGivesTwelve", without("Size", "Size=12abc\n"), {{"Size", "12"}}},
    {"OneNumberOfAnAxisKeepsTheOthers", without("", "OrbitAxis=1\n"), {{"OrbitAxis", "1 1 0"}}},
    {"AnAxisStopsAtTheFirstBadNumber", without("", "PitchAxis=0.5 x 9\n"), {{"PitchAxis", "0.5 0 0"}}},
    {"FarTakesZeroOrOneOnly", without("", "Far=false\nFar=2\n"), {}},
    {"FarZero", without("", "Far=0\n"), {{"Far", "0"}}},
    {"ARepeatedNameCountsTwiceAndTheLaterWins", without("Size", "Name=Second\n"), {{"Name", "Second"}, {"Size", "0"}}},
    {"StartAnglesAndDistances",
     without("", "OrbitCompleted=10\nPitchCompleted=20\nYawCompleted=30\nRollCompleted=40\nNearDistance=300\n"
                 "FarDistance=4000\n"),
     {{"OrbitCompleted", "10"}, {"PitchCompleted", "20"}, {"YawCompleted", "30"}, {"RollCompleted", "40"},
      {"NearDistance", "300"}, {"FarDistance", "4000"}}},
    // An ellipse as close to a parabola as written, never rounded.
    {"AnEccentricityJustBelowOneIsKept", without("", "OrbitDays=100\nEccentricity=0.9999999\n"),
     {{"OrbitDays", "100"}, {"Eccentricity", "0.9999999"}}},
    // An orbit by its perihelion: the display's distance held as OrbitRadius is, the date read as TT.
    {"ThePerihelionKeys",
     without("", "PerihelionDistance=2e19\nPerihelionAU=0.25524\nPerihelionDate=2017-09-09T11:42:35.04\n"),
     {{"PerihelionDistance", "1e18"}, {"PerihelionAU", "0.25524"}, {"PerihelionDate", "2017-09-09T11:42:35.04"}}},
    {"SizeBeyondTheWorldIsHeldAtItsEdge", without("Size", "Size=-3e30\n"), {{"Size", "-1e18"}}},
    {"ANameIsCutToWhatTheViewerShows", without("Name", "Name=" + std::string(100, 'x') + "\xC3\xA4\n"),
     {{"Name", std::string(64, 'x')}}},
    {"ANameIsNotCutInsideALetter", without("Name", "Name=" + std::string(63, 'x') + "\xC3\xA4\n"),
     {{"Name", std::string(63, 'x')}}},
    {"SizeMissing", without("Size"), {}, 0}, {"SizeInLowerCase", without("Size", "size=5\n"), {}, 0},
    {"AnExtraRequiredSetting", without("", "Size=6\n"), {}, 0},
    {"TheNamelessSectionAheadOfTheFirstHeader", bodySection("A").substr(4), {}, 0},
    {"ASectionWithAnEmptyName", "[]\n" + bodySection("A").substr(4), {}, 0}};

using SystemReaderTest = ReaderTest<SystemRow>;

TEST_P(SystemReaderTest, ReadsEveryKeyByItsRules)
{
    loadSystemFile(writeTempFile("system.cfg", GetParam().text));
    ASSERT_EQ(GetParam().bodies, bodyRegistry.size());
    if (GetParam().bodies == 0)
        return;
    // What bodySection writes, then what the row expects instead.
    Expected values{{"Name", "A"},     {"Parent", "Sun"},      {"Model", "SphereMesh_4x6"}, {"Material", "default"},
                    {"Size", "5"},     {"OrbitRadius", "100"}, {"OrbitPeriod", "1"}};
    for (const auto& given : GetParam().expected)
        values[given.first] = given.second;
    BodyDefinition expected = defaultBodyDefinition();
    for (const auto& [name, value] : values)
        ASSERT_TRUE(readKeyValue(expected, findBodyKey(name)->field, value)) << name;
    const BodyDefinition& read = bodyRegistry.at(0).definition;
    for (const BodyKey& key : bodyKeys())
        EXPECT_TRUE(std::visit([&](auto member) { return expected.*member == read.*member; }, key.field)) << key.name;
}

INSTANTIATE_TEST_SUITE_P(SystemFile, SystemReaderTest, ::testing::ValuesIn(systemRows), RowName());

TEST(SystemReaderTest, RegistersInByteWiseSectionOrderWithTheirSteps)
{
    loadSystemFile(writeTempFile("system.cfg", bodySection("Mars") + bodySection("Earth") + bodySection("earth") +
                                                   withValue(bodySection("Callisto", "Jupiter"), "OrbitPeriod", "-2") +
                                                   bodySection("Jupiter") + "[Broken]\nName=Nothing\n"));
    std::string order;
    for (const auto& body : bodyRegistry)
        order += body->sectionName + " ";
    EXPECT_EQ("Callisto Earth Jupiter Mars earth ", order);
    // Steps from periods are sim/BodyStepsTest's.
    EXPECT_FLOAT_EQ(-1.0f / 120.0f, bodyRegistry.at(0).orbitStep);
    EXPECT_EQ(1e8f, bodyRegistry.at(1).nearDistanceSquared);
    resetProcessState();
}

TEST(ReaderFailureTest, UnreadableFilesRaiseAndChangeNothing)
{
    // text: "" for a file that is not there.
    const struct { const char* name; std::string text; const char* said; } rows[] = {
        {"Missing", "", "Cannot open file"},
        {"Utf16", std::string("\xFF\xFE[\0A\0]\0\n\0", 10), "UTF-16"},
        {"Utf16WithoutMark", std::string("[\0A\0]\0\n\0N\0a\0m\0e\0=\0A\0", 20), "UTF-16"},
        {"Utf32", std::string("\xFF\xFE\0\0[\0\0\0", 8), "UTF-32"},
        {"ANulByte", bodySection("A") + std::string("Far=1\0", 6) + "\n", "system.cfg:12: the file holds a NUL byte"}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const std::string path = row.text.empty() ? "no-such-file.cfg" : writeTempFile("system.cfg", row.text);
        for (auto read : {+[](const std::string& file) { loadSettings(file); },
                          +[](const std::string& file) { loadSystemFile(file); }})
        {
            std::string said = "read";
            try { read(path); }
            catch (const Ogre::Exception& error) { said = error.getDescription(); }
            EXPECT_NE(std::string::npos, said.find(row.said)) << said;
        }
        EXPECT_EQ(0u, bodyRegistry.size());
        EXPECT_EQ("1.cfg", appSettings.StaticSystem);
    }
}
}
