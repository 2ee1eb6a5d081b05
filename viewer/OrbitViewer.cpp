#include "viewer/OrbitViewer.h"

#include "scene/BodyRig.h"
#include "scene/SceneNames.h"
#include "scene/SunAndStars.h"
#include "viewer/FreedPages.h"
#include "viewer/HelpOverlay.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreOverlay.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <cmath>

namespace
{
// Breaks a long status text into lines that fit the status panel.
std::string wrapped(const std::string& text, std::size_t width = 56)
{
    std::string out;
    std::size_t lineStart = 0;
    std::size_t lastBlank = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        out += text[i];
        if (text[i] == ' ')
            lastBlank = out.size() - 1;
        if (out.size() - lineStart > width && lastBlank != std::string::npos && lastBlank > lineStart)
        {
            out[lastBlank] = '\n';
            lineStart = lastBlank + 1;
            lastBlank = std::string::npos;
        }
    }
    return out;
}

bool isFinite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
}

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
                         Ogre::Overlay* overlay, std::string& status, float moveSpeed, float motionStepsPerSecond)
    : controls(moveSpeed), stepsPerSecond(motionStepsPerSecond), camera(viewCamera),
      cameraNode(viewCamera->getParentSceneNode()), sceneManager(scene), window(target), debugOverlay(overlay),
      helpOverlay(createHelpOverlay()), statusLine(status), orbitLines(scene)
{
}

void OrbitViewer::watchFiles(const std::string& systemFile, const std::string& settingsFile)
{
    systemWatch = FileWatch(systemFile);
    settingsWatch = FileWatch(settingsFile);
}

void OrbitViewer::logProblems(const std::vector<Problem>& problems) const
{
    Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr();
    for (const Problem& p : problems)
        if (log)
            log->logMessage("OrvTest: " + p.file + (p.line > 0 ? ":" + std::to_string(p.line) : "") + ": " +
                            (p.section.empty() ? "" : "[" + p.section + "] ") + p.severityName() + ": " + p.message);
}

bool OrbitViewer::replaceBodies(BodyRegistry& bodies, std::string& why)
{
    const bool focusValid = std::size_t(controls.focusIndex) < bodyRegistry.size();
    const std::string focusSection = focusValid ? bodyRegistry.at(std::size_t(controls.focusIndex)).sectionName : "";
    const bool linesMade = orbitLines.exists();
    orbitLines.destroy();
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
    labels.forgetBodies();
    if (linesMade)
        orbitLines.create(bodyRegistry);
    // Near or far, before the next frame draws every near model.
    runDetailStep(camera->getRealPosition());
    const int focus = bodyRegistry.indexOf(focusSection);
    controls.focusIndex = focus < 0 ? 0 : focus;
    controls.hasFocus = controls.hasFocus && focus >= 0;
    return built;
}

void OrbitViewer::reloadSystem()
{
    std::string text;
    std::string unreadable;
    if (!systemWatch.take(text, unreadable))
        return;
    const std::string& file = systemWatch.path();
    if (!unreadable.empty())
    {
        statusLine = wrapped(file + ": " + unreadable + "; the bodies shown stay");
        logProblems({Problem{file, 0, "", "unreadable", unreadable, Problem::Error}});
        return;
    }
    reloadSystemFrom(file, text);
}

bool OrbitViewer::reloadSystemFrom(const std::string& file, const std::string& text)
{
    bool replaced = false;
    {
        SystemVerdict verdict = judgeSystemText(file, text, [](const std::string& mesh) {
            return Ogre::MeshManager::getSingleton().resourceExists(mesh) ||
                   Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(mesh);
        });
        logProblems(verdict.problems);
        std::string why;
        if (const Problem* error = verdict.firstError())
            statusLine = wrapped(error->where() + " (not reloaded)");
        else if (!replaceBodies(*verdict.bodies, why))
        {
            statusLine = wrapped(file + ": " + why + "; the bodies shown stay");
            logProblems({Problem{file, 0, "", "engine", why, Problem::Error}});
        }
        else
        {
            statusLine = "Reloaded " + file + ": " + std::to_string(bodyRegistry.size()) +
                         (bodyRegistry.size() == 1 ? " body" : " bodies");
            replaced = true;
        }
    }
    // The old scene and the parse that judged the new one: tens of MiB
    // between blocks that live on (each reload of the belt grew the process
    // by about 1.4 MiB before). Returned at the next frame, after the new
    // scene has been drawn: for the belt that takes a fifth of a reload.
    pagesOwed = true;
    return replaced;
}

void OrbitViewer::reloadSettings()
{
    std::string text;
    std::string unreadable;
    if (!settingsWatch.take(text, unreadable))
        return;
    const std::string& file = settingsWatch.path();
    if (!unreadable.empty())
    {
        statusLine = wrapped(file + ": " + unreadable + "; the settings stay");
        logProblems({Problem{file, 0, "", "unreadable", unreadable, Problem::Error}});
        return;
    }
    const SettingsVerdict verdict = judgeSettingsText(file, text, appSettings);
    logProblems(verdict.problems);
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
    controls.moveSpeed = appSettings.MoveConstant;
    stepsPerSecond = appSettings.StepsPerSecond;

    std::string later;
    for (const SettingsKey* key : verdict.atNextStart)
        later += (later.empty() ? "" : ", ") + std::string(key->name);
    if (!later.empty())
        statusLine = wrapped(later + (verdict.atNextStart.size() == 1 ? " takes" : " take") + " effect at the next start");
    else
        statusLine = "Reloaded " + file;
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("OrvTest: " + statusLine);
}

void OrbitViewer::runBodySteps(float dt)
{
    if (motionCountdown >= 0.0f)
        motionCountdown -= dt;
    if (motionCountdown < 0.0f)
    {
        motionCountdown = motionInterval;
        if (!controls.paused)
        {
            const double updates = stepsPerSecond > 0.0f ? double(stepsPerSecond) * dt : 1.0;
            // The turns are remade only when this changes: at a fixed rate,
            // once per key press; with stepsPerSecond, every frame.
            bodyRegistry.setStepMultiplier(updates * controls.timeRate());
            runMotionStep();
        }
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
    runBodySteps(input.dt);
    return handleInput(input);
}

void OrbitViewer::jumpTo(int index)
{
    const Body& body = bodyRegistry.at(std::size_t(index));
    statusLine = jumpCameraToBody(cameraNode, body) ? body.definition.Name : body.definition.Name + " is out of reach";
}

void OrbitViewer::startFollowing()
{
    const Body& body = bodyRegistry.at(std::size_t(controls.focusIndex));
    followedSection = body.sectionName;
    followedPosition = bodyCentre(body);
}

void OrbitViewer::stopFollowing(const std::string& why)
{
    controls.following = false;
    followedSection.clear();
    statusLine = why;
}

void OrbitViewer::followBody()
{
    // The index is checked, not trusted: the bodies may have been replaced.
    int index = controls.focusIndex;
    if (std::size_t(index) >= bodyRegistry.size() || bodyRegistry.at(std::size_t(index)).sectionName != followedSection)
        index = bodyRegistry.indexOf(followedSection);
    if (index < 0)
    {
        stopFollowing("Stopped following: " + followedSection + " is gone");
        return;
    }
    controls.focusIndex = index;
    const Body& body = bodyRegistry.at(std::size_t(index));
    const Ogre::Vector3 position = bodyCentre(body);
    const Ogre::Vector3 eye = cameraNode->getPosition() + (position - followedPosition);
    if (!isFinite(position) || !isFinite(eye))
    {
        stopFollowing("Stopped following " + body.definition.Name + ": out of reach");
        return;
    }
    cameraNode->setPosition(eye);
    followedPosition = position;
}

void OrbitViewer::returnOwedPages()
{
    if (!pagesOwed)
        return;
    returnFreedPages();
    pagesOwed = false;
}

bool OrbitViewer::handleInput(const InputSnapshot& input)
{
    returnOwedPages();
    if (systemWatch.poll(input.dt))
        reloadSystem();
    if (settingsWatch.poll(input.dt))
        reloadSettings();

    const OrbitActions actions = controls.decide(input, bodyRegistry);
    if (actions.quit)
        return false;
    if (actions.reload)
    {
        systemWatch.request();
        settingsWatch.request();
    }

    if (actions.statusChanged)
        statusLine = actions.status;
    if (actions.jumpTo >= 0)
        jumpTo(actions.jumpTo);
    // A jump while following follows the new body from where the jump put the camera.
    if (controls.following && (actions.followChanged || actions.jumpTo >= 0))
        startFollowing();
    else if (controls.following)
        followBody();
    else if (actions.followChanged)
        followedSection.clear();

    const Ogre::Vector3 step = cameraNode->getOrientation() * actions.translation;
    // Past the float range the camera would have no position at all.
    if (isFinite(cameraNode->getPosition() + step))
        cameraNode->translate(step, Ogre::Node::TS_WORLD);
    cameraNode->yaw(Ogre::Degree(actions.yawDegrees));
    cameraNode->pitch(Ogre::Degree(actions.pitchDegrees));

    if (actions.screenshot && window)
    {
        long number;
        lastShotSaved = saveScreenshot(window, screenshotFolder, shotCount + 1, number, statusLine);
        shotCount = int(number);
        ++shotsTaken;
    }
    if (actions.polygonModeChanged)
        camera->setPolygonMode(polygonModeAt(controls.renderModeIndex));
    if (actions.helpChanged && helpOverlay)
    {
        if (controls.helpShown)
            helpOverlay->show();
        else
            helpOverlay->hide();
    }
    if (actions.orbitLinesChanged)
    {
        // Made the first time they are shown: a large system starts faster without them.
        if (controls.orbitLinesShown && !orbitLines.exists())
            orbitLines.create(bodyRegistry);
        orbitLines.setVisible(controls.orbitLinesShown);
    }
    if (actions.labelsChanged)
        labels.setVisible(controls.labelsShown);
    if (actions.statisticsChanged && debugOverlay)
    {
        if (controls.statsShown)
            debugOverlay->show();
        else
            debugOverlay->hide();
    }

    sceneManager->getSceneNode(sceneNames::starField)->setPosition(cameraNode->_getDerivedPosition());
    if (const Ogre::Viewport* viewport = camera->getViewport())
        labels.update(bodyRegistry, *camera, float(viewport->getActualWidth()), float(viewport->getActualHeight()));
    generatePendingLod();
    return true;
}
