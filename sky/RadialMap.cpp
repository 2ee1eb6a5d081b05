#include "sky/RadialMap.h"

#include "sky/ConicOrbit.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

RadialMap::RadialMap(std::vector<DistancePair> given)
{
    for (const DistancePair& pair : given)
    {
        if (!(std::isfinite(pair.au) && std::isfinite(pair.world) && pair.au > 0.0 && pair.world > 0.0))
            continue;
        // Between its neighbours among those taken, in both distances.
        const auto after = std::lower_bound(pairs.begin(), pairs.end(), pair.au,
                                            [](const DistancePair& p, double au) { return p.au < au; });
        const bool belowNext = after == pairs.end() || (pair.au < after->au && pair.world < after->world);
        const bool aboveLast = after == pairs.begin() || pair.world > std::prev(after)->world;
        if (belowNext && aboveLast)
            pairs.insert(after, pair);
    }

    const double below = -std::numeric_limits<double>::infinity();
    const std::size_t n = pairs.size();
    if (n == 0)
    {
        polynomial.push_back({below, 0.0, std::log(unitsPerAuWithoutPlanets), 1.0, 0.0, 0.0});
        return;
    }
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i)
    {
        x[i] = std::log(pairs[i].au);
        y[i] = std::log(pairs[i].world);
    }
    if (n == 1)
    {
        polynomial.push_back({below, x[0], y[0], 1.0, 0.0, 0.0});
        return;
    }

    // Secant slopes, all positive by the choice of pairs; tangents their
    // means inside and the end secants at the ends, then pulled in where
    // they would overshoot (Fritsch and Carlson's circle of radius 3).
    std::vector<double> secant(n - 1), tangent(n);
    for (std::size_t k = 0; k + 1 < n; ++k)
        secant[k] = (y[k + 1] - y[k]) / (x[k + 1] - x[k]);
    tangent[0] = secant[0];
    tangent[n - 1] = secant[n - 2];
    for (std::size_t k = 1; k + 1 < n; ++k)
        tangent[k] = 0.5 * (secant[k - 1] + secant[k]);
    for (std::size_t k = 0; k + 1 < n; ++k)
    {
        const double alpha = tangent[k] / secant[k], beta = tangent[k + 1] / secant[k];
        const double radius = std::hypot(alpha, beta);
        if (radius > 3.0)
        {
            tangent[k] = 3.0 / radius * alpha * secant[k];
            tangent[k + 1] = 3.0 / radius * beta * secant[k];
        }
    }

    polynomial.push_back({below, x[0], y[0], tangent[0], 0.0, 0.0});
    for (std::size_t k = 0; k + 1 < n; ++k)
    {
        const double h = x[k + 1] - x[k];
        polynomial.push_back({x[k], x[k], y[k], tangent[k], (3.0 * secant[k] - 2.0 * tangent[k] - tangent[k + 1]) / h,
                              (tangent[k] + tangent[k + 1] - 2.0 * secant[k]) / (h * h)});
    }
    polynomial.push_back({x[n - 1], x[n - 1], y[n - 1], tangent[n - 1], 0.0, 0.0});
}

double RadialMap::worldDistance(double au) const
{
    if (!(au > 0.0))
        return 0.0;
    const double x = std::log(au);
    const Piece* piece = &polynomial.front();
    for (const Piece& next : polynomial)
        if (next.begin <= x)
            piece = &next;
    const double u = x - piece->origin;
    return std::exp(piece->c0 + u * (piece->c1 + u * (piece->c2 + u * piece->c3)));
}

bool RadialMap::operator==(const RadialMap& other) const
{
    if (pairs.size() != other.pairs.size())
        return false;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (pairs[i].au != other.pairs[i].au || pairs[i].world != other.pairs[i].world)
            return false;
    return true;
}

double semiMajorAxisOfPeriod(double days)
{
    const double pi = 3.14159265358979323846;
    return std::cbrt(std::pow(gaussianGravitationalConstant * days / (2.0 * pi), 2.0));
}
