#ifndef ORVTEST_VIEWER_ORBITVIEWER_H
#define ORVTEST_VIEWER_ORBITVIEWER_H

#include "scene/OrbitLines.h"
#include "viewer/LiveReload.h"
#include "viewer/NameLabels.h"
#include "viewer/OrbitControls.h"

#include <OgrePrerequisites.h>

#include <string>

struct Body;
namespace Ogre
{
class Overlay;
}

// The orbit viewer's frame, without the devices: moves the bodies and
// switches their detail, decides what a frame's input asks for
// (OrbitControls) and applies it to the camera, the bodies, the window and
// the overlays; reads the system and settings files again when they are
// written. The frame listener feeds it what the devices said; tests feed it
// snapshots. Holds the engine's objects, owns none of them.
class OrbitViewer
{
public:
    // `window` may be null (no screenshots), as may `debugOverlay`. The
    // status line is the listener's, shown by the statistics overlay.
    // `stepsPerSecond` 0 makes one motion step a frame; a positive value
    // that many a second of real time.
    OrbitViewer(Ogre::Camera* camera, Ogre::SceneManager* sceneManager, Ogre::RenderTarget* window,
                Ogre::Overlay* debugOverlay, std::string& statusLine, float moveSpeed, float stepsPerSecond = 0.0f);

    // The motion step and the detail step, each behind its countdown. The
    // motion step advances the bodies by the time rate's number of updates
    // (or those of the frame's time, with stepsPerSecond), and not at all
    // while time is paused.
    void runBodySteps(float dt);
    // Decides the frame's input and applies it; false ends the rendering loop.
    bool handleInput(const InputSnapshot& input);
    // Both, as one frame of the viewer.
    bool runFrame(const InputSnapshot& input);

    // Watches the files the viewer started from: when one has been written
    // and stands still, it is read with the viewer's readers and judged as
    // orvtest-check judges it. A sound system file replaces every body; one
    // with an error leaves the scene as it is and the status line says
    // "FILE:LINE: message". Every problem goes to the log.
    void watchFiles(const std::string& systemFile, const std::string& settingsFile);

    // Replaces every body of the scene by those of `bodies` (which receives
    // the old ones): the camera, time rate, polygon mode and overlays stay,
    // the focus stays on the same section if it is still there. False, with
    // the old bodies back, when the engine refuses to build the new ones.
    bool replaceBodies(BodyRegistry& bodies, std::string& why);
    // Judges `text` as the system file `file` and, when it is sound, replaces
    // every body by its bodies; the status line says how it went. What
    // watching the file does once the file stands still.
    bool reloadSystemFrom(const std::string& file, const std::string& text);
    // Hands the memory a reload freed back to the system, once per reload;
    // the frame after the reload does it.
    void returnOwedPages();

    OrbitControls controls;
    float motionCountdown = 0.0f;   // seconds
    float detailCountdown = 0.0f;
    float motionInterval = 0.0f;
    float detailInterval = 0.0f;
    int shotCount = 0;              // the number of the last screenshot
    int shotsTaken = 0;             // screenshots tried, saved or not
    bool lastShotSaved = false;
    std::string screenshotFolder;   // "" for the working folder, else ending in '/'
    float stepsPerSecond;

private:
    void jumpTo(int index);
    // Takes the focus body as the one to follow, from where it is now.
    void startFollowing();
    // Moves the camera by what the followed body moved since the last frame;
    // stops following, and says why, when the body is gone or out of reach.
    void followBody();
    void stopFollowing(const std::string& why);
    void reloadSystem();
    void reloadSettings();
    // Writes the problems to the log, as orvtest-check would print them.
    void logProblems(const std::vector<Problem>& problems) const;

    Ogre::Camera* camera;
    Ogre::SceneNode* cameraNode;
    Ogre::SceneManager* sceneManager;
    Ogre::RenderTarget* window;
    Ogre::Overlay* debugOverlay;
    Ogre::Overlay* helpOverlay;
    std::string& statusLine;
    // The followed body, by section name (its index may change), and where it was.
    std::string followedSection;
    Ogre::Vector3 followedPosition = Ogre::Vector3::ZERO;
    OrbitLines orbitLines;
    NameLabels labels;
    bool pagesOwed = false;         // a reload freed memory not yet returned
    FileWatch systemWatch;
    FileWatch settingsWatch;
};

// Places the camera node 5 × Size from the body's position node on the world's
// -Z side, facing it. Leaves the camera alone, and returns false, when that
// place lies beyond the float range.
bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body);

#endif
