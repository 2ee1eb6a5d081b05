#ifndef ORVTEST_FUZZ_HEADLESSROOT_H
#define ORVTEST_FUZZ_HEADLESSROOT_H

#include <OgrePrerequisites.h>

#include <memory>
#include <string>

namespace Ogre
{
class ControllerManager;
class DefaultHardwareBufferManager;
class DefaultTextureManager;
}

// The real engine without a render system or window: software buffers, the
// ParticleFX plug-in and the program's own resource scripts from
// `dataFolder` (its media/), so that scenes are built from the real
// materials and templates. The log goes to `logFile` only. Tests and the
// differential fuzz target build their scenes on it.
class HeadlessRoot
{
public:
    HeadlessRoot(const std::string& dataFolder, const std::string& pluginFolder, const std::string& logFile);
    ~HeadlessRoot();
    HeadlessRoot(const HeadlessRoot&) = delete;
    HeadlessRoot& operator=(const HeadlessRoot&) = delete;

    // A fresh scene manager; the caller destroys it with destroySceneManager,
    // before this goes: without a render system the root never initialised,
    // so it would destroy its scenes after the controllers that particle
    // systems still hold.
    Ogre::SceneManager* createSceneManager();
    void destroySceneManager(Ogre::SceneManager* sceneManager);

private:
    std::unique_ptr<Ogre::LogManager> logManager;
    std::unique_ptr<Ogre::Root> root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> bufferManager;
    std::unique_ptr<Ogre::DefaultTextureManager> textureManager;
    std::unique_ptr<Ogre::ControllerManager> controllerManager;
};

#endif
