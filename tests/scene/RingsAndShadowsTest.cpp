// Rings, clouds and the shadow casters of the default system, on the real
// engine without a window: the ring lies in Saturn's equator, so the sun
// stands over it as Saturn's seasons say, and each shown body is handed the
// bodies that can shadow it.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "config/AppSettings.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SystemJudge.h"
#include "scene/BodyRig.h"
#include "scene/BodyShading.h"
#include "scene/Rings.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sky/TimeScales.h"

#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <cmath>

namespace
{
class RingsAndShadowsTest : public HeadlessEngine
{
protected:
    // The system file of that name from the data folder, rigged and placed at `date` (UTC).
    void build(const std::string& file, const std::string& date = "2009-05-17T08:30")
    {
        SystemVerdict verdict =
            judgeSystemText(file, readConfigText(std::string(ORVTEST_DATA_DIR) + "/" + file), nullptr);
        ASSERT_TRUE(verdict.sound());
        bodyRegistry.swapBodies(*verdict.bodies);
        createSun(sceneManager);
        for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
            createSphereMesh(sphere.name, sphere.rings, sphere.segments);
        createSunLight(sceneManager);
        rigBodies(bodyRegistry, sceneManager);
        placeAt(date);
    }

    void placeAt(const std::string& date)
    {
        placeDatedBodies(dynamicalFromUtc(*parseDate(date)));
        sceneManager->getRootSceneNode()->_update(true, false);
        writeShadowCasters();
    }

    const Body& body(const std::string& section) const { return bodyRegistry.at(std::size_t(bodyRegistry.indexOf(section))); }

    Ogre::Vector3 centre(const std::string& section) const { return body(section).orbitNode->_getDerivedPosition(); }

    // The ring's normal in the world: its node's +Y.
    Ogre::Vector3 ringNormal() const
    {
        return sceneManager->getSceneNode(sceneNames::ringNode("6.Saturn"))->_getDerivedOrientation() *
               Ogre::Vector3::UNIT_Y;
    }

    // The sun's elevation above Saturn's ring plane, degrees, north positive.
    double sunOverTheRing(const std::string& date)
    {
        placeAt(date);
        const Ogre::Vector3 toSun = -centre("6.Saturn").normalisedCopy();
        return std::asin(double(ringNormal().dotProduct(toSun))) / radiansPerDegree;
    }

    // A custom parameter of the body's detailed model, as its program gets it.
    Ogre::Vector4 slot(const std::string& section, std::size_t index) const
    {
        const auto* model = static_cast<const Ogre::Entity*>(body(section).nearNode->getAttachedObject(0));
        return model->getSubEntity(0)->getCustomParameter(index);
    }
};

::testing::AssertionResult sphereIs(const Ogre::Vector4& slot, const Ogre::Vector3& centre, float radius)
{
    if (vectorsNear(centre, Ogre::Vector3(slot.x, slot.y, slot.z), 1e-2f) && std::abs(slot.w - radius) < 1e-3f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "slot " << slot << ", expected " << centre << " radius " << radius;
}

// The Earth passed through the ring plane on 2025-03-23 at 16:04 UTC
// (In-the-Sky.org, as Space.com reported it) and the Sun on 2025-05-06
// (Saturn's equinox: P. Anderson, Astronomical Association of Queensland,
// "Saturn's rings edge on, early 2025"), from north to south; the northern
// summer solstice, the Sun highest over the ring's north face, came on
// 2017-05-24 (NASA/JPL, "Cassini looks on as solstice arrives at Saturn"),
// with the ring some 27 degrees open.
TEST_F(RingsAndShadowsTest, TheSunStandsOverTheRingAsSaturnsSeasonsSayAndItsRadiiAreHandedToSaturnAndTitan)
{
    build("1.cfg");
    EXPECT_NEAR(0.5, sunOverTheRing("2025-03-23T16:04"), 0.5);
    EXPECT_NEAR(0.0, sunOverTheRing("2025-05-06"), 0.05);   // the Sun moves 0.015 degrees a day then
    EXPECT_LT(sunOverTheRing("2025-06-06"), 0.0);
    const double solstice = sunOverTheRing("2017-05-24");
    EXPECT_NEAR(26.5, solstice, 0.5);
    EXPECT_NEAR(solstice, sunOverTheRing("2017-10-01"), 0.3);
    EXPECT_GT(solstice, sunOverTheRing("2016-05-24"));
    EXPECT_GT(solstice, sunOverTheRing("2018-05-24"));

    // Its centre is Saturn's, and its outline reaches the A ring's edge,
    // 2.2694 Saturn radii (NASA's Saturnian Rings Fact Sheet); Saturn and
    // Titan are handed its centre, radii and pole.
    placeAt("2017-10-01");
    const Body& saturn = body("6.Saturn");
    Ogre::SceneNode* node = sceneManager->getSceneNode(sceneNames::ringNode("6.Saturn"));
    EXPECT_TRUE(vectorsNear(centre("6.Saturn"), node->_getDerivedPosition(), 1e-2f));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_SCALE, node->_getDerivedScale()));
    const float reach = ringOf(saturn, sceneManager)->getBoundingRadius();
    EXPECT_NEAR(2.2694f * saturn.definition.Size, reach * std::cos(Ogre::Math::PI / ringSegments), 0.5f);
    EXPECT_EQ(nullptr, ringOf(body("5.Jupiter"), sceneManager));
    for (const char* section : {"6.Saturn", "6.Saturn.Titan"})
    {
        EXPECT_TRUE(sphereIs(slot(section, casterSlots), centre("6.Saturn"), 445.95f)) << section;
        const Ogre::Vector4 normal = slot(section, casterSlots + 1);
        EXPECT_TRUE(vectorsNear(ringNormal(), Ogre::Vector3(normal.x, normal.y, normal.z), 1e-4f)) << section;
        EXPECT_FLOAT_EQ(816.99f, normal.w) << section;
    }
    EXPECT_EQ(0.0f, slot("5.Jupiter", casterSlots + 1).w);   // no ring to be shadowed by
}

// Published shadows, each a caster in the first slot of the body it falls on
// and no other body's shadow in reach of it: Io's on Jupiter during its
// shadow transit of 2009-05-17, 07:56 to 10:11 UTC (3:56 to 6:11 a.m. EDT,
// idialstars.com, "May 17, 2009: Double Shadow Transit on Jupiter"); the
// Moon's on the Earth at the total solar eclipse of 2024-04-08, greatest at
// 18:17 UTC, and the Earth's on the Moon at the penumbral lunar eclipse of
// 2024-03-25, greatest at 07:12:51 UTC (F. Espenak, eclipsewise.com,
// "Eclipses During 2024"). A week later neither eclipse is in reach.
TEST_F(RingsAndShadowsTest, TheCasterInReachIsHandedToTheBodyItShadows)
{
    const struct { const char* date, *receiver, *caster; /* "" for none in reach */ } rows[] = {
        {"2009-05-17T09:00", "5.Jupiter", "5.Jupiter.Io"},  {"2024-04-08T18:17", "3.Earth", "3.Earth.Moon"},
        {"2024-03-25T07:12:51", "3.Earth.Moon", "3.Earth"}, {"2024-04-15T18:17", "3.Earth", ""},
        {"2024-04-01T07:12", "3.Earth.Moon", ""},
    };
    build("1.cfg");
    EXPECT_EQ(Ogre::SHADOWTYPE_NONE, sceneManager->getShadowTechnique());
    for (const auto& row : rows)
    {
        placeAt(row.date);
        if (!*row.caster)
        {
            EXPECT_EQ(0.0f, slot(row.receiver, 0).w) << row.date;
            continue;
        }
        EXPECT_TRUE(sphereIs(slot(row.receiver, 0), centre(row.caster), body(row.caster).definition.Size)) << row.date;
        // The receiver does not shadow its own caster back.
        for (std::size_t i = 0; i < casterSlots; ++i)
            EXPECT_FALSE(sphereIs(slot(row.caster, i), centre(row.receiver), body(row.receiver).definition.Size));
    }
}

TEST_F(RingsAndShadowsTest, ASystemThatFollowsNoClockKeepsTheShadowTechniqueOfTheSettings)
{
    appSettings.ShadowTechnique = Ogre::SHADOWTYPE_TEXTURE_MODULATIVE;
    build("clockwork.cfg");
    EXPECT_EQ(Ogre::SHADOWTYPE_TEXTURE_MODULATIVE, sceneManager->getShadowTechnique());
    EXPECT_EQ(0u, shadedBodyCount());
}
}
