#ifndef ORVTEST_TESTS_HEADLESSENGINE_H
#define ORVTEST_TESTS_HEADLESSENGINE_H

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>

// The real engine without a render system or window: software buffers, the
// ParticleFX plug-in and the program's own resource scripts. One per test.
class HeadlessEngine : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<Ogre::LogManager> logManager;
    std::unique_ptr<Ogre::Root> root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> bufferManager;
    std::unique_ptr<Ogre::DefaultTextureManager> textureManager;
    std::unique_ptr<Ogre::ControllerManager> controllerManager;
    Ogre::SceneManager* sceneManager = nullptr;
};

// Restores the process-wide settings and registry that a test changed.
void resetProcessState();

// Writes `text` to a fresh file in the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::string& text);

// Assertions that print both values when they differ.
::testing::AssertionResult vectorsNear(const Ogre::Vector3& expected, const Ogre::Vector3& actual,
                                       float tolerance = 1e-4f);
::testing::AssertionResult quaternionsNear(const Ogre::Quaternion& expected,
                                           const Ogre::Quaternion& actual, float tolerance = 1e-4f);
::testing::AssertionResult coloursEqual(const Ogre::ColourValue& expected,
                                        const Ogre::ColourValue& actual);

#endif
