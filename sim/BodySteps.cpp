#include "sim/BodySteps.h"

#include "sim/BodyRegistry.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

void turnNodeLocal(Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees)
{
    node->rotate(axis, Ogre::Radian(degrees * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
}

void runMotionStep()
{
    for (const auto& body : bodyRegistry)
    {
        turnNodeLocal(body->orbitNode, body->OrbitAxis, body->orbitStep);
        turnNodeLocal(body->nearNode, body->PitchAxis, body->pitchStep);
        turnNodeLocal(body->nearNode, body->YawAxis, body->yawStep);
        turnNodeLocal(body->nearNode, body->RollAxis, body->rollStep);
    }
}

void runDetailStep(const Ogre::Vector3& cameraPosition)
{
    for (const auto& body : bodyRegistry)
    {
        const float distanceSquared =
            cameraPosition.squaredDistance(body->nearNode->_getDerivedPosition());
        if (distanceSquared > body->nearDistanceSquared)
        {
            body->nearNode->setVisible(false, true);
            if (body->Far)
                body->farNode->setVisible(true, true);
        }
        else
        {
            body->nearNode->setVisible(true, true);
            body->farNode->setVisible(false, true);
        }
    }
}
