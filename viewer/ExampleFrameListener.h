#ifndef ORVTEST_VIEWER_EXAMPLEFRAMELISTENER_H
#define ORVTEST_VIEWER_EXAMPLEFRAMELISTENER_H

#include <OgreFrameListener.h>
#include <OgreMath.h>
#include <OgreTextureUnitState.h>
#include <OgreVector.h>
#include <OgreWindowEventUtilities.h>

#include <string>

namespace OIS
{
class InputManager;
class Keyboard;
class Mouse;
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
// Its own free-flying control, for any listener that keeps this frameStarted:
//
//   | key                 | action                                      |
//   |---------------------|---------------------------------------------|
//   | W / Up, S / Down    | forward, back                               |
//   | A, D                | left, right                                 |
//   | Page Up, Page Down  | up, down                                    |
//   | Left, Right         | turn left, right                            |
//   | mouse               | look; with the right button held: pan       |
//   | F                   | statistics overlay on/off                   |
//   | T                   | texture filtering: bilinear, trilinear, 8x  |
//   | Print               | screenshot_N.png                            |
//   | R                   | solid, wireframe, points                    |
//   | P                   | camera position read-out on/off             |
//   | Escape, Q           | quit                                        |
class ExampleFrameListener : public Ogre::FrameListener, public OgreBites::WindowEventListener
{
public:
    // Throws OIS::Exception when the input system, keyboard or mouse cannot be made.
    ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera);
    ~ExampleFrameListener() override;
    ExampleFrameListener(const ExampleFrameListener&) = delete;
    ExampleFrameListener& operator=(const ExampleFrameListener&) = delete;

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    // Refreshes the statistics captions; never stops the loop.
    bool frameEnded(const Ogre::FrameEvent& evt) override;
    // The base's keyboard control; false asks the loop to stop.
    virtual bool handleKeys(const Ogre::FrameEvent& evt);

    void windowResized(Ogre::RenderWindow* rw) override;
    // Shuts the input down when the closed window is ours.
    void windowClosed(Ogre::RenderWindow* rw) override;

protected:
    bool handleMouse();
    void applyCameraMotion();
    void applyOverlayVisibility();
    // Shows or hides the debug overlay, if there is one.
    void showOverlay(bool visible);
    // Advances `index` through solid, wireframe, points and sets the camera's mode.
    void nextPolygonMode(int& index);
    // Writes every caption of the statistics overlay; swallows its own failures.
    void refreshStatistics();
    // Sets the mouse's clipping area to the window's size.
    void fitMouseArea(Ogre::RenderWindow* rw);
    void shutDownInput();

    Ogre::Camera* camera;
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;
    Ogre::RenderWindow* window;
    bool statisticsVisible = true;
    std::string debugText;
    unsigned int screenshotCount = 0;
    float moveStep = 0.0f;          // world units this frame
    float turnStep = 0.0f;          // degrees this frame
    float toggleCooldown = 0.0f;    // seconds until the next toggle key acts
    Ogre::Radian mouseYaw{0.0f};
    Ogre::Radian mousePitch{0.0f};
    Ogre::TextureFilterOptions filterMode = Ogre::TFO_BILINEAR;
    unsigned int anisotropy = 1;
    int polygonModeIndex = 0;       // 0 solid, 1 wireframe, 2 points
    float moveRate = 100.0f;        // world units per second
    float turnRate = 36.0f;         // degrees per second
    Ogre::Overlay* debugOverlay = nullptr;
    OIS::InputManager* inputManager = nullptr;
    OIS::Mouse* mouse = nullptr;
    OIS::Keyboard* keyboard = nullptr;
    OIS::JoyStick* joystick = nullptr;
};

#endif
