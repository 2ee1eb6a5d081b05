#include "sky/Spin.h"

#include <cmath>

namespace
{
constexpr double daysPerCentury = 36525.0;

// The local axes at W = 0 for a pole: local X 90° west, Y the pole and Z the
// antimeridian, from the pole's frame (x the node, z the pole).
Quaterniond axesAtMeridianZero(double poleRA, double poleDec)
{
    const Quaterniond pole = poleFrame(poleRA, poleDec);
    const Vector3d node = pole * Vector3d{1.0, 0.0, 0.0};
    const Vector3d east = pole * Vector3d{0.0, 1.0, 0.0};
    const Vector3d north = pole * Vector3d{0.0, 0.0, 1.0};
    return Quaterniond::fromAxes(-east, north, -node);
}
}

BodySpin::BodySpin(const SpinElements& spin)
    : elements(spin), atMeridianZero(axesAtMeridianZero(spin.poleRA, spin.poleDec))
{
}

double BodySpin::meridianAt(double days) const
{
    const double turns = (days - elements.epochDays) * 24.0 / elements.periodHours;
    return normalisedDegrees(elements.meridian + 360.0 * (turns - std::floor(turns)));
}

Vector3d BodySpin::poleAt(double days) const
{
    const double centuries = (days - elements.epochDays) / daysPerCentury;
    return {elements.poleRA + elements.poleRARate * centuries, elements.poleDec + elements.poleDecRate * centuries, 0.0};
}

Quaterniond facingParent(const Vector3d& place, const Vector3d& orbitPole, bool backwards)
{
    const Vector3d north = backwards ? -orbitPole.normalised() : orbitPole.normalised();
    // Away from the parent, square to the pole: the antimeridian.
    const Vector3d out = (place - north * north.dot(place)).normalised();
    return Quaterniond::fromAxes(north.cross(out), north, out);
}

double meridianOf(const Quaterniond& orientation)
{
    const Vector3d north = orientation * Vector3d{0.0, 1.0, 0.0};
    const Vector3d meridian = orientation * Vector3d{0.0, 0.0, -1.0};
    const Vector3d pole = equatorialFromEcliptic(north);
    const double ra = std::atan2(pole.y, pole.x);
    const Vector3d node = eclipticFromEquatorial({-std::sin(ra), std::cos(ra), 0.0});
    const Vector3d east = north.cross(node);
    return normalisedDegrees(std::atan2(meridian.dot(east), meridian.dot(node)) / radiansPerDegree);
}

Quaterniond BodySpin::orientationAt(double days) const
{
    Quaterniond axes = atMeridianZero;
    if (elements.poleRARate != 0.0 || elements.poleDecRate != 0.0)
    {
        const Vector3d pole = poleAt(days);
        axes = axesAtMeridianZero(pole.x, pole.y);
    }
    // Turning east about its own pole: its +Y.
    return axes * Quaterniond::fromAngleAxis(meridianAt(days) * radiansPerDegree, {0.0, 1.0, 0.0});
}
