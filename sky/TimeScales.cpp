#include "sky/TimeScales.h"

// Placeholder until the leap-second table and ΔT land.
double terrestrialMinusUtcSeconds(double)
{
    return 64.184;
}

double dynamicalFromUtc(double utcDays)
{
    return utcDays + terrestrialMinusUtcSeconds(utcDays) / 86400.0;
}

double utcFromDynamical(double dynamicalDays)
{
    return dynamicalDays - terrestrialMinusUtcSeconds(dynamicalDays) / 86400.0;
}
