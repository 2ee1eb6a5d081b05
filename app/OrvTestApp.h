#ifndef ORVTEST_APP_ORVTESTAPP_H
#define ORVTEST_APP_ORVTESTAPP_H

#include "app/ExampleApplication.h"
#include "config/Views.h"
#include "viewer/Film.h"
#include "viewer/OrvTestFrameListener.h"

#include <memory>

namespace Ogre
{
class MeshLodGenerator;
}
class FarSpheres;
class KeyPlaces;
namespace Ogre
{
class ResourceGroupListener;
}

// The orbit viewer: its own camera, its own frame listener and the orbital scene.
class OrvTestApp : public ExampleApplication
{
public:
    OrvTestApp();
    ~OrvTestApp() override;

    // Where the run's files are, and what the log says first; before run().
    void useFiles(const EngineFiles& engine, const ViewerFiles& viewer, const std::vector<std::string>& logLines);
    // Takes the tour of `jumps` bodies instead of waiting for a person, and
    // without the dialog; before run().
    void takeTour(int jumps);
    // After run(): whether the tour went to its end with every picture saved.
    bool tourCompleted() const;
    // Where the clock starts, days from J2000; before run().
    void startClockAt(double days) { clockDays = days; }
    // The scale of everything written on screen the command line asks for;
    // 0 for the settings' UiScale, or the display's. Before run().
    void askUiScale(float scale) { askedUiScale = scale; }
    // The camera's vertical field of view to start with, degrees; 0 for the
    // start view's or a kept view's own. Before run().
    void askFieldOfView(double degrees) { askedFieldOfView = degrees; }
    // Opens a window of this size (0 × 0: the screen's), or fills the
    // screen, without the dialog; before run().
    void chooseWindow(int width, int height, bool fullscreen)
    {
        chosenWidth = width;
        chosenHeight = height;
        chosenFullscreen = fullscreen;
        windowChosen = true;
    }

    // Starts at true scale; before run().
    void askTrueScale(bool on) { trueScaleAsked = on; }
    // Starts at a kept view instead of the start view; before run().
    void startAtView(const SavedView& view) { startView = std::make_unique<SavedView>(view); }
    // Records the film instead of waiting for a person, in a small hidden
    // window of its own, without the dialog; before run().
    void recordFilm(const FilmOrder& order);
    // After run(): whether the film's every frame was written.
    bool filmCompleted() const { return filmDone; }

protected:
    // Camera "Camera" at (0, 0, -14500) looking along +Z, near clip from the settings.
    void makeCamera() override;
    // An OrvTestFrameListener on the window, camera and scene manager.
    void makeFrameListener() override;
    // Notes how far the tour went.
    void tearDownScene() override;
    // Lighting, sun, sphere meshes, light, every body's rig, star field.
    void buildScene() override;
    // Decides the scale of what is written on screen.
    void makeResourceListener() override;

private:
    ViewerFiles viewerFiles;
    int tourJumps = -1;   // no tour
    double clockDays = 0.0;
    float askedUiScale = 0.0f;
    double askedFieldOfView = 0.0;
    float uiScale = 1.0f;
    // Renders the fonts for the scale as soon as they are declared.
    std::unique_ptr<Ogre::ResourceGroupListener> fontScaler;
    // Where the flight keys are on the keyboard.
    std::unique_ptr<KeyPlaces> keyPlaces;
    bool tourDone = false;
    std::unique_ptr<SavedView> startView;
    bool trueScaleAsked = false;
    std::unique_ptr<FilmOrder> filmOrder;
    bool filmDone = false;
    // Exists only while near meshes get levels of detail (MeshLod).
    std::unique_ptr<Ogre::MeshLodGenerator> lodGenerator;
    // Every far sphere, in one draw call.
    std::unique_ptr<FarSpheres> farSpheres;
};

#endif
