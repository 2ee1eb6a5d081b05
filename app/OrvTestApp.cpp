#include "app/OrvTestApp.h"

#include "app/Platform.h"
#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/FarSpheres.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "sim/SceneNames.h"
#include "sky/TimeScales.h"
#include "viewer/OrvTestFrameListener.h"
#include "viewer/UiScale.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreOverlayManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreMeshLodGenerator.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace
{
// The fonts are rendered for the scale between their declaration and their
// first use: text areas made on a font keep its texture.
class FontScaler : public Ogre::ResourceGroupListener
{
public:
    explicit FontScaler(float uiScale) : scale(uiScale) {}
    void scriptParseEnded(const Ogre::String& scriptName, bool) override
    {
        if (Ogre::StringUtil::endsWith(scriptName, ".fontdef"))
            scaleFonts(scale);
    }

private:
    float scale;
};
}

OrvTestApp::OrvTestApp() = default;

// The generator must go before the root; the base destructor deletes the root.
OrvTestApp::~OrvTestApp()
{
    if (fontScaler && Ogre::ResourceGroupManager::getSingletonPtr())
        Ogre::ResourceGroupManager::getSingleton().removeResourceGroupListener(fontScaler.get());
    forgetPendingLods();
    farSpheres.reset();
    lodGenerator.reset();
}

void OrvTestApp::makeCamera()
{
    camera = createStartCamera(sceneManager);
    cameraNode = camera->getParentSceneNode();
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
    scaleOverlay(Ogre::OverlayManager::getSingleton().getByName("Core/DebugOverlay"), uiScale);
    unsigned long windowId = 0;
    window->getCustomAttribute("WINDOW", &windowId);
    keyPlaces = std::make_unique<KeyPlaces>(*displayConnection, windowId);
    listener->readPlacesWith([this](InputSnapshot& snapshot) { keyPlaces->read(snapshot); });
    listener->orbitViewer().setUiScale(uiScale);
    frameListener = listener;
    if (tourJumps >= 0)
        listener->takeTour(tourJumps);
    if (startView)
        listener->orbitViewer().showView(*startView);
    if (trueScaleAsked)
        listener->orbitViewer().setTrueScale(true);
    if (askedFieldOfView > 0.0)
        listener->orbitViewer().setFieldOfView(askedFieldOfView);
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

void OrvTestApp::makeResourceListener()
{
    const float dotsPerInch = displayConnection->dotsPerInch();
    uiScale = chooseUiScale(askedUiScale, appSettings.UiScale, uiScaleForDensity(dotsPerInch));
    Ogre::LogManager::getSingleton().logMessage("OrvTest: text at scale " + Ogre::StringConverter::toString(uiScale) +
                                                " (the display says " +
                                                Ogre::StringConverter::toString(dotsPerInch) + " dpi)");
    fontScaler = std::make_unique<FontScaler>(uiScale);
    Ogre::ResourceGroupManager::getSingleton().addResourceGroupListener(fontScaler.get());
}

void OrvTestApp::buildScene()
{
    if (appSettings.MeshLod && !Ogre::MeshLodGenerator::getSingletonPtr())
        lodGenerator.reset(new Ogre::MeshLodGenerator());
    buildOrbitalScene(sceneManager, camera->getRealPosition(), dynamicalFromUtc(clockDays));
    farSpheres = std::make_unique<FarSpheres>(sceneManager, bodyRegistry);
}
