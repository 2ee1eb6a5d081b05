// Hostile input: empty, binary, huge and absurd files are read without a
// crash or a hang, and the scene built from them stays finite.

#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>

namespace
{
std::string body(const std::string& section, const std::string& parent, const std::string& extra = "",
                 const std::string& size = "1", const std::string& radius = "10")
{
    return "[" + section + "]\nName=" + section + "\nParent=" + parent +
           "\nModel=SphereMesh_4x6\nMaterial=default\nSize=" + size + "\nOrbitRadius=" + radius +
           "\nOrbitPeriod=1\nPitchPeriod=2\nYawPeriod=3\nRollPeriod=4\n" + extra;
}

bool finite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

class BadInputTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
    }

    void load(const std::string& text) { loadSystemFile(writeTempFile("system.cfg", text)); }

    // Rigs every registered body, runs frames and checks every node stays finite.
    void rigAndRun(int frames)
    {
        for (const auto& b : bodyRegistry)
        {
            rigBody(*b, sceneManager);
        }
        for (int frame = 0; frame < frames; ++frame)
        {
            runMotionStep();
            runDetailStep(Ogre::Vector3(0, 0, -14500));
        }
        sceneManager->getRootSceneNode()->_update(true, false);
        for (const auto& b : bodyRegistry)
        {
            ASSERT_TRUE(finite(b->nearNode->_getDerivedPosition())) << b->sectionName;
            ASSERT_TRUE(std::isfinite(b->nearNode->_getDerivedOrientation().w)) << b->sectionName;
            ASSERT_TRUE(finite(b->nearNode->_getWorldAABB().getMaximum())) << b->sectionName;
        }
    }
};

TEST_F(BadInputTest, EmptyAndBinaryFilesGiveDefaultsAndNoBodies)
{
    std::string binary;
    for (int round = 0; round < 64; ++round)
        for (int byte = 0; byte < 256; ++byte)
            binary += char(byte);
    for (const std::string& text : {std::string(), binary})
    {
        SCOPED_TRACE(text.size());
        resetProcessState();
        loadSettings(writeTempFile("OrvTest.cfg", text));
        EXPECT_EQ("1.cfg", appSettings.StaticSystem);
        EXPECT_EQ(0, appSettings.Density);
        load(text);
        EXPECT_EQ(0u, bodyRegistry.size());
    }
}

TEST_F(BadInputTest, TenThousandBodiesInATenMegabyteFile)
{
    std::string text;
    std::string previous = "Sun";
    for (int i = 0; i < 10000; ++i)
    {
        char section[16];
        std::snprintf(section, sizeof section, "B%05d", i);
        // Every tenth body is a moon of the one before it.
        text += body(section, i % 10 == 9 ? previous : "Sun");
        previous = section;
    }
    const std::string padding = "# " + std::string(1000, '-') + "\n";
    while (text.size() < 10u * 1024 * 1024)
        text += padding;
    load(text);
    ASSERT_EQ(10000u, bodyRegistry.size());
    rigAndRun(3);
}

TEST_F(BadInputTest, LongLinesAndAbsurdNumbers)
{
    const std::string longName(1 << 20, 'x');
    load(body("A", "Sun", std::string(1 << 20, 'y') + "\n") +
         "[B]\nName=" + longName + "\nParent=Sun\nModel=SphereMesh_4x6\nMaterial=default\n"
         "Size=nan\nOrbitRadius=inf\nOrbitPeriod=1e39\nPitchPeriod=-inf\nYawPeriod=1e-45\nRollPeriod=0\n");
    ASSERT_EQ(2u, bodyRegistry.size());
    const Body& b = bodyRegistry.at(1);
    EXPECT_EQ(longName, b.definition.Name);
    EXPECT_EQ(0.0f, b.definition.Size);
    EXPECT_EQ(0.0f, b.definition.OrbitRadius);
    EXPECT_EQ(0.0f, b.definition.OrbitPeriod);
    EXPECT_EQ(0.0f, b.definition.PitchPeriod);
    // Parsed, but its step would be infinite: the body does not turn that way.
    EXPECT_GT(b.definition.YawPeriod, 0.0f);
    EXPECT_EQ(0.0f, b.yawStep);
    rigAndRun(10);
}

TEST_F(BadInputTest, NegativeZeroHugeSizesAndZeroAxesStayFinite)
{
    load(body("A", "Sun", "", "-5") + body("B", "Sun", "", "0") + body("C", "Sun", "", "3e38", "3e38") +
         body("D", "Sun", "OrbitAxis=0 0 0\nPitchAxis=0 0 0\nYawAxis=0 0 0\nRollAxis=0 0 0\n"));
    ASSERT_EQ(4u, bodyRegistry.size());
    rigAndRun(120);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(-5, -5, -5), bodyRegistry.at(0).nearNode->getScale()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, bodyRegistry.at(1).nearNode->getScale()));
    EXPECT_EQ(maxWorldExtent, bodyRegistry.at(2).nearNode->getScale().x);
    EXPECT_EQ(maxWorldExtent, bodyRegistry.at(2).positionNode->getPosition().z);
    // Zero axes turn nothing.
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, bodyRegistry.at(3).orbitNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, bodyRegistry.at(3).nearNode->getOrientation()));
}

TEST_F(BadInputTest, RepeatedSectionHeaderMergesIntoASkippedSection)
{
    load(body("Earth", "Sun") + body("Mars", "Sun") + body("Earth", "Sun"));
    ASSERT_EQ(1u, bodyRegistry.size());
    EXPECT_EQ("Mars", bodyRegistry.at(0).sectionName);
}

TEST_F(BadInputTest, AHundredLevelsOfMoons)
{
    std::string text;
    std::string parent = "Sun";
    for (int level = 0; level < 100; ++level)
    {
        // "L", "Lm", "Lmm", ...: each moon's section sorts after its parent's.
        const std::string section = parent == "Sun" ? "L" : parent + "m";
        text += body(section, parent);
        parent = section;
    }
    load(text);
    ASSERT_EQ(100u, bodyRegistry.size());
    rigAndRun(0);
    // With no motion yet, each level sits 10 units further out along +Z.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1000), bodyRegistry.at(99).positionNode->_getDerivedPosition(), 1e-3f));
    for (int frame = 0; frame < 600; ++frame)
        runMotionStep();
    sceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_TRUE(finite(bodyRegistry.at(99).nearNode->_getDerivedPosition()));
}
}
