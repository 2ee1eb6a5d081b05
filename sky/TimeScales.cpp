#include "sky/TimeScales.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace
{
constexpr double secondsPerDay = 86400.0;

// Leap seconds: the IERS table "leap-seconds.list" as Debian's tzdata ships
// it (/usr/share/zoneinfo/leap-seconds.list, tzdata 2025b), public domain as
// the file says. Each line of the file is an NTP time X (seconds from
// 1900-01-01) and TAI - UTC from then on; the day is the file's own
// MJD = X/86400 + 15020. That copy was updated through IERS Bulletin C and
// expires on 28 June 2026: past that no further leap second is announced
// here, and later dates keep the last value. The test suite checks this
// copy against the installed file.
const std::vector<LeapSecondStep> leapSteps{
    {41317, 10},   // 1972-01-01
    {41499, 11},   // 1972-07-01
    {41683, 12},   // 1973-01-01
    {42048, 13},   // 1974-01-01
    {42413, 14},   // 1975-01-01
    {42778, 15},   // 1976-01-01
    {43144, 16},   // 1977-01-01
    {43509, 17},   // 1978-01-01
    {43874, 18},   // 1979-01-01
    {44239, 19},   // 1980-01-01
    {44786, 20},   // 1981-07-01
    {45151, 21},   // 1982-07-01
    {45516, 22},   // 1983-07-01
    {46247, 23},   // 1985-07-01
    {47161, 24},   // 1988-01-01
    {47892, 25},   // 1990-01-01
    {48257, 26},   // 1991-01-01
    {48804, 27},   // 1992-07-01
    {49169, 28},   // 1993-07-01
    {49534, 29},   // 1994-07-01
    {50083, 30},   // 1996-01-01
    {50630, 31},   // 1997-07-01
    {51179, 32},   // 1999-01-01
    {53736, 33},   // 2006-01-01
    {54832, 34},   // 2009-01-01
    {56109, 35},   // 2012-07-01
    {57204, 36},   // 2015-07-01
    {57754, 37},   // 2017-01-01
};

double utcDaysOfStep(const LeapSecondStep& step)
{
    return step.modifiedJulianDay - 51544.5;
}

double terrestrialMinusUtcOfStep(const LeapSecondStep& step)
{
    return terrestrialMinusAtomicSeconds + step.atomicMinusUtcSeconds;
}

// ΔT = TT - UT before 1972: the polynomials of Espenak and Meeus, "Five
// Millennium Canon of Solar Eclipses: -1999 to +3000" (NASA/TP-2006-214141),
// as NASA's eclipse web site gives them ("Polynomial Expressions for Delta
// T"), in seconds, of the decimal year y. Each piece is a polynomial in
// u = (y - epoch) / scale, lowest power first, and holds from its year to the
// next piece's. Before -500 the canon's long-term parabola -20 + 32 u²,
// u = (y - 1820)/100, which also carries the clock's remotest years (about
// 44 days at year -32767).
struct DeltaTPiece
{
    double fromYear;
    double epoch;
    double scale;
    std::array<double, 8> coefficients;
};

const DeltaTPiece deltaTPieces[] = {
    {-std::numeric_limits<double>::infinity(), 1820, 100, {-20, 0, 32}},
    {-500, 0, 100, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192, 0.0090316521}},
    {500, 1000, 100, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463, -0.005050998, 0.0083572073}},
    {1600, 1600, 1, {120, -0.9808, -0.01532, 1.0 / 7129}},
    {1700, 1700, 1, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000}},
    {1800, 1800, 1,
     {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272, -0.0000001699, 0.000000000875}},
    {1860, 1860, 1, {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174}},
    {1900, 1900, 1, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197}},
    {1920, 1920, 1, {21.20, 0.84493, -0.076100, 0.0020936}},
    {1941, 1950, 1, {29.07, 0.407, -1.0 / 233, 1.0 / 2547}},
    {1961, 1975, 1, {45.45, 1.067, -1.0 / 260, -1.0 / 718}},
};
constexpr std::size_t deltaTPieceCount = sizeof deltaTPieces / sizeof deltaTPieces[0];

double evaluate(const DeltaTPiece& piece, double year)
{
    const double u = (year - piece.epoch) / piece.scale;
    double sum = 0.0;
    for (auto c = piece.coefficients.rbegin(); c != piece.coefficients.rend(); ++c)
        sum = sum * u + *c;
    return sum;
}

// The pieces meet with steps of up to a quarter of a second. Each step is
// spread over the year about its join, so that TT grows steadily with UT and
// every TT has a single UT: a change far below ΔT's own uncertainty.
constexpr double joinHalfWidthYears = 0.5;

double deltaTSeconds(double year)
{
    std::size_t piece = 0;
    while (piece + 1 < deltaTPieceCount && year >= deltaTPieces[piece + 1].fromYear)
        ++piece;
    for (std::size_t join : {piece, piece + 1})
        if (join > 0 && join < deltaTPieceCount)
        {
            const double from = deltaTPieces[join].fromYear;
            if (year > from - joinHalfWidthYears && year < from + joinHalfWidthYears)
            {
                const double weight = (year - (from - joinHalfWidthYears)) / (2.0 * joinHalfWidthYears);
                return (1.0 - weight) * evaluate(deltaTPieces[join - 1], year) +
                       weight * evaluate(deltaTPieces[join], year);
            }
        }
    return evaluate(deltaTPieces[piece], year);
}

// The decimal year of a UT day count; the canon's "year + (month - 0.5)/12"
// is this at the middle of each month.
double decimalYear(double utDays)
{
    return 2000.0 + (utDays + 0.5) / 365.2425;
}

// The 1961-1986 piece runs 0.07 s above the leap-second table where the two
// meet at 1972-01-01; that difference is spread over the year before, so the
// two scales join without a step.
constexpr double firstLeapStepBlendDays = 365.25;

double terrestrialMinusUniversalSeconds(double utDays)
{
    const double join = utcDaysOfStep(leapSteps.front());
    double seconds = deltaTSeconds(decimalYear(utDays));
    if (utDays > join - firstLeapStepBlendDays)
    {
        const double mismatch = terrestrialMinusUtcOfStep(leapSteps.front()) - deltaTSeconds(decimalYear(join));
        seconds += mismatch * (utDays - (join - firstLeapStepBlendDays)) / firstLeapStepBlendDays;
    }
    return seconds;
}
}

const std::vector<LeapSecondStep>& leapSecondSteps()
{
    return leapSteps;
}

double terrestrialMinusUtcSeconds(double utcDays)
{
    if (!(utcDays >= utcDaysOfStep(leapSteps.front())))
        return terrestrialMinusUniversalSeconds(utcDays);
    const auto after = std::upper_bound(leapSteps.begin(), leapSteps.end(), utcDays,
                                        [](double days, const LeapSecondStep& step) { return days < utcDaysOfStep(step); });
    return terrestrialMinusUtcOfStep(*(after - 1));
}

double dynamicalFromUtc(double utcDays)
{
    return utcDays + terrestrialMinusUtcSeconds(utcDays) / secondsPerDay;
}

double utcFromDynamical(double dynamicalDays)
{
    const auto ttOfStep = [](const LeapSecondStep& step) {
        return utcDaysOfStep(step) + terrestrialMinusUtcOfStep(step) / secondsPerDay;
    };
    if (dynamicalDays >= ttOfStep(leapSteps.front()))
    {
        const auto after = std::upper_bound(
            leapSteps.begin(), leapSteps.end(), dynamicalDays,
            [&](double days, const LeapSecondStep& step) { return days < ttOfStep(step); });
        const double utc = dynamicalDays - terrestrialMinusUtcOfStep(*(after - 1)) / secondsPerDay;
        // Within an inserted second the civil count waits at the midnight after it.
        return after == leapSteps.end() ? utc : std::min(utc, utcDaysOfStep(*after));
    }
    // ΔT changes by at most a few minutes a year, so each pass gains about
    // six digits.
    double utc = dynamicalDays;
    for (int pass = 0; pass < 4; ++pass)
        utc = dynamicalDays - terrestrialMinusUniversalSeconds(utc) / secondsPerDay;
    return std::min(utc, utcDaysOfStep(leapSteps.front()));
}
