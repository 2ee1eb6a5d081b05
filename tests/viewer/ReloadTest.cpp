// Reading the files again while the viewer runs: when a file is due, what
// the verdict on it is, and what a sound one does to the scene.

#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/InputFrames.h"
#include "viewer/LiveReload.h"
#include "viewer/NameLabels.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <fstream>
#include <memory>
#include <unistd.h>

namespace
{
// Eleven lines: the header and the ten required keys; then `extra`.
std::string body(const std::string& section, const std::string& parent = "Sun", const std::string& extra = "",
                 const std::string& radius = "100")
{
    return "[" + section + "]\nName=" + section + "\nParent=" + parent +
           "\nModel=SphereMesh_4x6\nMaterial=default\nSize=5\nOrbitRadius=" + radius + "\nOrbitPeriod=1\n"
           "PitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n" + extra;
}

bool anyMesh(const std::string&)
{
    return true;
}

TEST(FileWatchTest, AFileIsDueOnceItHasStoodStillAfterAChange)
{
    const std::string path = writeTempFile("watched.cfg", "one");
    FileWatch watch(path, 0.1f, 0.3f);
    for (int n = 0; n < 10; ++n)
        EXPECT_FALSE(watch.poll(0.1f)) << "unchanged, frame " << n;

    // Written over and over: never due while the writes go on.
    for (int n = 0; n < 10; ++n)
    {
        std::ofstream(path) << "version " << n << std::string(size_t(n), 'x');
        EXPECT_FALSE(watch.poll(0.1f)) << "still being written, frame " << n;
    }
    EXPECT_FALSE(watch.poll(0.1f));
    EXPECT_FALSE(watch.poll(0.1f));
    bool due = false;
    for (int n = 0; n < 3 && !due; ++n)
        due = watch.poll(0.1f);
    ASSERT_TRUE(due);
    std::string text;
    std::string unreadable;
    ASSERT_TRUE(watch.take(text, unreadable));
    EXPECT_EQ("version 9xxxxxxxxx", text);
    // Taken: not due again until it changes, or until asked.
    for (int n = 0; n < 10; ++n)
        EXPECT_FALSE(watch.poll(0.1f));
    watch.request();
    EXPECT_TRUE(watch.poll(0.1f));

    // Deleted, then a folder in its place: due, and unreadable, once each.
    ::unlink(path.c_str());
    for (int n = 0; n < 6; ++n)
        due = watch.poll(0.1f);
    ASSERT_TRUE(due);
    ASSERT_TRUE(watch.take(text, unreadable));
    EXPECT_NE(std::string::npos, unreadable.find("Cannot open file"));
    EXPECT_FALSE(watch.poll(0.1f));
    ASSERT_EQ(0, ::mkdir(path.c_str(), 0700));
    for (int n = 0; n < 6; ++n)
        due = watch.poll(0.1f);
    ASSERT_TRUE(due);
    ASSERT_TRUE(watch.take(text, unreadable));
    EXPECT_NE(std::string::npos, unreadable.find("not a regular file"));
    ::rmdir(path.c_str());
}

struct VerdictCase
{
    const char* name;
    std::string text;
    const char* kind;    // of the first error; "" for a sound file
    int line;
    friend void PrintTo(const VerdictCase& row, std::ostream* out) { *out << row.name; }
};

const VerdictCase verdictCases[] = {
    {"Sound", body("A") + body("A.B", "A"), "", 0},
    {"ASkippedSection", body("A") + "[B]\nName=B\n", "skipped-section", 12},
    {"AParentThatNamesNoBody", body("A", "Nowhere"), "unknown-parent", 3},
    {"AMoonBeforeItsPlanet", body("Moon", "Planet") + body("Planet"), "parent-order", 3},
    {"ARing", body("A", "B") + body("B", "A"), "parent-cycle", 3},
    {"ASectionNamedSun", body("Sun"), "name-collision", 2},
    {"NoSize", body("A", "Sun", "Size=0\n").replace(body("A").find("Size=5"), 7, ""), "bad-size", 11},
    {"AModelWithoutAMesh", body("A").replace(body("A").find("SphereMesh_4x6"), 14, "Teapot"), "unknown-model", 4},
};

class VerdictTest : public ::testing::TestWithParam<VerdictCase>
{
};

TEST_P(VerdictTest, JudgesAsTheCheckerDoes)
{
    const VerdictCase& row = GetParam();
    const SystemVerdict verdict = judgeSystemText("s.cfg", row.text, [](const std::string& mesh) {
        return mesh == "SphereMesh_4x6.Mesh";
    });
    EXPECT_EQ(std::string(row.kind).empty(), verdict.sound());
    if (const Problem* error = verdict.firstError())
    {
        EXPECT_EQ(row.kind, error->kind);
        EXPECT_EQ(row.line, error->line);
        EXPECT_EQ("s.cfg:" + std::to_string(row.line) + ": " + error->message, error->where());
    }
}

INSTANTIATE_TEST_SUITE_P(Reload, VerdictTest, ::testing::ValuesIn(verdictCases), RowName());

TEST(SettingsVerdictTest, LightsStarsAndSpeedsAtOnceTheRestAtTheNextStart)
{
    AppSettings current;
    const SettingsVerdict verdict = judgeSettingsText(
        "o.cfg", "[Light]\nRange=5\nShadowTechnique=SHADOWTYPE_STENCIL_ADDITIVE\n[StarField]\nDensity=9\n"
                 "[Performance]\nMoveConstant=3\nMeshLod=1\n[System]\nStaticSystem=2.cfg\n",
        current);
    std::vector<std::string> atOnce;
    std::vector<std::string> later;
    for (const SettingsKey* key : verdict.atOnce)
        atOnce.push_back(key->name);
    for (const SettingsKey* key : verdict.atNextStart)
        later.push_back(key->name);
    EXPECT_EQ((std::vector<std::string>{"MoveConstant", "Range", "Density"}), atOnce);
    EXPECT_EQ((std::vector<std::string>{"StaticSystem", "MeshLod", "ShadowTechnique"}), later);
    EXPECT_EQ(9, verdict.read.Density);
}

// The scene of a running viewer, built from a file, and read again.
class SceneReloadTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        for (const SphereMeshSize& sphere : sphereMeshes)
            createSphereMesh(sphere.name, sphere.rings, sphere.segments);
        createSunLight(sceneManager);
        createStarField(sceneManager);
        camera = sceneManager->createCamera("Camera");
        Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Camera");
        node->attachObject(camera);
        node->setPosition(0, 0, -1000);
        node->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        viewer.reset(new OrbitViewer(camera, sceneManager, nullptr, nullptr, status, 10.0f));
    }

    void TearDown() override
    {
        viewer.reset();
        HeadlessEngine::TearDown();
    }

    void build(const std::string& text)
    {
        SystemVerdict verdict = judgeSystemText("s.cfg", text, anyMesh);
        ASSERT_TRUE(verdict.sound());
        bodyRegistry.swapBodies(*verdict.bodies);
        rigBodies(bodyRegistry, sceneManager);
    }

    std::size_t count(const char* type)
    {
        std::size_t objects = 0;
        for (const auto& object : sceneManager->getMovableObjects(type))
            objects += object.first != "StarField" && object.first != "SunParticle";
        return objects;
    }

    Ogre::Camera* camera = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
};

TEST_F(SceneReloadTest, ASoundFileReplacesEveryBodyAndLeavesNoNameBehind)
{
    build(body("A") + body("A.Moon", "A") + body("B"));
    // Focus on B, orbit lines shown.
    ASSERT_TRUE(viewer->runFrame(frame(0.3f, {}, leftButton)));
    ASSERT_TRUE(viewer->runFrame(frame(0.3f, {}, leftButton)));
    ASSERT_TRUE(viewer->runFrame(tap(0.3f, OIS::KC_O)));
    ASSERT_EQ(2, viewer->controls.focusIndex);
    const std::size_t nodesBefore = sceneManager->getRootSceneNode()->numChildren();

    SystemVerdict next = judgeSystemText("s.cfg", body("B", "Sun", "", "500") + body("C"), anyMesh);
    std::string why;
    ASSERT_TRUE(viewer->replaceBodies(*next.bodies, why)) << why;

    EXPECT_EQ(2u, bodyRegistry.size());
    for (const char* gone : {"A.Orbit", "A.Position", "A.Near", "A.Far", "A.Moon.Orbit", "A.Moon.Near"})
        EXPECT_FALSE(sceneManager->hasSceneNode(gone)) << gone;
    for (const char* gone : {"A.Near", "A.Far", "A.Moon.Near", "A.Moon.Far"})
        EXPECT_FALSE(sceneManager->hasEntity(gone)) << gone;
    EXPECT_TRUE(sceneManager->hasEntity("C.Near"));
    EXPECT_EQ(2u, count("Entity"));
    EXPECT_EQ(1u, count("ManualObject"));   // the sun's orbit lines, built anew
    EXPECT_EQ(nodesBefore, sceneManager->getRootSceneNode()->numChildren());
    // B moved out to its new orbit, and the focus went with it.
    EXPECT_EQ(500.0f, bodyRegistry.at(0).positionNode->getPosition().z);
    EXPECT_EQ(0, viewer->controls.focusIndex);
    EXPECT_TRUE(viewer->controls.hasFocus);
}

TEST_F(SceneReloadTest, ABodyTheEngineCannotBuildLeavesTheOldOnes)
{
    build(body("A") + body("B"));
    SystemVerdict next = judgeSystemText("s.cfg", body("C").replace(body("C").find("SphereMesh_4x6"), 14, "Teapot"),
                                         anyMesh);
    std::string why;
    EXPECT_FALSE(viewer->replaceBodies(*next.bodies, why));
    EXPECT_NE(std::string::npos, why.find("Teapot"));
    ASSERT_EQ(2u, bodyRegistry.size());
    EXPECT_TRUE(sceneManager->hasEntity("A.Near"));
    EXPECT_FALSE(sceneManager->hasSceneNode("C.Orbit"));
    EXPECT_EQ(2u, count("Entity"));
}

TEST_F(SceneReloadTest, LabelsNameTheNearestBodiesInFrontOnly)
{
    // A ring of bodies round the camera, which stands at the sun looking along +Z.
    std::string text;
    for (int n = 0; n < 1000; ++n)
        text += body("B" + std::to_string(1000 + n), "Sun", "OrbitCompleted=" + std::to_string(n * 0.36) + "\n",
                     std::to_string(200 + n % 50));
    build(text);
    camera->getParentSceneNode()->setPosition(Ogre::Vector3::ZERO);
    camera->getParentSceneNode()->lookAt(Ogre::Vector3::UNIT_Z, Ogre::Node::TS_WORLD);
    camera->setAspectRatio(800.0f / 600.0f);
    std::vector<LabelPlace> places;
    placeLabels(bodyRegistry, *camera, 800, 600, 100, places);
    ASSERT_EQ(100u, places.size());
    for (std::size_t i = 1; i < places.size(); ++i)
        EXPECT_LE(places[i - 1].distance, places[i].distance);
    for (const LabelPlace& place : places)
    {
        EXPECT_GT(bodyCentre(bodyRegistry.at(place.body)).z, 0.0f);
        EXPECT_TRUE(place.left >= 0 && place.left <= 800 && place.top >= 0 && place.top <= 600);
        EXPECT_TRUE(place.top >= statusLineBottom || std::abs(place.left - 400) >= statusLineWidth / 2)
            << place.left << ", " << place.top;
    }
    // Neither detail shown: no name.
    const std::size_t hidden = places[0].body;
    bodyRegistry.at(hidden).nearShown = false;
    bodyRegistry.at(hidden).farShown = false;
    placeLabels(bodyRegistry, *camera, 800, 600, 100, places);
    for (const LabelPlace& place : places)
        EXPECT_NE(hidden, place.body);
}
}
