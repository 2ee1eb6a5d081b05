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

float stepForPeriod(float period)
{
    if (period == 0.0f)
        return 0.0f;
    const float step = static_cast<float>(1.0 / (period * 60.0));
    // A period so short that the step leaves the float range would turn the
    // nodes by an infinite angle and poison the scene graph with NaN.
    return std::isfinite(step) ? step : 0.0f;
}

Body::Body(const std::string& section, const std::string& name, float size, float orbitRadius,
           const Ogre::Vector3& orbitAxis, float orbitPeriod, const Ogre::Vector3& pitchAxis,
           float pitchPeriod, const Ogre::Vector3& yawAxis, float yawPeriod,
           const Ogre::Vector3& rollAxis, float rollPeriod, float orbitCompleted,
           float pitchCompleted, float yawCompleted, float rollCompleted, const std::string& model,
           const std::string& material, bool far, float nearDistance, float farDistance,
           const std::string& parent)
    : sectionName(section), Name(name), parentNodeName(parent), Model(model),
      Material(material), Size(size), NearDistance(nearDistance),
      nearDistanceSquared(nearDistance * nearDistance), FarDistance(farDistance),
      OrbitRadius(orbitRadius), OrbitPeriod(orbitPeriod), PitchPeriod(pitchPeriod),
      YawPeriod(yawPeriod), RollPeriod(rollPeriod), OrbitAxis(orbitAxis), PitchAxis(pitchAxis),
      YawAxis(yawAxis), RollAxis(rollAxis), OrbitCompleted(orbitCompleted),
      PitchCompleted(pitchCompleted), YawCompleted(yawCompleted), RollCompleted(rollCompleted),
      orbitStep(stepForPeriod(orbitPeriod)), pitchStep(stepForPeriod(pitchPeriod)),
      yawStep(stepForPeriod(yawPeriod)), rollStep(stepForPeriod(rollPeriod)), Far(far),
      orbitTurn(turnFor(orbitAxis, orbitStep)),
      spinTurn(turnFor(pitchAxis, pitchStep) * turnFor(yawAxis, yawStep) * turnFor(rollAxis, rollStep))
{
}
