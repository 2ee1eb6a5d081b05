#include "sky/Kepler.h"

#include "sky/Frames.h"

#include <cmath>

double wrappedRadians(double angle)
{
    return angle - 2.0 * pi * std::nearbyint(angle / (2.0 * pi));
}

void solveKepler(double meanAnomaly, double e, EccentricAnomaly& solution)
{
    // A mean anomaly of many turns loses no precision to the sine of a large number.
    const double m = wrappedRadians(meanAnomaly);
    // Newton's method from the guess when it is near, else from a start that
    // converges for every eccentricity below 1 (Danby's), with the step kept
    // inside the bracket where the root must lie: E - M = e sin E lies within ±e.
    const double offset = wrappedRadians(solution.angle - m);
    double eccentric = solution.angle;
    double s = solution.sine;
    double c = solution.cosine;
    if (std::abs(offset) < 0.5)
        eccentric = m + offset;   // the same angle, within a turn of M: its sine and cosine hold
    else
    {
        eccentric = m + 0.85 * e * (m < 0 ? -1.0 : 1.0);
        s = std::sin(eccentric);
        c = std::cos(eccentric);
    }
    double low = m - e - 1e-12, high = m + e + 1e-12;
    for (int iteration = 0; iteration < 100; ++iteration)
    {
        const double f = eccentric - e * s - m;
        if (std::abs(f) < 1e-14)
            break;
        (f > 0 ? high : low) = eccentric;
        double next = eccentric - f / (1.0 - e * c);
        if (!(next > low && next < high))
            next = 0.5 * (low + high);
        const double step = next - eccentric;
        eccentric = next;
        if (std::abs(step) < 1e-5)
        {
            // Taylor's second order is exact to 2e-16 here, and costs no sine.
            const double half = 0.5 * step * step;
            const double nextSine = s + step * c - half * s;
            c = c - step * s - half * c;
            s = nextSine;
        }
        else
        {
            s = std::sin(eccentric);
            c = std::cos(eccentric);
        }
    }
    solution = {eccentric, s, c};
}
