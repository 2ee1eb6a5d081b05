#ifndef ORVTEST_TESTS_HEADLESSENGINE_H
#define ORVTEST_TESTS_HEADLESSENGINE_H

#include "sim/BodyDefinition.h"

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

// Names each row of a parameterised test after its `name` field.
struct RowName
{
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

// Restores the process-wide settings and registry that a test changed.
void resetProcessState();

// Writes `text` to a fresh file in the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::string& text);

// A body with the file's defaults, orbiting `parent`, of size 1 on a sphere
// model; tests change what they look at.
BodyDefinition bodyDefinition(const std::string& parent = "Sun", const std::string& name = "Body");

// The angle in degrees of the turn from one orientation to the other.
double degreesBetween(const Ogre::Quaternion& a, const Ogre::Quaternion& b);

// Assertions that print both values when they differ.
::testing::AssertionResult vectorsNear(const Ogre::Vector3& expected, const Ogre::Vector3& actual,
                                       float tolerance = 1e-4f);
// Orientations no more than `degrees` apart.
::testing::AssertionResult turnsNear(const Ogre::Quaternion& expected, const Ogre::Quaternion& actual,
                                     double degrees = 1e-3);
::testing::AssertionResult coloursEqual(const Ogre::ColourValue& expected,
                                        const Ogre::ColourValue& actual);

#endif
