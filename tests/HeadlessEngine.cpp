#include "HeadlessEngine.h"

#include "TestPaths.h"
#include "config/AppSettings.h"
#include "config/SystemFileKeys.h"
#include "scene/BodyRig.h"
#include "sim/BodyRegistry.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystemManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <unistd.h>

void HeadlessEngine::SetUp()
{
    resetProcessState();
    logManager.reset(new Ogre::LogManager());
    logManager->createLog("headless-test.log", true, false, true);
    root.reset(new Ogre::Root("", "", ""));
    root->loadPlugin(std::string(ORVTEST_OGRE_PLUGIN_DIR) + "/Plugin_ParticleFX");
    Ogre::MaterialManager::getSingleton().initialise();
    bufferManager.reset(new Ogre::DefaultHardwareBufferManager());
    textureManager.reset(new Ogre::DefaultTextureManager());
    // Normally made when the render system starts: the controllers that drive
    // particle systems, and the billboard particle renderer.
    controllerManager.reset(new Ogre::ControllerManager());
    Ogre::ParticleSystemManager::getSingleton()._initialise();

    // The program's own scripts, so that scene content is built from the real materials and templates.
    const std::string media = std::string(ORVTEST_DATA_DIR) + "/media/";
    for (const char* folder : {"materials", "particles", "textures"})
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(media + folder, "FileSystem");
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();

    sceneManager = root->createSceneManager();
}

void HeadlessEngine::TearDown()
{
    forgetPendingLods();
    bodyRegistry.clear();
    // Without a render system the root never initialised, so it would destroy
    // the scene after the controllers that particle systems still hold.
    if (sceneManager)
        root->destroySceneManager(sceneManager);
    sceneManager = nullptr;
    controllerManager.reset();
    textureManager.reset();
    root.reset();
    bufferManager.reset();
    logManager.reset();
    resetProcessState();
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
    for (size_t slash = path.find('/', ::testing::TempDir().size()); slash != std::string::npos;
         slash = path.find('/', slash))
        path[slash] = '_';
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

::testing::AssertionResult vectorsNear(const Ogre::Vector3& expected, const Ogre::Vector3& actual,
                                       float tolerance)
{
    if (expected.positionEquals(actual, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
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

::testing::AssertionResult turnsNear(const Ogre::Quaternion& expected, const Ogre::Quaternion& actual,
                                     double degrees)
{
    const double apart = degreesBetween(expected, actual);
    if (apart <= degrees)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual << ": " << apart
                                         << " degrees apart";
}

::testing::AssertionResult coloursEqual(const Ogre::ColourValue& expected,
                                        const Ogre::ColourValue& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}
