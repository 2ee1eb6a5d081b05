#ifndef ORVTEST_SKY_SPIN_H
#define ORVTEST_SKY_SPIN_H

#include "sky/Frames.h"

// A rotation model as the IAU gives them: the pole in J2000 right ascension
// and declination, moving linearly in Julian centuries, and the prime
// meridian's angle W (degrees), counted from the ascending node of the body's
// equator on the J2000 equator, growing by 360° in `periodHours` (negative:
// turning backwards). Days are dynamical time from J2000.
struct SpinElements
{
    double epochDays = 0.0;
    double periodHours = 0.0;
    double meridian = 0.0;       // W at the epoch
    double poleRA = eclipticPoleRA;
    double poleDec = eclipticPoleDec;
    double poleRARate = 0.0;     // degrees a Julian century
    double poleDecRate = 0.0;
};

// The orientation of a body turned as the model says. Its local +Y axis is
// the pole, local -Z the prime meridian, local -X 90° east: where the
// generated spheres put a map's north, middle and east.
class BodySpin
{
public:
    explicit BodySpin(const SpinElements& elements);

    // The prime meridian's angle at a time, degrees from 0 to 360.
    double meridianAt(double days) const;
    // The pole's right ascension and declination at a time: x and y.
    Vector3d poleAt(double days) const;
    // The turn from the body's local frame to the J2000 ecliptic frame.
    Quaterniond orientationAt(double days) const;

    const SpinElements elements;

private:
    // Local axes to the ecliptic at W = 0, for a pole that stays.
    Quaterniond atMeridianZero;
};

// The orientation of a body that keeps one face to its parent, as a
// synchronous moon does: its prime meridian (local -Z) towards the parent,
// its pole (local +Y) its orbit's pole, or the opposite one for a body that
// turns backwards (Triton). `place` is the body's from its parent and
// `orbitPole` its orbit's, both in the J2000 ecliptic frame.
Quaterniond facingParent(const Vector3d& place, const Vector3d& orbitPole, bool backwards);

// The prime meridian's angle W of an orientation (local frame to the J2000
// ecliptic, as BodySpin gives it), degrees from 0 to 360: counted east from
// the ascending node of the body's equator on the J2000 equator.
double meridianOf(const Quaterniond& orientation);

#endif
