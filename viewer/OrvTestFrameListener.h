#ifndef ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H
#define ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H

#include "viewer/ExampleFrameListener.h"
#include "viewer/OrbitViewer.h"
#include "viewer/Tour.h"

#include <memory>
#include <string>

// The files a run started from, which the viewer watches, and where its
// screenshots go.
struct ViewerFiles
{
    std::string systemFile;         // empty for the settings' StaticSystem
    std::string settingsFile = "OrvTest.cfg";
    std::string screenshotFolder;   // "" for the working folder, else ending in '/'
};

// The orbit viewer's frame listener: every frame it moves the bodies and
// switches their detail, reads the devices once and hands what they said to
// the OrbitViewer, which decides and applies the frame's controls (the table
// of controls is orbitControls, in Controls.h). Escape or a closed window
// ends the loop, as does the end of a tour.
class OrvTestFrameListener : public ExampleFrameListener
{
public:
    OrvTestFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera, Ogre::SceneManager* sceneManager,
                         const ViewerFiles& files = ViewerFiles());

    bool frameStarted(const Ogre::FrameEvent& evt) override;

    OrbitViewer& orbitViewer() { return viewer; }

    // Takes the tour from the next frame on, adding its presses to the devices'.
    void takeTour(int jumps);
    // Null when no tour was taken.
    const Tour* tour() const { return touring.get(); }

protected:
    OrbitViewer viewer;

private:
    std::unique_ptr<Tour> touring;
};

#endif
