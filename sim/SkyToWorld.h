#ifndef ORVTEST_SIM_SKYTOWORLD_H
#define ORVTEST_SIM_SKYTOWORLD_H

#include "sky/Vector.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

// The one edge between the sky's double-precision maths (sky/) and the
// engine's single-precision world.
//
// The world's axes: X towards the vernal equinox of J2000, Y towards the
// north ecliptic pole (up, the axis frame-locked orbits turn about by
// default) and Z towards ecliptic longitude 270°, so that the frame stays
// right-handed.

// A point or direction of the J2000 ecliptic frame in the world's axes, and back.
inline Ogre::Vector3 worldFromEcliptic(const Vector3d& e)
{
    return Ogre::Vector3(float(e.x), float(e.z), float(-e.y));
}
// The same in double precision, for kilometres at true scale.
inline Vector3d worldAxesOf(const Vector3d& e)
{
    return {e.x, e.z, -e.y};
}
inline Vector3d eclipticFromWorld(const Ogre::Vector3& w)
{
    return {double(w.x), -double(w.z), double(w.y)};
}

// A turn whose result is expressed in the ecliptic frame (a body's local
// frame to the ecliptic), as the engine's turn into the world.
inline Ogre::Quaternion worldFromEcliptic(const Quaterniond& q)
{
    // The ecliptic's axes in the world's: -90° about X.
    const double half = std::sqrt(0.5);
    const Quaterniond world = Quaterniond{half, -half, 0.0, 0.0} * q;
    return Ogre::Quaternion(float(world.w), float(world.x), float(world.y), float(world.z));
}

#endif
