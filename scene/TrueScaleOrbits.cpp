#include "scene/TrueScaleOrbits.h"

#include "scene/TrueScaleWorld.h"
#include "sim/BodyRegistry.h"
#include "sim/SkyToWorld.h"

#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace
{
const char* const objectName = "TrueScale.OrbitLines";
const char* const lineMaterial = "OrvTest/OrbitLine";
}

TrueScaleOrbits::TrueScaleOrbits(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

TrueScaleOrbits::~TrueScaleOrbits()
{
    if (object)
        sceneManager->destroyManualObject(object);
}

void TrueScaleOrbits::setVisible(bool visible)
{
    shown = visible;
    if (object)
        object->setVisible(shown && !placed.empty());
}

void TrueScaleOrbits::update(const BodyRegistry& bodies, const TrueScaleWorld& world, double days,
                             const Vector3d& cameraKm)
{
    if (!shown)
        return;
    drawn.clear();
    placed.clear();
    const double evenStep = 2.0 * pi / evenPoints;
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        if (!world.shows(i) || !body.keplerOrbit)
            continue;
        const KeplerOrbit& orbit = *body.keplerOrbit;
        const double a = body.definition.SemiMajorAxisKm;
        const double e = orbit.elements.eccentricity;
        EccentricAnomaly now;
        const Vector3d onEllipse = worldAxesOf(orbit.placeAt(days, now) * a);
        const Vector3d fromParent = world.placeOf(i) - world.parentPlaceOf(i);
        // The ellipse's focus, so that the point at the body's anomaly is
        // the body's place, whatever placed it; relative to the camera.
        const Vector3d focus = world.parentPlaceOf(i) + (fromParent - onEllipse) - cameraKm;

        // The anomalies as turns from the body's: even round the ellipse,
        // and closer and closer on both sides of the body.
        anomalies.clear();
        const double firstEven = std::ceil((now.angle - pi) / evenStep) * evenStep - now.angle;
        for (int k = 0; k < evenPoints; ++k)
            anomalies.push_back(firstEven + k * evenStep);
        anomalies.push_back(0.0);
        for (int h = 1; h <= halvings; ++h)
        {
            anomalies.push_back(std::ldexp(evenStep, -h));
            anomalies.push_back(-std::ldexp(evenStep, -h));
        }
        std::sort(anomalies.begin(), anomalies.end());
        anomalies.erase(std::unique(anomalies.begin(), anomalies.end()), anomalies.end());

        const Quaterniond plane = orbit.planeAt(days);
        const double minor = a * std::sqrt(1.0 - e * e);
        const std::size_t first = placed.size();
        for (const double turn : anomalies)
        {
            const double anomaly = now.angle + turn;
            const Vector3d point = worldAxesOf(plane * Vector3d{a * (std::cos(anomaly) - e), minor * std::sin(anomaly), 0.0});
            const Vector3d relative = focus + point;
            placed.emplace_back(float(relative.x), float(relative.y), float(relative.z));
        }
        drawn.push_back({i, first, placed.size() - first});
    }

    if (placed.empty())
    {
        if (object)
            object->setVisible(false);
        return;
    }
    const bool fresh = object == nullptr;
    if (fresh)
    {
        object = sceneManager->createManualObject(objectName);
        object->setDynamic(true);
        object->setCastShadows(false);
        sceneManager->getRootSceneNode()->attachObject(object);
        object->begin(lineMaterial, Ogre::RenderOperation::OT_LINE_LIST);
    }
    else
        object->beginUpdate(0);
    for (const Ogre::Vector3& point : placed)
        object->position(point);
    for (const Line& line : drawn)
        for (std::size_t k = 0; k < line.count; ++k)
        {
            object->index(Ogre::uint32(line.first + k));
            object->index(Ogre::uint32(line.first + (k + 1) % line.count));
        }
    object->end();
    object->setVisible(true);
}
