#ifndef ORVTEST_SIM_TRUESCALE_H
#define ORVTEST_SIM_TRUESCALE_H

#include "sim/Body.h"
#include "sky/Vector.h"

#include <optional>

// The solar system at its real sizes and distances, in km and in double
// precision: what the viewer draws at true scale and orvtest-check says with
// --true-scale. The display's scale (Size, OrbitRadius) plays no part here.

// The Sun's radius, km: the nominal solar radius of IAU 2015 Resolution B3.
constexpr double sunRadiusKm = 695700.0;

// Whether the body has a real place and size: it follows the clock on an
// orbit (OrbitDays, or PerihelionDistance about the Sun) and gives its
// RadiusKm, and with OrbitDays its SemiMajorAxisKm (an orbit by its
// perihelion takes its real size from PerihelionAU).
bool hasRealValues(const BodyDefinition& definition);

// Where the body stands from its parent at `dynamicalDays` (TT from J2000),
// J2000 ecliptic, km: by its theory within the theory's years (the theory's
// own distance: VSOP87's AU, ELP's km), else its elements with
// SemiMajorAxisKm, or its orbit by perihelion with PerihelionAU. `guess` and
// `track` as datedPlace takes them. Nothing for a body without real values.
std::optional<Vector3d> realPlaceFromParentKm(const Body& body, double dynamicalDays, EccentricAnomaly& guess,
                                              TheoryTrack* track = nullptr);
std::optional<Vector3d> realPlaceFromParentKm(const Body& body, double dynamicalDays);

#endif
