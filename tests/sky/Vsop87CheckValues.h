#ifndef ORVTEST_TESTS_SKY_VSOP87CHECKVALUES_H
#define ORVTEST_TESTS_SKY_VSOP87CHECKVALUES_H

#include "sky/Vector.h"

// vsop87.chk of the VSOP87 distribution (Bretagnon & Francou 1988), version
// A: heliocentric rectangular coordinates in the dynamical ecliptic and
// equinox of J2000, AU, at 12h TDB; for each planet J2000 and the earliest
// date the file gives it, all before 1800.
struct Vsop87CheckValue
{
    const char* planet;
    double julianDay;
    Vector3d place;
};
inline constexpr Vsop87CheckValue vsop87CheckValues[] = {
    {"Mercury", 2451545.0, {-0.1300934115, -0.4472876716, -0.0245983802}},
    {"Mercury", 2305445.0, {0.2314047967, -0.3620120986, -0.0508588210}},
    {"Venus", 2451545.0, {-0.7183022797, -0.0326546017, 0.0410142975}},
    {"Venus", 2122820.0, {-0.6660158465, -0.2753592311, 0.0357874175}},
    {"Earth", 2451545.0, {-0.1771354586, 0.9672416237, -0.0000039000}},
    {"Earth", 2305445.0, {-0.2214982928, 0.9578483181, 0.0008568250}},
    {"Mars", 2451545.0, {1.3907159264, -0.0134157043, -0.0344677967}},
    {"Mars", 2305445.0, {-0.8307668241, 1.4098595097, 0.0504536061}},
    {"Jupiter", 2451545.0, {4.0011740268, 2.9385810077, -0.1017837501}},
    {"Jupiter", 2305445.0, {-4.0547959775, 3.4799857072, 0.0779960099}},
    {"Saturn", 2451545.0, {6.4064068573, 6.5699929449, -0.3690768029}},
    {"Saturn", 2122820.0, {-7.9395559173, -5.8435867016, 0.4165601597}},
    {"Uranus", 2451545.0, {14.4318934159, -13.7343162527, -0.2381421963}},
    {"Uranus", 2305445.0, {16.1020987626, 11.4900726864, -0.1664618891}},
    {"Neptune", 2451545.0, {16.8121116576, -24.9916630908, 0.1272190171}},
    {"Neptune", 2305445.0, {-26.5823264272, 14.1935610229, 0.3196842255}},
};

#endif
