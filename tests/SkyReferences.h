#ifndef ORVTEST_TESTS_SKYREFERENCES_H
#define ORVTEST_TESTS_SKYREFERENCES_H

// What several tests hold the sky against: angles between directions, the
// Earth's place, and Standish's semi-major axes of the planets.

#include "sky/Frames.h"
#include "sky/Theories.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

constexpr double julianDayOfJ2000 = 2451545.0;
constexpr double arcsecond = 1.0 / 3600.0;   // degrees

// By atan2, which keeps small angles and angles near 180° exact.
inline double degreesBetween(const Vector3d& a, const Vector3d& b)
{
    return std::atan2(a.cross(b).length(), a.dot(b)) / radiansPerDegree;
}

// Heliocentric J2000 ecliptic place of the Earth, AU, at TT days (VSOP87 through libnova).
inline Vector3d earthAt(double days)
{
    const Theory& earth = *findTheory("VSOP87-Earth");
    return theoryPlace(earth, days) * earth.referenceDistance;
}

// Standish, "Keplerian Elements for Approximate Positions of the Major
// Planets", table 1 (J2000 ecliptic): semi-major axes, AU. data/1.cfg
// draws the planets at OrbitRadius 1000 to 7600 for these.
struct PlanetAxis
{
    const char* planet;
    double au;
};
inline constexpr PlanetAxis standishAxes[] = {
    {"Mercury", 0.38709927}, {"Venus", 0.72333566}, {"Earth", 1.00000261},   {"Mars", 1.52371034},
    {"Jupiter", 5.20288700}, {"Saturn", 9.53667594}, {"Uranus", 19.18916464}, {"Neptune", 30.06992276}};

inline double standishAxis(const std::string& planet)
{
    for (const PlanetAxis& row : standishAxes)
        if (planet == row.planet)
            return row.au;
    ADD_FAILURE() << "no semi-major axis for " << planet;
    return 1.0;
}

#endif
