#include "viewer/OrbitViewer.h"

#include "scene/SceneNames.h"
#include "viewer/HelpOverlay.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreOverlay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>

namespace
{
bool isFinite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
}

bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body)
{
    const Ogre::Vector3 target = currentWorldPosition(body.positionNode);
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
      helpOverlay(createHelpOverlay()), statusLine(status)
{
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
    followedPosition = currentWorldPosition(body.positionNode);
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
    const Ogre::Vector3 position = currentWorldPosition(body.positionNode);
    const Ogre::Vector3 eye = cameraNode->getPosition() + (position - followedPosition);
    if (!isFinite(position) || !isFinite(eye))
    {
        stopFollowing("Stopped following " + body.definition.Name + ": out of reach");
        return;
    }
    cameraNode->setPosition(eye);
    followedPosition = position;
}

bool OrbitViewer::handleInput(const InputSnapshot& input)
{
    const OrbitActions actions = controls.decide(input, bodyRegistry);
    if (actions.quit)
        return false;

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
        statusLine = saveScreenshot(window, shotCount + 1, number);
        shotCount = int(number);
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
    if (actions.statisticsChanged && debugOverlay)
    {
        if (controls.statsShown)
            debugOverlay->show();
        else
            debugOverlay->hide();
    }

    sceneManager->getSceneNode(sceneNames::starField)->setPosition(cameraNode->_getDerivedPosition());
    return true;
}
