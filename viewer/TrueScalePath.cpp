#include "viewer/TrueScalePath.h"

#include <algorithm>
#include <cmath>

double trueScalePathShare(const TrueScaleStop& from, const TrueScaleStop& to, double along)
{
    const double length = (to.placeKm - from.placeKm).length();
    const double u = std::clamp(along, 0.0, 1.0);
    if (!(length > 0.0))
        return u;
    // A clearance of nothing (a stop on a surface) would take forever: a metre at least.
    const double a = std::max(from.clearanceKm, 1e-3);
    const double b = std::max(to.clearanceKm, 1e-3);
    // With speed x + a from the first stop, x the distance flown, the time to
    // the middle is log((L/2 + a) / a); from the middle to the last stop, with
    // speed (L - x) + b, log((L/2 + b) / b).
    const double first = std::log1p(0.5 * length / a);
    const double second = std::log1p(0.5 * length / b);
    const double time = u * (first + second);
    const double x = time <= first ? a * std::expm1(time) : length - b * std::expm1(first + second - time);
    return std::clamp(x / length, 0.0, 1.0);
}

Vector3d trueScalePathPlace(const TrueScaleStop& from, const TrueScaleStop& to, double along)
{
    if (along <= 0.0)
        return from.placeKm;
    if (along >= 1.0)
        return to.placeKm;
    return from.placeKm + (to.placeKm - from.placeKm) * trueScalePathShare(from, to, along);
}

Ogre::Quaternion trueScalePathTurn(const TrueScaleStop& from, const TrueScaleStop& to, double along)
{
    // Evenly in time: the view swings round as the stops' directions differ, not as the distance goes.
    return Ogre::Quaternion::Slerp(Ogre::Real(std::clamp(along, 0.0, 1.0)), from.orientation, to.orientation, true);
}
