#include "sky/Orbit.h"

#include <algorithm>
#include <cmath>

namespace
{
// Degrees a day of something that turns once in `days`; none for 0, or for
// periods so short that no clock could show them.
double rateOf(double days)
{
    const double rate = days != 0.0 ? 360.0 / days : 0.0;
    return std::abs(rate) < 1e12 ? rate : 0.0;
}

// The directions of periapsis and of 90° past it, in the reference plane's frame.
void planeVectors(double node, double periapsis, double inclination, Vector3d& towards, Vector3d& across)
{
    const double cn = std::cos(node * radiansPerDegree), sn = std::sin(node * radiansPerDegree);
    const double cw = std::cos(periapsis * radiansPerDegree), sw = std::sin(periapsis * radiansPerDegree);
    const double ci = std::cos(inclination * radiansPerDegree), si = std::sin(inclination * radiansPerDegree);
    towards = {cn * cw - sn * sw * ci, sn * cw + cn * sw * ci, sw * si};
    across = {-cn * sw - sn * cw * ci, -sn * sw + cn * cw * ci, cw * si};
}
}

KeplerOrbit::KeplerOrbit(const OrbitElements& orbit)
    : elements(orbit), nodeRate(rateOf(orbit.nodeDays)), periapsisRate(rateOf(orbit.periapsisDays)),
      semiMinor(std::sqrt(1.0 - orbit.eccentricity * orbit.eccentricity)),
      reference(poleFrame(orbit.referencePoleRA, orbit.referencePoleDec))
{
    // The mean longitude goes round in the period; the mean anomaly by that
    // less what the node and the periapsis turn.
    meanMotion = (rateOf(orbit.periodDays) - nodeRate - periapsisRate) * radiansPerDegree;
    planeVectors(orbit.ascendingNode, orbit.periapsis, orbit.inclination, towardsPeriapsis, acrossPeriapsis);
    towardsPeriapsis = reference * towardsPeriapsis;
    acrossPeriapsis = reference * acrossPeriapsis;
}

double KeplerOrbit::meanAnomalyAt(double days) const
{
    return elements.meanAnomaly * radiansPerDegree + meanMotion * (days - elements.epochDays);
}

double KeplerOrbit::ascendingNodeAt(double days) const
{
    return elements.ascendingNode + nodeRate * (days - elements.epochDays);
}

double KeplerOrbit::periapsisAt(double days) const
{
    return elements.periapsis + periapsisRate * (days - elements.epochDays);
}

Vector3d KeplerOrbit::placeAt(double days, EccentricAnomaly& solution) const
{
    solveKepler(meanAnomalyAt(days), elements.eccentricity, solution);
    const double along = solution.cosine - elements.eccentricity;
    const double side = semiMinor * solution.sine;
    if (!precesses())
        return towardsPeriapsis * along + acrossPeriapsis * side;
    Vector3d towards;
    Vector3d across;
    planeVectors(std::fmod(ascendingNodeAt(days), 360.0), std::fmod(periapsisAt(days), 360.0), elements.inclination,
                 towards, across);
    return reference * (towards * along + across * side);
}

Vector3d KeplerOrbit::placeAt(double days) const
{
    EccentricAnomaly solution;
    return placeAt(days, solution);
}

Quaterniond KeplerOrbit::planeAt(double days) const
{
    Vector3d towards;
    Vector3d across;
    planeVectors(std::fmod(ascendingNodeAt(days), 360.0), std::fmod(periapsisAt(days), 360.0), elements.inclination,
                 towards, across);
    towards = reference * towards;
    across = reference * across;
    return Quaterniond::fromAxes(towards, across, towards.cross(across));
}

double KeplerOrbit::eclipticInclinationAt(double days) const
{
    const Vector3d pole = planeAt(days) * Vector3d{0.0, 0.0, 1.0};
    return std::acos(std::max(-1.0, std::min(1.0, pole.z))) / radiansPerDegree;
}
