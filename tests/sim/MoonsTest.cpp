// The default system's moons against their published models: each orbit
// keeps its tilt to its own Laplace plane while the node goes round, Triton's
// follows the IAU model of its pole, and the synchronous moons keep the IAU
// prime meridian towards their planets.

#include "DefaultSystem.h"
#include "SkyReferences.h"
#include "sky/Orbit.h"
#include "sky/Spin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr double daysPerYear = 365.25;
constexpr double daysPerCentury = 36525.0;

// TT days from J2000 of a (fractional) Julian year.
double daysOfYear(double year) { return (year - 2000.0) * daysPerYear; }

// The orbit's pole at a time, J2000 equatorial.
Vector3d orbitPole(const KeplerOrbit& orbit, double days)
{
    return equatorialFromEcliptic(orbit.planeAt(days) * Vector3d{0.0, 0.0, 1.0});
}

// An IAU rotation model with its periodic terms: the pole at
// a0 + a1 T + Σ ra sin θ, d0 + d1 T + Σ dec cos θ and W = w0 + w1 d + Σ w sin θ,
// θ = angle + rate T (T Julian centuries, d days from J2000, degrees).
struct Term { double ra, dec, w, angle, rate; };
struct RotationModel
{
    double a0, a1, d0, d1, w0, w1;
    std::vector<Term> terms;

    Vector3d pole(double days) const
    {
        const double t = days / daysPerCentury;
        double ra = a0 + a1 * t, dec = d0 + d1 * t;
        for (const Term& term : terms)
        {
            const double theta = (term.angle + term.rate * t) * radiansPerDegree;
            ra += term.ra * std::sin(theta);
            dec += term.dec * std::cos(theta);
        }
        return {ra, dec, 0.0};
    }
    double meridian(double days) const
    {
        const double t = days / daysPerCentury;
        double w = w0 + w1 * days;
        for (const Term& term : terms)
            w += term.w * std::sin((term.angle + term.rate * t) * radiansPerDegree);
        return w;
    }
    // Where the body's prime meridian points, J2000 equatorial.
    Vector3d primeMeridian(double days) const
    {
        const Vector3d at = pole(days);
        const double ra = at.x * radiansPerDegree, w = meridian(days) * radiansPerDegree;
        const Vector3d north = equatorialDirection(at.x, at.y);
        const Vector3d node{-std::sin(ra), std::cos(ra), 0.0};
        return node * std::cos(w) + north.cross(node) * std::sin(w);
    }
};

// IAU WGCCRE 2015 (Archinal et al. 2018) as NAIF's pck00011.tpc gives it.
// Jupiter's angles J3..J8 (degrees, degrees a century).
constexpr double J3[] = {283.90, 4850.7}, J4[] = {355.80, 1191.3}, J5[] = {119.90, 262.1}, J6[] = {229.80, 64.3},
                 J7[] = {352.25, 2382.6}, J8[] = {113.35, 6070.0};
const RotationModel io{268.05, -0.009, 64.50, 0.003, 200.39, 203.4889538,
                       {{0.094, 0.040, -0.085, J3[0], J3[1]}, {0.024, 0.011, -0.022, J4[0], J4[1]}}};
const RotationModel europa{268.08, -0.009, 64.51, 0.003, 36.022, 101.3747235,
                           {{1.086, 0.468, -0.980, J4[0], J4[1]}, {0.060, 0.026, -0.054, J5[0], J5[1]},
                            {0.015, 0.007, -0.014, J6[0], J6[1]}, {0.009, 0.002, -0.008, J7[0], J7[1]}}};
const RotationModel ganymede{268.20, -0.009, 64.57, 0.003, 44.064, 50.3176081,
                             {{-0.037, -0.016, 0.033, J4[0], J4[1]}, {0.431, 0.186, -0.389, J5[0], J5[1]},
                              {0.091, 0.039, -0.082, J6[0], J6[1]}}};
const RotationModel callisto{268.72, -0.009, 64.83, 0.003, 259.51, 21.5710715,
                             {{-0.068, -0.029, 0.061, J5[0], J5[1]}, {0.590, 0.254, -0.533, J6[0], J6[1]},
                              {0.010, -0.004, -0.009, J8[0], J8[1]}}};
const RotationModel titan{39.4827, 0.0, 83.4279, 0.0, 186.5855, 22.5769768, {}};
// Triton: every multiple k N7 of Neptune's angle N7 = 177.85 + 52.316 T.
RotationModel tritonModel()
{
    const double ra[] = {-32.35, -6.28, -2.08, -0.74, -0.28, -0.11, -0.07, -0.02, -0.01};
    const double dec[] = {22.55, 2.10, 0.55, 0.16, 0.05, 0.02, 0.01, 0.0, 0.0};
    const double w[] = {22.25, 6.73, 2.05, 0.74, 0.28, 0.11, 0.05, 0.02, 0.01};
    RotationModel model{299.36, 0.0, 41.17, 0.0, 296.53, -61.2572637, {}};
    for (int k = 1; k <= 9; ++k)
        model.terms.push_back({ra[k - 1], dec[k - 1], w[k - 1], k * 177.85, k * 52.316});
    return model;
}
const RotationModel triton = tritonModel();
constexpr double n7Years = 36000.0 / 52.316;   // one turn of N7, Julian years

using MoonsTest = DefaultSystem;

// JPL SSD "Planetary Satellite Mean Orbital Parameters" (ssd.jpl.nasa.gov/?sat_elem),
// mean elements referred to the local Laplace planes: Mars table (epoch
// 1950 Jan. 1.00 TT, MAR080) and Jupiter table (epoch 1997 Jan. 16.00 TT).
// n in deg/day; the inclination to the Laplace plane; Pnode in years; the
// Laplace plane's pole, and its tilt to the planet's equator.
struct LaplaceRow { const char* moon, *planet; double n, inclination, pnodeYears, poleRA, poleDec, tilt; };
const LaplaceRow laplaceRows[] = {
    {"Phobos", "Mars", 1128.8447569, 1.075, 2.2617, 317.671, 52.893, 0.009},
    {"Deimos", "Mars", 285.1618790, 1.788, 54.5367, 316.657, 53.529, 0.889},
    {"Io", "Jupiter", 203.4889583, 0.036, 7.420, 268.057, 64.495, 0.000},
    {"Europa", "Jupiter", 101.3747242, 0.466, 30.184, 268.084, 64.506, 0.016},
    {"Ganymede", "Jupiter", 50.3176072, 0.177, 132.654, 268.168, 64.543, 0.068},
    {"Callisto", "Jupiter", 21.5710728, 0.192, 338.82, 268.639, 64.749, 0.356}};

TEST_F(MoonsTest, EachMoonKeepsItsTiltToItsLaplacePlaneWhileItsNodeGoesBackwardsRoundIt)
{
    for (const LaplaceRow& row : laplaceRows)
    {
        const Body& moon = body(row.moon);
        const Body& planet = body(row.planet);
        ASSERT_TRUE(moon.keplerOrbit && planet.datedSpin) << row.moon;
        const Vector3d laplacePole = equatorialDirection(row.poleRA, row.poleDec);
        for (double year = 1900.0; year <= 2100.0; year += 3.7)
        {
            const double days = daysOfYear(year);
            const Vector3d pole = orbitPole(*moon.keplerOrbit, days);
            EXPECT_NEAR(row.inclination, degreesBetween(pole, laplacePole), 0.01) << row.moon << " " << year;
            // Near the planet's equator: its IAU pole, which the Laplace plane leans from by the tilt.
            const Vector3d planetPole = planet.datedSpin->poleAt(days);
            EXPECT_LT(degreesBetween(pole, equatorialDirection(planetPole.x, planetPole.y)),
                      row.inclination + row.tilt + 0.1)
                << row.moon << " " << year;
        }
        // An oblate planet turns a prograde moon's node backwards: in an
        // eighth of the row's Pnode, 45° back round the Laplace pole.
        const Quaterniond frame = poleFrame(row.poleRA, row.poleDec).inverse();
        const auto longitude = [&](double days) {
            const Vector3d local = frame * eclipticFromEquatorial(orbitPole(*moon.keplerOrbit, days));
            return std::atan2(local.y, local.x) / radiansPerDegree;
        };
        const double start = daysOfYear(2000.0), eighth = row.pnodeYears * daysPerYear / 8.0;
        EXPECT_NEAR(-45.0, std::remainder(longitude(start + eighth) - longitude(start), 360.0), 0.01) << row.moon;
    }
}

TEST_F(MoonsTest, EveryMoonGoesRoundInThePeriodItsPublishedMeanMotionGives)
{
    // n in degrees a day, as published, and the worth of its last digit.
    struct Motion { const char* moon; double n, lastDigit; };
    std::vector<Motion> motions{
        // JPL SSD mean ecliptic elements, epoch 2000 Jan. 1.50 TT, DE405/LE405.
        {"Moon", 13.176358, 1e-6},
        // Jacobson (1998), A&AS 128, 7, Table 9: Titan's mean longitude, 2.61307579580e-4 deg/s.
        {"Titan", 2.61307579580e-4 * 86400.0, 1e-15 * 86400.0}};
    for (const LaplaceRow& row : laplaceRows)
        motions.push_back({row.moon, row.n, 1e-7});
    for (const Motion& motion : motions)
    {
        const Body& moon = body(motion.moon);
        ASSERT_TRUE(moon.keplerOrbit) << motion.moon;
        EXPECT_NEAR(360.0 / motion.n, moon.keplerOrbit->elements.periodDays,
                    0.5 * motion.lastDigit * 360.0 / (motion.n * motion.n))
            << motion.moon;
    }
}

TEST_F(MoonsTest, TritonsOrbitAndItsDrawnTurnFollowTheIauModelOfItsPole)
{
    // Triton goes round backwards, turning in step: its orbit's pole is the
    // antipode of the model's north pole, which swings by tens of degrees.
    // It keeps its face to Neptune (FacesParent): its drawn pole and prime
    // meridian follow the model too, where a rotation model held at its J2000
    // values parts from it by 20 degrees in a century.
    const Body& moon = body("Triton");
    ASSERT_TRUE(moon.keplerOrbit && moon.keplerOrbit->precesses() && moon.definition.FacesParent && moon.datedSpin);
    const KeplerOrbit& orbit = *moon.keplerOrbit;
    const auto antipode = [](double days) {
        const Vector3d pole = triton.pole(days);
        return -equatorialDirection(pole.x, pole.y);
    };
    const Vector3d eclipticPole = equatorialDirection(eclipticPoleRA, eclipticPoleDec);
    for (double year = 1800.0; year <= 2200.0; year += 2.5)
    {
        const double days = daysOfYear(year);
        EXPECT_LT(degreesBetween(orbitPole(orbit, days), antipode(days)), 0.5) << year;
        EXPECT_NEAR(degreesBetween(antipode(days), eclipticPole), orbit.eclipticInclinationAt(days), 0.5) << year;
        const Quaterniond drawn = datedOrientation(moon, days);
        EXPECT_LT(degreesBetween(equatorialFromEcliptic(drawn * Vector3d{0.0, 1.0, 0.0}), -antipode(days)), 0.5) << year;
        const Vector3d meridian = equatorialFromEcliptic(drawn * Vector3d{0.0, 0.0, -1.0});
        EXPECT_LT(degreesBetween(meridian, triton.primeMeridian(days)), 0.5) << year;
    }

    // Round one turn of N7 the model's antipode runs from 128.8° to 175.1° from
    // the ecliptic's pole; the orbit, round one turn of its node, as far.
    ASSERT_GT(orbit.elements.nodeDays, 0.0) << "a retrograde orbit's node goes forwards";
    EXPECT_NEAR(n7Years * daysPerYear, orbit.elements.nodeDays, 1.0);
    std::vector<double> model, tilts;
    for (int step = 0; step < 720; ++step)
    {
        model.push_back(degreesBetween(antipode(step / 720.0 * n7Years * daysPerYear), eclipticPole));
        tilts.push_back(orbit.eclipticInclinationAt(step / 720.0 * orbit.elements.nodeDays));
    }
    const auto [modelLowest, modelHighest] = std::minmax_element(model.begin(), model.end());
    const auto [lowest, highest] = std::minmax_element(tilts.begin(), tilts.end());
    EXPECT_GT(*modelHighest - *modelLowest, 40.0);
    EXPECT_NEAR(*modelLowest, *lowest, 0.5);
    EXPECT_NEAR(*modelHighest, *highest, 0.5);
}

TEST_F(MoonsTest, TheSynchronousMoonsKeepTheirPrimeMeridiansTowardsTheirPlanets)
{
    // Each IAU model puts the prime meridian near the point facing the
    // planet, about which a moon on an ellipse of eccentricity e rocks by up
    // to 2e radians; the models and the tables come apart by a few degrees
    // more. Triton's orbit is derived from its model, so it must agree closely.
    // margin: degrees beyond the rocking.
    const struct { const char* moon; const RotationModel& model; double margin, fromYear, toYear; } moons[] = {
        {"Io", io, 3.0, 1900.0, 2100.0},           {"Europa", europa, 3.0, 1900.0, 2100.0},
        {"Ganymede", ganymede, 3.0, 1900.0, 2100.0}, {"Callisto", callisto, 3.0, 1900.0, 2100.0},
        {"Titan", titan, 3.0, 1900.0, 2100.0},     {"Triton", triton, 0.5, 1800.0, 2200.0}};
    for (const auto& synchronous : moons)
    {
        const Body& moon = body(synchronous.moon);
        ASSERT_TRUE(moon.keplerOrbit) << synchronous.moon;
        const double rocking = 2.0 * moon.keplerOrbit->elements.eccentricity / radiansPerDegree;
        EccentricAnomaly guess;
        for (double year = synchronous.fromYear; year <= synchronous.toYear; year += 0.37)
        {
            const double days = daysOfYear(year);
            const Vector3d towardsPlanet = -equatorialFromEcliptic(moon.keplerOrbit->placeAt(days, guess));
            // The angle along the moon's equator from its prime meridian to the planet.
            const Vector3d pole = synchronous.model.pole(days);
            const Vector3d north = equatorialDirection(pole.x, pole.y);
            const Vector3d meridian = synchronous.model.primeMeridian(days);
            const double longitude = std::atan2(towardsPlanet.dot(north.cross(meridian)), towardsPlanet.dot(meridian)) /
                                     radiansPerDegree;
            EXPECT_LT(std::abs(longitude), rocking + synchronous.margin) << synchronous.moon << " " << year;
        }
    }
}
}
