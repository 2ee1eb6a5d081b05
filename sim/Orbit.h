#ifndef ORVTEST_SIM_ORBIT_H
#define ORVTEST_SIM_ORBIT_H

#include <OgreQuaternion.h>
#include <OgreVector.h>

// Bodies that follow the clock: a Keplerian orbit from orbital elements and a
// spin from a rotation model, at any date.
//
// Frames. Elements are given in the J2000 ecliptic frame: x towards the
// vernal equinox of J2000, z towards the north ecliptic pole. The world's
// axes are X towards the vernal equinox, Y towards the north ecliptic pole
// (up, the axis frame-locked orbits turn about by default) and Z towards
// ecliptic longitude 270°, so that the frame stays right-handed. Spin poles
// are given in the J2000 equatorial frame (right ascension and declination),
// as the IAU rotation models give them.
//
// Time is counted in days from J2000 (2000-01-01T12:00:00); dynamical time
// and UTC are taken as equal, a minute apart at most.

// The obliquity of the ecliptic at J2000 (IAU 1976, as the IAU rotation
// models use it), degrees.
constexpr double obliquityJ2000 = 23.4392911;

// A point in double precision: orbits are worked out in it, and only the
// place in the world is single precision.
struct Place
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// The world's axes for a place given in the J2000 ecliptic frame.
Ogre::Vector3 worldFromEcliptic(const Place& ecliptic);
// Ecliptic longitude and latitude (degrees, longitude 0 to 360) and
// distance of a place in the ecliptic frame, or in the world, as seen from
// the origin.
Place eclipticSpherical(const Place& ecliptic);
Place eclipticSpherical(const Ogre::Vector3& world);

// A Keplerian orbit. Angles in degrees, at the epoch.
struct OrbitElements
{
    double epochDays = 0.0;      // days from J2000
    double periodDays = 0.0;     // sidereal: the mean longitude goes round in it; > 0
    double eccentricity = 0.0;   // 0 to below 1
    double inclination = 0.0;    // to the J2000 ecliptic
    double ascendingNode = 0.0;  // longitude of the ascending node
    double periapsis = 0.0;      // argument of periapsis
    double meanAnomaly = 0.0;
    double nodeDays = 0.0;       // the node goes round in this many days (negative: backwards); 0 fixed
    double periapsisDays = 0.0;  // the argument of periapsis likewise
};

// An eccentric anomaly E (radians) with its sine and cosine, as a solution of
// Kepler's equation leaves them for the next.
struct EccentricAnomaly
{
    double angle = 0.0;
    double sine = 0.0;
    double cosine = 1.0;
};

// Solves Kepler's equation E - e sin E = M for the eccentric anomaly of
// `meanAnomaly` (radians, any number of turns) on an ellipse of eccentricity
// e (0 to below 1), to within 1e-14, for any eccentricity. `solution` comes
// in as a guess (the last frame's: near, it takes one sine and cosine) and
// goes out solved, E brought within a turn of M.
void solveKepler(double meanAnomaly, double eccentricity, EccentricAnomaly& solution);

// Where an orbit stands at a time: the place relative to the parent in the
// J2000 ecliptic frame, in units of the semi-major axis; `solution` is the
// guess for the next time in, and comes out solved.
class KeplerOrbit
{
public:
    explicit KeplerOrbit(const OrbitElements& elements);

    Place placeAt(double days, EccentricAnomaly& solution) const;
    Place placeAt(double days) const;
    // Mean anomaly (radians, any value) and the node and argument of
    // periapsis (degrees) at a time.
    double meanAnomalyAt(double days) const;
    double ascendingNodeAt(double days) const;
    double periapsisAt(double days) const;
    // Whether the orbit's plane or ellipse turns with time.
    bool precesses() const { return nodeRate != 0.0 || periapsisRate != 0.0; }
    // The turn from the orbit's own frame (x to periapsis, z to its pole) to
    // the ecliptic's, at a time; for the orbit line.
    Ogre::Quaternion planeAt(double days) const;

    const OrbitElements elements;

private:
    double meanMotion;           // radians a day of the mean anomaly
    double nodeRate;             // degrees a day
    double periapsisRate;
    double semiMinor;            // b / a
    Place towardsPeriapsis;      // unit vectors of the orbit's plane, while it does not turn
    Place acrossPeriapsis;
};

// A rotation model: the pole and the prime meridian's angle W (degrees),
// which grows by 360° in `periodHours` (negative: turning backwards).
struct SpinElements
{
    double epochDays = 0.0;
    double periodHours = 0.0;
    double meridian = 0.0;       // W at the epoch
    double poleRA = 270.0;       // the default pole is the ecliptic's
    double poleDec = 90.0 - obliquityJ2000;
};

// The orientation in the world of a body turned as the model says. Its
// local +Y axis is the pole, local -Z the prime meridian, local -X 90° east:
// where the generated spheres put a map's north, middle and east.
class BodySpin
{
public:
    explicit BodySpin(const SpinElements& elements);

    // The prime meridian's angle at a time, degrees from 0 to 360.
    double meridianAt(double days) const;
    Ogre::Quaternion orientationAt(double days) const;

    const SpinElements elements;

private:
    Ogre::Quaternion atMeridianZero;
};

#endif
