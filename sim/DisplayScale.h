#ifndef ORVTEST_SIM_DISPLAYSCALE_H
#define ORVTEST_SIM_DISPLAYSCALE_H

#include "sky/RadialMap.h"
#include "sky/Vector.h"

#include <OgreVector.h>

#include <cstddef>
#include <vector>

class BodyRegistry;

// The planets that set a system's display scale: the Sun's bodies that
// follow the clock, each with its true semi-major axis (from its VSOP87
// theory's reference distance, else from OrbitDays by Kepler's third law)
// and its OrbitRadius. The largest by Size first, at most `most` of them:
// beside a generated belt of thousands of dated asteroids the planets set
// the scale, and an asteroid that disagrees with them is left out
// (RadialMap takes its pairs in this order).
std::vector<DistancePair> planetDistances(const BodyRegistry& bodies, std::size_t most = 16);

// The map from true distances from the Sun to the system's world units
// through those planets (sky/RadialMap.h).
RadialMap displayMapOf(const BodyRegistry& bodies);

// Where a body at a heliocentric place (AU, J2000 ecliptic) stands in the
// world: in its direction from the Sun, at the mapped distance.
Ogre::Vector3 displayPlace(const Vector3d& heliocentric, const RadialMap& map);

#endif
