#ifndef ORVTEST_CATALOGUE_PACKEDCODES_H
#define ORVTEST_CATALOGUE_PACKEDCODES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Minor Planet Center's packed forms, decoded. Each function takes the
// packed text alone (no surrounding blanks) and gives nothing back for text
// that is not of the form.
//
// Sources: the MPC's "Packed Provisional and Permanent Designations"
// (minorplanetcenter.net/iau/info/PackedDes.html, and its successor page in
// docs.minorplanetcenter.net, "packed-designations") and "Packed Dates"
// (iau/info/PackedDates.html); the permanent numbers from 620,000 on ('~'
// and four base-62 digits) as MPEC 2019-O55 announced them, with the
// examples Bill Gray's pack/unpack page lists (projectpluto.com/packed.htm).

// A digit of the MPC's base 62: 0-9, then A-Z for 10-35, then a-z for 36-61;
// -1 for any other character.
int base62Digit(char c);

// A permanent minor-planet number from its five-character packed form:
// "00433" is 433, "A0000" 100,000 ('A'-'Z', 'a'-'z' give the ten-thousands
// from 10 to 61), "~0000" 620,000 ('~' and four base-62 digits).
std::optional<std::uint32_t> unpackNumber(std::string_view packed);

// A minor planet's provisional designation from its seven-character packed
// form: "J95X00A" is "1995 XA", "K07Tf8A" "2007 TA418"; the survey
// designations "PLS2040" "2040 P-L", "T1S3138" "3138 T-1" (T-2, T-3 alike).
std::optional<std::string> unpackProvisional(std::string_view packed);

// A comet's designation from the packed columns 1-12 of the MPC's comet
// format, blanks removed where they lead: "0001P" is "1P", "CJ95O010"
// "C/1995 O1", "PJ94P01b" "P/1994 P1-B" (a fragment), "0073PK95A010"
// "73P/1995 A1". The order within the half-month runs past 99 as the
// minor planets' cycle count does ("K88AA30" is 2088 A103).
std::optional<std::string> unpackCometDesignation(std::string_view packed);

// A calendar date, the day with its fraction.
struct CalendarDate
{
    int year = 2000;
    int month = 1;
    double day = 1.0;
};

// A packed date: century letter (I 18, J 19, K 20), two digits of the year,
// month 1-9 or A-C, day 1-9 or A-V, then optionally the day's fraction as
// digits: "K01AM" is 2001 October 22, "K01AM138303" 2001 October 22.138303.
std::optional<CalendarDate> unpackDate(std::string_view packed);

// The days from J2000 (2000 January 1.5) of a date of the Gregorian
// calendar (extended backwards) on the same time scale; Howard Hinnant's
// days_from_civil ("chrono-Compatible Low-Level Date Algorithms").
double daysFromJ2000(int year, int month, double day);

// Whether a date is one of the calendar: month 1-12, day within its month.
bool validDate(int year, int month, double day);

#endif
