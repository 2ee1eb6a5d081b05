#include "sim/TrueScale.h"

#include "sky/Theories.h"

bool hasRealValues(const BodyDefinition& d)
{
    if (!(d.RadiusKm > 0.0))
        return false;
    if (d.orbitFollowsClock())
        return d.SemiMajorAxisKm > 0.0;
    return d.orbitByPerihelion() && d.PerihelionAU > 0.0;
}

std::optional<Vector3d> realPlaceFromParentKm(const Body& body, double dynamicalDays, EccentricAnomaly& guess,
                                              TheoryTrack* track)
{
    if (!hasRealValues(body.definition) || !body.orbitDated())
        return std::nullopt;
    if (body.conicOrbit)
        return body.conicOrbit->positionAt(dynamicalDays) * kilometresPerAU;
    // A theory gives its own distance, as the elements' scale does not.
    if (body.theory && theoryHolds(*body.theory, dynamicalDays))
        return (track ? track->placeAt(dynamicalDays) : theoryPlace(*body.theory, dynamicalDays)) *
               (body.theory->referenceDistance * body.theory->kilometresPerUnit);
    return body.keplerOrbit->placeAt(dynamicalDays, guess) * body.definition.SemiMajorAxisKm;
}

std::optional<Vector3d> realPlaceFromParentKm(const Body& body, double dynamicalDays)
{
    EccentricAnomaly guess;
    return realPlaceFromParentKm(body, dynamicalDays, guess);
}
