#include "app/ExampleApplication.h"

#include "app/Platform.h"
#include "config/ConfigFileReading.h"
#include "config/Places.h"
#include "sim/SceneNames.h"
#include "viewer/ExampleFrameListener.h"

#include <OgreBitesConfigDialog.h>
#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreOverlaySystem.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <OgreWindowEventUtilities.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

ExampleApplication::ExampleApplication() = default;

ExampleApplication::~ExampleApplication()
{
    delete frameListener;
    if (window)
        OgreBites::WindowEventUtilities::_removeRenderWindow(window);
    if (overlaySystem)
    {
        if (sceneManager)
            sceneManager->removeRenderQueueListener(overlaySystem);
        delete overlaySystem;
    }
    delete root;
    displayConnection.reset();
    delete logManager;
}

void ExampleApplication::run()
{
    if (!setUpEngine())
        return;
    renderUntilClosed();
    tearDownScene();
}

void ExampleApplication::releaseInput()
{
    if (frameListener)
        frameListener->shutDownInput();
}

void ExampleApplication::renderUntilClosed()
{
    // The steps of Root::startRendering, plus the message pump it lacks here.
    root->getRenderSystem()->_initRenderTargets();
    root->clearEventTimes();
    root->queueEndRendering(false);
    endLoopOnSignals();
    while (!root->endRenderingQueued() && !endingSignal())
    {
        OgreBites::WindowEventUtilities::messagePump();
        if (window->isClosed())
            break;
        if (!root->renderOneFrame())
            break;
    }
    restoreSignals();
}

bool ExampleApplication::setUpEngine()
{
    // The log goes to its file only: the engine would echo it all to the terminal.
    logManager = new Ogre::LogManager();
    logManager->createLog(engineFiles.log.empty() ? "Ogre.log" : engineFiles.log, true, false,
                          engineFiles.log.empty());
    for (const std::string& line : firstLogLines)
        logManager->logMessage(line);
    // The OpenGL render system cannot start without an X display, and a
    // plug-in that fails inside the root's constructor is unloaded again
    // before its exception can be reported: check first, and keep the
    // connection, so that the server cannot reset before the engine connects.
    displayConnection.reset(new DisplayConnection());
    if (!displayConnection->isOpen())
    {
        const char* display = std::getenv("DISPLAY");
        throw Ogre::Exception(Ogre::Exception::ERR_RENDERINGAPI_ERROR,
                              std::string("Cannot open the X display \"") + (display ? display : "") +
                                  "\": the viewer needs a graphical desktop.",
                              "ExampleApplication::setUpEngine", "RenderingAPIException", __FILE__,
                              __LINE__);
    }
    logXErrors();
    root = new Ogre::Root(engineFiles.plugins, engineFiles.renderSettings, engineFiles.log);
    overlaySystem = new Ogre::OverlaySystem();
    declareResourceLocations();
    if (!openRenderWindow())
        return false;
    makeSceneManager();
    makeCamera();
    makeViewports();
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);
    makeResourceListener();
    loadResourceGroups();
    buildScene();
    makeFrameListener();
    return true;
}

bool ExampleApplication::openRenderWindow()
{
    if (showDialog && !windowChosen)
    {
        if (!chooseRenderSettings())
            return false;
    }
    else if (!root->restoreConfig())
    {
        const Ogre::RenderSystemList& renderers = root->getAvailableRenderers();
        if (renderers.empty())
            throw Ogre::Exception(Ogre::Exception::ERR_RENDERINGAPI_ERROR,
                                  "No render system: " + engineFiles.plugins + " loads none.",
                                  "ExampleApplication::openRenderWindow", "RenderingAPIException", __FILE__,
                                  __LINE__);
        root->setRenderSystem(renderers.front());
    }
    if (windowChosen)
    {
        // The render settings' other choices (anti-aliasing, vertical sync)
        // hold; the size and the screen are the command line's.
        root->initialise(false);
        Ogre::NameValuePairList choices;
        const Ogre::ConfigOptionMap& options = root->getRenderSystem()->getConfigOptions();
        const auto option = options.find("FSAA");
        if (option != options.end())
            choices["FSAA"] = option->second.currentValue;
        const auto vsync = options.find("VSync");
        if (vsync != options.end())
            choices["vsync"] = vsync->second.currentValue == "Yes" ? "true" : "false";
        if (hiddenWindow)
            choices["hidden"] = "true";
        const int width = chosenWidth > 0 ? chosenWidth : displayConnection->screenWidth();
        const int height = chosenHeight > 0 ? chosenHeight : displayConnection->screenHeight();
        window = root->createRenderWindow(sceneNames::renderWindow, unsigned(std::max(width, 16)),
                                          unsigned(std::max(height, 16)), chosenFullscreen, &choices);
    }
    else
        window = root->initialise(true, sceneNames::renderWindow);
    OgreBites::WindowEventUtilities::_addRenderWindow(window);
    return true;
}

bool ExampleApplication::chooseRenderSettings()
{
    try
    {
        return root->showConfigDialog(OgreBites::getNativeConfigDialog());
    }
    catch (const Ogre::IOException& error)
    {
        // The choices were made but "ogre.cfg" cannot be written (a read-only
        // folder): they hold for this run all the same.
        if (!root->getRenderSystem())
            throw;
        std::cerr << "OrvTest: the render settings are used but not saved: " << error.getDescription()
                  << std::endl;
        return true;
    }
}

void ExampleApplication::makeSceneManager()
{
    sceneManager = root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME,
                                            sceneNames::sceneManager);
    sceneManager->addRenderQueueListener(overlaySystem);
}

void ExampleApplication::makeCamera()
{
    camera = sceneManager->createCamera("PlayerCam");
    cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode("PlayerCam");
    cameraNode->setFixedYawAxis(true);
    cameraNode->attachObject(camera);
    cameraNode->setPosition(0, 0, 500);
    cameraNode->lookAt(Ogre::Vector3(0, 0, -300), Ogre::Node::TS_WORLD);
    camera->setNearClipDistance(5.0f);
}

void ExampleApplication::makeFrameListener()
{
    frameListener = new ExampleFrameListener(window, camera);
    root->addFrameListener(frameListener);
}

void ExampleApplication::tearDownScene()
{
}

void ExampleApplication::makeViewports()
{
    Ogre::Viewport* viewport = window->addViewport(camera, 0, 0.0f, 0.0f, 1.0f, 1.0f);
    viewport->setBackgroundColour(Ogre::ColourValue(0.0f, 0.0f, 0.0f, 1.0f));
    camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                           Ogre::Real(viewport->getActualHeight()));
    // A resized window updates the viewport, and the viewport this camera.
    camera->setAutoAspectRatio(true);
}

void ExampleApplication::declareResourceLocations()
{
    Ogre::ConfigFile file;
    loadConfigFile(file, engineFiles.resources);
    // Relative locations are the file's own neighbours, wherever it is read from.
    const std::string folder = folderOf(engineFiles.resources);
    for (const auto& section : file.getSettingsBySection())
    {
        for (const auto& entry : section.second)
        {
            const std::string& location = entry.second;
            Ogre::ResourceGroupManager::getSingleton().addResourceLocation(
                location.empty() || location.front() == '/' ? location : folder + location, entry.first,
                section.first, false);
        }
    }
}

void ExampleApplication::makeResourceListener()
{
}

void ExampleApplication::loadResourceGroups()
{
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}
