#ifndef ORVTEST_SCENE_DOTARRAYS_H
#define ORVTEST_SCENE_DOTARRAYS_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

class SmallBodies;

// A catalogue's orbits as the graphics card solves them, every frame, for
// every dot (scene/CatalogueDots.h): in single precision, in a form that
// keeps the digits a dot needs.
//
// Each dot has two axes scaled by its orbit's size, in the world's axes
// (sim/SkyToWorld.h), AU: for an ellipse a·P and b·Q, so that its place is
// a·P (cos E - e) + b·Q sin E; for a hyperbola |a|·P and |a| sqrt(e²-1)·Q,
// the place |a|·P (e - cosh H) + that·Q sinh H; for a parabola q·P and 2q·Q,
// the place q·P (1 - D²) + 2q·Q D (Barker's D = tan(ν/2)). P points to the
// perihelion and Q along the motion there. Beside them its eccentricity,
// its absolute magnitude (H, or a comet's M1; a comet's 100 more), and its
// mean motion n (radians a day; for a parabola k / sqrt(2 q³)) with its mean
// anomaly at the reference time (an ellipse's within ±π). Times are days
// from that reference, so that a float keeps them to a second for years.
//
// The dots are sorted: ellipses by eccentricity, then the open orbits, and
// cut into bands that need as many steps of Kepler's equation each.
struct DotArrays
{
    double referenceDays = 0.0;            // TT days from J2000 of the mean anomalies
    std::vector<float> axes;               // eight floats a dot: a·P, e, b·Q, magnitude
    std::vector<float> motion;             // two floats a dot: mean anomaly, mean motion
    std::vector<std::uint32_t> catalogueIndex;   // of each dot in the catalogue
    float brightestMagnitude = std::numeric_limits<float>::infinity();   // the lowest H of its asteroids

    // A run of dots solved alike.
    struct Band
    {
        std::size_t first = 0;
        std::size_t count = 0;
        int steps = 1;          // Halley steps after the starting value; 0 for the open orbits
        bool open = false;      // hyperbolas and parabolas
    };
    std::vector<Band> bands;

    std::size_t size() const { return catalogueIndex.size(); }
    std::size_t bytes() const;
};

// Added to a comet's magnitude, so that the program tells comets by it.
constexpr float cometMagnitudeOffset = 100.0f;
// The magnitude of a body whose catalogue gives none.
constexpr float unknownMagnitude = 15.0f;

// The Halley steps that solve Kepler's equation to a float's precision for
// every mean anomaly from the starting value the program takes (Markley's
// E0 = M + e sin M / sqrt(1 - 2e cos M + e²), better than 1e-7 rad after
// them; measured over a grid of M for each eccentricity).
int keplerSteps(double eccentricity);

// Whether an orbit is drawn as a parabola: e within 1e-4 of 1, where the
// ellipse's or the hyperbola's axes in single precision lose the place near
// perihelion to cancellation (a = q / (1 - e) is then 10,000 q and more).
bool nearlyParabolic(double eccentricity);

// Packs every body of the catalogue for a reference time (TT days from
// J2000). For a worker thread: it touches no engine.
DotArrays packDots(const SmallBodies& bodies, double referenceDays);

#endif
