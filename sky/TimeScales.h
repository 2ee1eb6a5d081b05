#ifndef ORVTEST_SKY_TIMESCALES_H
#define ORVTEST_SKY_TIMESCALES_H

// Civil time and the sky's time. The clock, the date prompt, kept views and
// the command line speak UTC; orbits and rotation models run on dynamical
// time (TT, which TDB follows to within 2 ms). Both are counted here in days
// from noon of 2000-01-01 on their own scale: for TT that is the epoch J2000,
// which fell at 2000-01-01T11:58:55.816 UTC.
//
// From 1972 on, TT - UTC is 32.184 s plus the leap seconds announced by then
// (the IERS table, to the last announced one; later dates keep it). Before
// 1972 UTC is taken as universal time and TT - UT as the published ΔT.

// TT - UTC in seconds at a UTC moment (days from 2000-01-01T12:00:00 UTC).
double terrestrialMinusUtcSeconds(double utcDays);

// The TT days from J2000 of a UTC moment, and back.
double dynamicalFromUtc(double utcDays);
double utcFromDynamical(double dynamicalDays);

// The UTC days of the epoch J2000 (2000-01-01T12:00:00 TT).
constexpr double j2000UtcDays = -64.184 / 86400.0;

#endif
