#include "viewer/Picking.h"

#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreSceneNode.h>

#include <cmath>

double depthAtCentre(const Sphere& sphere, const Ogre::Vector3& eye, const Ogre::Vector3& forward, float slack)
{
    const Ogre::Vector3 toBody = sphere.centre - eye;
    const float ahead = toBody.dotProduct(forward);
    if (!(ahead > 0.0f))
        return INFINITY;
    const float distance = toBody.length();
    const float size = std::abs(sphere.radius);
    // The angle from the view's centre to the body's, against the angle its disc covers.
    const float across = (toBody - ahead * forward).length();
    const float off = std::atan2(across, ahead);
    const float disc = size >= distance ? float(M_PI) : std::asin(size / distance);
    if (!(off <= std::max(disc, slack)))
        return INFINITY;
    // What is seen at the centre is what the line of sight meets first:
    // where it enters the sphere, not the sphere's nearest point, which
    // for a large body off to the side lies well in front of that. A dot
    // met only within the slack counts at its centre's depth.
    const double a = ahead, s = size, c = across;
    return c < s ? std::max(a - std::sqrt((s - c) * (s + c)), 0.0) : a;
}

int sphereAtCentre(const std::vector<Sphere>& spheres, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                   float radiansPerPixel, float slackPixels, double& depth)
{
    int nearest = -1;
    depth = INFINITY;
    for (std::size_t i = 0; i < spheres.size(); ++i)
    {
        const double met = depthAtCentre(spheres[i], eye, forward, slackPixels * radiansPerPixel);
        if (met < depth)
        {
            depth = met;
            nearest = int(i);
        }
    }
    return nearest;
}

int bodyAtCentre(const BodyRegistry& bodies, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                 float radiansPerPixel, float slackPixels, double* depth)
{
    const float slack = slackPixels * radiansPerPixel;
    int nearest = -1;
    double nearestDepth = INFINITY;
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        // Not the position node's derived place: a position node without moons
        // is out of the scene graph, where the engine derives it from its own
        // offset alone; one in the graph lags behind an orbit node turned
        // since the last frame was drawn.
        const Ogre::Vector3 centre = bodyCentre(body);
        const float distance = (centre - eye).length();
        if (!body.nearShown && !farSphereDrawn(body, distance * distance))
            continue;
        const double met = depthAtCentre({centre, body.drawnRadius}, eye, forward, slack);
        if (met < nearestDepth)
        {
            nearestDepth = met;
            nearest = int(i);
        }
    }
    if (depth)
        *depth = nearestDepth;
    return nearest;
}
