#ifndef ORVTEST_SIM_WORLDLIMITS_H
#define ORVTEST_SIM_WORLDLIMITS_H

#include <OgreVector.h>

#include <cmath>
#include <cstddef>

// What the engine can draw. Beyond these its single-precision bounding-box
// sums overflow, or its recursive walks of the scene tree overflow the stack,
// and it stops the program.

// Lengths (sizes, orbit radii, the light's range, the star field, the near
// clip) are at most this large, in world units.
constexpr double worldExtent = 1e18;
constexpr float maxWorldExtent = float(worldExtent);

// Moons of moons at most this deep below the sun. The engine walks the scene
// tree recursively, a few hundred bytes of stack per level: on the default
// 8 MiB stack it survived a chain 40,000 deep and crashed at 50,000. A real
// system is a handful deep.
constexpr int maxMoonDepth = 1000;

// Bytes of a body's Name the viewer shows; a longer one is cut. The status
// line, labels and the go-to prompt are made for names, not for megabytes.
constexpr std::size_t longestName = 64;

// A length as the world can hold it: within its extent.
inline float withinWorld(float length)
{
    return length < -maxWorldExtent ? -maxWorldExtent : length > maxWorldExtent ? maxWorldExtent : length;
}

// Whether a point has a place in the world at all.
inline bool isFinite(const Ogre::Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Stars in the star field at most: more add nothing to the sky and cost
// memory and frames.
constexpr int maxStarCount = 100000;

#endif
