#include "app/OrvTestApp.h"

#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/FarSpheres.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "sim/SceneNames.h"
#include "viewer/OrvTestFrameListener.h"

#include <OgreCamera.h>
#include <OgreMeshLodGenerator.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

OrvTestApp::OrvTestApp() = default;

// The generator must go before the root; the base destructor deletes the root.
OrvTestApp::~OrvTestApp()
{
    forgetPendingLods();
    farSpheres.reset();
    lodGenerator.reset();
}

void OrvTestApp::makeCamera()
{
    camera = sceneManager->createCamera(sceneNames::camera);
    cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode(sceneNames::camera);
    cameraNode->setFixedYawAxis(true);
    cameraNode->attachObject(camera);
    cameraNode->setPosition(0, 0, -14500);
    cameraNode->lookAt(Ogre::Vector3(0, 0, -5000), Ogre::Node::TS_WORLD);
    camera->setNearClipDistance(appSettings.NearClipDistance);
}

void OrvTestApp::useFiles(const EngineFiles& engine, const ViewerFiles& viewer,
                          const std::vector<std::string>& logLines)
{
    engineFiles = engine;
    viewerFiles = viewer;
    firstLogLines = logLines;
}

void OrvTestApp::takeTour(int jumps)
{
    tourJumps = jumps;
    showDialog = false;
}

void OrvTestApp::recordFilm(const FilmOrder& order)
{
    filmOrder = std::make_unique<FilmOrder>(order);
    // The render system needs a window for its context; the film is drawn off-screen.
    chooseWindow(160, 120, false);
    hiddenWindow = true;
}

bool OrvTestApp::tourCompleted() const
{
    return tourDone;
}

void OrvTestApp::makeFrameListener()
{
    // A film is no one's session: the keyboard and pointer stay the desktop's.
    auto* listener = new OrvTestFrameListener(window, camera, sceneManager, viewerFiles, !filmOrder);
    listener->orbitViewer().startClock(clockDays, appSettings.Speed);
    frameListener = listener;
    if (tourJumps >= 0)
        listener->takeTour(tourJumps);
    if (startView)
        listener->orbitViewer().showView(*startView);
    if (filmOrder)
    {
        window->setAutoUpdated(false);
        listener->recordFilm(*filmOrder);
    }
    root->addFrameListener(frameListener);
}

void OrvTestApp::tearDownScene()
{
    const Tour* tour = frameListener ? static_cast<OrvTestFrameListener*>(frameListener)->tour() : nullptr;
    tourDone = tour && tour->completed();
    filmDone = frameListener && static_cast<OrvTestFrameListener*>(frameListener)->filmCompleted();
}

void OrvTestApp::buildScene()
{
    if (appSettings.MeshLod && !Ogre::MeshLodGenerator::getSingletonPtr())
        lodGenerator.reset(new Ogre::MeshLodGenerator());
    buildOrbitalScene(sceneManager, camera->getRealPosition(), clockDays);
    farSpheres = std::make_unique<FarSpheres>(sceneManager, bodyRegistry);
}
