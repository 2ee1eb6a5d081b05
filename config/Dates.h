#ifndef ORVTEST_CONFIG_DATES_H
#define ORVTEST_CONFIG_DATES_H

#include <string>

// Dates as the files, the command line and the date prompt write them, read
// and written with Howard Hinnant's date library. A date is kept as days from
// J2000 (2000-01-01T12:00:00 UTC): see sim/Clock.h.

// Reads "now", "J2000" or an ISO 8601 date (UTC): "2030-01-01",
// "2030-01-01T12:00", "2030-01-01T12:00:00" or "2030-01-01T12:00:00.5", each
// with or without a closing "Z"; years from -32767 to 32767. False, with
// `why` for a person, for anything else.
bool parseDate(const std::string& text, double& days, std::string& why);

// "2026-12-07 08:15 UTC".
std::string dateText(double days);
// "2026-12-07T08:15:00Z", to be read again by parseDate.
std::string isoDate(double days);
// "2026-12-07T08:15:00.250Z": to the millisecond, which parseDate reads back as written.
std::string exactIsoDate(double days);

// Days from J2000 now, by the system's clock.
double nowDays();

#endif
