#ifndef ORVTEST_SKY_RADIALMAP_H
#define ORVTEST_SKY_RADIALMAP_H

#include <cstddef>
#include <vector>

// Where a body at a true heliocentric distance stands in a system drawn on a
// display scale: one map from astronomical units to world units that passes
// through the planets' own pairs (their true semi-major axis, their
// OrbitRadius), so that a main-belt asteroid lies between Mars and Jupiter
// and a Jupiter Trojan on Jupiter's orbit. The direction from the Sun is
// kept; only the distance is mapped.
//
// The map is a monotone cubic (Fritsch and Carlson, "Monotone Piecewise
// Cubic Interpolation", SIAM J. Numer. Anal. 17, 1980) through the pairs in
// log-log, so that it is smooth (its slope continuous) and never turns back.
// Inside the first planet and beyond the last it goes on as the power law of
// its slope at the end pair: towards the Sun it reaches 0, and outwards it
// grows without bound, as slowly as the outer planets' own spacing.
//
// One pair makes it proportional through that pair; none, proportional at
// unitsPerAuWithoutPlanets.

// A planet's true semi-major axis and its OrbitRadius.
struct DistancePair
{
    double au = 1.0;
    double world = 1.0;
};

class RadialMap
{
public:
    // World units an AU when no planet gives the scale.
    static constexpr double unitsPerAuWithoutPlanets = 1000.0;

    // From pairs taken in the order given, the most important first. A pair
    // that is not positive and finite is left out, as is one that would make
    // the map turn back against those taken before it (an OrbitRadius not
    // above a nearer planet's, or not below a farther one's, or a distance
    // taken already).
    explicit RadialMap(std::vector<DistancePair> pairs = {});

    // World units at `au` (> 0); 0 at 0.
    double worldDistance(double au) const;

    // The pairs the map passes through, nearest the Sun first.
    const std::vector<DistancePair>& knots() const { return pairs; }

    // The map as pieces of a polynomial in log-log, for a program to
    // evaluate: with x = ln(au), the last piece that begins at or below x
    // gives ln(world) = c0 + c1 u + c2 u^2 + c3 u^3, u = x - origin. The
    // first piece begins at -infinity.
    struct Piece
    {
        double begin;
        double origin;
        double c0, c1, c2, c3;
    };
    const std::vector<Piece>& pieces() const { return polynomial; }

    bool operator==(const RadialMap& other) const;
    bool operator!=(const RadialMap& other) const { return !(*this == other); }

private:
    std::vector<DistancePair> pairs;
    std::vector<Piece> polynomial;
};

// A body's semi-major axis in AU from its sidereal period in days by
// Kepler's third law, a^3 = (k P / 2 pi)^2 with the Gaussian constant k
// (the body's own mass left out: Jupiter's would add 0.03 %).
double semiMajorAxisOfPeriod(double days);

#endif
