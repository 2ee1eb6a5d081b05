#ifndef ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H
#define ORVTEST_VIEWER_ORVTESTFRAMELISTENER_H

#include "viewer/ExampleFrameListener.h"
#include "viewer/OrbitViewer.h"

// The orbit viewer's frame listener: every frame it moves the bodies and
// switches their detail, reads the devices once and hands what they said to
// the OrbitViewer, which decides and applies the frame's controls (the table
// of controls is orbitControls, in Controls.h). Escape or a closed window
// ends the loop.
class OrvTestFrameListener : public ExampleFrameListener
{
public:
    OrvTestFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera,
                         Ogre::SceneManager* sceneManager);

    bool frameStarted(const Ogre::FrameEvent& evt) override;

    OrbitViewer& orbitViewer() { return viewer; }

protected:
    OrbitViewer viewer;
};

#endif
