#include "scene/OrbitLines.h"

#include "scene/BodyRig.h"
#include "sim/SceneNames.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SkyToWorld.h"
#include "sim/WorldLimits.h"

#include <OgreManualObject.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
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

std::vector<Ogre::Vector3> ellipsePoints(const KeplerOrbit& orbit, float semiMajorAxis, int count)
{
    const double e = orbit.elements.eccentricity;
    const double b = std::sqrt(1.0 - e * e);
    std::vector<Ogre::Vector3> points;
    points.reserve(std::size_t(count));
    for (int n = 0; n < count; ++n)
    {
        const double eccentricAnomaly = 2.0 * M_PI * n / count;
        points.emplace_back(float(semiMajorAxis * (std::cos(eccentricAnomaly) - e)),
                            float(semiMajorAxis * b * std::sin(eccentricAnomaly)), 0.0f);
    }
    return points;
}

std::vector<Ogre::Vector3> conicPoints(double perihelionDistance, double eccentricity, double reach, int count)
{
    const double q = perihelionDistance, e = eccentricity;
    std::vector<Ogre::Vector3> points;
    if (e < 1.0)
    {
        const double a = q / (1.0 - e), b = a * std::sqrt((1.0 - e) * (1.0 + e));
        points.reserve(std::size_t(count));
        for (int n = 0; n < count; ++n)
        {
            const double eccentricAnomaly = 2.0 * M_PI * n / count;
            points.emplace_back(float(a * (std::cos(eccentricAnomaly) - e)), float(b * std::sin(eccentricAnomaly)),
                                0.0f);
        }
        return points;
    }
    // r = p / (1 + e cos ν): the true anomaly at which the arc reaches that far.
    const double p = q * (1.0 + e);
    const double farthest = std::acos(std::clamp((p / std::max(reach, 4.0 * q) - 1.0) / e, -1.0, 1.0));
    points.reserve(std::size_t(count) + 1);
    for (int n = 0; n <= count; ++n)
    {
        const double v = farthest * (2.0 * n / count - 1.0);
        const double r = p / (1.0 + e * std::cos(v));
        points.emplace_back(float(r * std::cos(v)), float(r * std::sin(v)), 0.0f);
    }
    return points;
}

namespace
{
// Lines through each run of points, closed round each loop and open along
// each arc, as one manual object.
Ogre::ManualObject* makeLines(Ogre::SceneManager* sceneManager, const std::string& name,
                              const std::vector<std::vector<Ogre::Vector3>>& loops,
                              const std::vector<std::vector<Ogre::Vector3>>& arcs = {})
{
    std::size_t vertices = 0;
    for (const auto* runs : {&loops, &arcs})
        for (const auto& run : *runs)
            vertices += run.size();
    Ogre::ManualObject* lines = sceneManager->createManualObject(name);
    lines->setCastShadows(false);
    lines->estimateVertexCount(vertices);
    lines->estimateIndexCount(vertices * 2);
    lines->begin(lineMaterial, Ogre::RenderOperation::OT_LINE_LIST);
    Ogre::uint32 first = 0;
    for (const auto* runs : {&loops, &arcs})
    {
        const bool closed = runs == &loops;
        for (const auto& run : *runs)
        {
            const auto count = Ogre::uint32(run.size());
            for (Ogre::uint32 n = 0; n < count; ++n)
                lines->position(run[n]);
            for (Ogre::uint32 n = 0; n + (closed ? 0 : 1) < count; ++n)
            {
                lines->index(first + n);
                lines->index(first + (n + 1) % count);
            }
            first += count;
        }
    }
    lines->end();
    return lines;
}

// How far from the Sun the widest orbit about it reaches, world units: the
// span an open orbit's arc is drawn over.
double widestOrbitAboutTheSun(const BodyRegistry& bodies)
{
    double widest = 0.0;
    for (const auto& owned : bodies)
    {
        const Body& body = *owned;
        if (body.definition.Parent != sceneNames::sun)
            continue;
        const double radius = std::abs(double(withinWorld(body.definition.OrbitRadius)));
        if (body.keplerOrbit)
            widest = std::max(widest, radius * (1.0 + body.keplerOrbit->elements.eccentricity));
        else if (body.conicOrbit && body.conicOrbit->elements.eccentricity < 1.0)
        {
            const double e = body.conicOrbit->elements.eccentricity;
            widest = std::max(widest, double(withinWorld(body.definition.PerihelionDistance)) * (1.0 + e) / (1.0 - e));
        }
        else if (!body.conicOrbit)
            widest = std::max(widest, radius);
    }
    return std::min(widest, worldExtent);
}
}

OrbitLines::OrbitLines(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

void OrbitLines::create(const BodyRegistry& bodies, double days)
{
    destroy();
    created = true;

    // Satellites by parent, in registry order.
    std::map<std::string, std::vector<std::vector<Ogre::Vector3>>> loopsOf, arcsOf;
    const double widest = widestOrbitAboutTheSun(bodies);
    for (const auto& owned : bodies)
    {
        const Body& body = *owned;
        if (body.conicOrbit)
        {
            // About the Sun in the J2000 ecliptic, fixed: in the Sun's batch.
            const ConicElements& elements = body.conicOrbit->elements;
            const OrbitAxes axes = orbitAxes(elements.inclination, elements.ascendingNode, elements.periapsis);
            std::vector<Ogre::Vector3> run = conicPoints(withinWorld(body.definition.PerihelionDistance),
                                                         elements.eccentricity, widest, ellipseSegments);
            for (Ogre::Vector3& point : run)
                point = worldFromEcliptic(axes.towardsPerihelion * double(point.x) + axes.alongMotion * double(point.y));
            (elements.eccentricity < 1.0 ? loopsOf : arcsOf)[body.definition.Parent].push_back(std::move(run));
            continue;
        }
        if (!body.keplerOrbit)
        {
            OrbitCircle circle;
            if (!orbitCircleOf(body.definition, circle))
                continue;
            std::vector<Ogre::Vector3> loop;
            for (int n = 0; n < segments; ++n)
                loop.push_back(circle.at(float(n) * Ogre::Math::TWO_PI / segments));
            loopsOf[body.definition.Parent].push_back(std::move(loop));
            continue;
        }
        const float semiMajorAxis = withinWorld(body.definition.OrbitRadius);
        if (!(semiMajorAxis != 0.0f))
            continue;
        // A near circle is drawn as the circles are; a comet's tight bend at
        // perihelion needs more pieces.
        const double e = body.keplerOrbit->elements.eccentricity;
        const int pieces = e < 0.3 ? segments : e < 0.8 ? 2 * segments : ellipseSegments;
        std::vector<Ogre::Vector3> loop = ellipsePoints(*body.keplerOrbit, semiMajorAxis, pieces);
        if (keepsWorldAxes(body) && !body.keplerOrbit->precesses())
        {
            const Ogre::Quaternion plane = worldFromEcliptic(body.keplerOrbit->planeAt(days));
            for (Ogre::Vector3& point : loop)
                point = plane * point;
            loopsOf[body.definition.Parent].push_back(std::move(loop));
            continue;
        }
        // Beside the orbit node, which moves with the body, under its parent.
        Ogre::ManualObject* lines = makeLines(sceneManager, "OrbitLine/" + body.sectionName, {loop});
        Ogre::SceneNode* node = body.orbitNode->getParentSceneNode()->createChildSceneNode();
        const TurningLine line{&body, node};
        node->setOrientation(turnOf(line, days));
        node->attachObject(lines);
        lines->setVisible(visible);
        batches.push_back(lines);
        ownNodes.push_back(node);
        turning.push_back(line);
    }

    for (const auto& parent : arcsOf)
        loopsOf[parent.first];
    for (const auto& parent : loopsOf)
    {
        const std::string nodeName = sceneNames::positionNode(parent.first);
        if (!sceneManager->hasSceneNode(nodeName))
            continue;
        const auto arcs = arcsOf.find(parent.first);
        Ogre::ManualObject* lines =
            makeLines(sceneManager, "OrbitLines/" + parent.first, parent.second,
                      arcs == arcsOf.end() ? std::vector<std::vector<Ogre::Vector3>>{} : arcs->second);
        lines->setVisible(visible);
        sceneManager->getSceneNode(nodeName)->attachObject(lines);
        batches.push_back(lines);
    }
}

Ogre::Quaternion OrbitLines::turnOf(const TurningLine& line, double days)
{
    const Ogre::Quaternion plane = worldFromEcliptic(line.body->keplerOrbit->planeAt(days));
    return keepsWorldAxes(*line.body) ? plane : currentWorldOrientation(line.node->getParent()).Inverse() * plane;
}

void OrbitLines::follow(double days)
{
    for (const TurningLine& line : turning)
        line.node->setOrientation(turnOf(line, days));
}

void OrbitLines::destroy()
{
    for (Ogre::ManualObject* lines : batches)
        sceneManager->destroyManualObject(lines);
    for (Ogre::SceneNode* node : ownNodes)
        sceneManager->destroySceneNode(node);
    batches.clear();
    ownNodes.clear();
    turning.clear();
    created = false;
}

void OrbitLines::setVisible(bool shown)
{
    visible = shown;
    for (Ogre::ManualObject* lines : batches)
        lines->setVisible(shown);
}
