#ifndef ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H
#define ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H

#include "viewer/ExampleFrameListener.h"
#include "viewer/Film.h"
#include "viewer/OrbitViewer.h"
#include "viewer/Tour.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The files a run started from, which the viewer watches, and where its
// screenshots go.
struct ViewerFiles
{
    std::string systemFile;         // empty for the settings' StaticSystem
    std::string settingsFile = "OrvTest.cfg";
    std::string screenshotFolder;   // "" for the working folder, else ending in '/'
    std::string viewsFile;          // the kept views; empty for none
    std::vector<std::string> catalogueFiles;   // as found: the command line's, or the settings' Files
    bool cataloguesFromSettings = true;        // so that the settings read again may name others
    std::function<std::string(const std::string&)> findFile;   // a name found as the system file is
};

// The orbit viewer's frame listener: every frame it moves the bodies and
// switches their detail, reads the devices once and hands what they said to
// the OrbitViewer, which decides and applies the frame's controls (the table
// of controls is orbitControls, in Controls.h). Escape or a closed window
// ends the loop, as does the end of a tour or of a film.
class OrvTestFrameListener : public ExampleFrameListener
{
public:
    OrvTestFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera, Ogre::SceneManager* sceneManager,
                         const ViewerFiles& files = ViewerFiles(), bool grabInput = true);

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    // Keeps a film's frame, and ends the loop after the film's last.
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    OrbitViewer& orbitViewer() { return viewer; }

    // Takes the tour from the next frame on, adding its presses to the devices'.
    void takeTour(int jumps);
    // Null when no tour was taken.
    const Tour* tour() const { return touring.get(); }

    // Records the film from the first frame on instead of waiting for a
    // person, printing its progress; the loop ends after its last frame, or
    // when one cannot be written. Throws Ogre::Exception when the engine
    // cannot draw it.
    void recordFilm(const FilmOrder& order);
    // Whether every frame of the film was written.
    bool filmCompleted() const { return filmDone; }

protected:
    OrbitViewer viewer;

private:
    bool runFilmFrame();
    void reportFilm(bool ended);

    std::unique_ptr<Tour> touring;
    std::unique_ptr<FilmOrder> filmOrder;
    std::unique_ptr<FilmPath> filmPath;     // through the film's views, when it has two or more
    long filmFrame = 0;                     // frames written
    bool filmDone = false;
    double filmStarted = 0.0;               // seconds, steady clock
    bool waitingForCatalogues = false;      // this frame: a film or tour waits for the catalogues
    double lastReport = 0.0;
};

#endif
