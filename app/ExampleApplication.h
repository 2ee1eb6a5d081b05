#ifndef ORVTEST_APP_EXAMPLEAPPLICATION_H
#define ORVTEST_APP_EXAMPLEAPPLICATION_H

#include <OgrePrerequisites.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class OverlaySystem;
}
class ExampleFrameListener;
class DisplayConnection;

// The engine's own files.
struct EngineFiles
{
    std::string plugins = "plugins.cfg";
    std::string resources = "resources.cfg";   // its relative locations are from its own folder
    std::string renderSettings = "ogre.cfg";    // the dialog's choices
    std::string log = "Ogre.log";               // empty for no log file
};

// Brings the engine up in a fixed order of small overridable steps, runs the
// rendering loop and shuts the engine down. Owns the engine root and the
// frame listener; everything else it points to belongs to the engine.
class ExampleApplication
{
public:
    ExampleApplication();
    // Deletes the frame listener, then the root (window and scene go with it).
    virtual ~ExampleApplication();
    ExampleApplication(const ExampleApplication&) = delete;
    ExampleApplication& operator=(const ExampleApplication&) = delete;

    // Sets up, renders until a listener stops the loop or the window closes,
    // then tears down. Returns early when the configuration dialog is cancelled.
    virtual void run();

    // Gives the keyboard and pointer back to the desktop (the frame listener's
    // input library holds both), so that an error box can be dismissed.
    void releaseInput();

protected:
    // The whole set-up in order; false when the user cancels the dialog.
    virtual bool setUpEngine();
    // Shows the engine's configuration dialog (unless showDialog is off) and
    // opens the window; false on cancel.
    virtual bool openRenderWindow();
    // The dialog; false on cancel. Choices that cannot be saved still hold.
    bool chooseRenderSettings();
    // Creates the generic scene manager "ExampleSMInstance".
    virtual void makeSceneManager();
    // Creates and places the camera; runs after the scene manager exists.
    virtual void makeCamera();
    // Creates, keeps and registers the frame listener; runs last, after the scene.
    virtual void makeFrameListener();
    // Fills the scene; runs after the resources are initialised.
    virtual void buildScene() = 0;
    // Runs after the rendering loop has returned.
    virtual void tearDownScene();
    // One full-window viewport on the camera, black background; the camera
    // keeps the viewport's proportions when the window is resized.
    virtual void makeViewports();
    // Declares every location of "resources.cfg" in the group named by its section.
    virtual void declareResourceLocations();
    // Hook for a resource loading listener; runs before the groups are initialised.
    virtual void makeResourceListener();
    virtual void loadResourceGroups();

    // The engine's loop, with the window messages pumped before every frame
    // (the engine does not pump them), so that resizes and a close request are
    // seen; ends when the window has closed, and on SIGINT or SIGTERM.
    void renderUntilClosed();

    Ogre::Root* root = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    ExampleFrameListener* frameListener = nullptr;
    Ogre::RenderWindow* window = nullptr;
    EngineFiles engineFiles;
    // Without the dialog, the saved render settings (or the render system's
    // defaults) open the window.
    bool showDialog = true;
    // A window chosen on the command line, without the dialog: its size (0 ×
    // 0 for the whole screen's, full screen), whether it fills the screen.
    int chosenWidth = 0;
    int chosenHeight = 0;
    bool chosenFullscreen = false;
    bool windowChosen = false;
    // The chosen window is not shown: the engine draws off-screen only.
    bool hiddenWindow = false;
    // Written to the log before the engine writes anything.
    std::vector<std::string> firstLogLines;
    // Overlays are a component of their own in this engine; it must exist
    // before the resources are initialised. Owned.
    Ogre::OverlaySystem* overlaySystem = nullptr;
    // Made before the root so that the log stays out of the terminal. Owned.
    Ogre::LogManager* logManager = nullptr;
    // The camera hangs on this node, which is what moves and turns.
    Ogre::SceneNode* cameraNode = nullptr;
    // Held from the display check until the engine is gone. Owned.
    std::unique_ptr<DisplayConnection> displayConnection;
};

#endif
