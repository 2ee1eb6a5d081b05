#ifndef ORVTEST_SKY_TIMESCALES_H
#define ORVTEST_SKY_TIMESCALES_H

#include <vector>

// Civil time and the sky's time. The clock, the date prompt, kept views and
// the command line speak UTC; orbits and rotation models run on dynamical
// time (TT, which TDB follows to within 2 ms). Both are counted here in days
// from noon of 2000-01-01 on their own scale: for TT that is the epoch J2000,
// which fell at 2000-01-01T11:58:55.816 UTC. The UTC count is the civil one,
// 86400 s to every day (as date's sys_time counts): a leap second has no
// number of its own.
//
// From 1972 on, TT - UTC is 32.184 s plus the leap seconds announced by then
// (the IERS table, to the last announced one; later dates keep it). Before
// 1972 UTC is taken as universal time and TT - UT as the published ΔT.

// TT - UTC in seconds at a UTC moment (days from 2000-01-01T12:00:00 UTC).
double terrestrialMinusUtcSeconds(double utcDays);

// The TT days from J2000 of a UTC moment, and back. TT grows with UTC
// everywhere, so every UTC moment has one TT and back; a TT within an
// inserted leap second gives the midnight that ends it.
double dynamicalFromUtc(double utcDays);
double utcFromDynamical(double dynamicalDays);

// The UTC days of the epoch J2000 (2000-01-01T12:00:00 TT).
constexpr double j2000UtcDays = -64.184 / 86400.0;

// TT - TAI, seconds: fixed by definition.
constexpr double terrestrialMinusAtomicSeconds = 32.184;

// One line of the leap-second table: from 0h UTC of that Modified Julian Day
// on, TAI - UTC is that many seconds.
struct LeapSecondStep
{
    int modifiedJulianDay;
    int atomicMinusUtcSeconds;
};

// The table as committed here, in order, from 1972-01-01 (10 s).
const std::vector<LeapSecondStep>& leapSecondSteps();

// The Modified Julian Day of a UTC day count, and back.
constexpr double modifiedJulianDayOfUtcDays(double utcDays)
{
    return utcDays + 51544.5;
}

#endif
