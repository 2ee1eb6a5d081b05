// Orbits measured from a local Laplace plane, as the satellite tables give
// them: the plane's node on the J2000 equator as the origin of the node, the
// plane's pole as the axis the node turns about (on the real moons, with
// their periods, sim/MoonsTest's).

#include "SkyReferences.h"
#include "sky/Orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
// The orbit's pole at a time, in the J2000 ecliptic frame.
Vector3d poleOf(const KeplerOrbit& orbit, double days) { return orbit.planeAt(days) * Vector3d{0.0, 0.0, 1.0}; }

// Iapetus, JPL SSD "Planetary Satellite Mean Orbital Parameters", mean
// elements referred to the local Laplace plane (Saturn table), as quoted at
// https://astronomy.stackexchange.com/q/45456: a 3560854 km, e 0.0293,
// w 271.606, M 201.789, i 8.298, node 81.105, n 4.5379416 deg/day,
// Pnode 3438.73 yr, Laplace pole R.A. 284.715, Dec. 78.749 (the quote gives
// no epoch; the node moves 0.1 degrees a year, the pole of an orbit tilted
// 8.3 degrees 0.015, so the plane is taken as it stands).
OrbitElements iapetus()
{
    OrbitElements elements;
    elements.periodDays = 360.0 / 4.5379416;
    elements.eccentricity = 0.0293;
    elements.inclination = 8.298;
    elements.ascendingNode = 81.105;
    elements.periapsis = 271.606;
    elements.meanAnomaly = 201.789;
    elements.referencePoleRA = 284.715;
    elements.referencePoleDec = 78.749;
    return elements;
}

TEST(LaplacePlaneTest, IapetussTableRowGivesThePlaneOfItsHorizonsStateVector)
{
    // JPL Horizons, Iapetus (608) relative to Saturn (699), sat427l_merged_DE438,
    // 2009-Feb-24 10:42:30.6 TDB, ecliptic of J2000, au and au/day (pasted in the
    // same question). Its angular momentum is the orbit's pole.
    const Vector3d r{-3.667428122525245E-03, -2.292450955142063E-02, 6.128563674523897E-03};
    const Vector3d v{1.818570055804101E-03, -3.151270839204952E-04, -2.929182822870737E-04};
    const Vector3d momentum = r.cross(v);
    const double days = 2454886.9461875 - 2451545.0;

    const KeplerOrbit onItsPlane(iapetus());
    EXPECT_LT(degreesBetween(poleOf(onItsPlane, days), momentum), 1.0);

    // Read as ecliptic elements, the same numbers tilt the orbit wrongly by about 15 degrees.
    OrbitElements asEcliptic = iapetus();
    asEcliptic.referencePoleRA = eclipticPoleRA;
    asEcliptic.referencePoleDec = eclipticPoleDec;
    EXPECT_GT(degreesBetween(poleOf(KeplerOrbit(asEcliptic), days), momentum), 10.0);
}

// The ecliptic is the plane tilted by the obliquity to the J2000 equator, its
// ascending node the vernal equinox, and the equator the plane tilted as much
// to the ecliptic with its ascending node at the autumnal equinox. A
// reference plane's node on the J2000 equator is at its pole's right
// ascension + 90°, so the celestial pole named by any right ascension gives
// the same ecliptic, its node moved to match.
// The reference plane's pole; the orbit's ascending node's ecliptic longitude,
// and the ecliptic longitude and latitude of the body 90° past it.
struct PlaneCase { double poleRA, poleDec, inclination, node, nodeLongitude, longitude, latitude; };
const PlaneCase planeCases[] = {
    {270.0, 90.0, obliquityJ2000, 0.0, 0.0, 90.0, 0.0},   // the ecliptic on the equator
    {0.0, 90.0, obliquityJ2000, 270.0, 0.0, 90.0, 0.0},
    {90.0, 90.0, obliquityJ2000, 180.0, 0.0, 90.0, 0.0},
    {eclipticPoleRA, eclipticPoleDec, obliquityJ2000, 180.0, 180.0, 270.0, obliquityJ2000},   // the equator
    {eclipticPoleRA, eclipticPoleDec, 0.0, 0.0, 0.0, 90.0, 0.0},   // the ecliptic on itself
};

TEST(LaplacePlaneTest, TheEclipticAndTheEquatorAreEachOthersPlanesWithTheEquinoxesAsNodes)
{
    for (const PlaneCase& plane : planeCases)
    {
        OrbitElements elements;
        elements.periodDays = 100.0;
        elements.inclination = plane.inclination;
        elements.ascendingNode = plane.node;
        elements.meanAnomaly = 90.0;
        elements.referencePoleRA = plane.poleRA;
        elements.referencePoleDec = plane.poleDec;
        const KeplerOrbit orbit(elements);
        const std::string what = "pole " + std::to_string(plane.poleRA) + " " + std::to_string(plane.poleDec);
        const Vector3d atNode = spherical(orbit.placeAt(-25.0));   // a quarter period back
        EXPECT_NEAR(0.0, std::remainder(plane.nodeLongitude - atNode.x, 360.0), 1e-9) << what;
        EXPECT_NEAR(0.0, atNode.y, 1e-9) << what;
        const Vector3d past = spherical(orbit.placeAt(0.0));
        EXPECT_NEAR(0.0, std::remainder(plane.longitude - past.x, 360.0), 1e-9) << what;
        EXPECT_NEAR(plane.latitude, past.y, 1e-9) << what;
    }
}

}
