#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitControls.h"
#include "viewer/OrbitViewer.h"
#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace
{
TEST(FocusIndexTest, CyclesThroughTheRegistry)
{
    const struct
    {
        int index;
        int step;
        std::size_t count;
        int expected;
    } cases[] = {{0, +1, 3, 1}, {1, +1, 3, 2}, {2, +1, 3, 0}, {0, -1, 3, 2},
                 {2, -1, 3, 1}, {0, +1, 1, 0}, {0, -1, 1, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.index << " by " << c.step << " of " << c.count);
        EXPECT_EQ(c.expected, nextFocusIndex(c.index, c.step, c.count));
    }
}

using CameraJumpTest = HeadlessEngine;

TEST_F(CameraJumpTest, CameraEndsFiveSizesOnMinusZFacingTheBody)
{
    Ogre::SceneNode* cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode("Camera");
    cameraNode->setFixedYawAxis(true);
    Ogre::Camera* camera = sceneManager->createCamera("Camera");
    cameraNode->attachObject(camera);
    cameraNode->setPosition(0, 0, -14500);

    BodyDefinition mars = bodyDefinition("Sun", "Mars");
    mars.Size = 3.0f;
    Body body("Mars", mars);
    body.orbitNode = sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 20, 300));
    body.positionNode = body.orbitNode->createChildSceneNode();
    jumpCameraToBody(cameraNode, body);

    EXPECT_TRUE(vectorsNear(Ogre::Vector3(100, 20, 285), camera->getDerivedPosition()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, camera->getDerivedDirection()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, camera->getDerivedUp()));
}

// The orbit viewer's frames in the real engine, without a window: what the
// decisions do to the camera, the bodies and the star field.
class OrbitViewerTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        createSphereMesh("SphereMesh_32x64.Mesh", 32, 64);
        createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
        createStarField(sceneManager);
        BodyDefinition planet = bodyDefinition("Sun", "Planet");
        planet.Size = 10.0f;
        planet.OrbitRadius = 1000.0f;
        planet.OrbitPeriod = 1.0f / 60.0f;   // one degree a frame
        bodyRegistry.add(new Body("Planet", planet));
        rigBody(bodyRegistry.at(0), sceneManager);

        camera = sceneManager->createCamera("Camera");
        cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode("Camera");
        cameraNode->setFixedYawAxis(true);
        cameraNode->attachObject(camera);
        cameraNode->setPosition(0, 0, -14500);
        cameraNode->lookAt(Ogre::Vector3(0, 0, -5000), Ogre::Node::TS_WORLD);
        viewer.reset(new OrbitViewer(camera, sceneManager, nullptr, nullptr, status, 100.0f));
    }

    void TearDown() override
    {
        viewer.reset();
        HeadlessEngine::TearDown();
    }

    Ogre::Vector3 starField() { return sceneManager->getSceneNode("StarField")->getPosition(); }

    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
};

TEST_F(OrbitViewerTest, TheCameraFliesAlongItsOwnAxesAndTheStarsFollow)
{
    // A quarter turn to the right, then a second of W: the camera now faces -X.
    ASSERT_TRUE(viewer->runFrame(frame(0.0f, {}, 0, 692)));
    for (int n = 0; n < 10; ++n)
        ASSERT_TRUE(viewer->runFrame(frame(0.1f, {OIS::KC_W})));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(-100, 0, -14500), cameraNode->getPosition(), 1.0f));
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), starField()));
}

TEST_F(OrbitViewerTest, AClickPutsTheCameraInFrontOfTheMovingBody)
{
    const Body& planet = bodyRegistry.at(0);
    ASSERT_TRUE(viewer->runFrame(frame(0.1f, {}, leftButton)));
    EXPECT_EQ("Planet", status);
    // The body turned by its step before the jump: the camera is 5 sizes in front of where it is.
    const Ogre::Vector3 centre = bodyCentre(planet);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(1000 * std::sin(Ogre::Math::fDeg2Rad), 0, 1000 * std::cos(Ogre::Math::fDeg2Rad)),
                            centre, 1e-2f));
    EXPECT_TRUE(vectorsNear(centre + Ogre::Vector3(0, 0, -50), camera->getDerivedPosition(), 1e-2f));
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), starField()));
    // It does not follow: a frame later the body has moved on.
    ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    sceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_FALSE(planet.positionNode->_getDerivedPosition().positionEquals(centre, 1.0f));
}

TEST_F(OrbitViewerTest, BodiesMoveOnlyInFramesThatTakeTime)
{
    const Body& planet = bodyRegistry.at(0);
    ASSERT_TRUE(viewer->runFrame(frame(0.0f)));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, planet.orbitNode->getOrientation()));
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(viewer->runFrame(frame(0.5f)));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion(Ogre::Degree(3), Ogre::Vector3::UNIT_Y), planet.orbitNode->getOrientation()));
}

TEST_F(OrbitViewerTest, RAndFChangeTheCameraAndEscapeEndsTheLoop)
{
    ASSERT_TRUE(viewer->runFrame(frame(0.1f, {OIS::KC_R})));
    EXPECT_EQ(Ogre::PM_WIREFRAME, camera->getPolygonMode());
    ASSERT_TRUE(viewer->runFrame(frame(0.25f, {OIS::KC_F})));
    EXPECT_FALSE(viewer->controls.statsShown);
    EXPECT_FALSE(viewer->runFrame(frame(0.1f, {OIS::KC_ESCAPE})));
}

TEST_F(OrbitViewerTest, PauseStopsTheBodiesAndKeepsTheRate)
{
    const Body& planet = bodyRegistry.at(0);
    // Three doublings, then a pause: frames go on, the planet stays.
    for (OIS::KeyCode key : {OIS::KC_RBRACKET, OIS::KC_RBRACKET, OIS::KC_RBRACKET, OIS::KC_SPACE})
        ASSERT_TRUE(viewer->runFrame(tap(0.25f, key)));
    const Ogre::Quaternion pausedAt = planet.orbitNode->getOrientation();
    for (int n = 0; n < 10; ++n)
        ASSERT_TRUE(viewer->runFrame(frame(0.1f, {OIS::KC_W})));
    EXPECT_TRUE(turnsNear(pausedAt, planet.orbitNode->getOrientation(), 0.0));
    EXPECT_FALSE(cameraNode->getPosition().positionEquals(Ogre::Vector3(0, 0, -14500)));
    // Resumed, it goes on at eight degrees a frame.
    ASSERT_TRUE(viewer->runFrame(tap(0.25f, OIS::KC_SPACE)));
    EXPECT_TRUE(turnsNear(pausedAt, planet.orbitNode->getOrientation(), 0.0));
    ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    EXPECT_NEAR(8.0, degreesBetween(pausedAt, planet.orbitNode->getOrientation()), 1e-3);
}

TEST_F(OrbitViewerTest, WithStepsPerSecondBodiesMoveAsFastAtAnyFrameRate)
{
    const Body& planet = bodyRegistry.at(0);
    viewer->stepsPerSecond = 60.0f;
    for (int frames : {30, 300})
    {
        SCOPED_TRACE(frames);
        const Ogre::Quaternion before = planet.orbitNode->getOrientation();
        for (int n = 0; n < frames; ++n)
            ASSERT_TRUE(viewer->runFrame(frame(1.0f / float(frames))));
        // One second: 60 steps of a degree.
        EXPECT_NEAR(60.0, degreesBetween(before, planet.orbitNode->getOrientation()), 1e-2);
    }
}

TEST_F(OrbitViewerTest, FollowingKeepsTheCameraWhereItIsFromTheBody)
{
    const Body& planet = bodyRegistry.at(0);
    ASSERT_TRUE(viewer->runFrame(frame(0.3f, {}, leftButton)));
    ASSERT_TRUE(viewer->runFrame(tap(0.3f, OIS::KC_L)));
    EXPECT_EQ("Following Planet", status);
    // Looking away and flying a little: the offset that results is kept.
    ASSERT_TRUE(viewer->runFrame(frame(0.5f, {OIS::KC_S}, 0, 40, 0)));
    const Ogre::Vector3 offset = cameraNode->getPosition() - bodyCentre(planet);
    const Ogre::Quaternion looking = cameraNode->getOrientation();
    for (int n = 0; n < 90; ++n)
        ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    // A quarter of the way round the sun, and the camera with it.
    const Ogre::Vector3 centre = bodyCentre(planet);
    EXPECT_GT(centre.x, 900.0f);
    EXPECT_TRUE(vectorsNear(offset, cameraNode->getPosition() - centre, 1e-2f));
    EXPECT_TRUE(turnsNear(looking, cameraNode->getOrientation(), 0.0));
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), starField()));

    // L again: the body goes on alone.
    ASSERT_TRUE(viewer->runFrame(tap(0.3f, OIS::KC_L)));
    const Ogre::Vector3 stayed = cameraNode->getPosition();
    ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    EXPECT_TRUE(vectorsNear(stayed, cameraNode->getPosition()));
}

TEST_F(OrbitViewerTest, FollowingEndsWhenTheBodyIsGone)
{
    ASSERT_TRUE(viewer->runFrame(frame(0.3f, {}, leftButton)));
    ASSERT_TRUE(viewer->runFrame(tap(0.3f, OIS::KC_L)));
    const Ogre::Vector3 before = cameraNode->getPosition();
    // The bodies are replaced by others, as a reload does.
    BodyRegistry replaced;
    replaced.add(new Body("Other", bodyDefinition("Sun", "Other")));
    rigBody(replaced.at(0), sceneManager);
    bodyRegistry.swapBodies(replaced);
    ASSERT_TRUE(viewer->runFrame(frame(0.1f)));
    EXPECT_FALSE(viewer->controls.following);
    EXPECT_EQ("Stopped following: Planet is gone", status);
    EXPECT_TRUE(vectorsNear(before, cameraNode->getPosition()));
    bodyRegistry.swapBodies(replaced);
}

TEST(ScreenshotNameTest, SkipsFilesThatExist)
{
    char folder[] = "/tmp/orvtest-shots-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    char previous[4096];
    ASSERT_NE(nullptr, ::getcwd(previous, sizeof previous));
    ASSERT_EQ(0, ::chdir(folder));

    EXPECT_EQ("screenshot_1.png", screenshotName(firstFreeScreenshotNumber("", 1)));
    std::ofstream("screenshot_1.png") << "earlier run";
    std::ofstream("screenshot_2.png") << "earlier run";
    std::ofstream("screenshot_4.png") << "earlier run";
    EXPECT_EQ(3, firstFreeScreenshotNumber("", 1));
    EXPECT_EQ(3, firstFreeScreenshotNumber("", 3));
    EXPECT_EQ(5, firstFreeScreenshotNumber("", 4));

    for (const char* name : {"screenshot_1.png", "screenshot_2.png", "screenshot_4.png"})
        ::unlink(name);
    ASSERT_EQ(0, ::chdir(previous));
    ::rmdir(folder);
}
}
