#include "sim/BodySteps.h"

#include "sim/BodyRegistry.h"
#include "sim/SkyToWorld.h"
#include "sim/WorldLimits.h"
#include "sky/Theories.h"

#include <OgreMath.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <vector>

void turnNodeLocal(Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees)
{
    node->setOrientation(node->getOrientation() * turnAbout(axis, degrees));
}

Ogre::Affine3 currentWorldTransform(const Ogre::Node* node)
{
    Ogre::Affine3 world(node->getPosition(), node->getOrientation(), node->getScale());
    for (const Ogre::Node* parent = node->getParent(); parent; parent = parent->getParent())
        world = Ogre::Affine3(parent->getPosition(), parent->getOrientation(), parent->getScale()) * world;
    return world;
}

bool farSphereDrawn(const Body& body, float squaredDistance)
{
    // At true scale every body is drawn however far: as a dot at the least.
    if (body.atTrueScale)
        return body.farShown;
    const float reach = body.definition.FarDistance + body.definition.Size;
    return body.farShown && (body.definition.FarDistance <= 0.0f || squaredDistance <= reach * reach);
}

Ogre::Vector3 bodyCentre(const Body& body)
{
    return currentWorldTransform(body.orbitNode) * body.positionNode->getPosition();
}

namespace
{
// The bodies' nodes are spread over the heap and a large system does not fit
// the cache: both steps are bound by waiting for them. Asking a few bodies
// ahead lets the loads overlap.
void prefetchAhead(std::size_t i, std::size_t count)
{
    constexpr std::size_t nodesAhead = 8;
    constexpr std::size_t bodiesAhead = 2 * nodesAhead;
    if (i + bodiesAhead < count)
    {
        const Body& later = bodyRegistry.at(i + bodiesAhead);
        __builtin_prefetch(&later.nearDistanceSquared);
        __builtin_prefetch(&later.orbitTurnNow);
        __builtin_prefetch(&later.orbitNode);
    }
    if (i + nodesAhead < count)
    {
        const char* orbit = reinterpret_cast<const char*>(bodyRegistry.at(i + nodesAhead).orbitNode);
        for (std::size_t line = 0; line < 4; ++line)
            __builtin_prefetch(orbit + 64 * line);
    }
}

// Quaternion × vector, spelt out on the components: the engine's own is a
// call for every use, and its vector arithmetic goes through memory.
Ogre::Vector3 rotated(const Ogre::Quaternion& q, const Ogre::Vector3& v)
{
    // v + 2w(q × v) + 2 q × (q × v), with q × v taken on q's vector part.
    const float ux = q.y * v.z - q.z * v.y;
    const float uy = q.z * v.x - q.x * v.z;
    const float uz = q.x * v.y - q.y * v.x;
    const float uux = q.y * uz - q.z * uy;
    const float uuy = q.z * ux - q.x * uz;
    const float uuz = q.x * uy - q.y * ux;
    return Ogre::Vector3(v.x + 2.0f * (q.w * ux + uux), v.y + 2.0f * (q.w * uy + uuy),
                         v.z + 2.0f * (q.w * uz + uuz));
}

Ogre::Quaternion product(const Ogre::Quaternion& a, const Ogre::Quaternion& b)
{
    return Ogre::Quaternion(a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                            a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                            a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z,
                            a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x);
}

// As Node::rotate in local space, with the product made here.
void turnLocal(Ogre::Node* node, const Ogre::Quaternion& turn)
{
    node->setOrientation(product(node->getOrientation(), turn));
}

Ogre::Vector3 scaled(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    return Ogre::Vector3(a.x * b.x, a.y * b.y, a.z * b.z);
}

Ogre::Vector3 sum(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    return Ogre::Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
}

namespace
{
// A node told that all its children change updates them all, instead of
// queueing each changed child in a set: one heap allocation per body and
// frame less. Parents come before their moons, so each body's parent node is
// flagged before its own nodes change.
void flagTheWholeTree()
{
    Ogre::Node* top = bodyRegistry.at(0).orbitNode;
    while (top->getParent())
        top = top->getParent();
    top->needUpdate();
}
}

void runMotionStep()
{
    if (bodyRegistry.empty())
        return;
    flagTheWholeTree();

    // Bodies under the same parent come in runs (thousands under the sun):
    // flagging it once for the run does.
    const Ogre::Node* flagged = nullptr;
    const std::size_t count = bodyRegistry.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        prefetchAhead(i, count);
        Body& body = bodyRegistry.at(i);
        Ogre::Node* parent = body.orbitNode->getParent();
        if (parent != flagged)
        {
            parent->needUpdate();
            flagged = parent;
        }
        // The turns of a zero step are the identity: nothing to turn, but the
        // node is flagged all the same, for its moons' sake.
        if (body.orbitTurn.turns)
            turnLocal(body.orbitNode, body.orbitTurnNow);
        else
            body.orbitNode->needUpdate();
        if (!body.spinTurn.turns)
            continue;
        if (body.nearShown)
            turnLocal(body.nearNode, body.spinTurnNow);
        else
            body.spinOwed += bodyRegistry.stepMultiplier();
    }
}

Ogre::Quaternion currentWorldOrientation(const Ogre::Node* node)
{
    Ogre::Quaternion orientation = node->getOrientation();
    for (const Ogre::Node* parent = node->getParent(); parent; parent = parent->getParent())
        orientation = parent->getOrientation() * orientation;
    return orientation;
}

bool keepsWorldAxes(const Body& body)
{
    return !body.parentBody || body.parentBody->orbitDated();
}

namespace
{
// The date the dated bodies were last placed at: a near model shown again
// takes its spin from it.
double placedDays = 0.0;

void turnDatedSpin(Body& body, double days)
{
    const Ogre::Quaternion spin = worldFromEcliptic(datedOrientation(body, days));
    if (spin.isNaN())
        return;
    // The near node hangs under the orbit node, which a dated orbit keeps in
    // the world's axes; a frame-locked one turns, and is turned back out.
    body.nearNode->setOrientation(body.orbitDated() ? spin : currentWorldOrientation(body.orbitNode).Inverse() * spin);
}
}

double datedBodiesPlacedAt()
{
    return placedDays;
}

void placeDatedBodies(double days)
{
    placedDays = days;
    if (bodyRegistry.empty())
        return;
    flagTheWholeTree();
    const Ogre::Node* flagged = nullptr;
    for (const auto& owned : bodyRegistry)
    {
        Body& body = *owned;
        if (!body.followsClock())
            continue;
        Ogre::Node* parent = body.orbitNode->getParent();
        if (parent != flagged)
        {
            parent->needUpdate();
            flagged = parent;
        }
        // A dated orbit moves its orbit node, the one node it touches: the
        // body's other nodes sit at its origin. The node keeps the world's
        // axes: under a frame-locked parent it turns back what the parent's
        // frame turns.
        if (body.orbitDated())
        {
            const Ogre::Vector3 onOrbit =
                worldFromEcliptic(datedPlace(body, days, body.eccentricAnomaly, body.theoryTrack.get()));
            // Elements beyond any sense (a date aeons away) leave the body where it was.
            if (!isFinite(onOrbit))
            {
                body.eccentricAnomaly = EccentricAnomaly();
                continue;
            }
            if (keepsWorldAxes(body))
                body.orbitNode->setPosition(onOrbit);
            else
            {
                const Ogre::Quaternion turnedBack = currentWorldOrientation(parent).Inverse();
                body.orbitNode->setOrientation(turnedBack);
                body.orbitNode->setPosition(turnedBack * onOrbit);
            }
        }
        else
            body.orbitNode->needUpdate();   // for its near node's sake
        // A near model out of sight is turned when it shows again.
        if (body.datedSpin && body.nearShown)
            turnDatedSpin(body, days);
    }
}

void placeDatedSpins(double days)
{
    placedDays = days;
    for (const auto& owned : bodyRegistry)
        if (owned->datedSpin && owned->nearShown)
            turnDatedSpin(*owned, days);
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
        if (body.datedSpin)
            turnDatedSpin(body, placedDays);
        else if (body.spinOwed != 0.0)
            body.nearNode->rotate(body.spinTurn.scaledBy(body.spinOwed), Ogre::Node::TS_LOCAL);
        body.spinOwed = 0.0;
    }
    else
        body.orbitNode->removeChild(body.nearNode);
}
}

namespace
{
// Where a point given in the frame's local space stands in the world.
Ogre::Vector3 place(const WorldFrame& frame, const Ogre::Vector3& localPosition)
{
    return sum(frame.position, rotated(frame.orientation, scaled(frame.scale, localPosition)));
}

// The world frame of a node under `frame`, from the node's own transform.
WorldFrame childFrame(const WorldFrame& frame, const Ogre::Node* node)
{
    return {product(frame.orientation, node->getOrientation()), place(frame, node->getPosition()),
            scaled(frame.scale, node->getScale())};
}

WorldFrame derivedFrame(const Ogre::Node* node)
{
    return {node->_getDerivedOrientation(), node->_getDerivedPosition(), node->_getDerivedScale()};
}

// The world transform of the node an orbit node hangs under. A parent body's
// position node is worked out from the parent's orbit frame, which the step
// made earlier in this pass (parents come first): the engine's own would
// bring the parent's nodes up to date twice a frame, here and when it draws.
// Other parents (the sun's position node, a parent registered after its
// moon) are asked once for each run of bodies under them.
class ParentFrames
{
public:
    explicit ParentFrames(unsigned long thisPass) : pass(thisPass) {}

    const WorldFrame& of(const Body& body)
    {
        const Ogre::Node* parent = body.orbitNode->getParent();
        if (parent == lastParent)
            return lastFrame;
        const Body* parentBody = body.parentBody;
        if (parentBody && parentBody->orbitWorldPass == pass && parentBody->positionNode == parent &&
            parentBody->orbitNode == parent->getParent())
            lastFrame = childFrame(parentBody->orbitWorld, parent);
        else
            lastFrame = derivedFrame(parent);
        lastParent = parent;
        return lastFrame;
    }

private:
    const unsigned long pass;
    const Ogre::Node* lastParent = nullptr;
    WorldFrame lastFrame;
};
}

void runDetailStep(const Ogre::Vector3& cameraPosition)
{
    static unsigned long passes = 0;
    const unsigned long pass = ++passes;
    ParentFrames parents(pass);
    const std::size_t count = bodyRegistry.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        prefetchAhead(i, count);
        Body& body = bodyRegistry.at(i);
        body.orbitWorld = childFrame(parents.of(body), body.orbitNode);
        body.orbitWorldPass = pass;
        const float distanceSquared = cameraPosition.squaredDistance(place(body.orbitWorld, body.nearOffset));
        if (distanceSquared > body.nearDistanceSquared)
        {
            showNear(body, false);
            if (body.definition.Far)
                show(body.farNode, body.farShown, true);
        }
        else
        {
            showNear(body, true);
            show(body.farNode, body.farShown, false);
        }
    }
}

bool beyondEveryTheory(const BodyRegistry& bodies, double dynamicalDays)
{
    bool named = false;
    for (const auto& body : bodies)
        if (body->theory)
        {
            if (theoryHolds(*body->theory, dynamicalDays))
                return false;
            named = true;
        }
    return named;
}

std::string beyondTheoriesNote(const BodyRegistry& bodies, double dynamicalDays)
{
    if (!beyondEveryTheory(bodies, dynamicalDays))
        return {};
    std::vector<std::string> families;
    for (const auto& body : bodies)
        if (body->theory)
        {
            const std::string family = *body->theory->family ? body->theory->family : body->theory->name;
            if (std::find(families.begin(), families.end(), family) == families.end())
                families.push_back(family);
        }
    std::string named;
    for (std::size_t i = 0; i < families.size(); ++i)
        named += (i == 0 ? "" : i + 1 == families.size() ? " and " : ", ") + families[i];
    return "beyond " + named + ": elements only";
}
