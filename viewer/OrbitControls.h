#ifndef ORVTEST_VIEWER_ORBITCONTROLS_H
#define ORVTEST_VIEWER_ORBITCONTROLS_H

#include "viewer/Controls.h"
#include "viewer/InputSnapshot.h"

#include <OgreVector.h>

#include <cstddef>
#include <string>

class BodyRegistry;

// What one frame of input asks the orbit viewer to do; applied by OrbitViewer.
struct OrbitActions
{
    bool quit = false;
    int jumpTo = -1;                     // registry index to jump the camera to, or -1
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;   // camera's own axes, world units this frame
    float yawDegrees = 0.0f;
    float pitchDegrees = 0.0f;
    bool screenshot = false;
    bool polygonModeChanged = false;     // to renderModeIndex
    bool statisticsChanged = false;      // to statsShown
};

// The orbit viewer's decisions: from one frame's input snapshot and its own
// state to the frame's actions. Needs no window, engine or input library.
class OrbitControls
{
public:
    explicit OrbitControls(float moveSpeed);

    // Decides the frame; `bodies` only for their number.
    OrbitActions decide(const InputSnapshot& input, const BodyRegistry& bodies);

    int focusIndex = 0;             // registry index of the body last jumped to
    float actionCooldown = 0.0f;    // seconds until a gated action may fire again
    float actionDelay = 0.2f;       // seconds
    float mouseTurnFactor = 0.13f;  // degrees per mouse count
    float moveSpeed;                // world units per second
    int renderModeIndex = 0;        // 0 solid, 1 wireframe, 2 points
    bool statsShown = true;

private:
    bool down(Action action, const InputSnapshot& input) const;
    // A gated action fires while its input is down and the cooldown has run out.
    bool fire(Action action, const InputSnapshot& input);

    InputSnapshot previous;
};

// The focus index after a jump of `step` (+1 or -1) from `index` among `count` bodies.
int nextFocusIndex(int index, int step, std::size_t count);

#endif
