#ifndef ORVTEST_VIEWER_PICKING_H
#define ORVTEST_VIEWER_PICKING_H

#include <OgreVector.h>

#include <vector>

class BodyRegistry;

// The body under the centre of the view, from the bodies' places and sizes
// (no pixels are read back): of the bodies drawn (near, or far within their
// drawing distance plus their size) in front of the camera at `eye` looking
// along the unit vector `forward`, those whose disc covers the centre, or
// whose centre lies within `slackPixels` of it, a far dot being small; the
// one the line of sight meets first. Places are taken from the nodes as they
// stand now, drawn yet or not. `radiansPerPixel` is the view's angle across
// one pixel. -1 when no body is there.
// `depth`, when given, receives how far along the line of sight it is met.
int bodyAtCentre(const BodyRegistry& bodies, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                 float radiansPerPixel, float slackPixels = 4.0f, double* depth = nullptr);

// A sphere that may stand under the centre: a catalogue body, its place and
// the radius it is drawn with.
struct Sphere
{
    Ogre::Vector3 centre;
    float radius;
};

// How far along the line of sight from `eye` (unit `forward`) the centre of
// the view meets the sphere: where it enters it, or, for a sphere whose
// centre is within `slack` radians of the line but whose disc does not
// cover it (a dot), its centre's depth; infinity when it is not there or
// behind the camera.
double depthAtCentre(const Sphere& sphere, const Ogre::Vector3& eye, const Ogre::Vector3& forward, float slack);

// Of the spheres, the one met first at the centre of the view, as
// bodyAtCentre judges; -1 for none. `depth` receives how far it is.
int sphereAtCentre(const std::vector<Sphere>& spheres, const Ogre::Vector3& eye, const Ogre::Vector3& forward,
                   float radiansPerPixel, float slackPixels, double& depth);

#endif
