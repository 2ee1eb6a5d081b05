// The MPC's packed forms, row by row against the MPC's own examples.

#include "catalogue/PackedCodes.h"

#include <gtest/gtest.h>
#include <libnova/julian_day.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
using Unpack = std::optional<std::string> (*)(std::string_view);

std::optional<std::string> numberText(std::string_view packed)
{
    const auto n = unpackNumber(packed);
    return n ? std::optional<std::string>(std::to_string(*n)) : std::nullopt;
}

std::optional<std::string> dateText(std::string_view packed)
{
    const auto d = unpackDate(packed);
    if (!d)
        return std::nullopt;
    char text[40];
    std::snprintf(text, sizeof text, "%d-%d-%.9g", d->year, d->month, d->day);
    return std::string(text);
}

struct Row { std::string name; Unpack unpack; const char* packed, *unpacked; };   // unpacked null: not of the form

std::vector<Row> rows()
{
    std::vector<Row> all;
    const auto add = [&](const char* kind, Unpack unpack, std::initializer_list<std::pair<const char*, const char*>> list) {
        for (const auto& [packed, unpacked] : list)
        {
            std::string name = std::string(kind) + "_";
            for (const char* c = packed; *c; ++c)
                name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
            all.push_back({name, unpack, packed, unpacked});
        }
    };
    // "Packed Provisional and Permanent Designations" (minorplanetcenter.net/iau/info/PackedDes.html);
    // not of the form: no half-month I or Z, a digit for the second letter, a cut or lengthened text,
    // a survey number with a letter.
    add("Provisional", unpackProvisional,
        {{"J95X00A", "1995 XA"}, {"J95X01L", "1995 XL1"}, {"J95F13B", "1995 FB13"}, {"J98SA8Q", "1998 SQ108"},
         {"J98SC7V", "1998 SV127"}, {"J98SG2S", "1998 SS162"}, {"K99AJ3Z", "2099 AZ193"}, {"K08Aa0A", "2008 AA360"},
         {"K07Tf8A", "2007 TA418"}, {"PLS2040", "2040 P-L"}, {"T1S3138", "3138 T-1"}, {"T2S1010", "1010 T-2"},
         {"T3S4101", "4101 T-3"}, {"J95I00A", nullptr}, {"J95Z00A", nullptr}, {"J95X001", nullptr},
         {"J95X00", nullptr}, {"J95X00AA", nullptr}, {"PLS20A0", nullptr}, {"a95X00A", nullptr}});
    // The comet examples of the same page, in the 12-column form (number, orbit type, packed
    // provisional designation) that the comet format uses.
    add("Comet", unpackCometDesignation,
        {{"    CJ95A010", "C/1995 A1"}, {"    PJ94P01b", "P/1994 P1-B"}, {"    PJ94P010", "P/1994 P1"},
         {"    CK48X130", "C/2048 X13"}, {"    PK33L89c", "P/2033 L89-C"}, {"    CK88AA30", "C/2088 A103"},
         {"0001P       ", "1P"}, {"0073PJ95A010", "73P/1995 A1"}, {"    IK17U010", "I/2017 U1"},
         {"    QJ95A010", nullptr}, {"    CJ95A01!", nullptr}, {"    CJ95A000", nullptr}, {"0000P       ", nullptr},
         {"            ", nullptr}});
    // Five digits below 100,000 and a letter for the ten-thousands to 619,999 (MPC, as above); '~' and
    // four base-62 digits from 620,000 on (MPEC 2019-O55), with the examples of Bill Gray's pack/unpack
    // page (projectpluto.com/packed.htm).
    add("Number", numberText,
        {{"00001", "1"}, {"00433", "433"}, {"99999", "99999"}, {"A0000", "100000"}, {"G4060", "164060"},
         {"a0017", "360017"}, {"n1415", "491415"}, {"z9999", "619999"}, {"~0000", "620000"}, {"~000a", "620036"},
         {"~000z", "620061"}, {"~AZaz", "3140113"}, {"~zzzz", "15396335"}, {"00000", nullptr}, {"0043", nullptr},
         {"004330", nullptr}, {"A00B0", nullptr}, {"~00-0", nullptr}, {"#0001", nullptr}});
    // "Packed Dates" (minorplanetcenter.net/iau/info/PackedDates.html), then dates no calendar has.
    add("Date", dateText,
        {{"J9611", "1996-1-1"}, {"J961A", "1996-1-10"}, {"J969U", "1996-9-30"}, {"J96A1", "1996-10-1"},
         {"K01AM", "2001-10-22"}, {"J981I73", "1998-1-18.73"}, {"K01AM138303", "2001-10-22.138303"},
         {"K2555", "2025-5-5"}, {"K242T", "2024-2-29"}, {"K232T", nullptr}, {"K249V", nullptr}, {"K24D1", nullptr},
         {"K2410", nullptr}, {"K24W1", nullptr}, {"K241", nullptr}, {"K2411x", nullptr}, {"k2411", nullptr}});
    return all;
}

using PackedCodes = testing::TestWithParam<Row>;

TEST_P(PackedCodes, UnpackAsTheMpcExamplesSay)
{
    const auto unpacked = GetParam().unpack(GetParam().packed);
    EXPECT_EQ(GetParam().unpacked ? GetParam().unpacked : "(none)", unpacked.value_or("(none)"));
}

INSTANTIATE_TEST_SUITE_P(MpcExamples, PackedCodes, testing::ValuesIn(rows()),
                         [](const testing::TestParamInfo<Row>& row) { return row.param.name; });

TEST(PackedCodesTest, DaysFromJ2000AgreeWithLibnovasJulianDays)
{
    // libnova's ln_get_julian_day (Meeus's chapter 7) is an independent
    // count; it turns to the Julian calendar before 1582 October 15, so
    // the dates here are later.
    const int dates[][3] = {{2000, 1, 1}, {1996, 9, 30}, {1900, 2, 28}, {1900, 3, 1}, {2000, 2, 29}, {2000, 3, 1},
                            {2100, 12, 31}, {1601, 1, 1}, {2025, 5, 5}, {2400, 2, 29}};
    for (const auto& d : dates)
    {
        ln_date date{d[0], d[1], d[2], 6, 0, 0.0};
        EXPECT_NEAR(ln_get_julian_day(&date) - 2451545.0, daysFromJ2000(d[0], d[1], d[2] + 0.25), 1e-9)
            << d[0] << "-" << d[1] << "-" << d[2];
    }
}
}
