#include "config/Dates.h"

#include "sky/Clock.h"
#include "sky/TimeScales.h"

#include <date/date.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace
{
using Milliseconds = date::sys_time<std::chrono::milliseconds>;

const Milliseconds noonOfJ2000 = date::sys_days(date::year(2000) / 1 / 1) + std::chrono::hours(12);

double daysOf(const Milliseconds& time)
{
    return std::chrono::duration<double>(time - noonOfJ2000).count() / 86400.0;
}

// Within the years the library writes, which the clock keeps to.
Milliseconds timeOf(double days)
{
    const double held = std::isfinite(days) ? std::min(std::max(days, Clock::earliestDays), Clock::latestDays) : 0.0;
    return noonOfJ2000 + std::chrono::milliseconds(std::llround(held * 86400000.0));
}

// Days from noon of 2000-01-01 on the calendar the text writes, on whatever
// scale it is read in.
Result<double> calendarDays(const std::string& text)
{
    // Five digits of year: %Y alone reads four, and refuses the calendar's ends.
    for (const char* format : {"%5Y-%m-%dT%H:%M:%S", "%5Y-%m-%dT%H:%M", "%5Y-%m-%d"})
    {
        for (const char* zone : {"", "Z"})
        {
            std::istringstream in(text);
            Milliseconds time;
            in >> date::parse(std::string(format) + zone, time);
            if (!in.fail() && in.peek() == std::char_traits<char>::eof())
                return daysOf(time);
        }
    }
    return Failure{"'" + text + "' is no date: write 2030-01-01, 2030-01-01T12:00 (UTC), J2000 or now"};
}
}

Result<double> parseDate(const std::string& text)
{
    if (text == "now")
        return nowDays();
    if (text == "J2000")
        return j2000UtcDays;
    return calendarDays(text);
}

Result<double> parseDynamicalDate(const std::string& text)
{
    if (text == "now")
        return dynamicalFromUtc(nowDays());
    if (text == "J2000")
        return 0.0;
    return calendarDays(text);
}

std::string dateText(double days)
{
    const auto minutes = date::floor<std::chrono::minutes>(timeOf(days));
    return date::format("%Y-%m-%d %H:%M UTC", minutes);
}

std::string isoDate(double days)
{
    const auto seconds = date::floor<std::chrono::seconds>(timeOf(days));
    return date::format("%Y-%m-%dT%H:%M:%SZ", seconds);
}

std::string exactIsoDate(double days)
{
    const Milliseconds time = timeOf(days);
    const auto seconds = date::floor<std::chrono::seconds>(time);
    char milliseconds[8];
    std::snprintf(milliseconds, sizeof milliseconds, ".%03d", int((time - seconds).count()));
    return date::format("%Y-%m-%dT%H:%M:%S", seconds) + milliseconds + "Z";
}

double nowDays()
{
    return daysOf(date::floor<std::chrono::milliseconds>(std::chrono::system_clock::now()));
}
