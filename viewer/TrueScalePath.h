#ifndef ORVTEST_VIEWER_TRUESCALEPATH_H
#define ORVTEST_VIEWER_TRUESCALEPATH_H

#include "sky/Vector.h"

#include <OgreQuaternion.h>

// A stop of a path at true scale: where the camera stands, km from the Sun
// in double precision, how it is turned, and how far it is there from the
// nearest surface (km): the scale of what it sees.
struct TrueScaleStop
{
    Vector3d placeKm;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    double clearanceKm = 1.0;
};

// Where the camera is `along` (0 to 1, even in time) of the way from one
// stop to the next at true scale. From the Earth to Saturn the gap is
// 30,000 times the camera's distance from either: flown evenly, the
// planets would flash past. So the place goes along the straight line with
// a speed that follows the distance from the nearer end plus that end's
// clearance: the log of that distance grows evenly, from the first stop to
// the middle, and shrinks evenly to the last. In double precision: the
// camera's place stays exact to the metre the whole way.
Vector3d trueScalePathPlace(const TrueScaleStop& from, const TrueScaleStop& to, double along);
// The turn, from one stop's to the next's the short way round, at the same pace.
Ogre::Quaternion trueScalePathTurn(const TrueScaleStop& from, const TrueScaleStop& to, double along);
// How far along the line (0 to 1) the place is at `along` of the time.
double trueScalePathShare(const TrueScaleStop& from, const TrueScaleStop& to, double along);

#endif
