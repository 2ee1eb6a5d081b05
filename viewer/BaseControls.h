#ifndef ORVTEST_VIEWER_BASECONTROLS_H
#define ORVTEST_VIEWER_BASECONTROLS_H

#include "viewer/InputSnapshot.h"

#include <OgreMath.h>
#include <OgreTextureUnitState.h>
#include <OgreVector.h>

// The base frame listener's own free-flying control, as decisions: from the
// input snapshot and this state to what the frame does. Needs no window,
// engine or input library; ExampleFrameListener applies it.
//
//   | key                 | action                                      | delay |
//   |---------------------|---------------------------------------------|-------|
//   | A, D                | left, right (D wins)                        |       |
//   | W / Up, S / Down    | forward, back (back wins)                   |       |
//   | Page Up, Page Down  | up, down (down wins)                        |       |
//   | Right, Left         | turn right, left, at once                   |       |
//   | Escape, Q           | quit                                        |       |
//   | F                   | statistics overlay on/off                   | 1 s   |
//   | T                   | texture filtering: bilinear, trilinear, 8x  | 1 s   |
//   | Print               | screenshot_N.png                            | 0.5 s |
//   | R                   | solid, wireframe, points                    | 0.5 s |
//   | P                   | camera position read-out on/off             | 0.5 s |
//   | mouse               | look; with the right button held: pan       |       |
struct BaseControlState
{
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;   // camera's own axes, this frame
    float moveStep = 0.0f;          // world units this frame
    float turnStep = 0.0f;          // degrees this frame
    float toggleCooldown = 0.0f;    // seconds until the next toggle key acts
    Ogre::Radian mouseYaw{0.0f};
    Ogre::Radian mousePitch{0.0f};
    bool statisticsVisible = true;
    Ogre::TextureFilterOptions filterMode = Ogre::TFO_BILINEAR;
    unsigned int anisotropy = 1;
    int polygonModeIndex = 0;       // 0 solid, 1 wireframe, 2 points
    float moveRate = 100.0f;        // world units per second
    float turnRate = 36.0f;         // degrees per second
};

// What the keys of one frame ask for, besides the translation they leave in the state.
struct BaseKeyActions
{
    float turnDegrees = 0.0f;       // yaw now, before anything else, even when quitting
    bool quit = false;
    bool statisticsChanged = false; // to statisticsVisible
    bool filteringChanged = false;  // to filterMode and anisotropy
    bool screenshot = false;
    bool polygonModeChanged = false;// to polygonModeIndex
    bool poseShownChanged = false;  // to showCameraPose
};

// The camera read-out of the P key: one switch for every listener of the process.
extern bool showCameraPose;

// The start of an immediate frame: runs the toggle cooldown down, sets the
// steps of this frame's time and clears last frame's motion.
void beginBaseFrame(BaseControlState& state, float dt);

// The keys of the frame.
BaseKeyActions decideBaseKeys(BaseControlState& state, const InputSnapshot& input);

// The mouse of the frame: looks, or pans with the right button held.
void decideBaseMouse(BaseControlState& state, const InputSnapshot& input);

#endif
