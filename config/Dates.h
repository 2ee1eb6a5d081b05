#ifndef ORVTEST_CONFIG_DATES_H
#define ORVTEST_CONFIG_DATES_H

#include "config/Result.h"

#include <string>

// Dates as the files, the command line and the date prompt write them, read
// and written with Howard Hinnant's date library in the proleptic Gregorian
// calendar (also before its introduction in 1582: tables that use the Julian
// calendar there must be converted), years -32767 to 32767.
//
// Civil dates are UTC, kept as days from 2000-01-01T12:00:00 UTC (the clock's
// days, sky/Clock.h). Epochs of published elements are dynamical time (TT),
// kept as days from J2000 (sky/TimeScales.h); they are written the same way.

// Reads "now", "J2000" or an ISO 8601 date: "2030-01-01",
// "2030-01-01T12:00", "2030-01-01T12:00:00" or "2030-01-01T12:00:00.5", each
// with or without a closing "Z". As UTC days; J2000 is 2000-01-01T11:58:55.816 UTC.
Result<double> parseDate(const std::string& text);
// The same, read as TT days from J2000; "J2000" is 0.
Result<double> parseDynamicalDate(const std::string& text);

// "2026-12-07 08:15 UTC".
std::string dateText(double utcDays);
// "2026-12-07T08:15:00Z", to be read again by parseDate.
std::string isoDate(double utcDays);
// "2026-12-07T08:15:00.250Z": to the millisecond, which parseDate reads back as written.
std::string exactIsoDate(double utcDays);

// UTC days now, by the system's clock.
double nowDays();

#endif
