#include "sky/Frames.h"

Vector3d eclipticFromEquatorial(const Vector3d& q)
{
    const double c = std::cos(obliquityJ2000 * radiansPerDegree), s = std::sin(obliquityJ2000 * radiansPerDegree);
    return {q.x, c * q.y + s * q.z, -s * q.y + c * q.z};
}

Vector3d equatorialFromEcliptic(const Vector3d& e)
{
    const double c = std::cos(obliquityJ2000 * radiansPerDegree), s = std::sin(obliquityJ2000 * radiansPerDegree);
    return {e.x, c * e.y - s * e.z, s * e.y + c * e.z};
}

Vector3d equatorialDirection(double rightAscension, double declination)
{
    const double ra = rightAscension * radiansPerDegree, dec = declination * radiansPerDegree;
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

double normalisedDegrees(double degrees)
{
    const double angle = std::fmod(degrees, 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

Vector3d spherical(const Vector3d& p)
{
    const double distance = p.length();
    const double longitude = normalisedDegrees(std::atan2(p.y, p.x) / radiansPerDegree);
    const double latitude = distance > 0.0 ? std::asin(p.z / distance) / radiansPerDegree : 0.0;
    return {longitude, latitude, distance};
}

Quaterniond poleFrame(double rightAscension, double declination)
{
    const double ra = rightAscension * radiansPerDegree;
    const Vector3d pole = eclipticFromEquatorial(equatorialDirection(rightAscension, declination));
    const Vector3d node = eclipticFromEquatorial({-std::sin(ra), std::cos(ra), 0.0});
    return Quaterniond::fromAxes(node, pole.cross(node), pole);
}
