#include "viewer/ExampleFrameListener.h"

#include "viewer/Controls.h"
#include "viewer/OverlayOrder.h"
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

ExampleFrameListener::ExampleFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera,
                                           bool grabInput)
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
    if (!grabInput)
        for (const char* grab : {"x11_keyboard_grab", "x11_mouse_grab", "x11_mouse_hide"})
            parameters.insert(std::make_pair(std::string(grab), std::string("false")));
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
    mouse = nullptr;
    keyboard = nullptr;
    joystick = nullptr;
    OIS::InputManager::destroyInputSystem(inputManager);
    inputManager = nullptr;
}

void ExampleFrameListener::fitMouseArea(Ogre::RenderWindow* rw)
{
    if (!mouse)
        return;
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

void ExampleFrameListener::reportPresses()
{
    keyboard->setEventCallback(this);
    keyboard->setBuffered(true);
    mouse->setEventCallback(this);
    mouse->setBuffered(true);
}

bool ExampleFrameListener::keyPressed(const OIS::KeyEvent& event)
{
    const std::size_t code = std::size_t(event.key) & 0xFF;
    pressesSinceRead.addPress(KeyPress{event.key, event.text, keysHeld.test(code)});
    keysHeld.set(code);
    return true;
}

bool ExampleFrameListener::keyReleased(const OIS::KeyEvent& event)
{
    keysHeld.reset(std::size_t(event.key) & 0xFF);
    return true;
}

bool ExampleFrameListener::mouseMoved(const OIS::MouseEvent&)
{
    return true;
}

bool ExampleFrameListener::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID button)
{
    pressesSinceRead.buttonsPressed |= 1u << button;
    return true;
}

bool ExampleFrameListener::mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID)
{
    return true;
}

InputSnapshot ExampleFrameListener::readDevices(float dt)
{
    InputSnapshot snapshot;
    snapshot.dt = dt;
    char keys[256];
    keyboard->copyKeyStates(keys);
    for (std::size_t code = 0; code < 256; ++code)
        snapshot.keysDown[code] = keys[code] != 0;
    const OIS::MouseState& state = mouse->getMouseState();
    snapshot.buttonsDown = unsigned(state.buttons);
    snapshot.mouseX = state.X.rel;
    snapshot.mouseY = state.Y.rel;
    // The window system reports a notch as 120.
    snapshot.wheel = state.Z.rel / 120;
    snapshot.buttonsPressed = pressesSinceRead.buttonsPressed;
    snapshot.presses = pressesSinceRead.presses;
    snapshot.pressCount = pressesSinceRead.pressCount;
    pressesSinceRead.buttonsPressed = 0;
    pressesSinceRead.pressCount = 0;
    if (readPlaces)
        readPlaces(snapshot);
    return snapshot;
}

bool ExampleFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed() || !keyboard)
        return false;

    keyboard->capture();
    mouse->capture();
    if (joystick)
        joystick->capture();
    input = readDevices(evt.timeSinceLastFrame);

    const bool joystickBuffered = joystick ? joystick->buffered() : true;
    const bool immediate = !mouse->buffered() || !keyboard->buffered() || !joystickBuffered;
    if (immediate)
        beginBaseFrame(controls, evt.timeSinceLastFrame);

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
    const BaseKeyActions actions = decideBaseKeys(controls, input);
    // Turns happen at once, also in the frame that quits.
    if (actions.turnDegrees != 0.0f)
        camera->getParentSceneNode()->yaw(Ogre::Degree(actions.turnDegrees));
    if (actions.quit)
        return false;

    if (actions.statisticsChanged)
        applyOverlayVisibility();
    if (actions.filteringChanged)
    {
        Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(controls.filterMode);
        Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(controls.anisotropy);
    }
    if (actions.screenshot)
    {
        const Result<long> saved = saveScreenshot(window, screenshotFolder, long(screenshotCount) + 1);
        if (saved)
            screenshotCount = unsigned(*saved);
        debugText = screenshotStatus(screenshotFolder, saved);
    }
    if (actions.polygonModeChanged)
        camera->setPolygonMode(polygonModeAt(controls.polygonModeIndex));
    if (actions.poseShownChanged && !showCameraPose)
        debugText.clear();

    if (showCameraPose)
    {
        debugText = "P: " + Ogre::StringConverter::toString(camera->getDerivedPosition()) + " " +
                    "O: " + Ogre::StringConverter::toString(camera->getDerivedOrientation());
    }
    return true;
}

bool ExampleFrameListener::handleMouse()
{
    decideBaseMouse(controls, input);
    return true;
}

void ExampleFrameListener::applyCameraMotion()
{
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    cameraNode->yaw(controls.mouseYaw);
    cameraNode->pitch(controls.mousePitch);
    cameraNode->translate(controls.translation, Ogre::Node::TS_LOCAL);
}

void ExampleFrameListener::applyOverlayVisibility()
{
    showOverlay(controls.statisticsVisible);
}

void ExampleFrameListener::showOverlay(bool visible)
{
    ::showOverlay(debugOverlay, visible);
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
