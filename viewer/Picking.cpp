#include "viewer/Picking.h"

#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreSceneNode.h>

#include <cmath>

int bodyAtCentre(const BodyRegistry& bodies, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                 float radiansPerPixel, float slackPixels)
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
        const Ogre::Vector3 toBody = bodyCentre(body) - eye;
        const float ahead = toBody.dotProduct(forward);
        if (!(ahead > 0.0f))
            continue;
        const float distance = toBody.length();
        const float size = std::abs(body.drawnRadius);
        if (!body.nearShown && !farSphereDrawn(body, distance * distance))
            continue;
        // The angle from the view's centre to the body's, against the angle its disc covers.
        const float across = (toBody - ahead * forward).length();
        const float off = std::atan2(across, ahead);
        const float disc = size >= distance ? float(M_PI) : std::asin(size / distance);
        if (!(off <= std::max(disc, slack)))
            continue;
        // What is seen at the centre is what the line of sight meets first:
        // where it enters the sphere, not the sphere's nearest point, which
        // for a large body off to the side lies well in front of that. A dot
        // met only within the slack counts at its centre's depth.
        const double a = ahead, s = size, c = across;
        const double depth = c < s ? std::max(a - std::sqrt((s - c) * (s + c)), 0.0) : a;
        if (depth < nearestDepth)
        {
            nearestDepth = depth;
            nearest = int(i);
        }
    }
    return nearest;
}
