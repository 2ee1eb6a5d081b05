#ifndef ORVTEST_VIEWER_ORBITVIEWER_H
#define ORVTEST_VIEWER_ORBITVIEWER_H

#include "config/Views.h"
#include "viewer/CameraPath.h"
#include "viewer/Following.h"
#include "viewer/OrbitControls.h"
#include "viewer/Panels.h"
#include "viewer/Reloading.h"
#include "sky/Clock.h"

#include <OgrePrerequisites.h>

#include <memory>
#include <string>
#include <vector>

struct Body;
class FilmRecorder;
namespace Ogre
{
class Overlay;
}

// The orbit viewer's frame, without the devices: moves the bodies and
// switches their detail, decides what a frame's input asks for
// (OrbitControls) and hands it to the parts that carry it out: the camera,
// following a body, screenshots, the panels (Panels) and reading the files
// again (Reloading). The frame listener feeds it what the devices said;
// tests feed it snapshots. Holds the engine's objects, owns none of them.
class OrbitViewer
{
public:
    // `window` may be null (no screenshots), as may `statistics`. The status
    // line is the listener's, shown by the statistics overlay.
    // `stepsPerSecond` 0 makes one motion step a frame; a positive value
    // that many a second of real time.
    OrbitViewer(Ogre::Camera* camera, Ogre::SceneManager* sceneManager, Ogre::RenderTarget* window,
                Ogre::Overlay* statistics, std::string& statusLine, float moveSpeed, float stepsPerSecond = 0.0f);
    ~OrbitViewer();

    // The motion step and the detail step, each behind its countdown. The
    // motion step advances the bodies by the time rate's number of updates
    // (or those of the frame's time, with stepsPerSecond), and not at all
    // while time is paused.
    void runBodySteps(float dt);
    // Decides the frame's input and carries it out; false ends the rendering loop.
    bool handleInput(const InputSnapshot& input);
    // Both, as one frame of the viewer.
    bool runFrame(const InputSnapshot& input);

    // Sets the clock (days from J2000) and the speed it starts at and
    // Backspace returns to (sky seconds a second), and puts the bodies that
    // follow it in their places.
    void startClock(double days, double speed);
    const Clock& clock() const { return skyClock; }
    bool clockShown() const { return clockInUse; }

    // Draws what is written on screen `scale` times its size at 96 dpi.
    void setUiScale(float scale) { panels.setUiScale(scale); }

    // Puts the camera above the ecliptic (on the world's +Y axis), looking
    // down on the sun from high enough to see the orbits of its planets.
    void lookFromAbove();

    // Watches the files the viewer started from: when one has been written
    // and is complete, it is read and judged as orvtest-check judges it. A
    // sound system file replaces every body; a sound settings file changes
    // what can change while the viewer runs. A file with an error changes
    // nothing and the status line says "FILE:LINE: message". Every problem
    // goes to the log.
    void watchFiles(const std::string& systemFile, const std::string& settingsFile);
    // What watching does once a file is complete, for text already read.
    // True when the file was taken.
    bool reloadSystemFrom(const std::string& file, const std::string& text);
    bool reloadSettingsFrom(const std::string& file, const std::string& text);
    // Replaces every body of the scene by those of `bodies` (which receives
    // the old ones): the camera, time rate, polygon mode and overlays stay,
    // the focus stays on the same section if it is still there. False, with
    // the old bodies back and the reason in `why`, when the engine refuses to
    // build the new ones.
    bool replaceBodies(BodyRegistry& bodies, std::string& why);
    // Hands the memory a reload freed back to the system; the frame after a
    // reload does it.
    void returnOwedPages() { reloading.returnOwedPages(); }

    // Where screenshots go: "" for the working folder, else ending in '/'.
    void setScreenshotFolder(const std::string& folder) { screenshotFolder = folder; }

    const OrbitControls& controls() const { return decisions; }

    // Kept views and films (ViewsAndFilms.cpp). K keeps the view in `file`,
    // 1 to 9 fly to the first nine views there.
    void keepViewsIn(const std::string& file) { viewsFile = file; }
    // The view now, as K keeps it.
    SavedView currentView(const std::string& name) const;
    // Shows a kept view at once, or flying there over `seconds`: camera,
    // body gone to and followed, time and panels. Where its body is gone,
    // the rest is shown, and the status line says so.
    void showView(const SavedView& view, float seconds = 0.0f);
    // Records a film from the next frame on (see FilmRecorder), in film time
    // (keepFilmTime). False, with `why`, when it cannot start.
    bool startFilm(const std::string& folder, unsigned width, unsigned height, double framesPerSecond, bool overlays,
                   std::string& why);
    // Ends the film; its frames stay.
    void stopFilm();
    const FilmRecorder* film() const { return filming.get(); }
    // Film time: every frame stands for 1/framesPerSecond of a second,
    // however long it takes to draw, frame-locked bodies taking the steps of
    // that time (StepsPerSecond, or 60 a second); 0 ends it.
    void keepFilmTime(double framesPerSecond);
    // The seconds a frame that took `realSeconds` stands for.
    float frameTime(float realSeconds) const
    {
        return filmFramesPerSecond > 0.0 ? float(1.0 / filmFramesPerSecond) : realSeconds;
    }
    // The engine begins drawing the frame; then it has drawn it, and the film
    // keeps it. False when it could not, which ends the film (the status line says why).
    void filmDrawingStarts();
    bool keepFilmFrame(std::string& why);
    // A frame of a flight through kept views: the camera where the path
    // puts it, the bodies moved by `dt` at the rate between the two views,
    // the clock at the date between theirs (or on at the speed between).
    void showPathPlace(const std::vector<SavedView>& views, const CameraPath::Place& place, float dt);
    // Screenshots tried so far, and whether the last was saved.
    int shotsTaken() const { return shotsTried; }
    bool lastShotSaved() const { return lastShotWasSaved; }

private:
    void say(const std::string& text);
    void jumpTo(int index);
    void followFocus(const OrbitActions& actions);
    void flyCamera(const OrbitActions& actions);
    void takeScreenshot();
    // The seconds of viewer time a frame of `dt` stands for, and the motion
    // updates frame-locked bodies take in them.
    double frameSeconds(float dt) const;
    double motionUpdates(double seconds) const;
    // Focuses on the body under the centre of the view, if any.
    void pick();
    // Whether the bodies shown follow the clock, which is then on screen.
    void lookAtBodies();
    void showClock();
    // Carries out what the files due this frame hold; the status line says
    // what became of them, a refusal before anything taken.
    // True when a system file was taken.
    bool applyReloads(Reloading::Due& due);
    // The reason a system file is not taken; empty when it was.
    std::string takeSystem(const std::string& file, SystemVerdict& verdict);
    std::string takeSettings(const std::string& file, const SettingsVerdict& verdict, bool& refused);
    // Writes the problems to the log, as orvtest-check would print them.
    void logProblems(const std::vector<Problem>& problems) const;
    // A line of the engine's log, marked as the viewer's.
    static void logLine(const std::string& text);
    void keepView(const OrbitActions& actions);
    void recallView(int index);
    // Flies on towards the view recalled; looking, flying or a jump ends the flight.
    void flyToView(const OrbitActions& actions, float dt);
    CameraPose viewPose(const SavedView& view) const;
    void toggleFilm();
    std::string filmLine() const;

    Ogre::Camera* camera;
    Ogre::SceneNode* cameraNode;
    Ogre::SceneManager* sceneManager;
    Ogre::RenderTarget* window;
    std::string& statusLine;
    OrbitControls decisions;
    Following following;
    Panels panels;
    Reloading reloading;
    Clock skyClock;
    bool clockInUse = false;
    float stepsPerSecond;
    float motionCountdown = 0.0f;   // seconds
    float detailCountdown = 0.0f;
    float motionInterval = 0.0f;
    float detailInterval = 0.0f;
    std::string screenshotFolder;
    int shotNumber = 0;             // of the last screenshot saved
    int shotsTried = 0;
    bool lastShotWasSaved = false;
    std::string said;               // the status line's message, under a film's line
    std::string viewsFile;
    CameraMove viewMove;
    SavedView flyingTo;
    std::unique_ptr<FilmRecorder> filming;
    double filmFramesPerSecond = 0.0;
    static constexpr double filmStepsPerSecond = 60.0;   // unless the settings give StepsPerSecond
    static constexpr float recallSeconds = 1.0f;
};

// Places the camera node 5 × Size from the body's position node on the world's
// -Z side, facing it. Leaves the camera alone, and returns false, when that
// place lies beyond the float range.
bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body);

#endif
