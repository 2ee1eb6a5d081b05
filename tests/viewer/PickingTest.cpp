// C and the middle button on the real engine without a window: the body
// picked is the one a person sees at the centre of the view, the nearest
// drawn there, wherever its orbit node has turned it and whatever hangs it.

#include "HeadlessEngine.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{
// One body section as a person writes it: at rest (every period 0), OrbitCompleted
// degrees about the default +Y orbit axis, so that it stands at
// (OrbitRadius sin a, 0, OrbitRadius cos a) from its parent.
struct Still
{
    std::string section;
    std::string name;
    std::string size;
    std::string orbitRadius;
    std::string orbitCompleted;
    std::string extra = "NearDistance=100000\n";
    std::string parent = "Sun";
};

std::string sectionText(const Still& body)
{
    return "[" + body.section + "]\nName=" + body.name + "\nParent=" + body.parent +
           "\nModel=SphereMesh_32x64\nMaterial=default\nSize=" + body.size + "\nOrbitRadius=" + body.orbitRadius +
           "\nOrbitPeriod=0\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\nOrbitCompleted=" + body.orbitCompleted + "\n" +
           body.extra;
}

struct PickRow
{
    std::string name;
    std::vector<Still> bodies;
    std::string picked;   // the Name expected, or "" for nothing
};

// A failing row is named by its name, not by its bytes.
void PrintTo(const PickRow& row, std::ostream* out)
{
    *out << row.name;
}

// Seen from the start camera, at (0, 0, -14500) looking along +Z. Depths are
// along that line of sight, where it enters a body's sphere.
const PickRow pickRows[] = {
    // As reported: Draco (0, 0, -5000) covers the centre in front of the sun,
    // Corvus (0, 0, 3000) behind it; Alpha and Eridanus stand off to the
    // sides on ±X, Beacon (0, 0, -20000) behind the camera.
    {"TheReportedFiveBodies",
     {{"A", "Alpha", "300", "4000", "90"},
      {"B", "Beacon", "600", "20000", "180"},
      {"C", "Corvus", "1500", "3000", "0"},
      {"D", "Draco", "600", "5000", "180"},
      {"E", "Eridanus", "300", "3000", "270"}},
     "Draco"},
    // Turned half round to (0, 0, -100), just in front of the sun; the other
    // just behind it at (0, 0, 60).
    {"ABodyJustInFrontOfTheSun",
     {{"A", "Behind", "20", "60", "0"}, {"B", "Before", "20", "100", "180"}},
     "Before"},
    // The giant at (7000, 0, 0) covers the centre with its edge: the line of
    // sight enters it at depth 14500 - √(7500² - 7000²) ≈ 11807, though its
    // nearest point is only 8601 away. The pebble at (0, 0, -4500) is met at
    // depth 9900, in front of it (the two are 8322 apart, 7600 would touch).
    {"AHugeBodyBehindASmallOne",
     {{"A", "Giant", "7500", "7000", "90"}, {"B", "Pebble", "100", "4500", "180"}},
     "Pebble"},
    // The moon's orbit node hangs under the planet's turned frame: the moon
    // stands at (0, 0, -5000), between the camera and its planet at (0, 0, -3000).
    {"AMoonInFrontOfItsPlanet",
     {{"A", "Gas", "500", "3000", "180"}, {"B", "Moon", "100", "2000", "0", "NearDistance=100000\n", "A"}},
     "Moon"},
    // At (±3000, 0, 0): about 11.7 degrees off the centre, discs of 1.2 degrees.
    {"NothingAtTheCentre",
     {{"A", "East", "300", "3000", "90"}, {"B", "West", "300", "3000", "270"}},
     ""},
    // Only the far sphere is drawn (NearDistance 1000); its centre 9500 away
    // is beyond FarDistance, its surface within it, and the far spheres are
    // drawn as an entity is, up to the rendering distance plus their size.
    {"AFarSphereWithinItsReach",
     {{"A", "Faint", "600", "5000", "180", "NearDistance=1000\nFarDistance=9000\n"}},
     "Faint"},
    // Its surface 8900 away, beyond FarDistance: nothing is drawn there.
    {"AFarSphereBeyondItsReach",
     {{"A", "Faint", "600", "5000", "180", "NearDistance=1000\nFarDistance=8800\n"}},
     ""},
};

class PickingTest : public HeadlessEngine, public ::testing::WithParamInterface<PickRow>
{
protected:
    // The scene of the bodies, and a viewer on it, as the program starts them.
    void start(const std::vector<Still>& bodies)
    {
        std::string system;
        for (const Still& body : bodies)
            system += sectionText(body);
        SystemVerdict verdict = judgeSystemText("s.cfg", system, meshExists);
        ASSERT_TRUE(verdict.sound()) << verdict.problems.front().where();
        bodyRegistry.swapBodies(*verdict.bodies);
        camera = makeStartCamera();
        buildOrbitalScene(sceneManager, camera->getRealPosition());
        viewer = std::make_unique<OrbitViewer>(camera, sceneManager, nullptr, nullptr, status, 100.0f);
    }

    void TearDown() override
    {
        viewer.reset();
        HeadlessEngine::TearDown();
    }

    Ogre::Camera* camera = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
};

TEST_P(PickingTest, CAndTheMiddleButtonPickTheNearestBodyDrawnAtTheCentre)
{
    const PickRow& row = GetParam();
    start(row.bodies);
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    const std::string expected = row.picked.empty() ? "Nothing under the centre of the view" : "Picked " + row.picked;

    ASSERT_TRUE(viewer->runFrame(tap(0.25f, OIS::KC_C)));
    EXPECT_EQ(expected, status);
    if (!row.picked.empty())
    {
        ASSERT_TRUE(viewer->controls().hasFocus());
        EXPECT_EQ(row.picked, bodyRegistry.at(std::size_t(viewer->controls().focusIndex())).definition.Name);
    }

    status.clear();
    ASSERT_TRUE(viewer->runFrame(frame(0.25f)));
    ASSERT_TRUE(viewer->runFrame(frame(0.25f, {}, 1u << OIS::MB_Middle)));
    EXPECT_EQ(expected, status);
    // A pick turns nothing: the camera still looks along +Z from where it started.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, -14500), camera->getDerivedPosition()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, camera->getDerivedDirection()));
}

INSTANTIATE_TEST_SUITE_P(Picking, PickingTest, ::testing::ValuesIn(pickRows), RowName());
}
