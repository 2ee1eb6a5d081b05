// Orbits of any eccentricity against an independent two-body integration
// and against Meeus's worked examples.

#include "TwoBodyIntegration.h"
#include "sky/ConicOrbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
using namespace twoBody;

// Checked from T - spanDays/2 to T + spanDays.
struct ConicCase { const char* name; double q, e, inclination, node, periapsis, spanDays; };

const ConicCase conicCases[] = {
    {"Ellipse02", 2.1, 0.2, 12.0, 80.0, 73.0, 3000.0}, {"Ellipse09", 0.4, 0.9, 5.0, 200.0, 150.0, 2000.0},
    {"Ellipse099", 0.3, 0.99, 162.0, 58.0, 111.0, 1500.0}, {"NearParabolic0999", 0.5, 0.999, 45.0, 10.0, 300.0, 1500.0},
    {"Parabola", 1.4, 1.0, 89.0, 282.0, 130.0, 1500.0}, {"NearParabolic10001", 0.9, 1.0001, 120.0, 24.0, 241.0, 1500.0},
    {"Hyperbola12", 0.26, 1.2, 122.7, 24.6, 241.8, 1500.0}, {"Hyperbola3", 2.0, 3.0, 44.0, 308.0, 209.0, 1500.0}};

using ConicAgainstIntegration = testing::TestWithParam<ConicCase>;

TEST_P(ConicAgainstIntegration, KeepsToTheIntegratedPathForYears)
{
    const ConicCase& c = GetParam();
    const double T = 7000.0;   // perihelion, TT days from J2000
    const ConicOrbit orbit({c.q, c.e, c.inclination, c.node, c.periapsis, T});
    const State perihelion = atPerihelion(c.q, c.e, c.inclination, c.node, c.periapsis);
    for (double sign : {1.0, -0.5})
    {
        State s = perihelion;
        double t = T;
        for (int step = 1; step <= 20; ++step)
        {
            const double next = T + sign * c.spanDays * step / 20.0;
            s = integrate(s, t, next);
            t = next;
            Vector3d place, velocity;
            orbit.stateAt(t, place, velocity);
            ASSERT_LT(degreesBetween(place, s.r), 0.001) << "at T " << (t - T) << " days";
            ASSERT_NEAR(place.length(), s.r.length(), 1e-6 * s.r.length()) << "at T " << (t - T) << " days";
            ASSERT_LT((velocity - s.v).length(), 1e-6 * s.v.length()) << "at T " << (t - T) << " days";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Eccentricities, ConicAgainstIntegration, testing::ValuesIn(conicCases),
                         [](const testing::TestParamInfo<ConicCase>& row) { return std::string(row.param.name); });

// Meeus, "Astronomical Algorithms" (2nd ed., 1998), chapter 35, the table of
// p. 247: true anomaly and radius vector t days after perihelion, as the
// tests of Sonia Keys' Go translation (soniakeys/meeus, nearparabolic) and
// Bill Gray's landgraf.cpp (Bill-Gray/lunar) quote it. Given to 1e-5° and
// 1e-6 AU.
struct MeeusRow { double q, e, days, trueAnomaly, radius; };

const MeeusRow meeusRows[] = {
    {0.921326, 1.0, 138.4783, 102.74426, 2.364192},
    {0.1, 0.987, 254.9, 164.50029, 4.063777},
    {0.123456, 0.99997, -30.47, 221.91190, 0.965053},
    {3.363943, 1.05731, 1237.1, 109.40598, 10.668551},
    {0.5871018, 0.9672746, 20.0, 52.85331, 0.729116},
    {0.5871018, 0.9672746, 0.0, 0.0, 0.5871018},
    // Example 34.a (parabolic): q = 1.487469 AU, T = 1998 April 14.4358 TT,
    // on 1998 August 5.0 TT, that is 15.5642 + 31 + 30 + 31 + 5 days later.
    {1.487469, 1.0, 15.5642 + 31 + 30 + 31 + 5, 66.78862, 2.133911},
};

TEST(ConicOrbitTest, GivesMeeussTrueAnomalyAndDistance)
{
    for (const MeeusRow& row : meeusRows)
    {
        const PlaneState s = stateInPlane(row.q, row.e, row.days);
        EXPECT_NEAR(row.trueAnomaly, std::fmod(std::atan2(s.y, s.x) / degree + 360.0, 360.0), 1e-5) << row.days;
        EXPECT_NEAR(row.radius, std::hypot(s.x, s.y), 1e-6) << row.days;
    }
}

TEST(ConicOrbitTest, PassesThroughEOfOneWithoutAJump)
{
    // Separate formulas for each conic lose their digits near e = 1; one
    // formulation gives neighbouring places for neighbouring eccentricities.
    for (double days : {-800.0, -3.0, 0.001, 40.0, 2500.0})
    {
        const PlaneState below = stateInPlane(0.7, 1.0 - 1e-10, days);
        const PlaneState at = stateInPlane(0.7, 1.0, days);
        const PlaneState above = stateInPlane(0.7, 1.0 + 1e-10, days);
        const double scale = std::hypot(at.x, at.y);
        EXPECT_NEAR(below.x, at.x, 1e-8 * scale) << days;
        EXPECT_NEAR(below.y, at.y, 1e-8 * scale) << days;
        EXPECT_NEAR(above.x, at.x, 1e-8 * scale) << days;
        EXPECT_NEAR(above.y, at.y, 1e-8 * scale) << days;
    }
}

TEST(ConicOrbitTest, AnEllipseReturnsAfterItsPeriodAndKeepsItsPlaceAfterManyTurns)
{
    // Kepler's third law with k: P = 2π a^(3/2) / k days.
    const double a = 2.7, e = 0.3;
    const double period = 2.0 * 3.14159265358979323846 * a * std::sqrt(a) / gaussianGravitationalConstant;
    const PlaneState first = stateInPlane(a * (1 - e), e, 100.0);
    const PlaneState later = stateInPlane(a * (1 - e), e, 100.0 + 1000.0 * period);
    EXPECT_NEAR(first.x, later.x, 1e-9);
    EXPECT_NEAR(first.y, later.y, 1e-9);
    const PlaneState aphelion = stateInPlane(a * (1 - e), e, 0.5 * period);
    EXPECT_NEAR(-a * (1 + e), aphelion.x, 1e-12);
    EXPECT_NEAR(0.0, aphelion.y, 1e-9);
}

TEST(ConicOrbitTest, MeanAnomalyAtAnEpochGivesThePerihelionTime)
{
    // 90° of mean anomaly is a quarter period after perihelion; a
    // hyperbola's mean anomaly counts with n = k / |a|^(3/2) likewise.
    const double a = 4.0;
    const double quarter = 0.25 * 2.0 * 3.14159265358979323846 * a * std::sqrt(a) / gaussianGravitationalConstant;
    const ConicElements elliptic = conicFromMeanAnomaly(a, 0.5, 10.0, 20.0, 30.0, 90.0, 1000.0);
    EXPECT_NEAR(1000.0 - quarter, elliptic.perihelionDays, 1e-9);
    EXPECT_NEAR(2.0, elliptic.perihelionDistance, 1e-15);
    const ConicElements hyperbolic = conicFromMeanAnomaly(-0.5, 3.0, 10.0, 20.0, 30.0, -1.0 / degree, 0.0);
    EXPECT_NEAR(0.5 * std::sqrt(0.5) / gaussianGravitationalConstant, hyperbolic.perihelionDays, 1e-9);
    EXPECT_NEAR(1.0, hyperbolic.perihelionDistance, 1e-15);
}
}
