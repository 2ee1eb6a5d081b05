#include "sim/Clock.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace
{
double withSign(double magnitude, double speed)
{
    return speed < 0.0 ? -magnitude : magnitude;
}
}

double fasterSpeed(double speed)
{
    for (double step : clockSpeeds)
        if (step > std::abs(speed) * (1.0 + 1e-9))
            return withSign(step, speed);
    return withSign(std::end(clockSpeeds)[-1], speed);
}

double slowerSpeed(double speed)
{
    for (auto step = std::rbegin(clockSpeeds); step != std::rend(clockSpeeds); ++step)
        if (*step < std::abs(speed) * (1.0 - 1e-9))
            return withSign(*step, speed);
    return withSign(clockSpeeds[0], speed);
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
