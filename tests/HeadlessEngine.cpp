#include "HeadlessEngine.h"

#include "TestPaths.h"
#include "config/AppSettings.h"
#include "config/SystemFileKeys.h"
#include "config/SystemJudge.h"
#include "fuzz/HeadlessRoot.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "sim/SceneNames.h"

#include <OgreCamera.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace
{
HeadlessRoot& engine()
{
    static HeadlessRoot root(ORVTEST_DATA_DIR, ORVTEST_OGRE_PLUGIN_DIR, "headless-test.log");
    return root;
}
}

void HeadlessEngine::SetUp()
{
    resetProcessState();
    sceneManager = engine().createSceneManager();
}

void HeadlessEngine::TearDown()
{
    forgetPendingLods();
    bodyRegistry.clear();
    engine().destroySceneManager(sceneManager);
    sceneManager = nullptr;
    // Meshes outlive scenes: a test's meshes must not be another's.
    Ogre::MeshManager::getSingleton().removeAll();
    resetProcessState();
}

Ogre::Camera* HeadlessEngine::makeStartCamera()
{
    Ogre::Camera* camera = createStartCamera(sceneManager);
    camera->setAspectRatio(800.0f / 600.0f);
    return camera;
}

Ogre::Camera* HeadlessEngine::startScene(const std::string& system)
{
    SystemVerdict verdict = judgeSystemText("s.cfg", system, meshExists);
    if (!verdict.sound())
    {
        ADD_FAILURE() << verdict.problems.front().where();
        return nullptr;
    }
    bodyRegistry.swapBodies(*verdict.bodies);
    Ogre::Camera* camera = makeStartCamera();
    buildOrbitalScene(sceneManager, camera->getRealPosition());
    return camera;
}

void resetProcessState()
{
    appSettings = AppSettings();
    bodyRegistry.clear();
    bodyRegistry.setStepMultiplier(1.0);
}

std::string writeTempFile(const std::string& name, const std::string& text)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string path = ::testing::TempDir() + test->test_suite_name() + "." + test->name() + "." +
                       std::to_string(::getpid()) + "." + name;
    // Parameterised tests have slashes in their names.
    for (std::size_t slash = path.find('/', ::testing::TempDir().size()); slash != std::string::npos;
         slash = path.find('/', slash))
        path[slash] = '_';
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string bodySection(const std::string& section, const std::string& parent, const std::string& extra)
{
    return "[" + section + "]\nName=" + section + "\nParent=" + parent +
           "\nModel=SphereMesh_4x6\nMaterial=default\nSize=5\nOrbitRadius=100\nOrbitPeriod=1\n"
           "PitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n" + extra;
}

std::string stillBody(const std::string& section, const std::string& parent, float size, float radius, float degrees,
                      const std::string& axis)
{
    const std::string text = bodySection(
        section, parent, "NearDistance=1000000\nFarDistance=2000000\nOrbitAxis=" + axis + "\nOrbitCompleted=" +
                             std::to_string(degrees) + "\n");
    return withValue(withValue(withValue(text, "Size", std::to_string(size)), "OrbitRadius", std::to_string(radius)),
                     "OrbitPeriod", "0");
}

std::string withValue(std::string text, const std::string& key, const std::string& value)
{
    const std::size_t at = text.find("\n" + key + "=") + key.size() + 2;
    return text.replace(at, text.find('\n', at) - at, value);
}

BodyDefinition bodyDefinition(const std::string& parent, const std::string& name)
{
    BodyDefinition body = defaultBodyDefinition();
    body.Name = name;
    body.Parent = parent;
    body.Model = "SphereMesh_32x64";
    body.Material = "default";
    body.Size = 1.0f;
    return body;
}

double degreesBetween(const Ogre::Quaternion& a, const Ogre::Quaternion& b)
{
    // From the vector part of a⁻¹ b, in double: an acos of its w would hide
    // turns of a few hundredths of a degree.
    const double aw = a.w, ax = a.x, ay = a.y, az = a.z, bw = b.w, bx = b.x, by = b.y, bz = b.z;
    const double w = aw * bw + ax * bx + ay * by + az * bz;
    const double x = aw * bx - ax * bw - ay * bz + az * by;
    const double y = aw * by + ax * bz - ay * bw - az * bx;
    const double z = aw * bz - ax * by + ay * bx - az * bw;
    return 2.0 * std::atan2(std::sqrt(x * x + y * y + z * z), std::abs(w)) * 180.0 / M_PI;
}

::testing::AssertionResult vectorsNear(const Ogre::Vector3& expected, const Ogre::Vector3& actual, float tolerance)
{
    if (expected.positionEquals(actual, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

::testing::AssertionResult turnsNear(const Ogre::Quaternion& expected, const Ogre::Quaternion& actual, double degrees)
{
    const double apart = degreesBetween(expected, actual);
    if (apart <= degrees)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual << ": " << apart
                                         << " degrees apart";
}
