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
    EXPECT_EQ("Earth", body.Name);
    EXPECT_EQ("Sun.Position", body.parentNodeName);
    EXPECT_EQ("SphereMesh_32x64", body.Model);
    EXPECT_EQ("default", body.Material);
    EXPECT_EQ(5.0f, body.Size);
    EXPECT_EQ(100.0f, body.OrbitRadius);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, body.OrbitAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_X, body.PitchAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, body.YawAxis));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, body.RollAxis));
    EXPECT_EQ(0.0f, body.OrbitCompleted);
    EXPECT_EQ(0.0f, body.RollCompleted);
    EXPECT_TRUE(body.Far);
    EXPECT_EQ(10000.0f, body.NearDistance);
    EXPECT_EQ(1e8f, body.nearDistanceSquared);
    EXPECT_EQ(200000.0f, body.FarDistance);
    // Steps: 1 / (period × 60) degrees, 0 for a zero period, negative for a negative one.
    EXPECT_FLOAT_EQ(1.0f / 60.0f, body.orbitStep);
    EXPECT_EQ(0.0f, body.pitchStep);
    EXPECT_FLOAT_EQ(1.0f / 120.0f, body.yawStep);
    EXPECT_FLOAT_EQ(-1.0f / 120.0f, body.rollStep);
    EXPECT_EQ(nullptr, body.orbitNode);
    EXPECT_EQ(nullptr, body.farNode);
}

TEST_F(SystemFileTest, ValuesFollowTheirParsingRules)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::function<void(const Body&)> check;
    };
    const Case cases[] = {
        {"Size after colon and blank", section("A", "", "Size") + "Size: 7\n",
         [](const Body& b) { EXPECT_EQ(7.0f, b.Size); }},
        {"Size after a tab", section("A", "", "Size") + "Size\t8\n",
         [](const Body& b) { EXPECT_EQ(8.0f, b.Size); }},
        {"a name of two words keeps the first", section("A", "", "Name") + "Name=Red Planet\n",
         [](const Body& b) { EXPECT_EQ("Red", b.Name); }},
        {"abc counts but leaves Size at 0", section("A", "", "Size") + "Size=abc\n",
         [](const Body& b) { EXPECT_EQ(0.0f, b.Size); }},
        {"12abc gives 12", section("A", "", "Size") + "Size=12abc\n",
         [](const Body& b) { EXPECT_EQ(12.0f, b.Size); }},
        {"one number of an axis keeps the other defaults", section("A", "OrbitAxis=1\n"),
         [](const Body& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(1, 1, 0), b.OrbitAxis)); }},
        {"three numbers of an axis", section("A", "OrbitAxis=0 0 1\n"),
         [](const Body& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1), b.OrbitAxis)); }},
        {"an axis stops at the first bad number", section("A", "PitchAxis=0.5 x 9\n"),
         [](const Body& b) { EXPECT_TRUE(vectorsNear(Ogre::Vector3(0.5f, 0, 0), b.PitchAxis)); }},
        {"Far 0", section("A", "Far=0\n"), [](const Body& b) { EXPECT_FALSE(b.Far); }},
        {"Far false is no flag", section("A", "Far=false\n"), [](const Body& b) { EXPECT_TRUE(b.Far); }},
        {"Far 2 is no flag", section("A", "Far=2\n"), [](const Body& b) { EXPECT_TRUE(b.Far); }},
        {"a repeated Name counts twice and the later wins",
         section("A", "Name=Second\n", "Size"),
         [](const Body& b) {
             EXPECT_EQ("Second", b.Name);
             EXPECT_EQ(0.0f, b.Size);
         }},
        {"start angles and distances",
         section("A", "OrbitCompleted=10\nPitchCompleted=20\nYawCompleted=30\nRollCompleted=40\n"
                      "NearDistance=300\nFarDistance=4000\n"),
         [](const Body& b) {
             EXPECT_EQ(10.0f, b.OrbitCompleted);
             EXPECT_EQ(20.0f, b.PitchCompleted);
             EXPECT_EQ(30.0f, b.YawCompleted);
             EXPECT_EQ(40.0f, b.RollCompleted);
             EXPECT_EQ(90000.0f, b.nearDistanceSquared);
             EXPECT_EQ(4000.0f, b.FarDistance);
         }},
        {"Parent names the parent's position node", section("B", "", "Parent") + "Parent=A\n",
         [](const Body& b) { EXPECT_EQ("A.Position", b.parentNodeName); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        resetProcessState();
        load(c.text);
        ASSERT_EQ(1u, bodyRegistry.size());
        c.check(bodyRegistry.at(0));
    }
}

TEST_F(SystemFileTest, SectionsWithoutExactlyTenCountedSettingsAreSkipped)
{
    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"Size missing", section("A", "", "Size")},
        {"Size written with blanks alone", section("A", "", "Size") + "Size 5\n"},
        {"size in lower case", section("A", "", "Size") + "size=5\n"},
        {"an eleventh counted setting", section("A", "Size=6\n")},
        {"the nameless section ahead of the first header",
         section("X").substr(4) /* the ten lines without their header */},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        resetProcessState();
        load(c.text);
        EXPECT_EQ(0u, bodyRegistry.size());
    }
}

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
        names += body->Name + " ";
    EXPECT_EQ("Mercury Venus Earth Moon Mars Deimos Phobos Jupiter Callisto Europa Ganymede Io "
              "Saturn Titan Uranus Neptune Triton ",
              names);
    // Every parent is built before its moons.
    for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& body = bodyRegistry.at(i);
        if (body.parentNodeName == "Sun.Position")
            continue;
        bool parentEarlier = false;
        for (std::size_t j = 0; j < i; ++j)
            parentEarlier |= bodyRegistry.at(j).sectionName + ".Position" == body.parentNodeName;
        EXPECT_TRUE(parentEarlier) << body.sectionName;
    }
}
}
