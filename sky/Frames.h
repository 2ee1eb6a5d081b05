#ifndef ORVTEST_SKY_FRAMES_H
#define ORVTEST_SKY_FRAMES_H

#include "sky/Vector.h"

// The sky's frames and the angles between them.
//
// The J2000 ecliptic frame: x towards the vernal equinox of J2000, z towards
// the north pole of the J2000 ecliptic. The J2000 equatorial frame (the
// ICRF, to the precision that matters here): x towards the same equinox, z
// towards the celestial north pole. Orbits are worked out in the first; spin
// poles and Laplace planes are given in the second, in right ascension and
// declination, as the IAU rotation models and the satellite tables give them.

constexpr double pi = 3.14159265358979323846;
constexpr double radiansPerDegree = pi / 180.0;

// The obliquity of the ecliptic at J2000 (IAU 1976, as the IAU rotation
// models use it), degrees.
constexpr double obliquityJ2000 = 23.4392911;

// The J2000 equatorial coordinates of the ecliptic's north pole, degrees: the
// default pole of a spin and of a Laplace plane.
constexpr double eclipticPoleRA = 270.0;
constexpr double eclipticPoleDec = 90.0 - obliquityJ2000;

// A direction of the J2000 equatorial frame in the ecliptic frame, and back.
Vector3d eclipticFromEquatorial(const Vector3d& equatorial);
Vector3d equatorialFromEcliptic(const Vector3d& ecliptic);

// The unit vector of right ascension and declination (degrees), J2000 equatorial.
Vector3d equatorialDirection(double rightAscension, double declination);

// Longitude (0 to 360), latitude (degrees) and distance of a point, seen from
// the origin of its frame: x, y and z of the result.
Vector3d spherical(const Vector3d& point);

// An angle in degrees brought into [0, 360).
double normalisedDegrees(double degrees);

// A frame whose z axis is the pole (right ascension, declination; J2000
// equatorial) and whose x axis is the ascending node of its equator on the
// J2000 equator, as a turn from that frame to the ecliptic frame. The IAU
// rotation models count a body's prime meridian from this node, and the
// satellite tables a Laplace plane's node.
Quaterniond poleFrame(double rightAscension, double declination);

#endif
