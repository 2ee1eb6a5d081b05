#include "scene/CatalogueOrbitLine.h"

#include "scene/OrbitLines.h"
#include "sim/DisplayScale.h"

#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace
{
const char* const lineMaterial = "OrvTest/OrbitLine";

bool sameOrbit(const ConicElements& a, const ConicElements& b)
{
    return a.perihelionDistance == b.perihelionDistance && a.eccentricity == b.eccentricity &&
           a.inclination == b.inclination && a.ascendingNode == b.ascendingNode && a.periapsis == b.periapsis;
}
}

std::vector<Ogre::Vector3> mappedOrbitPoints(const ConicElements& orbit, const RadialMap& map, double reachAU, int count)
{
    // In the orbit's plane, AU, then turned into the ecliptic in double precision and mapped.
    const std::vector<Ogre::Vector3> inPlane = conicPoints(orbit.perihelionDistance, orbit.eccentricity, reachAU, count);
    const OrbitAxes axes = orbitAxes(orbit.inclination, orbit.ascendingNode, orbit.periapsis);
    std::vector<Ogre::Vector3> points;
    points.reserve(inPlane.size());
    for (const Ogre::Vector3& point : inPlane)
        points.push_back(displayPlace(axes.towardsPerihelion * double(point.x) + axes.alongMotion * double(point.y), map));
    return points;
}

CatalogueOrbitLine::CatalogueOrbitLine(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

CatalogueOrbitLine::~CatalogueOrbitLine()
{
    if (lines)
        sceneManager->destroyManualObject(lines);
}

void CatalogueOrbitLine::show(const ConicElements& orbit, const RadialMap& map)
{
    if (drawn && sameOrbit(orbit, drawnOrbit) && map == drawnMap)
    {
        lines->setVisible(true);
        return;
    }
    if (!lines)
    {
        lines = sceneManager->createManualObject("CatalogueOrbitLine");
        lines->setCastShadows(false);
        lines->setDynamic(true);
        sceneManager->getRootSceneNode()->attachObject(lines);
    }
    double farthest = 0.0;
    for (const DistancePair& pair : map.knots())
        farthest = std::max(farthest, pair.au);
    const std::vector<Ogre::Vector3> run = mappedOrbitPoints(orbit, map, farthest, points);
    const bool closed = orbit.eccentricity < 1.0;
    const auto count = Ogre::uint32(run.size());
    lines->clear();
    lines->estimateVertexCount(count);
    lines->estimateIndexCount(count * 2);
    lines->begin(lineMaterial, Ogre::RenderOperation::OT_LINE_LIST);
    for (const Ogre::Vector3& point : run)
        lines->position(point);
    for (Ogre::uint32 n = 0; n + (closed ? 0 : 1) < count; ++n)
    {
        lines->index(n);
        lines->index((n + 1) % count);
    }
    lines->end();
    lines->setVisible(true);
    drawnOrbit = orbit;
    drawnMap = map;
    drawn = true;
}

void CatalogueOrbitLine::hide()
{
    if (lines)
        lines->setVisible(false);
}

bool CatalogueOrbitLine::shown() const
{
    return lines && lines->getVisible();
}
