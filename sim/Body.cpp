#include "sim/Body.h"

#include "sim/SceneNames.h"
#include "sim/WorldLimits.h"
#include "sky/Theories.h"

#include <OgreMath.h>

#include <algorithm>
#include <cmath>

Ogre::Quaternion turnAbout(const Ogre::Vector3& axis, float degrees)
{
    // As Node::rotate makes it: the half angle's cosine and the axis, as
    // given, times its sine, normalised. In double, so that an axis near the
    // float range does not overflow to infinity and the normalising to NaN.
    const double half = 0.5 * double(degrees * Ogre::Math::fDeg2Rad);
    const double sine = std::sin(half);
    const double w = std::cos(half);
    const double x = sine * axis.x, y = sine * axis.y, z = sine * axis.z;
    const double length = std::sqrt(w * w + x * x + y * y + z * z);
    // A zero axis half way round leaves nothing to normalise: it turns nothing.
    if (!(length > 0.0) || !std::isfinite(length))
        return Ogre::Quaternion::IDENTITY;
    return Ogre::Quaternion(float(w / length), float(x / length), float(y / length), float(z / length));
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

namespace
{
std::unique_ptr<const KeplerOrbit> keplerOrbitOf(const BodyDefinition& d)
{
    if (!d.orbitFollowsClock())
        return nullptr;
    OrbitElements elements;
    elements.epochDays = d.Epoch.days;
    elements.periodDays = d.OrbitDays;
    elements.eccentricity = d.Eccentricity;
    elements.inclination = d.Inclination;
    elements.ascendingNode = d.AscendingNode;
    elements.periapsis = d.Periapsis;
    elements.meanAnomaly = d.MeanAnomaly;
    elements.nodeDays = d.NodeDays;
    elements.periapsisDays = d.PeriapsisDays;
    elements.referencePoleRA = d.LaplacePoleRA;
    elements.referencePoleDec = d.LaplacePoleDec;
    return std::make_unique<const KeplerOrbit>(elements);
}

// Only about the Sun, whose gravity paces it, and only for elements that
// make an orbit: the checker refuses the others, and they stay frame-locked.
std::unique_ptr<const ConicOrbit> conicOrbitOf(const BodyDefinition& d)
{
    if (!d.orbitByPerihelion() || d.Parent != sceneNames::sun || !(d.PerihelionAU > 0.0) ||
        !std::isfinite(d.PerihelionAU) || !(d.Eccentricity >= 0.0) || !std::isfinite(d.Eccentricity))
        return nullptr;
    return std::make_unique<const ConicOrbit>(ConicElements{d.PerihelionAU, d.Eccentricity, d.Inclination,
                                                            d.AscendingNode, d.Periapsis, d.PerihelionDate.days});
}

std::unique_ptr<const BodySpin> spinOf(const BodyDefinition& d)
{
    if (!d.spinFollowsClock())
        return nullptr;
    SpinElements elements;
    elements.epochDays = d.Epoch.days;
    elements.periodHours = d.RotationHours;
    elements.meridian = d.Meridian;
    elements.poleRA = d.PoleRA;
    elements.poleDec = d.PoleDec;
    elements.poleRARate = d.PoleRARate;
    elements.poleDecRate = d.PoleDecRate;
    return std::make_unique<const BodySpin>(elements);
}
}

Vector3d datedPlace(const Body& body, double dynamicalDays, EccentricAnomaly& guess, TheoryTrack* track)
{
    // The real shape and pace, on the display's scale: PerihelionDistance
    // world units stand for PerihelionAU.
    if (body.conicOrbit)
        return body.conicOrbit->positionAt(dynamicalDays) *
               (double(withinWorld(body.definition.PerihelionDistance)) / body.definition.PerihelionAU);
    const bool byTheory = body.theory && theoryHolds(*body.theory, dynamicalDays);
    const Vector3d place = !byTheory ? body.keplerOrbit->placeAt(dynamicalDays, guess)
                           : track   ? track->placeAt(dynamicalDays)
                                     : theoryPlace(*body.theory, dynamicalDays);
    return place * double(withinWorld(body.definition.OrbitRadius));
}

Quaterniond datedOrientation(const Body& body, double dynamicalDays)
{
    if (!body.definition.FacesParent || !body.keplerOrbit)
        return body.datedSpin->orientationAt(dynamicalDays);
    const Vector3d pole = body.keplerOrbit->planeAt(dynamicalDays) * Vector3d{0.0, 0.0, 1.0};
    return facingParent(datedPlace(body, dynamicalDays), pole, body.definition.RotationHours < 0.0);
}

Vector3d datedPlace(const Body& body, double dynamicalDays)
{
    EccentricAnomaly guess;
    return datedPlace(body, dynamicalDays, guess);
}

std::optional<Vector3d> realPlaceAU(const Body& body, double dynamicalDays)
{
    if (body.conicOrbit)
        return body.conicOrbit->positionAt(dynamicalDays);
    return std::nullopt;
}

Body::Body(const std::string& section, const BodyDefinition& d)
    : sectionName(section), definition(d), nearDistanceSquared(d.NearDistance * d.NearDistance),
      orbitStep(d.orbitFollowsClock() || d.orbitByPerihelion() ? 0.0f : stepForPeriod(d.OrbitPeriod)),
      pitchStep(d.spinFollowsClock() ? 0.0f : stepForPeriod(d.PitchPeriod)),
      yawStep(d.spinFollowsClock() ? 0.0f : stepForPeriod(d.YawPeriod)),
      rollStep(d.spinFollowsClock() ? 0.0f : stepForPeriod(d.RollPeriod)), orbitTurn(turnAbout(d.OrbitAxis, orbitStep)),
      spinTurn(turnAbout(d.PitchAxis, pitchStep) * turnAbout(d.YawAxis, yawStep) * turnAbout(d.RollAxis, rollStep)),
      keplerOrbit(keplerOrbitOf(d)), conicOrbit(conicOrbitOf(d)), datedSpin(spinOf(d)),
      theory(d.orbitFollowsClock() && !d.Theory.empty() ? findTheory(d.Theory) : nullptr),
      theoryTrack(theory ? std::make_unique<TheoryTrack>(*theory) : nullptr), orbitTurnNow(orbitTurn.oneStep),
      spinTurnNow(spinTurn.oneStep), drawnRadius(d.Size)
{
}
