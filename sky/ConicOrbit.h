#ifndef ORVTEST_SKY_CONICORBIT_H
#define ORVTEST_SKY_CONICORBIT_H

#include "sky/Vector.h"

// Orbits about the Sun of any eccentricity (ellipse, parabola, hyperbola)
// from the elements the catalogues give, as pure two-body motion: no
// planetary masses, the Sun's mass 1.
//
// One formulation serves every eccentricity: Kepler's equation in the
// universal variable χ with the Stumpff functions c2 and c3, as Danby
// ("Fundamentals of Celestial Mechanics", 2nd ed., universal variables) and
// Vallado's universal Kepler solver ("Fundamentals of Astrodynamics and
// Applications") set it out, here written from perihelion, where the
// radial velocity is zero. Nothing changes form at e = 1, so orbits near it
// keep their precision. Days are dynamical time (TT; TDB within 2 ms) from
// J2000 (sky/TimeScales.h); distances in AU; angles in degrees.

// The Gaussian gravitational constant k, AU^(3/2) per day (IAU 1976 System
// of Astronomical Constants, the defining constant of the astronomical
// unit): the Sun's GM is k² AU³/day².
constexpr double gaussianGravitationalConstant = 0.01720209895;

// An orbit as the comet catalogues give it, referred to the J2000 ecliptic
// and equinox.
struct ConicElements
{
    double perihelionDistance = 1.0;   // q, AU, > 0
    double eccentricity = 0.0;         // e >= 0
    double inclination = 0.0;
    double ascendingNode = 0.0;
    double periapsis = 0.0;            // argument of perihelion
    double perihelionDays = 0.0;       // T, the time of perihelion passage
};

// The same orbit from a semi-major axis and the mean anomaly at an epoch,
// as the asteroid catalogues give it: a > 0 with e < 1, or a < 0 with e > 1
// (the hyperbolic mean anomaly, as JPL gives it). Then q = a (1 - e) and
// T = epoch - M / n with n = k / |a|^(3/2).
ConicElements conicFromMeanAnomaly(double semiMajorAxis, double eccentricity, double inclination,
                                   double ascendingNode, double periapsis, double meanAnomaly, double epochDays);

// A place in the orbit's own plane, AU: x towards perihelion, y the
// direction of motion there.
struct PlaneState
{
    double x = 0.0;
    double y = 0.0;
    double vx = 0.0;   // AU a day
    double vy = 0.0;
};

// Where a body of perihelion distance q (AU) and eccentricity e stands
// `daysFromPerihelion` days after passing perihelion (negative: before), in
// the orbit's plane. Solves the universal Kepler equation to the last bits
// of a double for any time; an ellipse's time is taken modulo its period
// first.
PlaneState stateInPlane(double perihelionDistance, double eccentricity, double daysFromPerihelion);

// The orbit's own axes in the J2000 ecliptic frame: towards perihelion and
// along the motion at perihelion (unit vectors).
struct OrbitAxes
{
    Vector3d towardsPerihelion;
    Vector3d alongMotion;
};
OrbitAxes orbitAxes(double inclination, double ascendingNode, double periapsis);

// An orbit about the Sun, ready to place its body at any time.
class ConicOrbit
{
public:
    explicit ConicOrbit(const ConicElements& elements);

    // Heliocentric place (AU) and velocity (AU a day), J2000 ecliptic, at
    // TT days from J2000.
    Vector3d positionAt(double days) const;
    void stateAt(double days, Vector3d& position, Vector3d& velocity) const;

    const ConicElements elements;

private:
    OrbitAxes axes;
};

// The Stumpff functions c2(z) = (1 - cos √z) / z and c3(z) = (√z - sin √z) /
// z^(3/2), continued to z <= 0 through cosh and sinh, and by their series
// near 0, where the closed forms lose their digits.
void stumpff(double z, double& c2, double& c3);

#endif
