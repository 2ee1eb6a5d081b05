#ifndef ORVTEST_TESTS_HEADLESSENGINE_H
#define ORVTEST_TESTS_HEADLESSENGINE_H

#include "sim/BodyDefinition.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <gtest/gtest.h>

#include <string>

// A test on the real engine without a window (fuzz/HeadlessRoot.h): for each
// test a fresh scene manager, no meshes, settings and bodies at their defaults.
class HeadlessEngine : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The viewer's camera "Camera" on its node, where the viewer starts it.
    Ogre::Camera* makeStartCamera();
    // The scene of the system file's text as the program builds it, and its start camera; null if unsound.
    Ogre::Camera* startScene(const std::string& system);

    Ogre::SceneManager* sceneManager = nullptr;
};

// Names each row of a parameterised test after its `name` field.
struct RowName
{
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const { return row.param.name; }
};

// Restores the process-wide settings and registry that a test changed.
void resetProcessState();

// Writes `text` to a fresh file in the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::string& text);

// A body section of the system file: the required keys (a planet of the sun
// of size 5 on a sphere at radius 100, period 1), then `extra` lines.
std::string bodySection(const std::string& section, const std::string& parent = "Sun", const std::string& extra = "");

// A body at rest of `size` at `radius` from its parent, turned `degrees`
// about `axis` from the parent's +Z side, with its near model shown from afar.
std::string stillBody(const std::string& section, const std::string& parent, float size, float radius, float degrees,
                      const std::string& axis = "0 1 0");

// The text with the value of the first line of that key replaced.
std::string withValue(std::string text, const std::string& key, const std::string& value);

// A body with the file's defaults, orbiting `parent`, of size 1 on a sphere model.
BodyDefinition bodyDefinition(const std::string& parent = "Sun", const std::string& name = "Body");

// The angle in degrees of the turn from one orientation to the other.
double degreesBetween(const Ogre::Quaternion& a, const Ogre::Quaternion& b);

::testing::AssertionResult vectorsNear(const Ogre::Vector3& expected, const Ogre::Vector3& actual,
                                       float tolerance = 1e-4f);
// Orientations no more than `degrees` apart.
::testing::AssertionResult turnsNear(const Ogre::Quaternion& expected, const Ogre::Quaternion& actual,
                                     double degrees = 1e-3);

#endif
