// The default system against published positions: where its planets and
// the Moon stand, and which way the Earth turns.

#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "sim/BodyRegistry.h"
#include "sim/SkyToWorld.h"
#include "sky/TimeScales.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// TT days from J2000 of a date read as TT (the published tables' scale).
double daysOf(const char* date)
{
    const Result<double> days = parseDynamicalDate(date);
    EXPECT_TRUE(days.ok()) << date << ": " << days.why();
    return days ? *days : 0.0;
}

// The signed difference of two angles in degrees, within ±180.
double angleBetween(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

// The default system as the viewer reads it.
class DefaultSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        verdict = judgeSystemText("1.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"), nullptr);
        ASSERT_TRUE(verdict.sound());
    }

    const Body& body(const std::string& name) const
    {
        const BodyRegistry& bodies = *verdict.bodies;
        for (const auto& owned : bodies)
            if (owned->definition.Name == name)
                return *owned;
        ADD_FAILURE() << "no " << name;
        return bodies.at(0);
    }

    SystemVerdict verdict;
};

// Heliocentric places in the J2000 ecliptic: the VSOP87 check values
// (Bretagnon & Francou 1988, vsop87.chk; the Earth-Moon barycentre) for 1899
// and 2000, and JPL Horizons (DE431) for 2010 to 2050 (the geocentre, within
// 0.002° of the barycentre). TDB, taken as UTC.
struct Reference
{
    const char* planet;
    const char* date;
    double longitude;   // degrees
    double latitude;
    double distance;    // astronomical units
};
const Reference planetReferences[] = {
    {"Mercury", "1899-12-31T12:00", 201.0797761, 3.2366837, 0.4183426276},
    {"Venus", "1899-12-31T12:00", 343.737539, -3.3902474, 0.7274719352},
    {"Earth", "1899-12-31T12:00", 101.04148, 0.0125442, 0.9832398273},
    {"Mars", "1899-12-31T12:00", 287.5434108, -1.5703254, 1.4218777646},
    {"Jupiter", "1899-12-31T12:00", 235.8942201, 0.9136191, 5.385027651},
    {"Saturn", "1899-12-31T12:00", 267.8955715, 1.091049, 10.0668532213},
    {"Uranus", "1899-12-31T12:00", 250.047523, 0.0536782, 18.9927163534},
    {"Neptune", "1899-12-31T12:00", 87.0893399, -1.2452167, 29.8710348088},
    {"Mercury", "2000-01-01T12:00", 253.7829524, -3.022773, 0.4664714752},
    {"Jupiter", "2000-01-01T12:00", 36.2946654, -1.17457, 4.9653813412},
    {"Saturn", "2000-01-01T12:00", 45.722257, -2.3031999, 9.183848529},
    {"Mercury", "2010-01-01", 80.453, 3.7391, 0.307581},
    {"Mars", "2010-01-01", 116.6447, 1.7035, 1.627793},
    {"Saturn", "2010-01-01", 178.4343, 2.2513, 9.475105},
    {"Venus", "2025-01-01", 51.1143, -1.4626, 0.722506},
    {"Earth", "2025-01-01", 100.4693, -0.003, 0.983353},
    {"Jupiter", "2025-01-01", 78.0075, -0.4992, 5.082569},
    {"Neptune", "2025-01-01", 358.7841, -1.2948, 29.894285},
    {"Mars", "2040-01-01", 100.4979, 1.4364, 1.59434},
    {"Saturn", "2040-01-01", 185.1851, 2.3601, 9.543816},
    {"Uranus", "2040-01-01", 120.5551, 0.5605, 18.591419},
    {"Mercury", "2050-01-01", 123.8339, 6.783, 0.324683},
    {"Jupiter", "2050-01-01", 117.142, 0.3713, 5.241358},
    {"Saturn", "2050-01-01", 298.5125, -0.2174, 9.984812},
    {"Neptune", "2050-01-01", 54.2839, -1.7282, 29.816743},
};
// The semi-major axes of Standish's Table 1, astronomical units: the
// default file's OrbitRadius is the display's, its places in units of it.
const std::pair<const char*, double> semiMajorAxes[] = {
    {"Mercury", 0.38709927}, {"Venus", 0.72333566}, {"Earth", 1.00000261}, {"Mars", 1.52371034},
    {"Jupiter", 5.20288700}, {"Saturn", 9.53667594}, {"Uranus", 19.18916464}, {"Neptune", 30.06992276}};

TEST_F(DefaultSystemTest, PlanetsStandWhereThePublishedPositionsSay)
{
    for (const Reference& reference : planetReferences)
    {
        double a = 0.0;
        for (const auto& [planet, axis] : semiMajorAxes)
            if (std::string(planet) == reference.planet)
                a = axis;
        const Body& planet = body(reference.planet);
        ASSERT_TRUE(planet.keplerOrbit) << reference.planet;
        const Vector3d place = spherical(planet.keplerOrbit->placeAt(daysOf(reference.date)));
        const std::string at = std::string(reference.planet) + " at " + reference.date;
        const bool saturn = std::string(reference.planet) == "Saturn";
        EXPECT_LT(std::abs(angleBetween(place.x, reference.longitude)), saturn ? 0.4 : 0.2) << at;
        EXPECT_LT(std::abs(place.y - reference.latitude), 0.1) << at;
        EXPECT_LT(std::abs(place.z / (reference.distance / a) - 1.0), 0.005) << at;
    }
}

TEST_F(DefaultSystemTest, TheMoonStandsWhereELP2000Says)
{
    // Geocentric J2000 ecliptic longitudes, ELP 2000-82B's notice, Table H (TDB).
    const std::pair<const char*, double> references[] = {{"1883-07-09", 161.183227},
                                                         {"1938-04-12", 168.548451},
                                                         {"1993-01-13", 174.359649},
                                                         {"2047-10-17", 172.906715}};
    const Body& moon = body("Moon");
    ASSERT_TRUE(moon.keplerOrbit && moon.keplerOrbit->precesses());
    for (const auto& [date, longitude] : references)
    {
        const Vector3d place = spherical(moon.keplerOrbit->placeAt(daysOf(date)));
        EXPECT_LT(std::abs(angleBetween(place.x, longitude)), 3.0) << date;
    }
}

TEST_F(DefaultSystemTest, GreenwichFacesTheSunAtNoonUTC)
{
    const Body& earth = body("Earth");
    ASSERT_TRUE(earth.keplerOrbit && earth.datedSpin);
    // Noon by the clock is noon in the sky give or take the equation of time,
    // at most 16 minutes: 4 degrees.
    for (const char* date : {"1950-02-11T12:00", "2000-01-01T12:00", "2026-05-14T12:00", "2026-11-03T12:00",
                             "2049-07-26T12:00"})
    {
        const double days = dynamicalFromUtc(*parseDate(date));
        const Vector3d toSun = -earth.keplerOrbit->placeAt(days);
        // In the Earth's own frame: +Y its pole, -Z Greenwich, -X 90° east.
        const Vector3d local = earth.datedSpin->orientationAt(days).inverse() * toSun.normalised();
        const double subsolarLongitude = std::atan2(-local.x, -local.z) * 180.0 / pi;
        EXPECT_LT(std::abs(subsolarLongitude), 4.5) << date;
        // The Sun's declination: on the equator's side of the season.
        const double declination = std::asin(local.y) * 180.0 / pi;
        EXPECT_LT(std::abs(declination), 23.5) << date;
    }
}

}
