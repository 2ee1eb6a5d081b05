#include "viewer/ExampleFrameListener.h"

#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreOverlay.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>
#include <OgreRenderWindow.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <OISInputManager.h>
#include <OISJoyStick.h>
#include <OISKeyboard.h>
#include <OISMouse.h>

#include <sstream>

namespace
{
// The camera read-out of the P key: one switch for every listener of the process.
bool showCameraPose = false;

// Degrees (or world units, when panning) per count of relative mouse motion.
constexpr double mouseFactor = 0.13;
}

ExampleFrameListener::ExampleFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera)
    : camera(viewCamera), window(renderWindow)
{
    debugOverlay = Ogre::OverlayManager::getSingleton().getByName("Core/DebugOverlay");

    Ogre::LogManager::getSingleton().logMessage("*** Initializing OIS ***", Ogre::LML_NORMAL, false);

    OIS::ParamList parameters;
    unsigned long windowHandle = 0;
    window->getCustomAttribute("WINDOW", &windowHandle);
    std::ostringstream handleText;
    handleText << windowHandle;
    parameters.insert(std::make_pair(std::string("WINDOW"), handleText.str()));
    inputManager = OIS::InputManager::createInputSystem(parameters);

    try
    {
        keyboard = static_cast<OIS::Keyboard*>(inputManager->createInputObject(OIS::OISKeyboard, false));
        mouse = static_cast<OIS::Mouse*>(inputManager->createInputObject(OIS::OISMouse, false));
    }
    catch (...)
    {
        // The input system must not outlive a failed construction.
        shutDownInput();
        throw;
    }
    try
    {
        joystick = static_cast<OIS::JoyStick*>(inputManager->createInputObject(OIS::OISJoyStick, false));
    }
    catch (...)
    {
        joystick = nullptr;
    }

    fitMouseArea(window);
    if (debugOverlay)
        debugOverlay->show();

    // Last, so that a failed construction leaves no listener registered.
    OgreBites::WindowEventUtilities::addWindowEventListener(window, this);
}

ExampleFrameListener::~ExampleFrameListener()
{
    OgreBites::WindowEventUtilities::removeWindowEventListener(window, this);
    shutDownInput();
}

void ExampleFrameListener::shutDownInput()
{
    if (!inputManager)
        return;
    if (mouse)
        inputManager->destroyInputObject(mouse);
    if (keyboard)
        inputManager->destroyInputObject(keyboard);
    if (joystick)
        inputManager->destroyInputObject(joystick);
    OIS::InputManager::destroyInputSystem(inputManager);
    inputManager = nullptr;
}

void ExampleFrameListener::fitMouseArea(Ogre::RenderWindow* rw)
{
    unsigned int width, height, depth;
    int left, top;
    rw->getMetrics(width, height, depth, left, top);
    const OIS::MouseState& state = mouse->getMouseState();
    state.width = int(width);
    state.height = int(height);
}

void ExampleFrameListener::windowResized(Ogre::RenderWindow* rw)
{
    fitMouseArea(rw);
}

void ExampleFrameListener::windowClosed(Ogre::RenderWindow* rw)
{
    if (rw == window)
        shutDownInput();
}

bool ExampleFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed())
        return false;

    keyboard->capture();
    mouse->capture();
    if (joystick)
        joystick->capture();

    const bool joystickBuffered = joystick ? joystick->buffered() : true;
    const bool immediate = !mouse->buffered() || !keyboard->buffered() || !joystickBuffered;
    const float dt = evt.timeSinceLastFrame;
    if (immediate)
    {
        if (toggleCooldown >= 0.0f)
            toggleCooldown -= dt;
        if (dt == 0.0f)
        {
            moveStep = 1.0f;
            turnStep = 0.1f;
        }
        else
        {
            moveStep = moveRate * dt;
            turnStep = turnRate * dt;
        }
        mouseYaw = 0.0f;
        mousePitch = 0.0f;
        translation = Ogre::Vector3::ZERO;
    }

    if (!keyboard->buffered() && !handleKeys(evt))
        return false;
    if (!mouse->buffered())
        handleMouse();
    if (immediate)
        applyCameraMotion();
    return true;
}

bool ExampleFrameListener::handleKeys(const Ogre::FrameEvent&)
{
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();

    if (keyboard->isKeyDown(OIS::KC_A))
        translation.x = -moveStep;
    if (keyboard->isKeyDown(OIS::KC_D))
        translation.x = moveStep;
    if (keyboard->isKeyDown(OIS::KC_UP) || keyboard->isKeyDown(OIS::KC_W))
        translation.z = -moveStep;
    if (keyboard->isKeyDown(OIS::KC_DOWN) || keyboard->isKeyDown(OIS::KC_S))
        translation.z = moveStep;
    if (keyboard->isKeyDown(OIS::KC_PGUP))
        translation.y = moveStep;
    if (keyboard->isKeyDown(OIS::KC_PGDOWN))
        translation.y = -moveStep;
    if (keyboard->isKeyDown(OIS::KC_RIGHT))
        cameraNode->yaw(Ogre::Radian(-turnStep * Ogre::Math::fDeg2Rad));
    if (keyboard->isKeyDown(OIS::KC_LEFT))
        cameraNode->yaw(Ogre::Radian(turnStep * Ogre::Math::fDeg2Rad));
    if (keyboard->isKeyDown(OIS::KC_ESCAPE) || keyboard->isKeyDown(OIS::KC_Q))
        return false;

    if (keyboard->isKeyDown(OIS::KC_F) && toggleCooldown <= 0.0f)
    {
        statisticsVisible = !statisticsVisible;
        applyOverlayVisibility();
        toggleCooldown = 1.0f;
    }
    if (keyboard->isKeyDown(OIS::KC_T) && toggleCooldown <= 0.0f)
    {
        switch (filterMode)
        {
        case Ogre::TFO_BILINEAR:
            filterMode = Ogre::TFO_TRILINEAR;
            anisotropy = 1;
            break;
        case Ogre::TFO_TRILINEAR:
            filterMode = Ogre::TFO_ANISOTROPIC;
            anisotropy = 8;
            break;
        default:
            filterMode = Ogre::TFO_BILINEAR;
            anisotropy = 1;
            break;
        }
        Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(filterMode);
        Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(anisotropy);
        toggleCooldown = 1.0f;
    }
    if (keyboard->isKeyDown(OIS::KC_SYSRQ) && toggleCooldown <= 0.0f)
    {
        long number;
        debugText = saveScreenshot(window, long(screenshotCount) + 1, number);
        screenshotCount = unsigned(number);
        toggleCooldown = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_R) && toggleCooldown <= 0.0f)
    {
        nextPolygonMode(polygonModeIndex);
        toggleCooldown = 0.5f;
    }
    if (keyboard->isKeyDown(OIS::KC_P) && toggleCooldown <= 0.0f)
    {
        showCameraPose = !showCameraPose;
        if (!showCameraPose)
            debugText.clear();
        toggleCooldown = 0.5f;
    }

    if (showCameraPose)
    {
        debugText = "P: " + Ogre::StringConverter::toString(camera->getDerivedPosition()) + " " +
                    "O: " + Ogre::StringConverter::toString(camera->getDerivedOrientation());
    }
    return true;
}

bool ExampleFrameListener::handleMouse()
{
    const OIS::MouseState& state = mouse->getMouseState();
    if (state.buttonDown(OIS::MB_Right))
    {
        translation.x += float(state.X.rel * mouseFactor);
        translation.y -= float(state.Y.rel * mouseFactor);
    }
    else
    {
        mouseYaw = Ogre::Degree(float(-state.X.rel * mouseFactor));
        mousePitch = Ogre::Degree(float(-state.Y.rel * mouseFactor));
    }
    return true;
}

void ExampleFrameListener::applyCameraMotion()
{
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    cameraNode->yaw(mouseYaw);
    cameraNode->pitch(mousePitch);
    cameraNode->translate(translation, Ogre::Node::TS_LOCAL);
}

void ExampleFrameListener::applyOverlayVisibility()
{
    showOverlay(statisticsVisible);
}

void ExampleFrameListener::showOverlay(bool visible)
{
    if (!debugOverlay)
        return;
    if (visible)
        debugOverlay->show();
    else
        debugOverlay->hide();
}

void ExampleFrameListener::nextPolygonMode(int& index)
{
    static const Ogre::PolygonMode modes[3] = {Ogre::PM_SOLID, Ogre::PM_WIREFRAME, Ogre::PM_POINTS};
    index = (index + 1) % 3;
    camera->setPolygonMode(modes[index]);
}

bool ExampleFrameListener::frameEnded(const Ogre::FrameEvent&)
{
    refreshStatistics();
    return true;
}

void ExampleFrameListener::refreshStatistics()
{
    static const std::string currentFps = "Current FPS: ";
    static const std::string averageFps = "Average FPS: ";
    static const std::string bestFps = "Best FPS: ";
    static const std::string worstFps = "Worst FPS: ";
    static const std::string triangles = "Triangle Count: ";
    static const std::string batches = "Batch Count: ";

    try
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        Ogre::OverlayElement* averageElement = overlays.getOverlayElement("Core/AverageFps", false);
        Ogre::OverlayElement* currentElement = overlays.getOverlayElement("Core/CurrFps", false);
        Ogre::OverlayElement* bestElement = overlays.getOverlayElement("Core/BestFps", false);
        Ogre::OverlayElement* worstElement = overlays.getOverlayElement("Core/WorstFps", false);

        const Ogre::RenderTarget::FrameStats& stats = window->getStatistics();
        averageElement->setCaption(averageFps + Ogre::StringConverter::toString(stats.avgFPS));
        currentElement->setCaption(currentFps + Ogre::StringConverter::toString(stats.lastFPS));
        bestElement->setCaption(bestFps + Ogre::StringConverter::toString(stats.bestFPS) + " " +
                                Ogre::StringConverter::toString(stats.bestFrameTime) + " ms");
        worstElement->setCaption(worstFps + Ogre::StringConverter::toString(stats.worstFPS) + " " +
                                 Ogre::StringConverter::toString(stats.worstFrameTime) + " ms");

        overlays.getOverlayElement("Core/NumTris", false)
            ->setCaption(triangles + Ogre::StringConverter::toString(stats.triangleCount));
        overlays.getOverlayElement("Core/NumBatches", false)
            ->setCaption(batches + Ogre::StringConverter::toString(stats.batchCount));
        overlays.getOverlayElement("Core/DebugText", false)->setCaption(debugText);
    }
    catch (...)
    {
        // A missing element ends this frame's refresh; the next frame tries again.
    }
}
