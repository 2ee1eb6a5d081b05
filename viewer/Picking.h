#ifndef ORVTEST_VIEWER_PICKING_H
#define ORVTEST_VIEWER_PICKING_H

#include <OgreVector.h>

class BodyRegistry;

// The body under the centre of the view, from the bodies' places and sizes
// (no pixels are read back): of the bodies drawn (near, or far within their
// drawing distance plus their size) in front of the camera at `eye` looking
// along the unit vector `forward`, those whose disc covers the centre, or
// whose centre lies within `slackPixels` of it, a far dot being small; the
// one the line of sight meets first. Places are taken from the nodes as they
// stand now, drawn yet or not. `radiansPerPixel` is the view's angle across
// one pixel. -1 when no body is there.
int bodyAtCentre(const BodyRegistry& bodies, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                 float radiansPerPixel, float slackPixels = 4.0f);

#endif
