// orvtest-check --at --json against the sky: where it says a catalogue's
// 1I/ʻOumuamua stands, against its published closest approach to the Earth.
// The conics' maths is sky/ConicOrbitTest's against a two-body integration;
// a system file's body by its perihelion, check_json.py's and
// scene/OrbitLinesTest's.

#include "HeadlessEngine.h"
#include "MpcLines.h"
#include "TestPaths.h"
#include "TwoBodyIntegration.h"
#include "catalogue/PackedCodes.h"
#include "checker/Checker.h"
#include "config/Dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>

namespace
{
using namespace twoBody;

// TT - UTC from 2017 January 1 on: 32.184 s and TAI - UTC = 37 s (IERS
// Bulletin C 52), in days.
constexpr double ttMinusUtcDays = 69.184 / 86400.0;

// The checker's JSON at a TT date, given as the UTC date it is.
std::string positionsAt(double ttDays, const std::string& catalogue, const std::string& system)
{
    std::ostringstream out, err;
    const int status =
        runChecker({"--json", "--at", exactIsoDate(ttDays - ttMinusUtcDays), "--catalogue", catalogue, system}, out, err);
    EXPECT_EQ(0, status) << err.str() << out.str();
    return out.str();
}

// The number after "key": in the JSON object that holds `anchor`; NaN where
// there is none or it is null.
double numberIn(const std::string& json, const std::string& anchor, const std::string& key)
{
    const std::size_t at = json.find(anchor);
    const std::size_t end = json.find('}', at);
    const std::size_t found = json.find("\"" + key + "\": ", at);
    if (at == std::string::npos || found == std::string::npos || found > end)
        return NAN;
    const char* number = json.c_str() + found + key.size() + 4;
    char* after = nullptr;
    const double value = std::strtod(number, &after);
    return after == number ? NAN : value;
}

// A place from the checker's longitude, latitude (degrees) and distance.
Vector3d placeIn(const std::string& json, const std::string& anchor)
{
    const double l = numberIn(json, anchor, "longitude") * degree, b = numberIn(json, anchor, "latitude") * degree;
    const double r = numberIn(json, anchor, "distanceAU");
    return {r * std::cos(b) * std::cos(l), r * std::cos(b) * std::sin(l), r * std::sin(b)};
}

TEST(PositionsTest, OumuamuaPassesThePerihelionAndTheEarthAsPublished)
{
    // The MPC's elements for 1I/ʻOumuamua (CometEls via kstars-data; MPC
    // 107687): T 2017 September 9.4886 TT, q 0.25524 AU, e 1.199252.
    const std::string catalogue = writeTempFile(
        "comets.txt", cometLine("    C", "K17U010", 2017, 9, 9.4886, 0.25524, 1.199252, 241.6845, 24.5997, 122.6778,
                                "20170904", 10.0, 4.0, "1I/`Oumuamua"));
    const std::string system = writeTempFile("empty.cfg", "");
    const std::string anchor = "\"name\": \"1I/`Oumuamua\"";
    const double T = daysFromJ2000(2017, 9, 9.4886);
    EXPECT_NEAR(0.25524, placeIn(positionsAt(T, catalogue, system), anchor).length(), 1e-7);
    // NASA's release of 2017 November 20 ("Solar System's First Interstellar
    // Visitor Dazzles Scientists"): within 24 million km of the Earth on
    // October 14, that is 0.157 to 0.164 AU for the two figures given.
    double nearest = 1e9, when = 0.0;
    for (double days = daysFromJ2000(2017, 10, 10.0); days <= daysFromJ2000(2017, 10, 19.0); days += 0.05)
    {
        const double au = (placeIn(positionsAt(days, catalogue, system), anchor) - earthAt(days)).length();
        if (au < nearest)
            std::tie(nearest, when) = std::make_pair(au, days);
    }
    EXPECT_NEAR(24.0e6 / 149597870.7, nearest, 0.5e6 / 149597870.7);
    EXPECT_NEAR(daysFromJ2000(2017, 10, 14.5), when, 1.0);
}
}

// --true-scale: each body's real distance from its parent, in km and AU,
// where true scale shows it; the bodies it leaves out named, once each.
TEST(PositionsTest, TrueScaleGivesTheRealDistancesAndNamesTheBodiesLeftOut)
{
    // The shipped system, a probe without SemiMajorAxisKm and a frame-locked wheel.
    std::ifstream shipped(std::string(ORVTEST_DATA_DIR) + "/1.cfg");
    const std::string file = writeTempFile(
        "real.cfg", std::string(std::istreambuf_iterator<char>(shipped), {}) +
                        withValue(bodySection("Probe", "3.Earth", "OrbitDays=10\nRadiusKm=1\n"), "OrbitPeriod", "0") +
                        bodySection("Wheel"));
    // Meeus, Astronomical Algorithms (2nd ed.), example 47.a: 1992 April 12
    // 0h TD, the Moon 368409.7 km from the Earth's centre by his abridged
    // ELP 2000-82 (to about 10"); ΔT then was about 59 s, the Moon's
    // distance changing by well under a kilometre in it.
    const double days = *parseDate("1992-04-12");
    std::ostringstream out, err;
    const int status = runChecker({"--json", "--true-scale", "--at", exactIsoDate(days - 59.0 / 86400.0), file}, out, err);
    const std::string json = out.str();
    EXPECT_EQ(1, status) << err.str();   // the warnings
    EXPECT_NEAR(numberIn(json, "\"section\": \"3.Earth.Moon\"", "distanceKm"), 368409.7, 10.0);
    EXPECT_NEAR(numberIn(json, "\"section\": \"3.Earth.Moon\"", "distanceAU"), 368409.7 / 149597870.7, 1e-7);
    // The Earth from the Sun by VSOP87 in AU times the astronomical unit:
    // vsop87.chk (Bretagnon & Francou 1988), version A, JD 2451545.0 TDB:
    // x -0.1771354586, y 0.9672416237, z -0.0000039000 AU. TT - UTC was
    // 64.184 s then (32.184 s and TAI - UTC = 32 s, IERS Bulletin C).
    const double checkAU = std::sqrt(0.1771354586 * 0.1771354586 + 0.9672416237 * 0.9672416237 + 3.9e-6 * 3.9e-6);
    std::ostringstream earth, earthErr;
    runChecker({"--json", "--true-scale", "--at", exactIsoDate(-64.184 / 86400.0), file}, earth, earthErr);
    EXPECT_NEAR(numberIn(earth.str(), "\"section\": \"3.Earth\"", "distanceAU"), checkAU, 1e-7);
    EXPECT_NEAR(numberIn(earth.str(), "\"section\": \"3.Earth\"", "distanceKm"), checkAU * 149597870.7, 15.0);
    // Left out: the probe without SemiMajorAxisKm, the frame-locked wheel; null distances.
    EXPECT_TRUE(std::isnan(numberIn(json, "\"section\": \"Probe\"", "distanceKm")));
    EXPECT_TRUE(std::isnan(numberIn(json, "\"section\": \"Wheel\"", "distanceKm")));
    for (const char* name : {"'Probe' is left out at true scale: it gives no SemiMajorAxisKm",
                             "'Wheel' is left out at true scale: its orbit does not follow the clock"})
        EXPECT_NE(std::string::npos, json.find(name)) << name;
    EXPECT_EQ(std::string::npos, json.find("'Moon' is left out"));

    // Without --true-scale nothing of it: no km, no warning.
    std::ostringstream plain, plainErr;
    runChecker({"--json", "--at", exactIsoDate(days), file}, plain, plainErr);
    EXPECT_EQ(std::string::npos, plain.str().find("distanceKm"));
    EXPECT_EQ(std::string::npos, plain.str().find("left out at true scale"));

    // The table has a km column.
    std::ostringstream table, tableErr;
    runChecker({"--true-scale", "--at", exactIsoDate(days - 59.0 / 86400.0), file}, table, tableErr);
    EXPECT_NE(std::string::npos, table.str().find(" km ")) << table.str();
    EXPECT_NE(std::string::npos, table.str().find(" 36840")) << table.str();
}

TEST(PositionsTest, ARealSizeNotAbove0IsAnErrorTheViewerDoesNotStartWith)
{
    const std::string file = writeTempFile(
        "bad.cfg", withValue(bodySection("A", "Sun", "OrbitDays=10\nRadiusKm=0\nSemiMajorAxisKm=-3\n"), "OrbitPeriod", "0"));
    std::ostringstream out, err;
    EXPECT_EQ(1, runChecker({file}, out, err));
    EXPECT_NE(std::string::npos, out.str().find("bad.cfg:13: [A] error: RadiusKm 0 is not above 0")) << out.str();
    EXPECT_NE(std::string::npos, out.str().find("bad.cfg:14: [A] error: SemiMajorAxisKm -3 is not above 0")) << out.str();
}
