#include "sky/Theories.h"

#include "sky/Frames.h"

#include <libnova/earth.h>
#include <libnova/jupiter.h>
#include <libnova/lunar.h>
#include <libnova/mars.h>
#include <libnova/mercury.h>
#include <libnova/neptune.h>
#include <libnova/saturn.h>
#include <libnova/uranus.h>
#include <libnova/venus.h>

#include <cmath>
#include <cstddef>
#include <cstring>

// What libnova 0.16 gives, read from its source and checked against the
// theories' own check values (the tests):
// - ln_get_<planet>_helio_coords: VSOP87 version B with its long series
//   (it meets vsop87.chk to 0.1"), that is heliocentric longitude and
//   latitude (degrees) and radius (AU) in the dynamical ecliptic and equinox
//   of J2000, not of the date, with Meeus' small shift to the FK5 frame
//   (Astronomical Algorithms, eq. 32.3: under 0.1") added. JD in TT.
// - ln_get_lunar_geo_posn: ELP 2000-82B in full, geocentric rectangular, in
//   km, already turned by the theory's own (Laskar) precession to the mean
//   ecliptic and equinox of J2000. JD in TDB; precision 0 keeps every term.
// Neither needs turning here; the planets only become rectangular.

namespace
{
constexpr double julianDayOfJ2000 = 2451545.0;

// The years over which each theory holds well within an arcminute, as
// published. VSOP87 (Bretagnon & Francou 1988, A&A 202, 309;
// the VSOP87 notice): 1" for 4000 years before and after J2000 for Mercury,
// Venus, the Earth-Moon barycentre and Mars, 2000 years for Jupiter and
// Saturn, 6000 years for Uranus and Neptune. ELP 2000-82B: within -35.2" to
// +5.1" in longitude, 4.1" in latitude and 7.7 km of the JPL integration
// DE406 over -3000 to +2500 (Chapront & Francou 2003, A&A 404, 735, table 5, "ELP").
//
// Reference distances: the planets' semi-major axes from Standish,
// "Keplerian Elements for Approximate Positions of the Major Planets",
// table 1 (1800-2050, J2000 ecliptic), AU; the Moon's from JPL's "Planetary
// Satellite Mean Orbital Parameters" (mean ecliptic elements), km.
//
// Sample spacings: powers of two of a day over which a cubic through four
// samples (sky/TheoryTrack.h) stays within 0.005" of the planets' theory and
// 0.11" of the Moon's at random dates of their years, as measured; the
// Moon's is no finer because each of its evaluations costs milliseconds.
const std::vector<Theory> allTheories{
    {"VSOP87-Mercury", 0.38709927, -2000, 6000, 0.25, "VSOP87", kilometresPerAU},
    {"VSOP87-Venus", 0.72333566, -2000, 6000, 1.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Earth", 1.00000261, -2000, 6000, 1.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Mars", 1.52371034, -2000, 6000, 2.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Jupiter", 5.20288700, 0, 4000, 16.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Saturn", 9.53667594, 0, 4000, 16.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Uranus", 19.18916464, -4000, 8000, 16.0, "VSOP87", kilometresPerAU},
    {"VSOP87-Neptune", 30.06992276, -4000, 8000, 16.0, "VSOP87", kilometresPerAU},
    {"ELP2000-82B", 384400.0, -3000, 2500, 0.25, "ELP 2000-82B"},
};

using HeliocentricFunction = void (*)(double, ln_helio_posn*);

// In the order of allTheories; null for the Moon.
const HeliocentricFunction heliocentricFunctions[] = {
    ln_get_mercury_helio_coords, ln_get_venus_helio_coords,  ln_get_earth_helio_coords,
    ln_get_mars_helio_coords,    ln_get_jupiter_helio_coords, ln_get_saturn_helio_coords,
    ln_get_uranus_helio_coords,  ln_get_neptune_helio_coords, nullptr,
};
static_assert(sizeof heliocentricFunctions / sizeof heliocentricFunctions[0] == 9, "one for each theory");

Vector3d rectangular(const ln_helio_posn& place)
{
    const double l = place.L * radiansPerDegree, b = place.B * radiansPerDegree;
    return Vector3d{std::cos(b) * std::cos(l), std::cos(b) * std::sin(l), std::sin(b)} * place.R;
}
}

const std::vector<Theory>& theories()
{
    return allTheories;
}

const Theory* findTheory(const std::string& name)
{
    for (const Theory& theory : allTheories)
        if (name == theory.name)
            return &theory;
    return nullptr;
}

Vector3d theoryPlace(const Theory& theory, double dynamicalDays)
{
    for (std::size_t index = 0; index < allTheories.size(); ++index)
    {
        // A copy of a listed theory is known by its name.
        if (&theory != &allTheories[index] &&
            (theory.name == nullptr || std::strcmp(theory.name, allTheories[index].name) != 0))
            continue;
        const double julianDay = julianDayOfJ2000 + dynamicalDays;
        if (const HeliocentricFunction heliocentric = heliocentricFunctions[index])
        {
            ln_helio_posn place{};
            heliocentric(julianDay, &place);
            return rectangular(place) / allTheories[index].referenceDistance;
        }
        ln_rect_posn moon{};
        ln_get_lunar_geo_posn(julianDay, &moon, 0.0);
        return Vector3d{moon.X, moon.Y, moon.Z} / allTheories[index].referenceDistance;
    }
    return {};
}

bool theoryHolds(const Theory& theory, double dynamicalDays)
{
    const double year = 2000.0 + dynamicalDays / 365.25;
    return year >= theory.firstYear && year <= theory.lastYear;
}
