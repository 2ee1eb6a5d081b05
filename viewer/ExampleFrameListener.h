#ifndef ORVTEST_VIEWER_EXAMPLEFRAMELISTENER_H
#define ORVTEST_VIEWER_EXAMPLEFRAMELISTENER_H

#include "viewer/BaseControls.h"
#include "viewer/InputSnapshot.h"

#include <OgreFrameListener.h>
#include <OgreWindowEventUtilities.h>

#include <OISKeyboard.h>
#include <OISMouse.h>

#include <bitset>
#include <functional>
#include <string>

namespace OIS
{
class InputManager;
class JoyStick;
}
namespace Ogre
{
class Overlay;
}

// The viewer's base frame listener. Opens the keyboard, the mouse and any
// joystick through OIS on the render window (unbuffered, polled once a
// frame), shows the overlay "Core/DebugOverlay" and refreshes its statistics
// after every frame, keeps the mouse area in step with the window and shuts
// the input down when the window closes. Owns the input system and devices;
// camera, window and overlay belong to the engine.
//
// Its own free-flying control (see BaseControls.h for the table) is in force
// for any listener that keeps this frameStarted: it reads the devices into an
// InputSnapshot, lets BaseControls decide and applies the result.
class ExampleFrameListener : public Ogre::FrameListener,
                             public OgreBites::WindowEventListener,
                             public OIS::KeyListener,
                             public OIS::MouseListener
{
public:
    // Throws OIS::Exception when the input system, keyboard or mouse cannot be
    // made. Without `grabInput`, the keyboard and pointer stay the desktop's.
    ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera, bool grabInput = true);
    ~ExampleFrameListener() override;
    ExampleFrameListener(const ExampleFrameListener&) = delete;
    ExampleFrameListener& operator=(const ExampleFrameListener&) = delete;

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    // Refreshes the statistics captions; never stops the loop.
    bool frameEnded(const Ogre::FrameEvent& evt) override;
    // The base's keyboard control; false asks the loop to stop.
    virtual bool handleKeys(const Ogre::FrameEvent& evt);

    void windowResized(Ogre::RenderWindow* rw) override;
    // What reads the flight keys' places each frame, where the window system can.
    void readPlacesWith(std::function<void(InputSnapshot&)> reader) { readPlaces = std::move(reader); }
    // Shuts the input down when the closed window is ours.
    void windowClosed(Ogre::RenderWindow* rw) override;

    // Releases the keyboard and the pointer at once (the input library grabs
    // both), so that another window of the process, such as an error box,
    // can be used. The listener reads no devices afterwards.
    void shutDownInput();

protected:
    bool handleMouse();
    void applyCameraMotion();
    void applyOverlayVisibility();
    // Shows or hides the debug overlay, if there is one.
    void showOverlay(bool visible);
    // Writes every caption of the statistics overlay; swallows its own failures.
    void refreshStatistics();
    // Sets the mouse's clipping area to the window's size.
    void fitMouseArea(Ogre::RenderWindow* rw);

    // Has the keyboard and the mouse report each press as it happens, besides
    // what is held when they are read, so that a key or button pressed and
    // released between two frames, and the character typed, are not lost.
    void reportPresses();
    // What the devices say now, after they were captured, with the presses
    // reported since the last call.
    InputSnapshot readDevices(float dt);

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;

    Ogre::Camera* camera;
    Ogre::RenderWindow* window;
    std::string debugText;           // the status line
    std::function<void(InputSnapshot&)> readPlaces;
    unsigned int screenshotCount = 0;
    std::string screenshotFolder;    // "" for the working folder, else ending in '/'
    BaseControlState controls;
    InputSnapshot input;             // this frame's, for handleKeys and handleMouse
    Ogre::Overlay* debugOverlay = nullptr;
    OIS::InputManager* inputManager = nullptr;
    OIS::Mouse* mouse = nullptr;
    OIS::Keyboard* keyboard = nullptr;
    OIS::JoyStick* joystick = nullptr;

private:
    InputSnapshot pressesSinceRead;  // only its presses are used
    std::bitset<256> keysHeld;       // as the reported presses and releases say
};

#endif
