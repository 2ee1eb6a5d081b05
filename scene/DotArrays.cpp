#include "scene/DotArrays.h"

#include "catalogue/SmallBodies.h"
#include "sky/ConicOrbit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

bool nearlyParabolic(double eccentricity)
{
    return std::abs(eccentricity - 1.0) < 1e-4;
}

namespace
{
constexpr double pi = 3.14159265358979323846;

// The ecliptic's axes as the world's (sim/SkyToWorld.h), without the engine.
void putWorld(float* to, const Vector3d& ecliptic, double scale)
{
    to[0] = float(ecliptic.x * scale);
    to[1] = float(ecliptic.z * scale);
    to[2] = float(-ecliptic.y * scale);
}
}

std::size_t DotArrays::bytes() const
{
    return axes.size() * sizeof(float) + motion.size() * sizeof(float) + catalogueIndex.size() * sizeof(std::uint32_t);
}

int keplerSteps(double eccentricity)
{
    const double limits[] = {0.6, 0.95, 0.995, 0.999, 0.9999, 0.99999};
    int steps = 1;
    for (double limit : limits)
    {
        if (eccentricity <= limit)
            return steps;
        ++steps;
    }
    return 8;
}

DotArrays packDots(const SmallBodies& bodies, double referenceDays)
{
    DotArrays dots;
    dots.referenceDays = referenceDays;
    const std::size_t count = bodies.size();
    dots.catalogueIndex.resize(count);
    std::iota(dots.catalogueIndex.begin(), dots.catalogueIndex.end(), 0u);
    // Ellipses by eccentricity, then the open orbits: a band's dots take as
    // many steps, and the graphics card's lanes run alike.
    std::vector<double> eccentricity(count);
    for (std::size_t i = 0; i < count; ++i)
        eccentricity[i] = bodies.elements(i).eccentricity;
    // The nearly parabolic among the open orbits, where they are solved.
    for (double& e : eccentricity)
        if (nearlyParabolic(e))
            e = 1.0;
    std::stable_sort(dots.catalogueIndex.begin(), dots.catalogueIndex.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return eccentricity[a] < eccentricity[b]; });

    dots.axes.resize(8 * count);
    dots.motion.resize(2 * count);
    const double k = gaussianGravitationalConstant;
    for (std::size_t dot = 0; dot < count; ++dot)
    {
        const std::size_t index = dots.catalogueIndex[dot];
        const ConicElements orbit = bodies.elements(index);
        const double q = orbit.perihelionDistance, e = orbit.eccentricity;
        const OrbitAxes axes = orbitAxes(orbit.inclination, orbit.ascendingNode, orbit.periapsis);
        double along = 0.0, across = 0.0, meanMotion = 0.0;
        if (nearlyParabolic(e))
        {
            along = q;
            across = 2.0 * q;
            meanMotion = k / std::sqrt(2.0 * q * q * q);
        }
        else if (e < 1.0)
        {
            along = q / (1.0 - e);
            across = along * std::sqrt((1.0 - e) * (1.0 + e));
            meanMotion = k / (along * std::sqrt(along));
        }
        else if (e > 1.0)
        {
            along = q / (e - 1.0);
            across = along * std::sqrt((e - 1.0) * (e + 1.0));
            meanMotion = k / (along * std::sqrt(along));
        }
        double mean = meanMotion * (referenceDays - orbit.perihelionDays);
        if (e < 1.0 && !nearlyParabolic(e))
            mean = std::remainder(mean, 2.0 * pi);
        float* a = &dots.axes[8 * dot];
        putWorld(a, axes.towardsPerihelion, along);
        a[3] = nearlyParabolic(e) ? 1.0f : float(e);
        putWorld(a + 4, axes.alongMotion, across);
        const float magnitude = std::isnan(bodies.magnitude(index)) ? unknownMagnitude : bodies.magnitude(index);
        const bool comet = bodies.kind(index) == BodyKind::Comet;
        a[7] = magnitude + (comet ? cometMagnitudeOffset : 0.0f);
        if (!comet)
            dots.brightestMagnitude = std::min(dots.brightestMagnitude, magnitude);
        dots.motion[2 * dot] = float(mean);
        dots.motion[2 * dot + 1] = float(meanMotion);
    }

    for (std::size_t dot = 0; dot < count;)
    {
        DotArrays::Band band;
        band.first = dot;
        const double e = eccentricity[dots.catalogueIndex[dot]];
        band.open = !(e < 1.0);
        band.steps = band.open ? 0 : keplerSteps(e);
        while (dot < count)
        {
            const double next = eccentricity[dots.catalogueIndex[dot]];
            if (!(next < 1.0) != band.open || (!band.open && keplerSteps(next) != band.steps))
                break;
            ++dot;
        }
        band.count = dot - band.first;
        dots.bands.push_back(band);
    }
    return dots;
}
