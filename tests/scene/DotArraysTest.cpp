// What the graphics card is given of a catalogue: placed from the packed
// elements as the compute program places them (Kepler's equation in the
// eccentric anomaly, Barker's for a parabola), every body stands where the
// catalogue's own universal-variable solver puts it, years from the
// reference time; and the Halley steps of each band solve Kepler's equation
// to a float's precision from the program's starting value.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "catalogue/CatalogueReading.h"
#include "scene/DotArrays.h"
#include "sky/ConicOrbit.h"

#include <cmath>

namespace
{
// The starting value the compute program takes, then `steps` Halley steps.
double startAndSteps(double e, double mean, int steps)
{
    double anomaly = mean + e * std::sin(mean) / std::sqrt(1.0 - 2.0 * e * std::cos(mean) + e * e);
    for (int k = 0; k < steps; ++k)
    {
        const double s = std::sin(anomaly), c = std::cos(anomaly);
        const double f = anomaly - e * s - mean, d1 = 1.0 - e * c;
        anomaly -= f / (d1 - 0.5 * f * e * s / d1);
    }
    return anomaly;
}

// The place of a dot, world axes, AU, `days` after the reference time.
Vector3d dotPlace(const DotArrays& dots, std::size_t dot, double days)
{
    const float* a = &dots.axes[8 * dot];
    const double e = a[3];
    const double mean = dots.motion[2 * dot] + double(dots.motion[2 * dot + 1]) * days;
    const Vector3d along{a[0], a[1], a[2]}, across{a[4], a[5], a[6]};
    if (e < 1.0)
    {
        double anomaly = mean;
        for (int k = 0; k < 60; ++k)
            anomaly -= (anomaly - e * std::sin(anomaly) - mean) / (1.0 - e * std::cos(anomaly));
        return along * (std::cos(anomaly) - e) + across * std::sin(anomaly);
    }
    if (e > 1.0)
    {
        double h = std::asinh(mean / e);
        for (int k = 0; k < 200; ++k)
            h -= (e * std::sinh(h) - h - mean) / (e * std::cosh(h) - 1.0);
        return along * (e - std::cosh(h)) + across * std::sinh(h);
    }
    const double y = std::cbrt(1.5 * mean + std::sqrt(2.25 * mean * mean + 1.0));
    const double d = y - 1.0 / y;
    return along * (1.0 - d * d) + across * d;
}

Vector3d worldAxes(const Vector3d& ecliptic)
{
    return {ecliptic.x, ecliptic.z, -ecliptic.y};
}

TEST(DotArraysTest, EveryDotStandsWhereTheCataloguesSolverPutsItForYearsInABandOfItsSteps)
{
    // Ceres, Pallas, Vesta and 497 Trojans: ellipses of e up to 0.27; then
    // Halley (e 0.967), 2I/Borisov (3.36) and C/1995 O1 (0.995).
    for (const char* file : {"trojans-and-belt.json", "comets.txt"})
    {
        SCOPED_TRACE(file);
        const Result<Catalogue> read = readCatalogueFile(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/" + file);
        ASSERT_TRUE(read.ok()) << read.why();
        const SmallBodies& bodies = read->bodies;
        const double reference = 8766.0;   // 2024 January 1.5 TT
        const DotArrays dots = packDots(bodies, reference);
        ASSERT_EQ(bodies.size(), dots.size());
        std::vector<bool> seen(bodies.size(), false);
        for (std::size_t dot = 0; dot < dots.size(); ++dot)
        {
            const std::size_t index = dots.catalogueIndex[dot];
            ASSERT_LT(index, bodies.size());
            EXPECT_FALSE(seen[index]) << "twice: " << bodies.name(index);
            seen[index] = true;
            for (double days : {-3652.5, 0.0, 1000.0, 7305.0})
            {
                const Vector3d expected = worldAxes(bodies.positionAt(index, reference + days));
                const Vector3d packed = dotPlace(dots, dot, days);
                // Single precision: the axes to 6e-8, the anomaly's 2e-7 radians a day of motion and time.
                EXPECT_LT((packed - expected).length(), 2e-5 * expected.length() + 1e-6)
                    << bodies.name(index) << " " << days << " days on";
            }
        }
        if (std::string(file) != "comets.txt")
            continue;
        // Ellipses by eccentricity, the open orbits last: Halley (e 0.9665)
        // and C/1995 O1 (0.99497), 3 steps each, then Borisov.
        ASSERT_EQ(2u, dots.bands.size());
        EXPECT_EQ(3, dots.bands[0].steps);
        EXPECT_TRUE(dots.bands[0].first == 0 && dots.bands[0].count == 2 && dots.bands[1].first == 2 &&
                    dots.bands[1].count == 1 && dots.bands[1].open);
        EXPECT_NE(std::string::npos, bodies.name(dots.catalogueIndex[0]).find("Halley"));
        EXPECT_NE(std::string::npos, bodies.name(dots.catalogueIndex[2]).find("Borisov"));
        EXPECT_GT(dots.axes[8 * 2 + 7], 50.0f);   // a comet says so by its magnitude
    }
}

TEST(DotArraysTest, EachBandsStepsSolveKeplersEquationToAMillionthOfARadian)
{
    // At eccentricities across the bands, over mean anomalies all round
    // and near perihelion, where the start is worst.
    const auto worst = [](double e, int steps) {
        double error = 0.0;
        for (int i = -2000; i <= 2000; ++i)
        {
            const double mean = i == 0 ? 1e-6 : 3.14159 * i / 2000.0 * std::abs(i / 2000.0);
            double exact = mean + (mean > 0 ? 0.85 : -0.85) * e;
            for (int k = 0; k < 200; ++k)
                exact -= (exact - e * std::sin(exact) - mean) / (1.0 - e * std::cos(exact));
            error = std::max(error, std::abs(startAndSteps(e, mean, steps) - exact));
        }
        return error;
    };
    for (double e : {0.1, 0.6, 0.8, 0.95, 0.99, 0.995, 0.999, 0.9999, 0.99999})
    {
        const int steps = keplerSteps(e);
        EXPECT_LT(worst(e, steps), 1e-6) << "e " << e << ", " << steps << " steps";
    }
}
}
