#include "sim/BodySteps.h"

#include "sim/BodyRegistry.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

void turnNodeLocal(Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees)
{
    node->rotate(axis, Ogre::Radian(degrees * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
}

Ogre::Affine3 currentWorldTransform(const Ogre::Node* node)
{
    Ogre::Affine3 world(node->getPosition(), node->getOrientation(), node->getScale());
    for (const Ogre::Node* parent = node->getParent(); parent; parent = parent->getParent())
        world = Ogre::Affine3(parent->getPosition(), parent->getOrientation(), parent->getScale()) * world;
    return world;
}

Ogre::Vector3 bodyCentre(const Body& body)
{
    return currentWorldTransform(body.orbitNode) * body.positionNode->getPosition();
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
        if (!body->spinTurn.turns)
            continue;
        if (body->nearShown)
            body->nearNode->rotate(body->spinTurnNow, Ogre::Node::TS_LOCAL);
        else
            body->spinOwed += bodyRegistry.stepMultiplier();
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

// The near node also leaves the scene graph while it is hidden: the engine
// visits every attached object of every node once a frame for each camera,
// hidden or not, and most bodies of a large system are far away. Its spin
// goes on while it is out.
void showNear(Body& body, bool visible)
{
    if (body.nearShown == visible)
        return;
    show(body.nearNode, body.nearShown, visible);
    if (visible)
    {
        body.orbitNode->addChild(body.nearNode);
        if (body.spinOwed != 0.0)
            body.nearNode->rotate(body.spinTurn.scaledBy(body.spinOwed), Ogre::Node::TS_LOCAL);
        body.spinOwed = 0.0;
    }
    else
        body.orbitNode->removeChild(body.nearNode);
}
}

void runDetailStep(const Ogre::Vector3& cameraPosition)
{
    for (const auto& body : bodyRegistry)
    {
        // The near node's world position, from the orbit node's own turn and
        // its parent's world transform: asking the orbit node for its world
        // transform would have the engine bring every turned orbit node up to
        // date twice a frame, here and when it draws. Few parents, each
        // brought up to date once.
        const Ogre::Node* orbit = body->orbitNode;
        const Ogre::Node* parent = orbit->getParent();
        const Ogre::Vector3 onOrbit =
            orbit->getPosition() + orbit->getOrientation() * (orbit->getScale() * body->nearNode->getPosition());
        const Ogre::Vector3 nearPosition =
            parent->_getDerivedPosition() + parent->_getDerivedOrientation() * (parent->_getDerivedScale() * onOrbit);
        const float distanceSquared = cameraPosition.squaredDistance(nearPosition);
        if (distanceSquared > body->nearDistanceSquared)
        {
            showNear(*body, false);
            if (body->definition.Far)
                show(body->farNode, body->farShown, true);
        }
        else
        {
            showNear(*body, true);
            show(body->farNode, body->farShown, false);
        }
    }
}
