#include "sim/Body.h"

#include <OgreMath.h>

#include <cmath>

namespace
{
// The turn Node::rotate(axis, angle) makes of an axis and an angle in degrees.
Ogre::Quaternion turnFor(const Ogre::Vector3& axis, float degrees)
{
    Ogre::Quaternion turn;
    turn.FromAngleAxis(Ogre::Radian(degrees * Ogre::Math::fDeg2Rad), axis);
    turn.normalise();
    return turn;
}
}

MotionTurn::MotionTurn(const Ogre::Quaternion& step)
    : oneStep(step), turns(step != Ogre::Quaternion::IDENTITY), unitAxis(Ogre::Vector3::UNIT_Y), halfAngle(0.0)
{
    // In double precision, from the vector part: acos of a w that rounds to 1
    // would lose the small angles of slow bodies altogether.
    const double x = step.x, y = step.y, z = step.z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0 && std::isfinite(length))
    {
        unitAxis = Ogre::Vector3(float(x / length), float(y / length), float(z / length));
        halfAngle = std::atan2(length, double(step.w));
    }
}

Ogre::Quaternion MotionTurn::scaledBy(double steps) const
{
    if (steps == 1.0)
        return oneStep;
    // The product in double, for the small angles of slow bodies; the sine
    // and cosine in float, which keeps their relative precision and is what
    // the quaternion holds anyway.
    const float angle = float(halfAngle * steps);
    const float sine = std::sin(angle);
    return Ogre::Quaternion(std::cos(angle), unitAxis.x * sine, unitAxis.y * sine, unitAxis.z * sine);
}

float stepForPeriod(float period)
{
    if (period == 0.0f)
        return 0.0f;
    const float step = static_cast<float>(1.0 / (period * 60.0));
    // A period so short that the step leaves the float range would turn the
    // nodes by an infinite angle and poison the scene graph with NaN.
    return std::isfinite(step) ? step : 0.0f;
}

Body::Body(const std::string& section, const BodyDefinition& d)
    : sectionName(section), definition(d),
      nearDistanceSquared(d.NearDistance * d.NearDistance), orbitStep(stepForPeriod(d.OrbitPeriod)),
      pitchStep(stepForPeriod(d.PitchPeriod)), yawStep(stepForPeriod(d.YawPeriod)),
      rollStep(stepForPeriod(d.RollPeriod)), orbitTurn(turnFor(d.OrbitAxis, orbitStep)),
      spinTurn(turnFor(d.PitchAxis, pitchStep) * turnFor(d.YawAxis, yawStep) * turnFor(d.RollAxis, rollStep)),
      orbitTurnNow(orbitTurn.oneStep), spinTurnNow(spinTurn.oneStep)
{
}
