#ifndef ORVTEST_VIEWER_ORBITVIEWER_H
#define ORVTEST_VIEWER_ORBITVIEWER_H

#include "config/Views.h"
#include "sky/Clock.h"
#include "scene/CatalogueOrbitLine.h"
#include "scene/CometTails.h"
#include "sky/Vector.h"
#include "viewer/CameraPath.h"
#include "viewer/Catalogues.h"
#include "viewer/FilmSession.h"
#include "viewer/Following.h"
#include "viewer/KeptViews.h"
#include "viewer/OrbitControls.h"
#include "viewer/Panels.h"
#include "viewer/Reloading.h"
#include "viewer/StatusLine.h"

#include <OgrePrerequisites.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TrueScaleWorld;
class DepthPartitions;
class TrueScaleOrbits;

struct Body;
namespace Ogre
{
class Overlay;
}

// The orbit viewer's frame, without the devices: moves the bodies and
// switches their detail, decides what a frame's input asks for
// (OrbitControls) and hands it to the parts it coordinates, each with its
// own state: the camera and following a body, screenshots, the panels
// (Panels), reading the files again (Reloading), kept views (KeptViews),
// films (FilmSession) and the status line (StatusLine). The frame listener
// feeds it what the devices said; tests feed it snapshots. Holds the
// engine's objects, owns none of them.
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

    // Sets the clock (UTC days) and the speed it starts at and Backspace
    // returns to (sky seconds a second), and puts the bodies that follow it
    // in their places.
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
    // Shows the asteroids and comets of these catalogue files (as found on
    // disk), read on a worker from the next frame on and again when one
    // changes; the status line says how far the reading has come. With
    // `fromSettings`, a settings file read again that names others shows
    // those, each found by `find` (config/Places.h).
    void showCatalogues(const std::vector<std::string>& files, bool fromSettings = false,
                        std::function<std::string(const std::string&)> find = {});
    const Catalogues& catalogues() const { return shownCatalogues; }
    // What watching does once a file is complete, for text already read.
    // True when the file was taken.
    bool reloadSystemFrom(const std::string& file, const std::string& text);
    bool reloadSettingsFrom(const std::string& file, const std::string& text);
    // Replaces every body of the scene by those of `bodies` (which receives
    // the old ones): the camera, time rate, polygon mode and overlays stay,
    // the focus stays on the same section if it is still there. A Failure,
    // with the old bodies back, when the engine refuses to build the new ones.
    Result<> replaceBodies(BodyRegistry& bodies);
    // Hands the memory a reload freed back to the system; the frame after a
    // reload does it.
    void returnOwedPages() { reloading.returnOwedPages(); }

    // Where screenshots go: "" for the working folder, else ending in '/'.
    void setScreenshotFolder(const std::string& folder) { screenshotFolder = folder; }

    const OrbitControls& controls() const { return decisions; }

    // K keeps the view in `file`, 1 to 9 fly to the first nine views there.
    void keepViewsIn(const std::string& file) { keptViews.keepIn(file); }
    // The view now, as K keeps it.
    SavedView currentView(const std::string& name) const;
    // Shows a kept view at once, or flying there over `seconds`: camera,
    // body gone to and followed, time and panels. Where its body is gone,
    // the rest is shown, and the status line says so.
    void showView(const SavedView& view, float seconds = 0.0f);
    // Narrows or widens the camera's vertical field of view, degrees, as the
    // zoom keys would.
    void setFieldOfView(double degrees);
    // The camera as the view places it now: where it was kept, or, for a
    // view that follows a body, at its offset from the body as it stands.
    CameraPose viewPose(const SavedView& view) const;
    // Where a view taken at true scale puts the camera, km from the Sun.
    Vector3d viewPlaceKm(const SavedView& view) const;

    // Records a film from the next frame on (see FilmRecorder), in film time.
    Result<> startFilm(const std::string& folder, unsigned width, unsigned height, double framesPerSecond,
                       bool overlays);
    // Ends the film; its frames stay.
    void stopFilm();
    const FilmRecorder* film() const { return films.film(); }
    // Film time without recording (FilmSession::keepFilmTime); 0 ends it.
    void keepFilmTime(double framesPerSecond) { films.keepFilmTime(framesPerSecond); }
    // The seconds a frame that took `realSeconds` stands for.
    float frameTime(float realSeconds) const { return films.frameTime(realSeconds); }
    // The engine begins drawing the frame; then it has drawn it, and the film
    // keeps it. A Failure ends the film (the status line says why).
    void filmDrawingStarts() { films.drawingStarts(); }
    Result<> keepFilmFrame();
    // A film's frame along a path of kept views: the bodies and the clock as
    // the path's frame says, then the camera on the path through the views
    // as they show now, so that its first frame is the first view's and its
    // last the last view's, followed bodies and dates included. Following
    // stops: the path has the camera.
    void showPathFrame(const FilmPath& path, long frame, float dt);

    // True scale (scene/TrueScaleWorld.h): the bodies at their real sizes and
    // distances, world units km, the camera's place kept in double
    // precision. Switching keeps the body in focus (else the nearest) where
    // it was on the screen and as large, moving the camera: its distance in
    // the body's radii stays.
    void setTrueScale(bool on);
    bool trueScaleShown() const;
    // The camera's place from the Sun at true scale, km, world axes.
    const Vector3d& cameraKm() const { return cameraPlaceKm; }
    void setCameraKm(const Vector3d& place);
    const TrueScaleWorld* trueScaleWorld() const { return trueScale.get(); }
    const TrueScaleOrbits* trueScaleOrbitLines() const { return trueScaleOrbits.get(); }
    // How many depth ranges the last frame drew (1 at the display scale).
    std::size_t depthRangesDrawn() const;

    // Screenshots tried so far, and whether the last was saved.
    int shotsTaken() const { return shotsTried; }
    bool lastShotSaved() const { return lastShotWasSaved; }

private:
    void say(const std::string& text);
    void jumpTo(int index);
    // Takes the camera to a catalogue body: 5 times its drawn radius from
    // it on its sunlit side, as to a body of the system.
    void goToCatalogueBody(const CatalogueTarget& target);
    // The catalogue body in focus as its catalogue is now: found again
    // after a reading, or let go when it is gone.
    // A name typed while the catalogues were read: kept, and gone to (a
    // go-to in `actions`) once their names are sorted, unless another jump
    // came first.
    void goToAwaitedName(OrbitActions& actions);
    void keepCatalogueFocus();
    // The facts of the catalogue body in focus, for the info panel.
    std::vector<Fact> catalogueFocusFacts() const;
    void followFocus(const OrbitActions& actions);
    void flyCamera(const OrbitActions& actions);
    void takeScreenshot();
    // The motion updates frame-locked bodies take in `seconds` of viewer time.
    double motionUpdates(double seconds) const;
    void runMotion(double seconds, double rate);
    // Focuses on the body under the centre of the view, if any.
    void pick();
    // Whether the bodies shown follow the clock, which is then on screen.
    void lookAtBodies();
    void placeBodiesByTheClock();
    void showClock();
    // Carries out what the files due this frame hold; the status line says
    // what became of them, a refusal before anything taken.
    // True when a system file was taken.
    bool applyReloads(Reloading::Due& due);
    // Replaces the bodies by the verdict's; a Failure, for the status line,
    // when the file is not taken.
    Result<> takeSystem(const std::string& file, SystemVerdict& verdict);
    std::string takeSettings(const std::string& file, const SettingsVerdict& verdict, bool& refused);
    // Writes the problems to the log, as orvtest-check would print them.
    void logProblems(const std::vector<Problem>& problems) const;
    void keepView(const OrbitActions& actions);
    void recallView(int index);
    // Flies on towards the view recalled; looking, flying or a jump ends the flight.
    void flyToView(const OrbitActions& actions, float dt);
    void placeCamera(const CameraPose& pose);
    // B: the real sky's constellation figures shown or hidden.
    void toggleConstellations();
    void showFieldOfView(double degrees);
    void toggleFilm();

    Ogre::Camera* camera;
    Ogre::SceneNode* cameraNode;
    Ogre::SceneManager* sceneManager;
    Ogre::RenderTarget* window;
    StatusLine status;
    OrbitControls decisions;
    Following following;
    Panels panels;
    Reloading reloading;
    KeptViews keptViews;
    FilmSession films;
    Catalogues shownCatalogues;
    CatalogueOrbitLine focusOrbit;      // of the catalogue body in focus
    CometTails cometTails;
    std::string infoLoggedFor;          // the catalogue body whose panel the log has
    bool cataloguesFromSettings = false;
    std::function<std::string(const std::string&)> findCatalogue;
    Clock skyClock;
    bool clockInUse = false;
    std::string theoriesNote;       // the clock's corner's, while the date is beyond every theory
    float stepsPerSecond;
    float motionCountdown = 0.0f;   // seconds
    float detailCountdown = 0.0f;
    float motionInterval = 0.0f;
    float detailInterval = 0.0f;
    std::string screenshotFolder;
    int shotNumber = 0;             // of the last screenshot saved
    int shotsTried = 0;
    bool lastShotWasSaved = false;
    static constexpr double filmStepsPerSecond = 60.0;   // unless the settings give StepsPerSecond
    // At true scale.
    void placeAtTrueScale();
    void rebaseTrueScale();
    double pixelsPerRadian() const;
    bool jumpAtTrueScale(const Body& body);
    // A catalogue body's place now, km from the Sun.
    Vector3d catalogueKm(const CatalogueTarget& target) const;
    // The catalogue body a view follows, when its catalogue is shown.
    std::optional<CatalogueTarget> followedCatalogueBody(const SavedView& view) const;
    std::optional<SavedView> awaitedView;   // shown before its catalogue body was read
    std::optional<std::string> awaitedName; // typed before the catalogues' names were sorted
    std::unique_ptr<TrueScaleWorld> trueScale;
    std::unique_ptr<TrueScaleOrbits> trueScaleOrbits;   // made with trueScale
    std::unique_ptr<DepthPartitions> depth;       // the window's
    std::unique_ptr<DepthPartitions> filmDepth;   // a film's, drawn off-screen; goes before the film
    void partitionFilmDepth();
    Vector3d cameraPlaceKm;
    Vector3d followedKm;            // the followed body's (or catalogue body's) place when last followed
    int scaleAnchor = -1;           // the body the last switch of scale kept on screen
    // Flown at true scale: this share a second of the distance to the nearest surface.
    static constexpr double flightPerSecond = 0.5;
    static constexpr float recallSeconds = 1.0f;
};

// The side of a body a jump arrives on, a unit vector from its centre: for a
// body that follows the clock its sunlit side, the angle Sun-body-camera
// 45 degrees, turned towards the ecliptic's north; else the world's -Z side.
Ogre::Vector3 arrivalSide(const Body& body, const Ogre::Vector3& centre);

// Places the camera node 5 × Size from the body's position node on its
// arrival side, facing it. Leaves the camera alone, and returns false, when
// that place lies beyond the float range.
bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body);

// The sunlit side of whatever stands at `centre` (world units, the Sun at
// the origin), as arrivalSide gives it for a body that follows the clock.
Ogre::Vector3 sunlitSide(const Ogre::Vector3& centre);

// Places the camera node `distance` from `centre` on its sunlit side,
// facing it; false, the camera left alone, beyond the float range.
bool jumpCameraToPlace(Ogre::SceneNode* cameraNode, const Ogre::Vector3& centre, float distance);

#endif
