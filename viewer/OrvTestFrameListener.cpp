#include "viewer/OrvTestFrameListener.h"

#include "config/AppSettings.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/Screenshot.h"

#include <OgreCamera.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <OISKeyboard.h>
#include <OISMouse.h>

#include <cmath>

OrvTestFrameListener::OrvTestFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera,
                                           Ogre::SceneManager* scene)
    : ExampleFrameListener(renderWindow, viewCamera), sceneManager(scene),
      moveSpeed(appSettings.MoveConstant)
{
}

int nextFocusIndex(int index, int step, std::size_t count)
{
    index += step;
    if (index == int(count))
        index = 0;
    else if (index == -1)
        index = int(count) - 1;
    return index;
}

namespace
{
bool isFinite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
}

bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body)
{
    const Ogre::Vector3 target = body.positionNode->_getDerivedPosition();
    const Ogre::Vector3 eye = target + Ogre::Vector3(0.0f, 0.0f, -5.0f * body.Size);
    // A body out at the end of the float range has no place for the camera.
    if (!isFinite(target) || !isFinite(eye))
        return false;
    cameraNode->setPosition(target);
    cameraNode->translate(eye - target, Ogre::Node::TS_WORLD);
    if (eye != target)
        cameraNode->lookAt(target, Ogre::Node::TS_WORLD);
    return true;
}

void OrvTestFrameListener::runBodySteps(float dt)
{
    if (motionCountdown >= 0.0f)
        motionCountdown -= dt;
    if (motionCountdown < 0.0f)
    {
        motionCountdown = motionInterval;
        runMotionStep();
    }
    if (detailCountdown >= 0.0f)
        detailCountdown -= dt;
    if (detailCountdown < 0.0f)
    {
        detailCountdown = detailInterval;
        runDetailStep(camera->getRealPosition());
    }
}

void OrvTestFrameListener::jumpBy(int step)
{
    actionCooldown = actionDelay;
    focusIndex = nextFocusIndex(focusIndex, step, bodyRegistry.size());
    const Body& body = bodyRegistry.at(std::size_t(focusIndex));
    debugText = jumpCameraToBody(camera->getParentSceneNode(), body) ? body.Name : body.Name + " is out of reach";
}

bool OrvTestFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed())
        return false;

    const float dt = evt.timeSinceLastFrame;
    runBodySteps(dt);

    mouse->capture();
    keyboard->capture();
    if (actionCooldown >= 0.0f)
        actionCooldown -= dt;

    if (keyboard->isKeyDown(OIS::KC_ESCAPE))
        return false;

    // With no bodies there is nowhere to jump: the buttons do nothing.
    const OIS::MouseState& mouseState = mouse->getMouseState();
    if (actionCooldown < 0.0f && !bodyRegistry.empty() && mouseState.buttonDown(OIS::MB_Left))
        jumpBy(+1);
    if (actionCooldown < 0.0f && !bodyRegistry.empty() && mouseState.buttonDown(OIS::MB_Right))
        jumpBy(-1);

    Ogre::Vector3 move = Ogre::Vector3::ZERO;
    if (keyboard->isKeyDown(OIS::KC_UP) || keyboard->isKeyDown(OIS::KC_W))
        move.z -= moveSpeed;
    if (keyboard->isKeyDown(OIS::KC_DOWN) || keyboard->isKeyDown(OIS::KC_S))
        move.z += moveSpeed;
    if (keyboard->isKeyDown(OIS::KC_LEFT) || keyboard->isKeyDown(OIS::KC_A))
        move.x -= moveSpeed;
    if (keyboard->isKeyDown(OIS::KC_RIGHT) || keyboard->isKeyDown(OIS::KC_D))
        move.x += moveSpeed;
    if (keyboard->isKeyDown(OIS::KC_PGUP) || keyboard->isKeyDown(OIS::KC_Q))
        move.y += moveSpeed;
    if (keyboard->isKeyDown(OIS::KC_PGDOWN) || keyboard->isKeyDown(OIS::KC_E))
        move.y -= moveSpeed;
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    const Ogre::Vector3 step = cameraNode->getOrientation() * move * dt;
    // Past the float range the camera would have no position at all.
    if (isFinite(cameraNode->getPosition() + step))
        cameraNode->translate(step, Ogre::Node::TS_WORLD);

    cameraNode->yaw(Ogre::Degree(-mouseState.X.rel * mouseTurnFactor));
    cameraNode->pitch(Ogre::Degree(-mouseState.Y.rel * mouseTurnFactor));

    if (actionCooldown < 0.0f && keyboard->isKeyDown(OIS::KC_SYSRQ))
    {
        actionCooldown = actionDelay;
        long number;
        debugText = saveScreenshot(window, shotCount + 1, number);
        shotCount = int(number);
    }
    if (actionCooldown < 0.0f && keyboard->isKeyDown(OIS::KC_R))
    {
        actionCooldown = actionDelay;
        nextPolygonMode(renderModeIndex);
    }
    if (actionCooldown < 0.0f && keyboard->isKeyDown(OIS::KC_F))
    {
        actionCooldown = actionDelay;
        statsShown = !statsShown;
        showOverlay(statsShown);
    }

    sceneManager->getSceneNode("StarField")->setPosition(cameraNode->_getDerivedPosition());
    return true;
}
