#include "sky/ConicOrbit.h"

#include "sky/Frames.h"

#include <cmath>

namespace
{
constexpr double mu = gaussianGravitationalConstant * gaussianGravitationalConstant;   // AU³/day²
const double sqrtMu = gaussianGravitationalConstant;
}

void stumpff(double z, double& c2, double& c3)
{
    if (std::abs(z) < 1.0)
    {
        // c2 = Σ (-z)^k / (2k+2)!, c3 = Σ (-z)^k / (2k+3)!: 14 terms reach 1e-17 for |z| < 1.
        double term2 = 0.5;
        double term3 = 1.0 / 6.0;
        c2 = term2;
        c3 = term3;
        for (int k = 1; k < 14; ++k)
        {
            term2 *= -z / ((2 * k + 1) * (2 * k + 2));
            term3 *= -z / ((2 * k + 2) * (2 * k + 3));
            c2 += term2;
            c3 += term3;
        }
    }
    else if (z > 0.0)
    {
        const double s = std::sqrt(z);
        c2 = (1.0 - std::cos(s)) / z;
        c3 = (s - std::sin(s)) / (z * s);
    }
    else
    {
        const double s = std::sqrt(-z);
        c2 = (std::cosh(s) - 1.0) / -z;
        c3 = (std::sinh(s) - s) / (-z * s);
    }
}

PlaneState stateInPlane(double q, double e, double days)
{
    // The universal Kepler equation from perihelion (r0 = q, r0·v0 = 0):
    //   F(χ) = q χ + e χ³ c3(α χ²) - √μ Δt = 0,   α = 1/a = (1 - e) / q,
    // whose derivative is the distance r = q + e χ² c2(α χ²) > 0: F rises
    // everywhere, so one root lies between 0 and √μ Δt / q.
    const double alpha = (1.0 - e) / q;
    if (alpha > 0.0)
    {
        // An ellipse repeats: a time within half a period keeps χ small.
        const double period = 2.0 * pi / (sqrtMu * alpha * std::sqrt(alpha));
        if (std::isfinite(period) && std::abs(days) > 0.5 * period)
            days -= period * std::nearbyint(days / period);
    }
    const double target = sqrtMu * days;
    if (target == 0.0 || !std::isfinite(target))
        return {q, 0.0, 0.0, std::sqrt(mu * (1.0 + e) / q)};
    double low = target > 0.0 ? 0.0 : target / q;
    double high = target > 0.0 ? target / q : 0.0;

    // Starting values: Danby's for Kepler's equation in E or H, else the
    // parabola's cubic (exact at e = 1, close near it).
    double chi;
    if (alpha > 0.0 && e < 0.99)
    {
        const double m = target * alpha * std::sqrt(alpha);   // mean anomaly, radians
        chi = (m + 0.85 * e * (m < 0.0 ? -1.0 : 1.0)) / std::sqrt(alpha);
    }
    else if (alpha < 0.0 && e > 1.01)
    {
        const double m = target * -alpha * std::sqrt(-alpha);
        chi = std::log(2.0 * std::abs(m) / e + 1.8) * (m < 0.0 ? -1.0 : 1.0) / std::sqrt(-alpha);
    }
    else
    {
        // q χ + e χ³ / 6 = √μ Δt by Cardano: one real root.
        const double p = 6.0 * q / e;
        const double r = 3.0 * target / e;
        const double d = std::sqrt(r * r + p * p * p / 27.0);
        chi = std::cbrt(r + d) + std::cbrt(r - d);
    }
    if (!(chi > low && chi < high))
        chi = 0.5 * (low + high);

    double c2 = 0.5, c3 = 1.0 / 6.0;
    for (int iteration = 0; iteration < 80; ++iteration)
    {
        const double chi2 = chi * chi;
        const double psi = alpha * chi2;
        stumpff(psi, c2, c3);
        const double f = q * chi + e * chi2 * chi * c3 - target;
        const double r = q + e * chi2 * c2;
        const double dr = e * chi * (1.0 - psi * c3);
        if (f == 0.0)
            break;
        (f > 0.0 ? high : low) = chi;
        // Halley's step, kept inside the bracket.
        double next = chi - 2.0 * f * r / (2.0 * r * r - f * dr);
        if (!(next > low && next < high))
            next = 0.5 * (low + high);
        const double step = next - chi;
        chi = next;
        if (std::abs(step) <= 4e-16 * std::abs(chi))
            break;
    }
    const double chi2 = chi * chi;
    const double psi = alpha * chi2;
    stumpff(psi, c2, c3);
    const double r = q + e * chi2 * c2;
    const double h = std::sqrt(q * (1.0 + e));   // specific angular momentum / √μ
    return {q - chi2 * c2, h * chi * (1.0 - psi * c3), -sqrtMu * chi * (1.0 - psi * c3) / r,
            sqrtMu * h * (1.0 - psi * c2) / r};
}

OrbitAxes orbitAxes(double inclination, double ascendingNode, double periapsis)
{
    const double cn = std::cos(ascendingNode * radiansPerDegree), sn = std::sin(ascendingNode * radiansPerDegree);
    const double ci = std::cos(inclination * radiansPerDegree), si = std::sin(inclination * radiansPerDegree);
    const double cw = std::cos(periapsis * radiansPerDegree), sw = std::sin(periapsis * radiansPerDegree);
    return {{cn * cw - sn * sw * ci, sn * cw + cn * sw * ci, sw * si},
            {-cn * sw - sn * cw * ci, -sn * sw + cn * cw * ci, cw * si}};
}

ConicElements conicFromMeanAnomaly(double a, double e, double inclination, double ascendingNode, double periapsis,
                                   double meanAnomaly, double epochDays)
{
    const double absA = std::abs(a);
    const double n = gaussianGravitationalConstant / (absA * std::sqrt(absA));   // radians a day
    return {a * (1.0 - e), e, inclination, ascendingNode, periapsis, epochDays - meanAnomaly * radiansPerDegree / n};
}

ConicOrbit::ConicOrbit(const ConicElements& conic)
    : elements(conic), axes(orbitAxes(conic.inclination, conic.ascendingNode, conic.periapsis))
{
}

Vector3d ConicOrbit::positionAt(double days) const
{
    const PlaneState s = stateInPlane(elements.perihelionDistance, elements.eccentricity, days - elements.perihelionDays);
    return axes.towardsPerihelion * s.x + axes.alongMotion * s.y;
}

void ConicOrbit::stateAt(double days, Vector3d& position, Vector3d& velocity) const
{
    const PlaneState s = stateInPlane(elements.perihelionDistance, elements.eccentricity, days - elements.perihelionDays);
    position = axes.towardsPerihelion * s.x + axes.alongMotion * s.y;
    velocity = axes.towardsPerihelion * s.vx + axes.alongMotion * s.vy;
}
