#include "sim/Orbit.h"

#include <OgreMatrix3.h>

#include <cmath>

namespace
{
constexpr double pi = 3.14159265358979323846;
constexpr double radians = pi / 180.0;

// An angle brought into [-pi, pi]: a mean anomaly of many turns loses no
// precision to the sine of a large number.
double wrapped(double angle)
{
    return angle - 2.0 * pi * std::nearbyint(angle / (2.0 * pi));
}

// Degrees a day of something that turns once in `days`; none for 0, or for
// periods so short that no clock could show them.
double rateOf(double days)
{
    const double rate = days != 0.0 ? 360.0 / days : 0.0;
    return std::abs(rate) < 1e12 ? rate : 0.0;
}

// The ecliptic directions of periapsis and of 90° past it, in the orbit's plane.
void planeVectors(double node, double periapsis, double inclination, Place& towards, Place& across)
{
    const double cn = std::cos(node * radians), sn = std::sin(node * radians);
    const double cw = std::cos(periapsis * radians), sw = std::sin(periapsis * radians);
    const double ci = std::cos(inclination * radians), si = std::sin(inclination * radians);
    towards = {cn * cw - sn * sw * ci, sn * cw + cn * sw * ci, sw * si};
    across = {-cn * sw - sn * cw * ci, -sn * sw + cn * cw * ci, cw * si};
}

// A direction of the J2000 equatorial frame in the ecliptic frame.
Place eclipticFromEquatorial(const Place& q)
{
    const double c = std::cos(obliquityJ2000 * radians), s = std::sin(obliquityJ2000 * radians);
    return {q.x, c * q.y + s * q.z, -s * q.y + c * q.z};
}

Place cross(const Place& a, const Place& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
}

Ogre::Vector3 worldFromEcliptic(const Place& e)
{
    return Ogre::Vector3(float(e.x), float(e.z), float(-e.y));
}

Place eclipticSpherical(const Ogre::Vector3& world)
{
    return eclipticSpherical(Place{world.x, -double(world.z), world.y});
}

Place eclipticSpherical(const Place& ecliptic)
{
    const double x = ecliptic.x, y = ecliptic.y, z = ecliptic.z;
    const double distance = std::sqrt(x * x + y * y + z * z);
    double longitude = std::atan2(y, x) / radians;
    if (longitude < 0.0)
        longitude += 360.0;
    const double latitude = distance > 0.0 ? std::asin(z / distance) / radians : 0.0;
    return {longitude, latitude, distance};
}

void solveKepler(double meanAnomaly, double e, EccentricAnomaly& solution)
{
    const double m = wrapped(meanAnomaly);
    // Newton's method from the guess when it is near, else from a start that
    // converges for every eccentricity below 1 (Danby's), with the step kept
    // inside the bracket where the root must lie: E - M = e sin E lies within ±e.
    const double offset = wrapped(solution.angle - m);
    double eccentric = solution.angle;
    double s = solution.sine;
    double c = solution.cosine;
    if (std::abs(offset) < 0.5)
        eccentric = m + offset;   // the same angle, within a turn of M: its sine and cosine hold
    else
    {
        eccentric = m + 0.85 * e * (m < 0 ? -1.0 : 1.0);
        s = std::sin(eccentric);
        c = std::cos(eccentric);
    }
    double low = m - e - 1e-12, high = m + e + 1e-12;
    for (int iteration = 0; iteration < 100; ++iteration)
    {
        const double f = eccentric - e * s - m;
        if (std::abs(f) < 1e-14)
            break;
        (f > 0 ? high : low) = eccentric;
        double next = eccentric - f / (1.0 - e * c);
        if (!(next > low && next < high))
            next = 0.5 * (low + high);
        const double step = next - eccentric;
        eccentric = next;
        if (std::abs(step) < 1e-5)
        {
            // Taylor's second order is exact to 2e-16 here, and costs no sine.
            const double half = 0.5 * step * step;
            const double nextSine = s + step * c - half * s;
            c = c - step * s - half * c;
            s = nextSine;
        }
        else
        {
            s = std::sin(eccentric);
            c = std::cos(eccentric);
        }
    }
    solution = {eccentric, s, c};
}

KeplerOrbit::KeplerOrbit(const OrbitElements& orbit)
    : elements(orbit), nodeRate(rateOf(orbit.nodeDays)), periapsisRate(rateOf(orbit.periapsisDays)),
      semiMinor(std::sqrt(1.0 - orbit.eccentricity * orbit.eccentricity))
{
    // The mean longitude goes round in the period; the mean anomaly by that
    // less what the node and the periapsis turn.
    meanMotion = (rateOf(orbit.periodDays) - nodeRate - periapsisRate) * radians;
    planeVectors(orbit.ascendingNode, orbit.periapsis, orbit.inclination, towardsPeriapsis, acrossPeriapsis);
}

double KeplerOrbit::meanAnomalyAt(double days) const
{
    return elements.meanAnomaly * radians + meanMotion * (days - elements.epochDays);
}

double KeplerOrbit::ascendingNodeAt(double days) const
{
    return elements.ascendingNode + nodeRate * (days - elements.epochDays);
}

double KeplerOrbit::periapsisAt(double days) const
{
    return elements.periapsis + periapsisRate * (days - elements.epochDays);
}

Place KeplerOrbit::placeAt(double days, EccentricAnomaly& solution) const
{
    solveKepler(meanAnomalyAt(days), elements.eccentricity, solution);
    const double along = solution.cosine - elements.eccentricity;
    const double side = semiMinor * solution.sine;
    Place towards = towardsPeriapsis;
    Place across = acrossPeriapsis;
    if (precesses())
        planeVectors(std::fmod(ascendingNodeAt(days), 360.0), std::fmod(periapsisAt(days), 360.0),
                     elements.inclination, towards, across);
    return {towards.x * along + across.x * side, towards.y * along + across.y * side,
            towards.z * along + across.z * side};
}

Place KeplerOrbit::placeAt(double days) const
{
    EccentricAnomaly solution;
    return placeAt(days, solution);
}

Ogre::Quaternion KeplerOrbit::planeAt(double days) const
{
    Place towards;
    Place across;
    planeVectors(std::fmod(ascendingNodeAt(days), 360.0), std::fmod(periapsisAt(days), 360.0),
                 elements.inclination, towards, across);
    const Ogre::Vector3 x = worldFromEcliptic(towards);
    const Ogre::Vector3 y = worldFromEcliptic(across);
    return Ogre::Quaternion(x, y, x.crossProduct(y));
}

BodySpin::BodySpin(const SpinElements& spin) : elements(spin)
{
    const double ra = spin.poleRA * radians, dec = spin.poleDec * radians;
    const Place pole = eclipticFromEquatorial({std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)});
    // W counts from the ascending node of the body's equator on the J2000 equator.
    const Place node = eclipticFromEquatorial({-std::sin(ra), std::cos(ra), 0.0});
    const Place east = cross(pole, node);
    // Local X, Y and Z are 90° west, the pole and the antimeridian.
    const Ogre::Vector3 x = -worldFromEcliptic(east);
    const Ogre::Vector3 y = worldFromEcliptic(pole);
    const Ogre::Vector3 z = -worldFromEcliptic(node);
    atMeridianZero = Ogre::Quaternion(x, y, z);
    atMeridianZero.normalise();
}

double BodySpin::meridianAt(double days) const
{
    const double turns = (days - elements.epochDays) * 24.0 / elements.periodHours;
    double angle = std::fmod(elements.meridian + 360.0 * (turns - std::floor(turns)), 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

Ogre::Quaternion BodySpin::orientationAt(double days) const
{
    // Turning east about its own pole: its +Y.
    return atMeridianZero * Ogre::Quaternion(Ogre::Radian(float(meridianAt(days) * radians)), Ogre::Vector3::UNIT_Y);
}
