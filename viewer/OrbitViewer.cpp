#include "viewer/OrbitViewer.h"

#include "config/Dates.h"
#include "scene/BodyRig.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sim/WorldLimits.h"
#include "viewer/Film.h"
#include "viewer/Picking.h"
#include "viewer/Screenshot.h"
#include "viewer/StatusText.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <algorithm>

bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body)
{
    const Ogre::Vector3 target = bodyCentre(body);
    const Ogre::Vector3 eye = target + Ogre::Vector3(0.0f, 0.0f, -5.0f * body.definition.Size);
    // A body out at the end of the float range has no place for the camera.
    if (!isFinite(target) || !isFinite(eye))
        return false;
    cameraNode->setPosition(eye);
    if (eye != target)
        cameraNode->lookAt(target, Ogre::Node::TS_WORLD);
    return true;
}

OrbitViewer::OrbitViewer(Ogre::Camera* viewCamera, Ogre::SceneManager* scene, Ogre::RenderTarget* target,
                         Ogre::Overlay* statistics, std::string& status, float moveSpeed, float motionStepsPerSecond)
    : camera(viewCamera), cameraNode(viewCamera->getParentSceneNode()), sceneManager(scene), window(target),
      statusLine(status), decisions(moveSpeed), panels(scene, statistics), stepsPerSecond(motionStepsPerSecond)
{
    lookAtBodies();
}

void OrbitViewer::logLine(const std::string& text)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("OrvTest: " + text);
}

void OrbitViewer::startClock(double days, double speed)
{
    skyClock = Clock(days, speed);
    decisions.startClock(speed);
    placeDatedBodies(skyClock.dynamicalDays());
    showClock();
    logLine("the clock starts at " + dateText(skyClock.days()) + ", " + speedText(speed));
}

void OrbitViewer::lookAtBodies()
{
    clockInUse = std::any_of(bodyRegistry.begin(), bodyRegistry.end(),
                             [](const auto& body) { return body->followsClock(); });
    decisions.setClockInUse(clockInUse);
    panels.showClock(clockInUse);
    if (clockInUse)
        placeDatedBodies(skyClock.dynamicalDays());
}

void OrbitViewer::lookFromAbove()
{
    float widest = 0.0f;
    for (const auto& body : bodyRegistry)
        if (!body->parentBody)
        {
            const double eccentricity = body->keplerOrbit ? body->keplerOrbit->elements.eccentricity : 0.0;
            widest = std::max(widest, float(withinWorld(body->definition.OrbitRadius) * (1.0 + eccentricity)));
        }
    const Ogre::Radian halfView = camera->getFOVy() * 0.5f;
    const float height = std::max(widest, 1.0f) * 1.1f / Ogre::Math::Tan(halfView);
    cameraNode->setPosition(0.0f, std::min(height, maxWorldExtent), 0.0f);
    // Looking down -Y with the vernal equinox (+X) to the right.
    cameraNode->setOrientation(Ogre::Quaternion(Ogre::Degree(-90.0f), Ogre::Vector3::UNIT_X));
}

void OrbitViewer::showClock()
{
    panels.setClock(skyClock.dynamicalDays());
    if (clockInUse)
        panels.setClockText(dateText(skyClock.days()) + "  " + speedText(decisions.clockSpeed()) +
                            (decisions.paused() ? "  paused" : ""));
}

void OrbitViewer::say(const std::string& text)
{
    said = text;
    statusLine = fitStatusText(filming ? filmLine() + (text.empty() ? "" : "\n" + text) : text);
    // The log keeps what the status line said, but for what is being typed.
    if (!text.empty() && !decisions.promptOpen())
        logLine("status: " + text);
}

namespace
{
// A problem as the status line says it: the file without its folder, which
// the log gives in full.
std::string statusWhere(const Problem& problem)
{
    return baseNameOf(problem.file) + ":" + std::to_string(problem.line) + ": " + problem.message;
}
}

void OrbitViewer::watchFiles(const std::string& systemFile, const std::string& settingsFile)
{
    reloading.watch(systemFile, settingsFile);
}

void OrbitViewer::logProblems(const std::vector<Problem>& problems) const
{
    for (const Problem& p : problems)
        logLine(p.file + (p.line > 0 ? ":" + std::to_string(p.line) : "") + ": " +
                (p.section.empty() ? "" : "[" + p.section + "] ") + p.severityName() + ": " + p.message);
}

bool OrbitViewer::replaceBodies(BodyRegistry& bodies, std::string& why)
{
    const bool focusValid = decisions.hasFocus() && std::size_t(decisions.focusIndex()) < bodyRegistry.size();
    const std::string focusSection = focusValid ? bodyRegistry.at(std::size_t(decisions.focusIndex())).sectionName : "";
    panels.forgetBodies();
    destroyBodyRigs(bodyRegistry, sceneManager);
    bodyRegistry.swapBodies(bodies);
    bool built = true;
    try
    {
        rigBodies(bodyRegistry, sceneManager);
    }
    catch (const Ogre::Exception& error)
    {
        // The old bodies were built before: build them again.
        why = error.getDescription();
        destroyBodyRigs(bodyRegistry, sceneManager);
        bodyRegistry.swapBodies(bodies);
        rigBodies(bodyRegistry, sceneManager);
        built = false;
    }
    panels.takeBodies(bodyRegistry);
    lookAtBodies();
    // Near or far, before the next frame draws every near model.
    runDetailStep(camera->getRealPosition());
    if (focusValid)
    {
        const int focus = bodyRegistry.indexOf(focusSection);
        if (focus < 0 && decisions.following())
            following.stop();
        decisions.refocus(focus);
    }
    return built;
}

std::string OrbitViewer::takeSystem(const std::string& file, SystemVerdict& verdict)
{
    logProblems(verdict.problems);
    if (const Problem* error = firstError(verdict.problems))
        return statusWhere(*error) + " (not reloaded)";
    std::string why;
    if (!replaceBodies(*verdict.bodies, why))
    {
        logProblems({Problem{file, 0, "", "engine", why, Problem::Error}});
        return baseNameOf(file) + ": " + why + "; the bodies shown stay";
    }
    // The old scene and the parse that judged the new one: tens of MiB
    // between blocks that live on.
    reloading.owePages();
    return "";
}

std::string OrbitViewer::takeSettings(const std::string& file, const SettingsVerdict& verdict, bool& refused)
{
    logProblems(verdict.problems);
    refused = !verdict.sound();
    if (refused)
        return statusWhere(*firstError(verdict.problems)) + " (not reloaded)";
    bool lights = false;
    bool stars = false;
    for (const SettingsKey* key : verdict.atOnce)
    {
        copyField(*key, verdict.read, appSettings);
        lights = lights || std::string(key->section) == "Light";
        stars = stars || std::string(key->section) == "StarField";
    }
    if (lights)
        updateLights(sceneManager);
    if (stars)
        recreateStarField(sceneManager);
    decisions.setMoveSpeed(appSettings.MoveConstant);
    stepsPerSecond = appSettings.StepsPerSecond;

    std::string later;
    for (const SettingsKey* key : verdict.atNextStart)
        later += (later.empty() ? "" : ", ") + std::string(key->name);
    if (!later.empty())
        return later + (verdict.atNextStart.size() == 1 ? " takes" : " take") + " effect at the next start";
    return "Reloaded " + baseNameOf(file);
}

bool OrbitViewer::applyReloads(Reloading::Due& due)
{
    bool systemTaken = false;
    if (!due.system && !due.settings)
        return systemTaken;
    // A refusal comes first: it is what a person must act on.
    std::string refusals;
    std::string taken;
    const auto tell = [](std::string& to, const std::string& text) { to += (to.empty() ? "" : "\n") + text; };
    if (due.system)
    {
        if (!due.systemUnreadable.empty())
        {
            logProblems({Problem{due.systemFile, 0, "", "unreadable", due.systemUnreadable, Problem::Error}});
            tell(refusals, baseNameOf(due.systemFile) + ": " + due.systemUnreadable + "; the bodies shown stay");
        }
        else
        {
            const bool wasFollowing = decisions.following();
            const std::string why = takeSystem(due.systemFile, due.systemVerdict);
            systemTaken = why.empty();
            if (systemTaken)
                tell(taken, "Reloaded " + baseNameOf(due.systemFile) + ": " + std::to_string(bodyRegistry.size()) +
                                (bodyRegistry.size() == 1 ? " body" : " bodies") +
                                (wasFollowing && !decisions.following() ? "; the body followed is gone" : ""));
            else
                tell(refusals, why);
        }
    }
    if (due.settings)
    {
        if (!due.settingsUnreadable.empty())
        {
            logProblems({Problem{due.settingsFile, 0, "", "unreadable", due.settingsUnreadable, Problem::Error}});
            tell(refusals, baseNameOf(due.settingsFile) + ": " + due.settingsUnreadable + "; the settings stay");
        }
        else
        {
            bool refused = false;
            const std::string outcome = takeSettings(due.settingsFile, due.settingsVerdict, refused);
            tell(refused ? refusals : taken, outcome);
        }
    }
    say(refusals.empty() ? taken : refusals + (taken.empty() ? "" : "\n" + taken));
    logLine(refusals.empty() ? taken : refusals + "; " + taken);
    return systemTaken;
}

bool OrbitViewer::reloadSystemFrom(const std::string& file, const std::string& text)
{
    Reloading::Due due;
    due.system = true;
    due.systemFile = file;
    due.systemVerdict = judgeSystemText(file, text, meshExists);
    return applyReloads(due);
}

bool OrbitViewer::reloadSettingsFrom(const std::string& file, const std::string& text)
{
    Reloading::Due due;
    due.settings = true;
    due.settingsFile = file;
    due.settingsVerdict = judgeSettingsText(file, text, appSettings);
    applyReloads(due);
    return due.settingsVerdict.sound();
}

double OrbitViewer::frameSeconds(float dt) const
{
    // In film time a frame is exactly its share of a second, which a float is only nearly.
    return filmFramesPerSecond > 0.0 && dt > 0.0f ? 1.0 / filmFramesPerSecond : double(dt);
}

double OrbitViewer::motionUpdates(double seconds) const
{
    if (stepsPerSecond > 0.0f)
        return double(stepsPerSecond) * seconds;
    return filmFramesPerSecond > 0.0 ? filmStepsPerSecond * seconds : 1.0;
}

void OrbitViewer::runBodySteps(float dt)
{
    const double seconds = frameSeconds(dt);
    if (motionCountdown >= 0.0f)
        motionCountdown -= dt;
    if (motionCountdown < 0.0f)
    {
        motionCountdown = motionInterval;
        if (!decisions.paused())
        {
            // The turns are remade only when this changes: at a fixed rate,
            // once per key press; with stepsPerSecond, every frame.
            bodyRegistry.setStepMultiplier(motionUpdates(seconds) * decisions.timeRate());
            runMotionStep();
        }
    }
    if (clockInUse)
    {
        if (!decisions.paused())
        {
            skyClock.setSpeed(decisions.clockSpeed());
            skyClock.advance(seconds);
        }
        placeDatedBodies(skyClock.dynamicalDays());
    }
    if (detailCountdown >= 0.0f)
        detailCountdown -= dt;
    if (detailCountdown < 0.0f)
    {
        detailCountdown = detailInterval;
        runDetailStep(camera->getRealPosition());
    }
}

bool OrbitViewer::runFrame(const InputSnapshot& input)
{
    InputSnapshot timed = input;
    timed.dt = frameTime(input.dt);
    runBodySteps(timed.dt);
    return handleInput(timed);
}

void OrbitViewer::jumpTo(int index)
{
    const Body& body = bodyRegistry.at(std::size_t(index));
    say(jumpCameraToBody(cameraNode, body) ? body.definition.Name : body.definition.Name + " is out of reach");
}

void OrbitViewer::followFocus(const OrbitActions& actions)
{
    const bool jumped = actions.jumpTo >= 0 || actions.pick;
    if (!decisions.following())
    {
        following.stop();
        return;
    }
    const Body& body = bodyRegistry.at(std::size_t(decisions.focusIndex()));
    // A jump while following follows the new body from where the jump put the camera.
    if (actions.followChanged || jumped || !following.isActive())
        following.start(body);
    else if (!following.keepUp(cameraNode, body))
    {
        following.stop();
        decisions.stopFollowing();
        say("Stopped following " + body.definition.Name + ": out of reach");
    }
}

void OrbitViewer::flyCamera(const OrbitActions& actions)
{
    const Ogre::Vector3 step = cameraNode->getOrientation() * actions.translation;
    // Past the float range the camera would have no position at all.
    if (isFinite(cameraNode->getPosition() + step))
        cameraNode->translate(step, Ogre::Node::TS_WORLD);
    cameraNode->yaw(Ogre::Degree(actions.yawDegrees));
    cameraNode->pitch(Ogre::Degree(actions.pitchDegrees));
}

void OrbitViewer::pick()
{
    const Ogre::Viewport* viewport = camera->getViewport();
    const float pixels = viewport ? float(viewport->getActualHeight()) : 600.0f;
    const int index = bodyAtCentre(bodyRegistry, camera->getDerivedPosition(), camera->getDerivedDirection(),
                                   camera->getFOVy().valueRadians() / pixels);
    if (index < 0)
    {
        say("Nothing under the centre of the view");
        return;
    }
    decisions.focusOn(index);
    say("Picked " + bodyRegistry.at(std::size_t(index)).definition.Name);
}

void OrbitViewer::takeScreenshot()
{
    long number;
    std::string status;
    lastShotWasSaved = saveScreenshot(window, screenshotFolder, shotNumber + 1, number, status);
    shotNumber = int(number);
    ++shotsTried;
    say(status);
}

bool OrbitViewer::handleInput(const InputSnapshot& input)
{
    reloading.returnOwedPages();
    Reloading::Due due = reloading.poll(input.dt, meshExists, appSettings);
    applyReloads(due);

    const OrbitActions actions = decisions.decide(input, bodyRegistry);
    if (actions.quit)
        return false;
    if (actions.reload)
        reloading.requestNow();
    if (actions.statusChanged)
        say(actions.status);
    if (actions.dateSet)
    {
        skyClock.setDays(actions.date);
        placeDatedBodies(skyClock.dynamicalDays());
        logLine("the clock set to " + dateText(skyClock.days()));
    }
    if (actions.recallView >= 0)
        recallView(actions.recallView);
    if (actions.recordingToggled)
        toggleFilm();
    if (actions.jumpTo >= 0)
        jumpTo(actions.jumpTo);
    if (actions.pick)
        pick();
    followFocus(actions);
    flyCamera(actions);
    flyToView(actions, input.dt);
    // Kept as this frame shows it, the camera moved with the body it follows.
    if (actions.keepView)
        keepView(actions);
    if (actions.screenshot && window)
        takeScreenshot();
    if (actions.polygonModeChanged)
        camera->setPolygonMode(polygonModeAt(decisions.renderModeIndex()));
    panels.apply(actions, decisions, bodyRegistry);
    showClock();

    sceneManager->getSceneNode(sceneNames::starField)->setPosition(cameraNode->_getDerivedPosition());
    panels.update(bodyRegistry, *camera);
    if (decisions.infoShown() && decisions.hasFocus() && std::size_t(decisions.focusIndex()) < bodyRegistry.size())
        panels.showInfo(bodyFacts(bodyRegistry, bodyRegistry.at(std::size_t(decisions.focusIndex())),
                                  cameraNode->_getDerivedPosition(), skyClock.dynamicalDays()));
    else if (decisions.infoShown())
        panels.showInfo({{"No body chosen", ""}, {"jump, go to", "or pick one (C)"}});
    generatePendingLod();
    return true;
}
