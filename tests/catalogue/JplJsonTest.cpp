// JPL's small-body database in JSON: the real answers that kstars-data
// ships, and the single-body API's orbit elements.

#include "SkyReferences.h"
#include "TestPaths.h"
#include "catalogue/CatalogueReading.h"
#include "catalogue/NameIndex.h"
#include "catalogue/PackedCodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <tuple>

namespace
{
// kstars-data (Debian) ships two answers of JPL's SBDB query API, made in
// 2022: 7,099 asteroids and 3,768 comets (GPL-2+ as part of kstars-data;
// read in place, not copied).
const char* const kstarsAsteroids = "/usr/share/kstars/asteroids.dat";
const char* const kstarsComets = "/usr/share/kstars/comets.dat";

bool present(const char* path) { return std::ifstream(path).good(); }

TEST(JplQueryTest, ReadsKstarsAsteroidsWhole)
{
    if (!present(kstarsAsteroids))
        GTEST_SKIP() << "kstars-data is not installed (scripts/setup installs it)";
    const Result<Catalogue> read = readCatalogueFile(kstarsAsteroids);
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(CatalogueFormat::JplQuery, read->format);
    // Of 7,099 rows one, "(2002 PD153)", has no mean anomaly (null): it is
    // named and skipped.
    EXPECT_EQ(7098u, read->bodies.size());
    ASSERT_EQ(1u, read->problems.size());
    EXPECT_EQ("/usr/share/kstars/asteroids.dat:1: data row 4234: neither tp nor ma with an epoch places the body in "
              "its orbit; the line is skipped",
              read->problems[0].where());
    // The first row: "     1 Ceres (A801 AA)", epoch_mjd 59800, e .07863575691875528,
    // a 2.766619044655007, q 2.549063861972717, i 10.58679512153367,
    // om 80.2664361119415, w 73.53162522557164, ma 334.3271698971151, H 3.33, G 0.12.
    const SmallBodies& b = read->bodies;
    EXPECT_EQ("1 Ceres (A801 AA)", b.name(0));
    EXPECT_EQ(1u, b.number(0));
    EXPECT_DOUBLE_EQ(59800 - 51544.5, b.epochDays(0));
    const ConicElements o = b.elements(0);
    EXPECT_DOUBLE_EQ(2.549063861972717, o.perihelionDistance);
    EXPECT_DOUBLE_EQ(.07863575691875528, o.eccentricity);
    EXPECT_FLOAT_EQ(10.58679512153367f, float(o.inclination));
    // A mean anomaly of 334.33° is that share of a turn after perihelion,
    // at the file's own period, per_y 4.60184774356845 Julian years.
    EXPECT_NEAR(b.epochDays(0) - 334.3271698971151 / 360.0 * 4.60184774356845 * 365.25, o.perihelionDays, 0.01);
    EXPECT_FLOAT_EQ(3.33f, b.magnitude(0));
    EXPECT_FLOAT_EQ(0.12f, b.slope(0));
}

TEST(JplQueryTest, ReadsKstarsCometsOfEveryEccentricityAndBorisovPassesTheEarthWhereObserved)
{
    if (!present(kstarsComets))
        GTEST_SKIP() << "kstars-data is not installed (scripts/setup installs it)";
    const Result<Catalogue> read = readCatalogueFile(kstarsComets);
    ASSERT_TRUE(read.ok()) << read.why();
    const SmallBodies& b = read->bodies;
    // Every row holds tp, q, e and the angles; none is refused.
    EXPECT_EQ(3768u, b.size());
    for (const CatalogueProblem& p : read->problems)
        ADD_FAILURE() << p.where();
    std::size_t open = 0;
    for (std::size_t i = 0; i < b.size(); ++i)
        open += b.elements(i).eccentricity >= 1.0;
    EXPECT_GT(open, 100u);
    // "    1P/Halley": tp 2446467.395317050925 (JD TDB), q 0.585978111516909.
    const std::size_t halley = NameIndex(b).find("1P/Halley").value();
    EXPECT_EQ(BodyKind::Comet, b.kind(halley));
    EXPECT_DOUBLE_EQ(2446467.395317050925 - 2451545.0, b.elements(halley).perihelionDays);
    // Within the float axes' precision (6e-8).
    EXPECT_NEAR(0.585978111516909, b.positionAt(halley, b.elements(halley).perihelionDays).length(), 1e-7);

    // JPL's solution 53 for C/2019 Q4 (Borisov), that is 2I, e = 3.356.
    const std::size_t borisov = NameIndex(b).find("C/2019 Q4 (Borisov)").value();
    EXPECT_NEAR(3.356215101434632, b.elements(borisov).eccentricity, 1e-15);
    // The MPC's elements (its CometEls as kstars-data carries them, 2022
    // August): T 2019 December 8.5549 TT, q 2.006548 AU, e 3.356636,
    // ω 209.1251°, Ω 308.148°, i 44.0527°, J2000 ecliptic and equinox.
    const ConicOrbit mpc({2.006548, 3.356636, 44.0527, 308.148, 209.1251, daysFromJ2000(2019, 12, 8.5549)});
    // Two independent fits of the same observations: within 5e-4 AU of each
    // other for the months it was watched (they differ by 3.4e-4 AU at most).
    for (double days = daysFromJ2000(2019, 9, 1.0); days < daysFromJ2000(2020, 4, 1.0); days += 10.0)
        EXPECT_LT((b.positionAt(borisov, days) - mpc.positionAt(days)).length(), 5e-4) << days;
    // Mugrauer et al. (2020, "Follow-up imaging observations of comet
    // 2I/Borisov", arXiv:2003.01457): closest to the Earth on 2019 December
    // 28 at Δmin = 1.9368 AU (from their own orbit, to 1e-4 AU and a day).
    double nearest = 1e9, when = 0.0;
    for (double days = daysFromJ2000(2019, 12, 15.0); days < daysFromJ2000(2020, 1, 10.0); days += 0.01)
    {
        const double delta = (b.positionAt(borisov, days) - earthAt(days)).length();
        if (delta < nearest)
            std::tie(nearest, when) = std::make_pair(delta, days);
    }
    EXPECT_NEAR(1.9368, nearest, 5e-4);
    EXPECT_NEAR(daysFromJ2000(2019, 12, 28.5), when, 1.0);
}

TEST(JplJsonTest, TheSingleBodyAnswerKeepsItsElements)
{
    // JPL's single-body API in its shape (tests/data/catalogue/README.md).
    const Result<Catalogue> read = readCatalogueFile(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/sbdb-object.json");
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(CatalogueFormat::JplObject, read->format);
    const SmallBodies& b = read->bodies;
    EXPECT_EQ("433 Eros (A898 PA)", b.name(0));
    EXPECT_EQ(433u, b.number(0));
    EXPECT_NEAR(1.458 * (1 - 0.2228), b.elements(0).perihelionDistance, 1e-12);
    EXPECT_DOUBLE_EQ(2461000.5 - 2451545.0, b.epochDays(0));
    EXPECT_FLOAT_EQ(10.38f, b.magnitude(0));
}
}
