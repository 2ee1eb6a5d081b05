#ifndef ORVTEST_SKY_THEORIES_H
#define ORVTEST_SKY_THEORIES_H

#include "sky/Vector.h"

#include <string>
#include <vector>

// Full theories of motion for the planets (VSOP87) and the Moon (ELP
// 2000-82B), as libnova computes them, in the J2000 ecliptic frame. A body
// that names one is placed by it; its Keplerian elements still draw its
// orbit line and stand in outside the theory's years.
//
// libnova keeps caches of its own between calls: ask from one thread only.
struct Theory
{
    const char* name;            // as the system file's Theory key names it
    double referenceDistance;    // the body's mean distance, in the theory's unit
    double firstYear;            // the years over which it holds to about an arcminute
    double lastYear;
    // Days between the samples a TheoryTrack interpolates (sky/TheoryTrack.h).
    double sampleDays = 1.0;
    // The theory as the clock's corner names it, one name for all its bodies.
    const char* family = "";
    // Kilometres in the theory's unit of length: the AU's for the planets,
    // 1 for the Moon's theory, which is in km.
    double kilometresPerUnit = 1.0;
};

// The astronomical unit, km: IAU 2012 Resolution B2 (149,597,870,700 m exactly).
constexpr double kilometresPerAU = 149597870.7;

// Every theory that can be named.
const std::vector<Theory>& theories();
// The theory of that name, or null.
const Theory* findTheory(const std::string& name);

// The place the theory gives at TT days from J2000, in the J2000 ecliptic
// frame, divided by its reference distance: heliocentric for the planets,
// geocentric for the Moon. Zero for a theory not in the list.
Vector3d theoryPlace(const Theory& theory, double dynamicalDays);

// Whether a TT date lies within the theory's years.
bool theoryHolds(const Theory& theory, double dynamicalDays);

#endif
