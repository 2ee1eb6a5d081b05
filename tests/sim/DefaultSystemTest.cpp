// The default system against published positions: where its planets and
// the Moon stand, by their theories and by their elements, and which way the
// Earth turns.

#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SkyToWorld.h"
#include "sky/TimeScales.h"

#include <gtest/gtest.h>
#include <libnova/precession.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>
#include <libnova/transform.h>

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

constexpr double julianDayOfJ2000 = 2451545.0;
constexpr double arcsecond = 1.0 / 3600.0;   // degrees
constexpr double daysPerJulianYear = 365.25;

// The angle between two directions, degrees.
double degreesApart(const Vector3d& a, const Vector3d& b)
{
    return std::atan2(a.cross(b).length(), a.dot(b)) / radiansPerDegree;
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

// The elements, which draw the orbit lines and stand in beyond the theories' years.
TEST_F(DefaultSystemTest, PlanetElementsStandNearThePublishedPositions)
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

TEST_F(DefaultSystemTest, TheMoonsElementsStandNearWhereELP2000Says)
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

// VSOP87's check values, vsop87.chk of the VSOP87 distribution (Bretagnon &
// Francou 1988), version A: heliocentric rectangular coordinates of the
// Earth's centre and the planets in the dynamical ecliptic and equinox of
// J2000, AU, at 12h TDB; the same rows as tests/sky/TheoriesTest.cpp, 1100
// to 2000.
struct CheckValue
{
    const char* planet;
    double julianDay;
    Vector3d place;
};
const CheckValue vsop87CheckValues[] = {
    {"Mercury", 2451545.0, {-0.1300934115, -0.4472876716, -0.0245983802}},
    {"Mercury", 2341970.0, {0.3256720360, 0.0880865802, -0.0229819912}},
    {"Mercury", 2305445.0, {0.2314047967, -0.3620120986, -0.0508588210}},
    {"Venus", 2378495.0, {-0.5983535208, 0.3958502156, 0.0398238141}},
    {"Venus", 2122820.0, {-0.6660158465, -0.2753592311, 0.0357874175}},
    {"Earth", 2451545.0, {-0.1771354586, 0.9672416237, -0.0000039000}},
    {"Earth", 2341970.0, {-0.2104654652, 0.9603579954, 0.0006472929}},
    {"Earth", 2305445.0, {-0.2214982928, 0.9578483181, 0.0008568250}},
    {"Mars", 2415020.0, {0.4284332474, -1.3552354250, -0.0389650205}},
    {"Mars", 2305445.0, {-0.8307668241, 1.4098595097, 0.0504536061}},
    {"Jupiter", 2341970.0, {1.2817318353, -5.0280079874, -0.0091251590}},
    {"Jupiter", 2305445.0, {-4.0547959775, 3.4799857072, 0.0779960099}},
    {"Saturn", 2415020.0, {-0.3695973750, -10.0582398188, 0.1916854382}},
    {"Saturn", 2122820.0, {-7.9395559173, -5.8435867016, 0.4165601597}},
    {"Uranus", 2378495.0, {-18.2708335178, 0.9877655715, 0.2420344280}},
    {"Uranus", 2305445.0, {16.1020987626, 11.4900726864, -0.1664618891}},
    {"Neptune", 2341970.0, {29.5022811950, 4.5987701114, -0.7740507255}},
    {"Neptune", 2305445.0, {-26.5823264272, 14.1935610229, 0.3196842255}},
};

double semiMajorAxisOf(const std::string& planet)
{
    for (const auto& [name, axis] : semiMajorAxes)
        if (planet == name)
            return axis;
    ADD_FAILURE() << planet;
    return 1.0;
}

TEST_F(DefaultSystemTest, PlanetsStandWhereTheVsop87CheckValuesSay)
{
    // The file names each planet's theory: its place is VSOP87's, before
    // 1800 too, where the elements are degrees out. VSOP87 holds these to
    // an arcsecond.
    for (const CheckValue& check : vsop87CheckValues)
    {
        const Body& planet = body(check.planet);
        const std::string at = std::string(check.planet) + " at JD " + std::to_string(check.julianDay);
        ASSERT_TRUE(planet.theory) << at;
        const Vector3d place = datedPlace(planet, check.julianDay - julianDayOfJ2000) /
                               double(planet.definition.OrbitRadius) * semiMajorAxisOf(check.planet);
        EXPECT_LT(degreesApart(place, check.place), arcsecond) << at;
        EXPECT_NEAR(place.length() / check.place.length(), 1.0, 1e-6) << at;
    }
}

TEST_F(DefaultSystemTest, BeyondTheTheoriesYearsBodiesKeepToTheirElements)
{
    // Year 9000 and -5000 are beyond VSOP87 and ELP 2000-82B alike; 2600 is
    // beyond ELP 2000-82B only.
    const struct
    {
        const char* name;
        double year;
        bool byTheory;
    } rows[] = {{"Mercury", 9000, false}, {"Earth", 9000, false},   {"Jupiter", 9000, false},
                {"Neptune", 9000, false}, {"Neptune", -5000, false}, {"Moon", 9000, false},
                {"Moon", 2600, false},    {"Earth", 2600, true},     {"Uranus", -3500, true}};
    for (const auto& row : rows)
    {
        const Body& dated = body(row.name);
        const double days = (row.year - 2000.0) * daysPerJulianYear;
        const std::string at = std::string(row.name) + " in " + std::to_string(int(row.year));
        const Vector3d place = datedPlace(dated, days);
        const Vector3d onElements = dated.keplerOrbit->placeAt(days) * double(dated.definition.OrbitRadius);
        ASSERT_TRUE(place.finite()) << at;
        if (row.byTheory)
        {
            EXPECT_GT(degreesApart(place, onElements), arcsecond) << at;
            continue;
        }
        EXPECT_LT((place - onElements).length(), 1e-9 * onElements.length()) << at;
        // On the ellipse the orbit line draws: between periapsis and apoapsis.
        const double a = dated.definition.OrbitRadius, e = dated.definition.Eccentricity;
        EXPECT_GE(place.length(), a * (1.0 - e) * (1.0 - 1e-9)) << at;
        EXPECT_LE(place.length(), a * (1.0 + e) * (1.0 + 1e-9)) << at;
    }
}

TEST_F(DefaultSystemTest, TheMoonStandsWhereELP2000AndMeeusSay)
{
    const Body& moon = body("Moon");
    ASSERT_TRUE(moon.theory);
    const double kilometresPerUnit = 384400.0 / double(moon.definition.OrbitRadius);
    // Geocentric longitudes in the mean ecliptic and equinox of J2000 at 0h
    // TDB, ELP 2000-82B's notice, table H.
    const std::pair<double, double> tableH[] = {
        {2409000.5, 161.183227}, {2429000.5, 168.548451}, {2449000.5, 174.359649}, {2469000.5, 172.906715}};
    for (const auto& [julianDay, longitude] : tableH)
    {
        const Vector3d place = spherical(datedPlace(moon, julianDay - julianDayOfJ2000));
        EXPECT_LT(std::abs(angleBetween(place.x, longitude)), arcsecond) << julianDay;
    }
    // Meeus, Astronomical Algorithms (2nd ed.), example 47.a: 1992 April 12,
    // 0h TD, longitude 133.162655° and latitude -3.229126° in the mean
    // ecliptic and equinox of the date, distance 368409.7 km, by his
    // abridged ELP 2000-82 (stated to 10" and 4"). The general precession in
    // longitude (IAU 1976, Meeus eq. 21.6: 5029.0966" a Julian century)
    // carries J2000 to the equinox of the date; the ecliptic's own turn, 47"
    // a century, moves the latitude less than 4" over these eight years.
    const double julianDay = 2448724.5;
    const double centuries = (julianDay - julianDayOfJ2000) / 36525.0;
    const double precession = (5029.0966 * centuries + 1.11113 * centuries * centuries) * arcsecond;
    const Vector3d place = spherical(datedPlace(moon, julianDay - julianDayOfJ2000));
    EXPECT_LT(std::abs(angleBetween(place.x + precession, 133.162655)), 20 * arcsecond);
    EXPECT_LT(std::abs(place.y - -3.229126), 10 * arcsecond);
    EXPECT_NEAR(place.z * kilometresPerUnit, 368409.7, 10.0);
}

TEST_F(DefaultSystemTest, TheSunStandsOverTheSubsolarPointOfTheDate)
{
    // The subsolar point by the Earth's rotation model and its orbit, against
    // libnova: the Sun's geometric place (VSOP87, J2000 ecliptic) turned to
    // the J2000 equator, precessed to the mean equator and equinox of the
    // date (IAU 1976), and Greenwich's mean sidereal time (Meeus eq. 12.4)
    // at the UTC instant. The subsolar latitude is the Sun's declination of
    // the date and its longitude east the Sun's right ascension less the
    // sidereal time. The IAU model keeps within 0.1° of that from 1990 to
    // 2030; the time scale ignored would turn the Earth 0.24° to 0.29° too
    // little (TT - UTC of 57 to 69 s), and a flipped pole would swap the
    // hemispheres.
    const Body& earth = body("Earth");
    ASSERT_TRUE(earth.keplerOrbit && earth.datedSpin);
    for (const char* date : {"1994-08-01T21:00", "2001-03-20T13:31", "2006-06-21T06:00", "2013-09-22T18:00",
                             "2019-12-22T00:00", "2024-02-10T09:30", "2026-05-14T12:00"})
    {
        const double utcDays = *parseDate(date);
        const double days = dynamicalFromUtc(utcDays);
        // In the Earth's own frame: +Y its pole, -Z Greenwich, -X 90° east.
        const Vector3d toSun = -datedPlace(earth, days);
        const Vector3d local = earth.datedSpin->orientationAt(days).inverse() * toSun.normalised();
        const double latitude = std::asin(local.y) / radiansPerDegree;
        const double longitude = std::atan2(-local.x, -local.z) / radiansPerDegree;

        ln_helio_posn sun{};
        ln_get_solar_geom_coords(julianDayOfJ2000 + days, &sun);
        ln_lnlat_posn ecliptic{sun.L, sun.B};
        ln_equ_posn j2000{}, ofDate{};
        ln_get_equ_from_ecl(&ecliptic, julianDayOfJ2000, &j2000);
        ln_get_equ_prec2(&j2000, julianDayOfJ2000, julianDayOfJ2000 + days, &ofDate);
        const double siderealDegrees = 15.0 * ln_get_mean_sidereal_time(julianDayOfJ2000 + utcDays);

        EXPECT_LT(std::abs(latitude - ofDate.dec), 0.02) << date;
        EXPECT_LT(std::abs(angleBetween(longitude, ofDate.ra - siderealDegrees)), 0.12) << date;
    }
}

TEST_F(DefaultSystemTest, TheClockSaysWhenEveryTheoryIsLeftBehind)
{
    // VSOP87 holds from -4000 (Uranus and Neptune) to 8000; ELP 2000-82B
    // from -3000 to 2500.
    const struct
    {
        double year;
        const char* note;
    } rows[] = {{2026, ""},
                {2600, ""},
                {-3500, ""},
                {7999, ""},
                {8001, "beyond VSOP87 and ELP 2000-82B: elements only"},
                {9000, "beyond VSOP87 and ELP 2000-82B: elements only"},
                {-5000, "beyond VSOP87 and ELP 2000-82B: elements only"}};
    for (const auto& row : rows)
    {
        const double days = (row.year - 2000.0) * daysPerJulianYear;
        EXPECT_EQ(beyondEveryTheory(*verdict.bodies, days), *row.note != '\0') << row.year;
        EXPECT_EQ(beyondTheoriesNote(*verdict.bodies, days), row.note) << row.year;
    }
    // A system whose bodies name no theory has none to leave.
    const SystemVerdict clockwork = judgeSystemText(
        "clockwork.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/clockwork.cfg"), nullptr);
    ASSERT_TRUE(clockwork.sound());
    EXPECT_FALSE(beyondEveryTheory(*clockwork.bodies, 9000 * daysPerJulianYear));
    EXPECT_EQ(beyondTheoriesNote(*clockwork.bodies, 9000 * daysPerJulianYear), "");
}

}
