#ifndef ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H
#define ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H

#include "viewer/ExampleFrameListener.h"

#include <cstddef>

struct Body;

// The orbit viewer's frame listener. Every frame it moves the bodies and
// switches their detail, then reads the devices:
//
//   | input                 | action                                     |
//   |-----------------------|--------------------------------------------|
//   | W / Up, S / Down      | fly forward, back (MoveConstant units/s)    |
//   | A / Left, D / Right   | fly left, right                            |
//   | Q / Page Up, E / Page Down | fly up, down                          |
//   | mouse                 | look around                                |
//   | left button           | jump to the next body                      |
//   | right button          | jump to the previous body                  |
//   | Print                 | save screenshot_N.png                      |
//   | R                     | solid, wireframe, points                   |
//   | F                     | statistics overlay on/off                  |
//   | Escape                | quit                                       |
//
// Jumps, screenshots, R and F share one cooldown of actionDelay seconds, so
// at most one of them fires a frame. The star field follows the camera.
class OrvTestFrameListener : public ExampleFrameListener
{
public:
    OrvTestFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera,
                         Ogre::SceneManager* sceneManager);

    bool frameStarted(const Ogre::FrameEvent& evt) override;

private:
    void runBodySteps(float dt);
    // Moves the focus to the next (+1) or previous (-1) body, wrapping, and
    // jumps the camera there; the status line shows the body's name.
    void jumpBy(int step);

    Ogre::SceneManager* sceneManager;
    float motionCountdown = 0.0f;   // seconds
    float detailCountdown = 0.0f;
    float motionInterval = 0.0f;
    float detailInterval = 0.0f;
    int focusIndex = 0;             // registry index of the body last jumped to
    float actionCooldown = 0.0f;    // seconds until a gated action may fire again
    float actionDelay = 0.2f;
    float mouseTurnFactor = 0.13f;  // degrees per mouse count
    float moveSpeed;                // world units per second
    int renderModeIndex = 0;        // 0 solid, 1 wireframe, 2 points
    bool statsShown = true;
    int shotCount = 0;
};

// Places the camera node 5 × Size from the body's position node on the world's
// -Z side, facing it. Leaves the camera alone, and returns false, when that
// place lies beyond the float range.
bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body);

// The focus index after a jump of `step` (+1 or -1) from `index` among `count` bodies.
int nextFocusIndex(int index, int step, std::size_t count);

#endif
