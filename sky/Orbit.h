#ifndef ORVTEST_SKY_ORBIT_H
#define ORVTEST_SKY_ORBIT_H

#include "sky/Frames.h"
#include "sky/Kepler.h"

// A Keplerian orbit whose plane and ellipse may turn: Days are dynamical
// time (TT) from J2000 (sky/TimeScales.h); angles in degrees.
//
// The inclination, node and argument of periapsis are measured from a
// reference plane given by its pole: by default the J2000 ecliptic, as the
// planets' elements are, or a moon's local Laplace plane, as the satellite
// tables give them. The node is counted from the plane's ascending node on
// the J2000 equator (for the ecliptic: from the equinox) and turns about the
// plane's pole; so a moon's orbit keeps its tilt to its Laplace plane while
// its tilt to the ecliptic swings with the node.
struct OrbitElements
{
    double epochDays = 0.0;
    double periodDays = 0.0;     // sidereal: the mean longitude goes round in it; > 0
    double eccentricity = 0.0;   // 0 to below 1
    double inclination = 0.0;
    double ascendingNode = 0.0;
    double periapsis = 0.0;      // argument of periapsis
    double meanAnomaly = 0.0;
    double nodeDays = 0.0;       // the node goes round in this many days (negative: backwards); 0 fixed
    double periapsisDays = 0.0;  // the argument of periapsis likewise
    double referencePoleRA = eclipticPoleRA;     // J2000 equatorial
    double referencePoleDec = eclipticPoleDec;
};

// Where an orbit stands at a time: the place relative to the parent in the
// J2000 ecliptic frame, in units of the semi-major axis.
class KeplerOrbit
{
public:
    explicit KeplerOrbit(const OrbitElements& elements);

    // `solution` is the guess for this time (the last one's), and comes out solved.
    Vector3d placeAt(double days, EccentricAnomaly& solution) const;
    Vector3d placeAt(double days) const;
    // Mean anomaly (radians, any value) and the node and argument of
    // periapsis (degrees) at a time.
    double meanAnomalyAt(double days) const;
    double ascendingNodeAt(double days) const;
    double periapsisAt(double days) const;
    // Whether the orbit's plane or ellipse turns with time.
    bool precesses() const { return nodeRate != 0.0 || periapsisRate != 0.0; }
    // The turn from the orbit's own frame (x to periapsis, z to its pole) to
    // the ecliptic's, at a time; for the orbit line.
    Quaterniond planeAt(double days) const;
    // The inclination to the J2000 ecliptic at a time, degrees.
    double eclipticInclinationAt(double days) const;

    const OrbitElements elements;

private:
    double meanMotion;           // radians a day of the mean anomaly
    double nodeRate;             // degrees a day
    double periapsisRate;
    double semiMinor;            // b / a
    Quaterniond reference;       // from the reference plane's frame to the ecliptic
    Vector3d towardsPeriapsis;   // in the ecliptic, while the orbit does not turn
    Vector3d acrossPeriapsis;
};

#endif
