#include "scene/TrueScaleOrbits.h"

#include "scene/TrueScaleWorld.h"
#include "sim/BodyRegistry.h"
#include "sim/SkyToWorld.h"
#include "sky/Theories.h"

#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <utility>

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

namespace
{
// A conic in its own plane, km, by a parameter u: the eccentric anomaly of
// an ellipse, D = tan(v / 2) of a parabola, H of a hyperbola.
struct PlaneConic
{
    double q, e;

    double scale() const { return e == 1.0 ? q : q / std::abs(1.0 - e); }
    // x towards perihelion, y along the motion there.
    std::pair<double, double> at(double u) const
    {
        if (e < 1.0)
            return {scale() * (std::cos(u) - e), scale() * std::sqrt(1.0 - e * e) * std::sin(u)};
        if (e == 1.0)
            return {q * (1.0 - u * u), 2.0 * q * u};
        return {scale() * (e - std::cosh(u)), scale() * std::sqrt(e * e - 1.0) * std::sinh(u)};
    }
    double parameterOf(double x, double y) const
    {
        if (e < 1.0)
            return std::atan2(y / (scale() * std::sqrt(1.0 - e * e)), x / scale() + e);
        if (e == 1.0)
            return y / (2.0 * q);
        return std::asinh(y / (scale() * std::sqrt(e * e - 1.0)));
    }
    // An open orbit's parameter where it is `reach` from the focus.
    double parameterAtDistance(double reach) const
    {
        return e == 1.0 ? std::sqrt(std::max(reach / q - 1.0, 0.0)) : std::acosh((reach / scale() + 1.0) / e);
    }
};
}

void TrueScaleOrbits::update(const BodyRegistry& bodies, const TrueScaleWorld& world, double days,
                             const Vector3d& cameraKm)
{
    if (!shown)
        return;
    drawn.clear();
    placed.clear();
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        if (!world.shows(i) || !body.orbitDated())
            continue;
        // The orbit's plane in the ecliptic, and where the elements put the body in it (km).
        PlaneConic conic{};
        Vector3d towards, along, onCurve;
        if (body.keplerOrbit)
        {
            const KeplerOrbit& orbit = *body.keplerOrbit;
            const double a = body.definition.SemiMajorAxisKm;
            conic = {a * (1.0 - orbit.elements.eccentricity), orbit.elements.eccentricity};
            const Quaterniond plane = orbit.planeAt(days);
            towards = plane * Vector3d{1.0, 0.0, 0.0};
            along = plane * Vector3d{0.0, 1.0, 0.0};
            onCurve = orbit.placeAt(days) * a;
        }
        else
        {
            const ConicElements& elements = body.conicOrbit->elements;
            conic = {elements.perihelionDistance * kilometresPerAU, elements.eccentricity};
            const OrbitAxes axes = orbitAxes(elements.inclination, elements.ascendingNode, elements.periapsis);
            towards = axes.towardsPerihelion;
            along = axes.alongMotion;
            onCurve = body.conicOrbit->positionAt(days) * kilometresPerAU;
        }
        const double now = conic.parameterOf(onCurve.dot(towards), onCurve.dot(along));
        const Vector3d fromParent = world.placeOf(i) - world.parentPlaceOf(i);
        // The curve's focus, so that the point at the body's parameter is
        // the body's place, whatever placed it; relative to the camera.
        const Vector3d focus = world.parentPlaceOf(i) + (fromParent - worldAxesOf(onCurve)) - cameraKm;

        // The parameters: even along the curve (round an ellipse, out to
        // four perihelion distances or half as far again as the body on an
        // open orbit), and closer and closer on both sides of the body.
        const bool closed = conic.e < 1.0;
        const double reach = closed ? pi : conic.parameterAtDistance(std::max(4.0 * conic.q, 1.5 * onCurve.length()));
        const double evenStep = 2.0 * reach / evenPoints;
        anomalies.clear();
        const double firstEven = closed ? std::ceil((now - pi) / evenStep) * evenStep : -reach;
        for (int k = 0; k < evenPoints + (closed ? 0 : 1); ++k)
            anomalies.push_back(firstEven + k * evenStep - (closed ? now : 0.0));
        if (!closed)
            for (double& u : anomalies)
                u -= now;
        anomalies.push_back(0.0);
        for (int h = 1; h <= halvings; ++h)
        {
            anomalies.push_back(std::ldexp(evenStep, -h));
            anomalies.push_back(-std::ldexp(evenStep, -h));
        }
        std::sort(anomalies.begin(), anomalies.end());
        anomalies.erase(std::unique(anomalies.begin(), anomalies.end()), anomalies.end());

        const std::size_t first = placed.size();
        for (const double turn : anomalies)
        {
            const auto [x, y] = conic.at(now + turn);
            const Vector3d relative = focus + worldAxesOf(towards * x + along * y);
            placed.emplace_back(float(relative.x), float(relative.y), float(relative.z));
        }
        drawn.push_back({i, first, placed.size() - first, closed});
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
        for (std::size_t k = 0; k + (line.closed ? 0 : 1) < line.count; ++k)
        {
            object->index(Ogre::uint32(line.first + k));
            object->index(Ogre::uint32(line.first + (k + 1) % line.count));
        }
    object->end();
    object->setVisible(true);
}
