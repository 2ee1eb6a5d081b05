#include "fuzz/HeadlessRoot.h"

// The particle system manager's header needs the movable object's first.
#include <OgreMovableObject.h>

#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystemManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreTextureManager.h>

HeadlessRoot::HeadlessRoot(const std::string& dataFolder, const std::string& pluginFolder, const std::string& logFile)
{
    logManager.reset(new Ogre::LogManager());
    logManager->createLog(logFile, true, false, true);
    root.reset(new Ogre::Root("", "", ""));
    root->loadPlugin(pluginFolder + "/Plugin_ParticleFX");
    Ogre::MaterialManager::getSingleton().initialise();
    bufferManager.reset(new Ogre::DefaultHardwareBufferManager());
    textureManager.reset(new Ogre::DefaultTextureManager());
    // Normally made when the render system starts: the controllers that drive
    // particle systems, and the billboard particle renderer.
    controllerManager.reset(new Ogre::ControllerManager());
    Ogre::ParticleSystemManager::getSingleton()._initialise();
    for (const char* folder : {"materials", "particles", "textures", "sky"})
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(dataFolder + "/media/" + folder, "FileSystem");
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}

HeadlessRoot::~HeadlessRoot()
{
    controllerManager.reset();
    textureManager.reset();
    root.reset();
    bufferManager.reset();
    logManager.reset();
}

Ogre::SceneManager* HeadlessRoot::createSceneManager()
{
    return root->createSceneManager();
}

void HeadlessRoot::destroySceneManager(Ogre::SceneManager* sceneManager)
{
    root->destroySceneManager(sceneManager);
}
