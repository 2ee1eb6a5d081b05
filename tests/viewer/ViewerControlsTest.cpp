#include "HeadlessEngine.h"
#include "sim/Body.h"
#include "viewer/OrvTestFrameListener.h"
#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <fstream>
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

    Body body("Mars", "Mars", 3.0f, 0, Ogre::Vector3::UNIT_Y, 0, Ogre::Vector3::UNIT_X, 0,
              Ogre::Vector3::UNIT_Y, 0, Ogre::Vector3::UNIT_Z, 0, 0, 0, 0, 0, "m", "", true, 1, 1, "");
    body.positionNode = sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 20, 300));
    jumpCameraToBody(cameraNode, body);

    EXPECT_TRUE(vectorsNear(Ogre::Vector3(100, 20, 285), camera->getDerivedPosition()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, camera->getDerivedDirection()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, camera->getDerivedUp()));
}

TEST(ScreenshotNameTest, SkipsFilesThatExist)
{
    char folder[] = "/tmp/orvtest-shots-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    char previous[4096];
    ASSERT_NE(nullptr, ::getcwd(previous, sizeof previous));
    ASSERT_EQ(0, ::chdir(folder));

    EXPECT_EQ("screenshot_1.png", screenshotName(firstFreeScreenshotNumber(1)));
    std::ofstream("screenshot_1.png") << "earlier run";
    std::ofstream("screenshot_2.png") << "earlier run";
    std::ofstream("screenshot_4.png") << "earlier run";
    EXPECT_EQ(3, firstFreeScreenshotNumber(1));
    EXPECT_EQ(3, firstFreeScreenshotNumber(3));
    EXPECT_EQ(5, firstFreeScreenshotNumber(4));

    for (const char* name : {"screenshot_1.png", "screenshot_2.png", "screenshot_4.png"})
        ::unlink(name);
    ASSERT_EQ(0, ::chdir(previous));
    ::rmdir(folder);
}
}
