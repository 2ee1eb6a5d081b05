#ifndef ORVTEST_TESTS_TWOBODYINTEGRATION_H
#define ORVTEST_TESTS_TWOBODYINTEGRATION_H

// Two-body motion about the Sun worked out the long way, by integrating
// r'' = -k² r / |r|³ step by step: the tests' independent route to where a
// body of given elements stands, against the universal Kepler equation of
// sky/ConicOrbit. AU, days, degrees; the J2000 ecliptic.

#include "SkyReferences.h"
#include "sky/ConicOrbit.h"

#include <algorithm>
#include <cmath>

namespace twoBody
{
constexpr double k2 = gaussianGravitationalConstant * gaussianGravitationalConstant;
constexpr double degree = 3.14159265358979323846 / 180.0;

// Rz(node) Rx(i) Rz(peri) applied to a vector of the orbit's plane, by
// matrices: the test's own route to the ecliptic frame.
inline Vector3d toEcliptic(const Vector3d& v, double i, double node, double peri)
{
    auto rz = [](const Vector3d& p, double a) {
        return Vector3d{p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z};
    };
    auto rx = [](const Vector3d& p, double a) {
        return Vector3d{p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
    };
    return rz(rx(rz(v, peri * degree), i * degree), node * degree);
}

struct State
{
    Vector3d r, v;
};

// At perihelion a body stands at q along the perihelion direction and moves
// across it at the vis-viva speed √(k²(1+e)/q).
inline State atPerihelion(double q, double e, double i, double node, double peri)
{
    return {toEcliptic({q, 0.0, 0.0}, i, node, peri),
            toEcliptic({0.0, std::sqrt(k2 * (1.0 + e) / q), 0.0}, i, node, peri)};
}

inline State derivative(const State& s)
{
    const double d = s.r.length();
    return {s.v, s.r * (-k2 / (d * d * d))};
}

// Classical fourth-order Runge-Kutta on r'' = -k² r / |r|³, each step a
// small share of the local free-fall time (r^(3/2) / k), to `toDays`.
inline State integrate(State s, double fromDays, double toDays)
{
    const double direction = toDays > fromDays ? 1.0 : -1.0;
    double t = fromDays;
    while ((toDays - t) * direction > 0.0)
    {
        const double d = s.r.length();
        double h = 0.002 * d * std::sqrt(d) / gaussianGravitationalConstant;
        h = std::min(h, (toDays - t) * direction) * direction;
        const State a = derivative(s);
        const State b = derivative({s.r + a.r * (0.5 * h), s.v + a.v * (0.5 * h)});
        const State c = derivative({s.r + b.r * (0.5 * h), s.v + b.v * (0.5 * h)});
        const State e = derivative({s.r + c.r * h, s.v + c.v * h});
        s.r += (a.r + b.r * 2.0 + c.r * 2.0 + e.r) * (h / 6.0);
        s.v += (a.v + b.v * 2.0 + c.v * 2.0 + e.v) * (h / 6.0);
        t += h;
    }
    return s;
}
}

#endif
