#include "scene/OrbitLines.h"

#include "scene/BodyRig.h"
#include "sim/SceneNames.h"
#include "sim/BodyRegistry.h"
#include "sim/WorldLimits.h"

#include <OgreManualObject.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <map>

namespace
{
const char* const lineMaterial = "OrvTest/OrbitLine";
}

Ogre::Vector3 OrbitCircle::at(float radians) const
{
    return centre + radius * (std::cos(radians) * start + std::sin(radians) * side);
}

bool orbitCircleOf(const BodyDefinition& body, OrbitCircle& circle)
{
    // Made unit in double: the squared length of a long axis leaves the float range.
    const Ogre::Vector3& given = body.OrbitAxis;
    const double length = std::sqrt(double(given.x) * given.x + double(given.y) * given.y + double(given.z) * given.z);
    const Ogre::Vector3 axis(float(given.x / length), float(given.y / length), float(given.z / length));
    const Ogre::Vector3 point(0.0f, 0.0f, withinWorld(body.OrbitRadius));
    if (!(length > 0.0) || !isFinite(axis) || !isFinite(point))
        return false;
    circle.axis = axis;
    circle.centre = axis * axis.dotProduct(point);
    const Ogre::Vector3 out = point - circle.centre;
    circle.radius = out.length();
    if (!(circle.radius > 0.0f) || !std::isfinite(circle.radius))
        return false;
    circle.start = out / circle.radius;
    circle.side = axis.crossProduct(circle.start);
    return true;
}

OrbitLines::OrbitLines(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

void OrbitLines::create(const BodyRegistry& bodies)
{
    destroy();
    created = true;

    // Satellites by parent, in registry order.
    std::map<std::string, std::vector<OrbitCircle>> circlesOf;
    for (const auto& body : bodies)
    {
        OrbitCircle circle;
        if (orbitCircleOf(body->definition, circle))
            circlesOf[body->definition.Parent].push_back(circle);
    }

    for (const auto& parent : circlesOf)
    {
        const std::string nodeName = sceneNames::positionNode(parent.first);
        if (!sceneManager->hasSceneNode(nodeName))
            continue;
        Ogre::ManualObject* lines = sceneManager->createManualObject("OrbitLines/" + parent.first);
        lines->setCastShadows(false);
        lines->estimateVertexCount(parent.second.size() * segments);
        lines->estimateIndexCount(parent.second.size() * segments * 2);
        lines->begin(lineMaterial, Ogre::RenderOperation::OT_LINE_LIST);
        Ogre::uint32 first = 0;
        for (const OrbitCircle& circle : parent.second)
        {
            for (int n = 0; n < segments; ++n)
            {
                lines->position(circle.at(float(n) * Ogre::Math::TWO_PI / segments));
                lines->index(first + Ogre::uint32(n));
                lines->index(first + Ogre::uint32((n + 1) % segments));
            }
            first += segments;
        }
        lines->end();
        lines->setVisible(visible);
        sceneManager->getSceneNode(nodeName)->attachObject(lines);
        batches.push_back(lines);
    }
}

void OrbitLines::destroy()
{
    for (Ogre::ManualObject* lines : batches)
        sceneManager->destroyManualObject(lines);
    batches.clear();
    created = false;
}

void OrbitLines::setVisible(bool shown)
{
    visible = shown;
    for (Ogre::ManualObject* lines : batches)
        lines->setVisible(shown);
}
