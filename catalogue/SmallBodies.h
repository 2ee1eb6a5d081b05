#ifndef ORVTEST_CATALOGUE_SMALLBODIES_H
#define ORVTEST_CATALOGUE_SMALLBODIES_H

#include "sky/ConicOrbit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The asteroids and comets of a catalogue, a million or more, in compact
// arrays (one per element) that a drawing loop walks by index.
//
// What each element keeps, and why:
// - perihelion time T, epoch: double. Days from J2000 to 1e-11 day; the
//   catalogues give T to 1e-4 day (MPC comets) or 1e-10 (JPL).
// - q, e: double. Near e = 1 the motion hangs on 1 - e, which a float
//   (6e-8 at 1) would lose for e = 0.9999; the catalogues give e to 1e-6
//   (MPC comets), 1e-7 (MPCORB) or 16 digits (JPL).
// - the orbit's axes (towards perihelion, along the motion there): float,
//   unit vectors to 6e-8 (0.012"), finer than the published angles (1e-5°
//   = 0.036" in MPCORB): positions are worked from these, and the body's
//   direction keeps the catalogue's precision (45 km at 3 AU).
// - inclination, node, argument of perihelion: float degrees (3e-5° at
//   360°), for showing the elements; positions do not use them.
// - H and G (or a comet's M1 and K1): float; given to 0.01 mag.
// - the diameter where the catalogue gives one (JPL's `diameter`): float km.
// - the permanent number (0 for none), and the kind: an asteroid or a comet.
// - the orbit class where the catalogue gives one (JPL's `class`): four bytes.
// - names: one pool of text with the end of each name.
enum class BodyKind : std::uint8_t
{
    Asteroid,
    Comet,
};

// One body as a reader hands it over.
struct SmallBody
{
    std::string name;
    ConicElements orbit;
    double epochDays = 0.0;          // TT days from J2000 of the osculating elements
    float magnitude = 0.0f;          // H (asteroids) or M1 (comets); NaN when not given
    float slope = 0.0f;              // G or K1; NaN when not given
    float diameter = std::numeric_limits<float>::quiet_NaN();   // km; NaN when not given
    std::uint32_t number = 0;        // permanent number; 0 for none
    BodyKind kind = BodyKind::Asteroid;
    std::string orbitClass;          // the catalogue's code ("MBA", "JFc"), up to 4 letters; empty when not given
};

class SmallBodies
{
public:
    void reserve(std::size_t bodies, std::size_t nameBytes);
    void add(const SmallBody& body);
    // Gives back the room reserved beyond the bodies read.
    void shrinkToFit();

    std::size_t size() const { return perihelionDays.size(); }
    std::string_view name(std::size_t index) const;
    ConicElements elements(std::size_t index) const;
    double epochDays(std::size_t index) const { return epochs[index]; }
    float magnitude(std::size_t index) const { return magnitudes[index]; }
    float slope(std::size_t index) const { return slopes[index]; }
    float diameter(std::size_t index) const { return diameters[index]; }
    std::uint32_t number(std::size_t index) const { return numbers[index]; }
    BodyKind kind(std::size_t index) const { return kinds[index]; }
    std::string_view orbitClass(std::size_t index) const;

    // Heliocentric place, AU, J2000 ecliptic, at TT days from J2000.
    Vector3d positionAt(std::size_t index, double days) const;
    // The places of bodies first to first + count - 1 into `places`, for a
    // frame's worth at once (a worker may take a share of the range).
    void positionsAt(double days, std::size_t first, std::size_t count, Vector3d* places) const;

    // Bytes a body takes beyond its name, from the arrays' element sizes.
    static std::size_t bytesPerBody();
    // Bytes the names take: their text and their ends.
    std::size_t nameBytes() const { return names.capacity() + nameEnds.capacity() * sizeof(std::uint32_t); }
    // Bytes held in all: the arrays as reserved, and the names.
    std::size_t bytesHeld() const;

private:
    std::vector<double> perihelionDays, perihelionDistances, eccentricities, epochs;
    std::vector<float> axes;   // six a body: towards perihelion, then along the motion
    std::vector<float> inclinations, nodes, periapses, magnitudes, slopes, diameters;
    std::vector<std::uint32_t> numbers;
    std::vector<BodyKind> kinds;
    std::vector<std::array<char, 4>> classes;   // JPL's codes are three letters
    std::vector<std::uint32_t> nameEnds;
    std::string names;
};

#endif
