// UTC and TT against published leap seconds and ΔT.

#include "sky/TimeScales.h"

#include <date/date.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr double secondsPerDay = 86400.0;

// UTC days from 2000-01-01T12:00 of a proleptic Gregorian date and time.
double utcDaysOf(int year, unsigned month, unsigned day, double seconds = 0.0)
{
    using namespace date;
    const sys_days civil = date::year{year} / date::month{month} / date::day{day};
    const sys_days epoch = date::year{2000} / January / 1;
    return (civil - epoch).count() - 0.5 + seconds / secondsPerDay;
}

// TAI - UTC from USNO's tai-utc.dat (after IERS Bulletin C): from 0h UTC of
// the date on.
struct PublishedStep { int year; unsigned month; double atomicMinusUtc; };
const PublishedStep usnoSteps[] = {{1972, 1, 10.0}, {1972, 7, 11.0}, {1981, 7, 20.0}, {1999, 1, 32.0},
                                   {2006, 1, 33.0}, {2012, 7, 35.0}, {2015, 7, 36.0}, {2017, 1, 37.0}};

TEST(TimeScalesTest, LeapSecondsFallWhereUsnoSays)
{
    for (const PublishedStep& step : usnoSteps)
    {
        const double midnight = utcDaysOf(step.year, step.month, 1);
        const std::string at = std::to_string(step.year) + "-" + std::to_string(step.month);
        EXPECT_NEAR(terrestrialMinusUtcSeconds(midnight), 32.184 + step.atomicMinusUtc, 1e-9) << at;
        EXPECT_NEAR(terrestrialMinusUtcSeconds(midnight + 0.5), 32.184 + step.atomicMinusUtc, 1e-9) << at;
        if (step.year > 1972 || step.month > 1)
        {
            EXPECT_NEAR(terrestrialMinusUtcSeconds(midnight - 1.0 / secondsPerDay),
                        32.184 + step.atomicMinusUtc - 1.0, 1e-9) << at;
        }
    }
    // Later dates keep the last announced value.
    for (double utc : {utcDaysOf(2026, 6, 1), utcDaysOf(2500, 1, 1), utcDaysOf(32767, 12, 31)})
        EXPECT_NEAR(terrestrialMinusUtcSeconds(utc), 32.184 + 37.0, 1e-9);
}

TEST(TimeScalesTest, TheInstalledLeapSecondListAgreesWithTheTable)
{
    std::ifstream file("/usr/share/zoneinfo/leap-seconds.list");
    if (!file)
        GTEST_SKIP() << "tzdata's leap-seconds.list is not installed";
    std::vector<LeapSecondStep> listed;
    std::string line;
    while (std::getline(file, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        long long ntpSeconds = 0;
        int atomicMinusUtc = 0;
        ASSERT_TRUE(fields >> ntpSeconds >> atomicMinusUtc) << line;
        // The file's own definition: MJD = X/86400 + 15020.
        listed.push_back({static_cast<int>(ntpSeconds / 86400 + 15020), atomicMinusUtc});
    }
    const std::vector<LeapSecondStep>& table = leapSecondSteps();
    ASSERT_EQ(listed.size(), table.size()) << "a leap second was announced: bring sky/TimeScales.cpp up to date";
    for (std::size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_EQ(listed[i].modifiedJulianDay, table[i].modifiedJulianDay) << i;
        EXPECT_EQ(listed[i].atomicMinusUtcSeconds, table[i].atomicMinusUtcSeconds) << i;
    }
}

TEST(TimeScalesTest, DeltaTFollowsTheHistoricalRecord)
{
    // ΔT at the start of the year, seconds. -500 to 1000: Morrison &
    // Stephenson (2004), J. Hist. Astron. 35, 327, table 1 (standard errors
    // 430, 260 and 55 s), as the Five Millennium Canon tabulates them. 1700 to
    // 1900: Meeus, Astronomical Algorithms, 2nd ed., table 10.A.
    const struct { int year; double deltaT, tolerance; } published[] = {{-500, 17190, 20}, {0, 10580, 10}, {1000, 1570, 10},
                     {1700, 9.0, 0.5},  {1800, 13.7, 0.5}, {1900, -2.7, 0.5}};
    for (const auto& row : published)
        EXPECT_NEAR(terrestrialMinusUtcSeconds(utcDaysOf(row.year, 1, 1)), row.deltaT, row.tolerance) << row.year;
}

TEST(TimeScalesTest, TimeRunsOnWithoutAStepAt1972)
{
    const double join = utcDaysOf(1972, 1, 1);
    const double before = terrestrialMinusUtcSeconds(join - 1e-3 / secondsPerDay);
    EXPECT_NEAR(before, 42.184, 0.01);   // the 42.184 s from the join on are LeapSecondsFallWhereUsnoSays'.
}

TEST(TimeScalesTest, DynamicalTimeGrowsWithUtcAcrossEveryJoinAndLeapSecond)
{
    std::vector<double> moments;
    for (int year : {-500, 500, 1600, 1700, 1800, 1860, 1900, 1920, 1941, 1961, 1971, 1972})
        for (double offset = -400.0; offset <= 400.0; offset += 0.25)
            moments.push_back(utcDaysOf(year, 1, 1) + offset);
    for (const LeapSecondStep& step : leapSecondSteps())
        for (double seconds = -3.0; seconds <= 3.0; seconds += 0.125)
            moments.push_back(step.modifiedJulianDay - 51544.5 + seconds / secondsPerDay);
    for (std::size_t i = 1; i < moments.size(); ++i)
        if (moments[i] > moments[i - 1])
        {
            ASSERT_GT(dynamicalFromUtc(moments[i]), dynamicalFromUtc(moments[i - 1])) << moments[i];
        }
}

TEST(TimeScalesTest, UtcComesBackFromDynamicalTimeOverTheClocksYears)
{
    std::vector<double> moments;
    for (int year = -32767; year <= 32767; year += 331)
        moments.push_back(utcDaysOf(year, 3, 17, 3.7 * year + 12345.6));
    for (int year = 1955; year <= 2030; ++year)
        for (unsigned month : {1u, 4u, 7u, 10u})
            moments.push_back(utcDaysOf(year, month, 1, 0.25));
    for (const LeapSecondStep& step : leapSecondSteps())
        for (double seconds : {-1.5, -0.5, 0.0, 0.5})
            moments.push_back(step.modifiedJulianDay - 51544.5 + seconds / secondsPerDay);
    for (double utc : moments)
    {
        const double tt = dynamicalFromUtc(utc);
        ASSERT_TRUE(std::isfinite(tt)) << utc;
        ASSERT_LT(std::abs(terrestrialMinusUtcSeconds(utc)), 45 * secondsPerDay) << utc;
        // A day count near the clock's ends carries 0.2 ms in its last bit.
        const double tolerance = std::max(1e-6, 2.0 * std::abs(utc) * 1e-16 * secondsPerDay);
        ASSERT_NEAR(utcFromDynamical(tt) * secondsPerDay, utc * secondsPerDay, tolerance) << utc;
    }
}

TEST(TimeScalesTest, AMomentWithinALeapSecondReadsAsTheMidnightAfterIt)
{
    // 2016-12-31T23:59:60.5 UTC: TT - UTC was 68.184 s until the inserted
    // second began.
    const double midnight = utcDaysOf(2017, 1, 1);
    const double tt = midnight + (68.184 + 0.5) / secondsPerDay;
    EXPECT_NEAR(utcFromDynamical(tt) * secondsPerDay, midnight * secondsPerDay, 1e-6);
}
}
