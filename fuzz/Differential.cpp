#include "fuzz/Differential.h"

#include "config/AppSettings.h"
#include "config/ConfigFileReading.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "fuzz/HeadlessRoot.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sim/WorldLimits.h"
#include "viewer/NameLabels.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreMeshLodGenerator.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreShadowCameraSetup.h>

#include <chrono>
#include <memory>

const char* const systemSeparator = "----- system -----";

void splitFiles(const std::string& text, std::string& settings, std::string& system)
{
    const std::string line = std::string("\n") + systemSeparator + "\n";
    const std::size_t at = text.find(line);
    if (at == std::string::npos)
    {
        settings.clear();
        system = text;
        return;
    }
    settings = text.substr(0, at + 1);
    system = text.substr(at + line.size());
}

namespace
{
std::unique_ptr<HeadlessRoot> engine;
std::unique_ptr<Ogre::MeshLodGenerator> lodGenerator;

constexpr float frameSeconds = 1.0f / 20.0f;
// A frame this slow is a finding; the sanitizers' checks make every frame
// several times slower, and a Debug build slower still.
#if defined(__SANITIZE_ADDRESS__)
constexpr double slowFrameSeconds = 10.0;
#else
constexpr double slowFrameSeconds = 1.0;
#endif
// Frames between two presses of a key that waits for the action delay.
constexpr int framesPerPress = 5;
constexpr std::size_t mostJumps = 40;

// Kinds of finding whose message says the viewer stops with an engine error.
bool saysTheEngineStops(const Problem& problem)
{
    for (const char* kind : {"unknown-parent", "parent-order", "parent-cycle", "name-collision", "unknown-model"})
        if (problem.kind == kind)
            return true;
    return false;
}

class Run
{
public:
    Run(DifferentialRun& outcome, Ogre::SceneManager* scene) : result(outcome), sceneManager(scene)
    {
        camera = createStartCamera(sceneManager);
        cameraNode = camera->getParentSceneNode();
        camera->setAspectRatio(800.0f / 600.0f);
        // The engine's shadow cameras hang on nodes of their own, which the set-up moves.
        shadowCamera = sceneManager->createCamera("ShadowCamera");
        sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(shadowCamera);
    }

    // A Failure when the engine refuses to build the scene.
    Result<> build()
    {
        try
        {
            // The far spheres' batch is left out: its material needs the
            // render system's programs. It only reads the far nodes' places,
            // which the checks of every frame cover.
            buildOrbitalScene(sceneManager, camera->getRealPosition());
        }
        catch (const Ogre::Exception& error)
        {
            return Failure{error.getDescription()};
        }
        viewer = std::make_unique<OrbitViewer>(camera, sceneManager, nullptr, nullptr, status, appSettings.MoveConstant,
                                               appSettings.StepsPerSecond);
        return {};
    }

    ~Run()
    {
        viewer.reset();
    }

    void frame(const InputSnapshot& input = InputSnapshot())
    {
        InputSnapshot timed = input;
        if (timed.dt == 0.0f)
            timed.dt = frameSeconds;
        const auto start = std::chrono::steady_clock::now();
        viewer->runFrame(timed);
        drawFrame();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.slowestFrameSeconds = std::max(result.slowestFrameSeconds, seconds);
        if (seconds > slowFrameSeconds)
            find("a frame took " + std::to_string(seconds) + " s");
        ++result.frames;
    }

    void press(OIS::KeyCode key, int frames = framesPerPress)
    {
        InputSnapshot input;
        input.addPress(KeyPress{key, 0, false});
        input.keysDown.set(key);
        frame(input);
        for (int n = 1; n < frames; ++n)
            frame();
    }

    void click(OIS::MouseButtonID button)
    {
        InputSnapshot input;
        input.buttonsDown = 1u << button;
        input.buttonsPressed = 1u << button;
        frame(input);
        for (int n = 1; n < framesPerPress; ++n)
            frame();
    }

    void hold(OIS::KeyCode key, int frames)
    {
        InputSnapshot input;
        input.keysDown.set(key);
        for (int n = 0; n < frames; ++n)
            frame(input);
    }

    void look(int dx, int dy)
    {
        InputSnapshot input;
        input.mouseX = dx;
        input.mouseY = dy;
        frame(input);
    }

    // What the viewer does in a session with these files.
    void session(const std::string& settingsText, const std::string& systemText, bool systemSound)
    {
        for (int n = 0; n < 30; ++n)
            frame();
        for (int n = 0; n < 10; ++n)
            press(OIS::KC_RBRACKET);          // up to 1024
        press(OIS::KC_J);                     // backwards
        press(OIS::KC_O);                     // orbit lines
        press(OIS::KC_N);                     // labels
        for (int n = 0; n < 16; ++n)
            press(OIS::KC_LBRACKET);          // down to 1/64
        press(OIS::KC_BACK);
        hold(OIS::KC_W, 20);
        look(300, -200);
        press(OIS::KC_R);
        const std::size_t jumps = std::min(bodyRegistry.size(), mostJumps);
        for (std::size_t n = 0; n < jumps; ++n)
            click(OIS::MB_Left);
        if (jumps > 0)
            press(OIS::KC_L);                 // follow the last
        for (int n = 0; n < 30; ++n)
            frame();

        // Read again, as F5 or a save would have it.
        if (!viewer->reloadSettingsFrom("OrvTest.cfg", settingsText))
            find("the settings were not taken again: " + status);
        const bool systemTaken = viewer->reloadSystemFrom("1.cfg", systemText);
        if (systemSound && !systemTaken)
            find("the system was not taken again: " + status);
        for (int n = 0; n < 30; ++n)
            frame();
        click(OIS::MB_Right);
    }

private:
    void find(const std::string& what)
    {
        result.findings.push_back(what);
    }

    // The engine's work for a frame that needs no render system: the scene
    // tree's transforms and bounds, the camera's frustum, the shadow camera's,
    // the labels' projections.
    void drawFrame()
    {
        sceneManager->_updateSceneGraph(camera);
        const Ogre::AxisAlignedBox unit(-1, -1, -1, 1, 1, 1);
        camera->isVisible(unit);
        if (appSettings.ShadowTechnique & Ogre::SHADOWDETAILTYPE_TEXTURE)
        {
            shadowSetup.getShadowCamera(sceneManager, camera, nullptr, sceneManager->getLight(sceneNames::sunLight),
                                        shadowCamera, 0);
            shadowCamera->isVisible(unit);
        }
        // Names are placed from each body's chain of parents: now and then will do.
        if (result.frames % 10 == 0)
        {
            // Names as wide as ten characters of the overlay's font.
            nameWidths.resize(bodyRegistry.size(), 80.0f);
            labels.placeLabels(bodyRegistry, *camera, LabelView(), nameWidths, NameLabels::most);
        }

        if (!isFinite(cameraNode->_getDerivedPosition()))
            find("the camera lost its place");
        if (!isFinite(sceneManager->getSceneNode(sceneNames::starField)->_getDerivedPosition()))
            find("the stars lost their place");
        // The orbit nodes are in the scene tree, which the engine has just
        // brought up to date: their places are read, not worked out again.
        for (const auto& body : bodyRegistry)
            if (!isFinite(body->orbitNode->_getDerivedPosition()) || !isFinite(body->positionNode->getPosition()))
                find("[" + body->sectionName + "] lost its place");
    }

    DifferentialRun& result;
    Ogre::SceneManager* sceneManager;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
    Ogre::Camera* shadowCamera = nullptr;
    Ogre::DefaultShadowCameraSetup shadowSetup;
    std::unique_ptr<OrbitViewer> viewer;
    std::string status;
    LabelLayout labels;
    std::vector<float> nameWidths;
};
}

DifferentialRun runDifferential(const std::string& settingsText, const std::string& systemText,
                                const std::string& dataFolder, const std::string& pluginFolder)
{
    if (!engine)
        engine = std::make_unique<HeadlessRoot>(dataFolder, pluginFolder, "/dev/null");
    DifferentialRun result;
    appSettings = AppSettings();
    bodyRegistry.clear();
    bodyRegistry.setStepMultiplier(1.0);

    // The viewer reads neither file when it is no UTF-8 text; the engine's
    // reader would take such text apart other than the checker does.
    if (!checkConfigText("OrvTest.cfg", settingsText) || !checkConfigText("1.cfg", systemText))
    {
        result.refused = true;
        return result;
    }
    const SettingsVerdict settings = judgeSettingsText("OrvTest.cfg", settingsText, AppSettings());
    SystemVerdict system = judgeSystemText("1.cfg", systemText, meshExists);
    if (firstRefusedAtStart(settings.problems) || firstRefusedAtStart(system.problems))
    {
        result.refused = true;
        return result;
    }
    bool stopClaimed = false;
    for (const Problem& problem : system.problems)
        stopClaimed = stopClaimed || saysTheEngineStops(problem);

    appSettings = settings.read;
    // Stencil shadows ask the render system, which a headless engine has not.
    if (appSettings.ShadowTechnique & Ogre::SHADOWDETAILTYPE_STENCIL)
        appSettings.ShadowTechnique = Ogre::SHADOWTYPE_NONE;
    if (appSettings.MeshLod && !lodGenerator)
        lodGenerator = std::make_unique<Ogre::MeshLodGenerator>();
    bodyRegistry.swapBodies(*system.bodies);
    Ogre::SceneManager* sceneManager = engine->createSceneManager();
    {
        Run run(result, sceneManager);
        const Result<> built = run.build();
        result.stopped = !built;
        result.engineError = built.why();
        if (result.stopped != stopClaimed)
            result.findings.push_back(stopClaimed ? "the checker says the viewer stops, and it builds the scene"
                                                  : "the engine refused to build what the checker calls "
                                                    "buildable: " + built.why());
        if (!result.stopped)
            run.session(settingsText, systemText, system.sound());
    }
    forgetPendingLods();
    bodyRegistry.clear();
    engine->destroySceneManager(sceneManager);
    return result;
}
