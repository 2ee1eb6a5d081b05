// Orbits and spins in the sky's own maths: Kepler's equation at any
// eccentricity, orbits measured from a Laplace plane, the clock's speeds.

#include "sky/Clock.h"
#include "sky/Orbit.h"
#include "sky/Spin.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
TEST(OrbitTest, KeplersEquationHoldsAtEveryEccentricityFromAnyGuess)
{
    for (double e : {0.0, 0.2, 0.6, 0.9, 0.97, 0.99, 0.999999})
    {
        EccentricAnomaly followed;   // the last solution, as frames pass it on
        for (int n = -3000; n <= 3000; ++n)
        {
            const double m = n * 0.01 * pi;   // fifteen turns each way, in small steps
            EccentricAnomaly cold;
            cold.angle = -n * 1.7;            // a guess anywhere
            cold.sine = std::sin(cold.angle);
            cold.cosine = std::cos(cold.angle);
            for (EccentricAnomaly* solution : {&followed, &cold})
            {
                solveKepler(m, e, *solution);
                const double residual = std::remainder(solution->angle - e * std::sin(solution->angle) - m, 2 * pi);
                ASSERT_LT(std::abs(residual), 1e-12) << "e " << e << ", M " << m;
                ASSERT_NEAR(std::sin(solution->angle), solution->sine, 1e-12);
                ASSERT_NEAR(std::cos(solution->angle), solution->cosine, 1e-12);
            }
        }
    }
}

TEST(OrbitTest, ACometRacesRoundPerihelionWithoutAJump)
{
    OrbitElements comet;
    comet.periodDays = 27510.0;
    comet.eccentricity = 0.97;
    comet.inclination = 162.26;
    comet.ascendingNode = 58.42;
    comet.periapsis = 111.33;
    const KeplerOrbit orbit(comet);
    // Each step no longer than the speed at perihelion allows (vis-viva, in
    // semi-major axes a day): a wrong root of Kepler's equation would jump.
    const double fastest = 2 * pi / comet.periodDays * std::sqrt((1 + comet.eccentricity) / (1 - comet.eccentricity));
    const double step = 0.05;   // days: an hour and a bit
    EccentricAnomaly solution;
    Vector3d last = orbit.placeAt(-200.0, solution);
    double nearest = 1.0;
    for (double days = -200.0 + step; days < 200.0; days += step)
    {
        const Vector3d place = orbit.placeAt(days, solution);
        ASSERT_LE((place - last).length(), fastest * step * 1.0001) << "at " << days << " days";
        nearest = std::min(nearest, spherical(place).z);
        last = place;
    }
    EXPECT_NEAR(1 - comet.eccentricity, nearest, 1e-6);   // it passed perihelion, at q = a (1 - e)
}

TEST(TimeFlowTest, TheTimeKeysStepAlongTheirLadderEitherWayAndKeepAnyRateAsGiven)
{
    TimeFlow clock(21600.0);
    int steps = 0;
    for (TimeFlow last(0.0); !(last == clock); ++steps)
    {
        last = clock;
        clock.faster(clockSpeedLadder());
    }
    EXPECT_EQ(365.25 * 86400.0, clock.rate());
    EXPECT_EQ(7, steps);   // 1 d, 3 d, 10 d, 30 d, 100 d, 1 yr, then no further
    for (int i = 0; i < 20; ++i)
        clock.slower(clockSpeedLadder());
    EXPECT_EQ(1.0, clock.rate());

    // Backwards keeps its direction through the steps.
    TimeFlow backwards(-1.0);
    backwards.faster(clockSpeedLadder());
    EXPECT_EQ(-10.0, backwards.rate());
    backwards.setRate(-21600.0);
    backwards.slower(clockSpeedLadder());
    EXPECT_EQ(-3600.0, backwards.rate());

    // A rate between the ladder's steps stays as it is until a key moves it
    // to the next step beyond it.
    TimeFlow frames(0.3);
    EXPECT_EQ(0.3, frames.rate());
    EXPECT_EQ("0.3", rateText(frames.rate()));
    frames.faster(frameRateLadder());
    EXPECT_EQ(0.5, frames.rate());
    frames.setRate(-0.3);
    frames.slower(frameRateLadder());
    EXPECT_EQ(-0.25, frames.rate());
    EXPECT_EQ("-1/4", rateText(frames.rate()));
    frames.setRate(1024.0);
    frames.faster(frameRateLadder());
    EXPECT_EQ(1024.0, frames.rate());
    frames.setRate(1.0 / 64);
    frames.slower(frameRateLadder());
    EXPECT_EQ("1/64", rateText(frames.rate()));

    EXPECT_EQ("6 h/s", speedText(21600.0));
    EXPECT_EQ("-1 yr/s", speedText(-365.25 * 86400.0));
}

TEST(ClockTest, TheClockStopsAtTheEndsOfTheCalendar)
{
    Clock clock(0.0, 365.25 * 86400.0);
    clock.advance(1e9);
    EXPECT_EQ(Clock::latestDays, clock.days());
    clock.setSpeed(-clock.speed());
    clock.advance(1e10);
    EXPECT_EQ(Clock::earliestDays, clock.days());
    EXPECT_TRUE(std::isfinite(clock.dynamicalDays()));
}
}
