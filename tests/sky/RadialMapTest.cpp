// The map from true distances from the Sun to a display scale: through the
// planets' pairs, monotonic and smooth from a hundredth of an AU to ten
// thousand, a power law beyond the planets, and Kepler's third law against
// Standish's table.

#include "sky/RadialMap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The default system's planets: Standish's semi-major axes ("Keplerian
// Elements for Approximate Positions of the Major Planets", table 1, J2000
// ecliptic, AU) with the OrbitRadius data/1.cfg gives each.
const std::vector<DistancePair> defaultPlanets{
    {0.38709927, 1000}, {0.72333566, 1500}, {1.00000261, 2100}, {1.52371034, 2800},
    {5.20288700, 4000}, {9.53667594, 5400}, {19.18916464, 6600}, {30.06992276, 7600},
};

// The slope of ln(world) against ln(au) just above `au` (step 1e-6) or just below it (-1e-6).
double slope(const RadialMap& map, double au, double step)
{
    return std::log(map.worldDistance(au * std::exp(step)) / map.worldDistance(au)) / step;
}
double slopeBelow(const RadialMap& map, double au) { return slope(map, au, -1e-6); }
double slopeAbove(const RadialMap& map, double au) { return slope(map, au, 1e-6); }

TEST(RadialMapTest, RisesSmoothlyEverywhereFromAHundredthOfAnAuToTenThousand)
{
    const RadialMap map(defaultPlanets);
    double last = 0.0;
    for (int step = 0; step <= 60000; ++step)
    {
        const double au = 0.01 * std::pow(10.0, step / 10000.0);
        const double world = map.worldDistance(au);
        ASSERT_GT(world, last) << au << " AU";
        last = world;
    }
    EXPECT_EQ(0.0, map.worldDistance(0.0));
    // Far beyond Neptune and close to the Sun it stays within the world's reach.
    EXPECT_LT(map.worldDistance(10000.0), 1e5);
    EXPECT_LT(map.worldDistance(0.01), 200.0);
    // Its slope has no break at a planet, and beyond the planets it goes on as a power law.
    for (const DistancePair& planet : defaultPlanets)
        EXPECT_NEAR(slopeBelow(map, planet.au), slopeAbove(map, planet.au), 1e-4) << planet.au << " AU";
    // Beyond Neptune and inside Mercury: the slope of the last and first
    // gaps between planets, unchanged.
    const double outer = std::log(7600.0 / 6600.0) / std::log(30.06992276 / 19.18916464);
    EXPECT_NEAR(outer, slopeAbove(map, 100.0), 1e-4);
    EXPECT_NEAR(outer, slopeAbove(map, 5000.0), 1e-4);
    const double inner = std::log(1500.0 / 1000.0) / std::log(0.72333566 / 0.38709927);
    EXPECT_NEAR(inner, slopeBelow(map, 0.1), 1e-4);
    // No overshoot between planets: within the gap the map stays between its ends.
    for (double au = 1.6; au < 5.2; au += 0.01)
    {
        EXPECT_GT(map.worldDistance(au), 2800.0);
        EXPECT_LT(map.worldDistance(au), 4000.0);
    }
}

// Read at `au`, `expected` world units.
struct PairsRow { const char* name; std::vector<DistancePair> pairs; std::size_t kept; double au, expected; };

const PairsRow pairsRows[] = {
    {"none", {}, 0, 2.5, 2500.0},
    {"one_is_proportional", {{5.0, 4000.0}}, 1, 2.5, 2000.0},
    // A farther planet drawn nearer than a nearer one would turn the map back: left out.
    {"one_that_would_turn_back", {{1.0, 2000.0}, {2.0, 1500.0}, {4.0, 4000.0}}, 2, 4.0, 4000.0},
    // Of two that disagree, the one given first stays, nearer or farther.
    {"the_first_given_stays", {{2.0, 1500.0}, {1.0, 2000.0}}, 1, 4.0, 3000.0},
    {"one_between_others_fits", {{1.0, 100.0}, {4.0, 400.0}, {2.0, 300.0}, {3.0, 250.0}}, 3, 2.0, 300.0},
    {"two_at_one_distance", {{1.0, 2000.0}, {1.0, 2500.0}}, 1, 0.5, 1000.0},
    {"not_positive_or_finite", {{0.0, 100.0}, {-1.0, 100.0}, {2.0, 0.0}, {NAN, 5.0}, {3.0, INFINITY}, {1.0, 10.0}},
     1, 3.0, 30.0},
    // Two pairs: a power law through both, beyond them too.
    {"two_are_one_power_law", {{1.0, 100.0}, {4.0, 400.0 * 0.5}}, 2, 16.0, 100.0 * 16.0 * 0.25},
};

TEST(RadialMapTest, KeepsThePairsThatLetItRise)
{
    for (const PairsRow& row : pairsRows)
    {
        const RadialMap map(row.pairs);
        EXPECT_EQ(row.kept, map.knots().size()) << row.name;
        EXPECT_NEAR(row.expected, map.worldDistance(row.au), 1e-9 * row.expected) << row.name;
    }
}

TEST(RadialMapTest, TheSemiMajorAxisOfAPeriodIsStandishsToAFewPartsInTenThousand)
{
    // Standish's table 1: the sidereal periods data/1.cfg derives from its
    // mean motions, and its semi-major axes. The two are fitted each on its
    // own over 1800-2050, and the law here leaves out the planet's mass
    // (Jupiter's would add 0.03 %): they agree to 0.05 %.
    const struct { double days, au; } planets[] = {{365.256367131, 1.00000261}, {686.979731533, 1.52371034}, {4332.81712752, 5.20288700},
                   {60189.6590163, 30.06992276}};
    for (const auto& planet : planets)
        EXPECT_NEAR(planet.au, semiMajorAxisOfPeriod(planet.days), 5e-4 * planet.au) << planet.days << " days";
}
}
