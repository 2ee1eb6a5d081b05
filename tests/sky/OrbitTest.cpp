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
    EXPECT_EQ("0.3", rateText(frames.rate()));
    frames.faster(frameRateLadder());
    EXPECT_EQ(0.5, frames.rate());
    frames.setRate(-0.3);
    frames.slower(frameRateLadder());
    EXPECT_EQ(-0.25, frames.rate());
    EXPECT_EQ("-1/4", rateText(frames.rate()));   // the ladder's ends are viewer/ControlsTest's

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
