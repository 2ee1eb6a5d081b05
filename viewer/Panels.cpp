#include "viewer/Panels.h"

#include "viewer/HelpOverlay.h"
#include "viewer/OrbitControls.h"

#include <OgreCamera.h>
#include <OgreOverlay.h>
#include <OgreViewport.h>

namespace
{
void show(Ogre::Overlay* overlay, bool shown)
{
    if (!overlay)
        return;
    if (shown)
        overlay->show();
    else
        overlay->hide();
}
}

Panels::Panels(Ogre::SceneManager* sceneManager, Ogre::Overlay* statisticsOverlay)
    : statistics(statisticsOverlay), help(createHelpOverlay()), orbitLines(sceneManager)
{
}

void Panels::apply(const OrbitActions& actions, const OrbitControls& controls, const BodyRegistry& bodies)
{
    if (actions.statisticsChanged)
        show(statistics, controls.statisticsShown());
    if (actions.helpChanged)
        show(help, controls.helpShown());
    if (actions.orbitLinesChanged)
    {
        linesWanted = controls.orbitLinesShown();
        // Made the first time they are shown: a large system starts faster without them.
        if (linesWanted && !orbitLines.exists())
            orbitLines.create(bodies);
        orbitLines.setVisible(linesWanted);
    }
    if (actions.labelsChanged)
        labels.setVisible(controls.labelsShown());
}

void Panels::forgetBodies()
{
    orbitLines.destroy();
}

void Panels::takeBodies(const BodyRegistry& bodies)
{
    labels.forgetBodies();
    if (linesWanted)
        orbitLines.create(bodies);
}

void Panels::update(const BodyRegistry& bodies, const Ogre::Camera& camera)
{
    if (const Ogre::Viewport* viewport = camera.getViewport())
        labels.update(bodies, camera, float(viewport->getActualWidth()), float(viewport->getActualHeight()));
}
