#include "viewer/Picking.h"

#include "sim/BodyRegistry.h"

#include <OgreSceneNode.h>

#include <cmath>

int bodyAtCentre(const BodyRegistry& bodies, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                 float radiansPerPixel, float slackPixels)
{
    const float slack = slackPixels * radiansPerPixel;
    int nearest = -1;
    float nearestDistance = INFINITY;
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        const Ogre::Vector3 toBody = body.positionNode->_getDerivedPosition() - eye;
        const float ahead = toBody.dotProduct(forward);
        if (!(ahead > 0.0f))
            continue;
        const float distance = toBody.length();
        const bool farDrawn = body.farShown && body.definition.Far && distance <= body.definition.FarDistance;
        if (!body.nearShown && !farDrawn)
            continue;
        // The angle from the view's centre to the body's, against the angle its disc covers.
        const float off = std::atan2((toBody - ahead * forward).length(), ahead);
        const float size = std::abs(body.definition.Size);
        const float disc = size >= distance ? float(M_PI) : std::asin(size / distance);
        if (!(off <= std::max(disc, slack)))
            continue;
        const float surface = std::max(distance - size, 0.0f);
        if (surface < nearestDistance)
        {
            nearestDistance = surface;
            nearest = int(i);
        }
    }
    return nearest;
}
