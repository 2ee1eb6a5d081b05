#include "viewer/OrvTestFrameListener.h"

#include "config/AppSettings.h"

#include <OgreRenderWindow.h>

#include <OISKeyboard.h>
#include <OISMouse.h>

OrvTestFrameListener::OrvTestFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera,
                                           Ogre::SceneManager* sceneManager)
    : ExampleFrameListener(renderWindow, viewCamera),
      viewer(viewCamera, sceneManager, renderWindow, debugOverlay, debugText, appSettings.MoveConstant,
             appSettings.StepsPerSecond)
{
    reportPresses();
    viewer.watchFiles(appSettings.StaticSystem, "OrvTest.cfg");
}

bool OrvTestFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed() || !keyboard)
        return false;

    viewer.runBodySteps(evt.timeSinceLastFrame);
    mouse->capture();
    keyboard->capture();
    return viewer.handleInput(readDevices(evt.timeSinceLastFrame));
}
