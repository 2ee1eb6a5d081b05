#include "sky/Clock.h"

#include "sky/TimeScales.h"

#include <cmath>
#include <cstdio>

namespace
{
double withSign(double magnitude, double rate)
{
    return rate < 0.0 ? -magnitude : magnitude;
}
}

void TimeFlow::faster(const std::vector<double>& ladder)
{
    for (double step : ladder)
        if (step > std::abs(signedRate) * (1.0 + 1e-9))
        {
            signedRate = withSign(step, signedRate);
            return;
        }
    signedRate = withSign(ladder.back(), signedRate);
}

void TimeFlow::slower(const std::vector<double>& ladder)
{
    for (auto step = ladder.rbegin(); step != ladder.rend(); ++step)
        if (*step < std::abs(signedRate) * (1.0 - 1e-9))
        {
            signedRate = withSign(*step, signedRate);
            return;
        }
    signedRate = withSign(ladder.front(), signedRate);
}

const std::vector<double>& frameRateLadder()
{
    static const std::vector<double> ladder = [] {
        std::vector<double> sizes;
        for (int exponent = -6; exponent <= 10; ++exponent)
            sizes.push_back(std::ldexp(1.0, exponent));
        return sizes;
    }();
    return ladder;
}

const std::vector<double>& clockSpeedLadder()
{
    static const std::vector<double> ladder{1,          10,          60,           600,           3600,
                                            6 * 3600,   86400,       3 * 86400,    10 * 86400,    30 * 86400,
                                            100 * 86400, 365.25 * 86400};
    return ladder;
}

double Clock::dynamicalDays() const
{
    return dynamicalFromUtc(now);
}

void Clock::setDays(double utcDays)
{
    now = utcDays < earliestDays ? earliestDays : utcDays > latestDays ? latestDays : utcDays;
}

std::string speedText(double speed)
{
    const struct
    {
        double seconds;
        const char* unit;
    } units[] = {{365.25 * 86400, "yr"}, {86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    const double magnitude = std::abs(speed);
    for (const auto& unit : units)
    {
        if (magnitude >= unit.seconds * 0.999 || unit.seconds == 1)
        {
            char text[48];
            std::snprintf(text, sizeof text, "%s%.3g %s/s", speed < 0 ? "-" : "", magnitude / unit.seconds, unit.unit);
            return text;
        }
    }
    return "";
}

std::string rateText(double rate)
{
    const double magnitude = std::abs(rate);
    const char* sign = rate < 0.0 ? "-" : "";
    char text[48];
    // A power of two below 1 reads as the fraction the ladder makes of it.
    const double inverse = magnitude > 0.0 ? 1.0 / magnitude : 0.0;
    if (magnitude > 0.0 && magnitude < 1.0 && inverse == std::nearbyint(inverse) && inverse <= 1024.0)
        std::snprintf(text, sizeof text, "%s1/%.0f", sign, inverse);
    else
        std::snprintf(text, sizeof text, "%s%.6g", sign, magnitude);
    return text;
}
