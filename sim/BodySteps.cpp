#include "sim/BodySteps.h"

#include "sim/BodyRegistry.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

void turnNodeLocal(Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees)
{
    node->rotate(axis, Ogre::Radian(degrees * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
}

Ogre::Vector3 currentWorldPosition(const Ogre::Node* node)
{
    Ogre::Vector3 position = node->getPosition();
    for (const Ogre::Node* parent = node->getParent(); parent; parent = parent->getParent())
        position = parent->getOrientation() * (parent->getScale() * position) + parent->getPosition();
    return position;
}

void runMotionStep()
{
    if (bodyRegistry.empty())
        return;
    // A node told that all its children change updates them all, instead of
    // queueing each turned child in a set: one heap allocation per body and
    // frame less. Parents come before their moons, so each body's parent
    // node is flagged before its orbit node turns.
    Ogre::Node* top = bodyRegistry.at(0).orbitNode;
    while (top->getParent())
        top = top->getParent();
    top->needUpdate();

    for (const auto& body : bodyRegistry)
    {
        body->orbitNode->getParent()->needUpdate();
        // The turns of a zero step are the identity: nothing to turn, but the
        // node is flagged all the same, for its moons' sake.
        if (body->orbitTurn.turns)
            body->orbitNode->rotate(body->orbitTurnNow, Ogre::Node::TS_LOCAL);
        else
            body->orbitNode->needUpdate();
        if (body->spinTurn.turns)
            body->nearNode->rotate(body->spinTurnNow, Ogre::Node::TS_LOCAL);
    }
}

namespace
{
// Visibility changes cascade through the node's objects: only make real changes.
void show(Ogre::SceneNode* node, bool& shown, bool visible)
{
    if (shown == visible)
        return;
    node->setVisible(visible, true);
    shown = visible;
}
}

void runDetailStep(const Ogre::Vector3& cameraPosition)
{
    for (const auto& body : bodyRegistry)
    {
        // The near node's world position, from its orbit node's (unscaled): asking
        // the near node itself would bring it up to date twice this frame.
        const Ogre::Vector3 nearPosition = body->orbitNode->_getDerivedPosition() +
                                           body->orbitNode->_getDerivedOrientation() * body->nearNode->getPosition();
        const float distanceSquared = cameraPosition.squaredDistance(nearPosition);
        if (distanceSquared > body->nearDistanceSquared)
        {
            show(body->nearNode, body->nearShown, false);
            if (body->definition.Far)
                show(body->farNode, body->farShown, true);
        }
        else
        {
            show(body->nearNode, body->nearShown, true);
            show(body->farNode, body->farShown, false);
        }
    }
}
