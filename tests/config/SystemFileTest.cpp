#include "HeadlessEngine.h"
#include "config/SystemFile.h"
#include "TestPaths.h"
#include "sim/BodyRegistry.h"

#include <OgreException.h>

#include <functional>
#include <string>

namespace
{
// A section with the ten required keys, less `omit`, followed by `extra`.
std::string section(const std::string& name, const std::string& extra = "",
                    const std::string& omit = "")
{
    const char* required[][2] = {{"Name", "Earth"},       {"Parent", "Sun"},
                                 {"Model", "SphereMesh_32x64"}, {"Material", "default"},
                                 {"Size", "5"},           {"OrbitRadius", "100"},
                                 {"OrbitPeriod", "1"},     {"PitchPeriod", "0"},
                                 {"YawPeriod", "2"},       {"RollPeriod", "-2"}};
    std::string text = "[" + name + "]\n";
    for (auto& key : required)
        if (omit != key[0])
            text += std::string(key[0]) + "=" + key[1] + "\n";
    return text + extra;
}

class SystemFileTest : public ::testing::Test
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }

    void load(const std::string& text) { loadSystemFile(writeTempFile("system.cfg", text)); }
};

TEST_F(SystemFileTest, TenRequiredKeysGiveABodyWithDefaults)
{
    load(section("Earth"));
    ASSERT_EQ(1u, bodyRegistry.size());
    const Body& body = bodyRegistry.at(0);
    EXPECT_EQ("Earth", body.sectionName);
    const BodyDefinition& d = body.definition;
    EXPECT_EQ("Earth", d.Name);
    EXPECT_EQ("Sun", d.Parent);
    EXPECT_EQ("SphereMesh_32x64", d.Model);
    EXPECT_EQ("default", d.Material);
    EXPECT_EQ(5.0f, d.Size);
    EXPECT_EQ(100.0f, d.OrbitRadius);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, d.OrbitAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_X, d.PitchAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, d.YawAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, d.RollAxis));
    EXPECT_EQ(0.0f, d.OrbitCompleted);
    EXPECT_EQ(0.0f, d.RollCompleted);
    EXPECT_TRUE(d.Far);
    EXPECT_EQ(10000.0f, d.NearDistance);
    EXPECT_EQ(1e8f, body.nearDistanceSquared);
    EXPECT_EQ(200000.0f, d.FarDistance);
    // Steps: 1 / (period × 60) degrees, 0 for a zero period, negative for a negative one.
    EXPECT_FLOAT_EQ(1.0f / 60.0f, body.orbitStep);
    EXPECT_EQ(0.0f, body.pitchStep);
    EXPECT_FLOAT_EQ(1.0f / 120.0f, body.yawStep);
    EXPECT_FLOAT_EQ(-1.0f / 120.0f, body.rollStep);
    EXPECT_EQ(nullptr, body.orbitNode);
    EXPECT_EQ(nullptr, body.farNode);
}

struct ValueCase
{
    const char* name;
    std::string text;
    std::function<void(const BodyDefinition&)> check;

    friend void PrintTo(const ValueCase& row, std::ostream* out) { *out << row.name; }
};

const ValueCase valueCases[] = {
        {"SizeAfterColonAndBlank", section("A", "", "Size") + "Size: 7\n",
         [](const BodyDefinition& b) { EXPECT_EQ(7.0f, b.Size); }},
        {"SizeAfterATab", section("A", "", "Size") + "Size\t8\n",
         [](const BodyDefinition& b) { EXPECT_EQ(8.0f, b.Size); }},
        {"ANameOfTwoWordsKeepsTheFirst", section("A", "", "Name") + "Name=Red Planet\n",
         [](const BodyDefinition& b) { EXPECT_EQ("Red", b.Name); }},
        {"AbcCountsButLeavesSizeAtZero", section("A", "", "Size") + "Size=abc\n",
         [](const BodyDefinition& b) { EXPECT_EQ(0.0f, b.Size); }},
        {"TwelveAbcGivesTwelve", section("A", "", "Size") + "Size=12abc\n",
         [](const BodyDefinition& b) { EXPECT_EQ(12.0f, b.Size); }},
        {"OneNumberOfAnAxisKeepsTheOthers", section("A", "OrbitAxis=1\n"),
         [](const BodyDefinition& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(1, 1, 0), b.OrbitAxis)); }},
        {"ThreeNumbersOfAnAxis", section("A", "OrbitAxis=0 0 1\n"),
         [](const BodyDefinition& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1), b.OrbitAxis)); }},
        {"AnAxisStopsAtTheFirstBadNumber", section("A", "PitchAxis=0.5 x 9\n"),
         [](const BodyDefinition& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(0.5f, 0, 0), b.PitchAxis)); }},
        {"FarZero", section("A", "Far=0\n"), [](const BodyDefinition& b) { EXPECT_FALSE(b.Far); }},
        {"FarFalseIsNoFlag", section("A", "Far=false\n"), [](const BodyDefinition& b) { EXPECT_TRUE(b.Far); }},
        {"FarTwoIsNoFlag", section("A", "Far=2\n"), [](const BodyDefinition& b) { EXPECT_TRUE(b.Far); }},
        {"ARepeatedNameCountsTwiceAndTheLaterWins",
         section("A", "Name=Second\n", "Size"),
         [](const BodyDefinition& b) {
             EXPECT_EQ("Second", b.Name);
             EXPECT_EQ(0.0f, b.Size);
         }},
        {"StartAnglesAndDistances",
         section("A", "OrbitCompleted=10\nPitchCompleted=20\nYawCompleted=30\nRollCompleted=40\n"
                      "NearDistance=300\nFarDistance=4000\n"),
         [](const BodyDefinition& b) {
             EXPECT_EQ(10.0f, b.OrbitCompleted);
             EXPECT_EQ(20.0f, b.PitchCompleted);
             EXPECT_EQ(30.0f, b.YawCompleted);
             EXPECT_EQ(40.0f, b.RollCompleted);
             EXPECT_EQ(300.0f, b.NearDistance);
             EXPECT_EQ(4000.0f, b.FarDistance);
         }},
        {"AByteOrderMarkIsSkipped", "\xEF\xBB\xBF" + section("A"),
         [](const BodyDefinition& b) { EXPECT_EQ("Earth", b.Name); }},
        {"ParentNamesTheParentsSection", section("B", "", "Parent") + "Parent=A\n",
         [](const BodyDefinition& b) { EXPECT_EQ("A", b.Parent); }},
};

class SystemValueTest : public ::testing::TestWithParam<ValueCase>
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
};

TEST_P(SystemValueTest, FollowsItsParsingRule)
{
    loadSystemFile(writeTempFile("system.cfg", GetParam().text));
    ASSERT_EQ(1u, bodyRegistry.size());
    GetParam().check(bodyRegistry.at(0).definition);
}

INSTANTIATE_TEST_SUITE_P(SystemFile, SystemValueTest, ::testing::ValuesIn(valueCases), RowName());

struct SkipCase
{
    const char* name;
    std::string text;

    friend void PrintTo(const SkipCase& row, std::ostream* out) { *out << row.name; }
};

const SkipCase skipCases[] = {
    {"SizeMissing", section("A", "", "Size")},
    {"SizeWrittenWithBlanksAlone", section("A", "", "Size") + "Size 5\n"},
    {"SizeInLowerCase", section("A", "", "Size") + "size=5\n"},
    {"AnEleventhRequiredSetting", section("A", "Size=6\n")},
    // The ten lines without their header.
    {"TheNamelessSectionAheadOfTheFirstHeader", section("X").substr(4)},
};

class SkippedSectionTest : public ::testing::TestWithParam<SkipCase>
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
};

TEST_P(SkippedSectionTest, GivesNoBody)
{
    loadSystemFile(writeTempFile("system.cfg", GetParam().text));
    EXPECT_EQ(0u, bodyRegistry.size());
}

INSTANTIATE_TEST_SUITE_P(SystemFile, SkippedSectionTest, ::testing::ValuesIn(skipCases), RowName());

TEST_F(SystemFileTest, BodiesAreRegisteredInByteWiseSectionOrder)
{
    load(section("Mars") + section("Earth") + section("earth") + section("Callisto") +
         section("Jupiter") + "[Broken]\nName=Nothing\n");
    std::string order;
    for (const auto& body : bodyRegistry)
        order += body->sectionName + " ";
    EXPECT_EQ("Callisto Earth Jupiter Mars earth ", order);
    EXPECT_EQ("Callisto", bodyRegistry.at(0).sectionName);
}

TEST_F(SystemFileTest, MissingFileRaisesAndRegistersNothing)
{
    EXPECT_THROW(loadSystemFile("no-such-system.cfg"), Ogre::FileNotFoundException);
    EXPECT_EQ(0u, bodyRegistry.size());
}

TEST_F(SystemFileTest, DefaultSystemFileHasEveryPlanetAndMajorMoon)
{
    loadSystemFile(std::string(ORVTEST_DATA_DIR) + "/1.cfg");
    std::string names;
    for (const auto& body : bodyRegistry)
        names += body->definition.Name + " ";
    EXPECT_EQ("Mercury Venus Earth Moon Mars Deimos Phobos Jupiter Callisto Europa Ganymede Io "
              "Saturn Titan Uranus Neptune Triton ",
              names);
    // Every parent is built before its moons.
    for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& body = bodyRegistry.at(i);
        if (body.definition.Parent == "Sun")
            continue;
        bool parentEarlier = false;
        for (std::size_t j = 0; j < i; ++j)
            parentEarlier |= bodyRegistry.at(j).sectionName == body.definition.Parent;
        EXPECT_TRUE(parentEarlier) << body.sectionName;
    }
}
}
