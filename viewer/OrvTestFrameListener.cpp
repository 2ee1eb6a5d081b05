#include "viewer/OrvTestFrameListener.h"

#include "config/AppSettings.h"

#include <OgreRenderWindow.h>

#include <OISKeyboard.h>
#include <OISMouse.h>

OrvTestFrameListener::OrvTestFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera,
                                           Ogre::SceneManager* sceneManager, const ViewerFiles& files)
    : ExampleFrameListener(renderWindow, viewCamera),
      viewer(viewCamera, sceneManager, renderWindow, debugOverlay, debugText, appSettings.MoveConstant,
             appSettings.StepsPerSecond)
{
    reportPresses();
    viewer.watchFiles(files.systemFile.empty() ? appSettings.StaticSystem : files.systemFile, files.settingsFile);
    viewer.setScreenshotFolder(files.screenshotFolder);
    screenshotFolder = files.screenshotFolder;
}

void OrvTestFrameListener::takeTour(int jumps)
{
    touring = std::make_unique<Tour>(jumps, viewer.clockShown());
}

bool OrvTestFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed() || !keyboard)
        return false;
    if (touring && touring->finished())
        return false;

    viewer.runBodySteps(evt.timeSinceLastFrame);
    mouse->capture();
    keyboard->capture();
    input = readDevices(evt.timeSinceLastFrame);
    if (touring)
        touring->holdDown(input);
    const bool goOn = viewer.handleInput(input);
    if (touring)
        touring->observe(viewer);
    return goOn;
}
