#ifndef ORVTEST_SIM_BODYDEFINITION_H
#define ORVTEST_SIM_BODYDEFINITION_H

#include <OgreVector.h>

#include <string>

// A moment of civil time (UTC), in days from 2000-01-01T12:00:00 UTC: what
// the clock shows, and what views and the command line write.
struct Date
{
    double days = 0.0;
    bool operator==(const Date& other) const { return days == other.days; }
};

// A date as written, kept as its text ("now" stays "now" until it is
// used), that must read as one.
struct DateText
{
    std::string text;
    bool operator==(const DateText& other) const { return text == other.text; }
};

// A value kept whole, blanks inside it too: a name as a catalogue writes it.
struct LineText
{
    std::string text;
    bool operator==(const LineText& other) const { return text == other.text; }
};

// A moment of dynamical time (TT), in days from J2000: what published
// elements are given at. Written as dates are, but read as TT.
struct DynamicalDate
{
    double days = 0.0;
    bool operator==(const DynamicalDate& other) const { return days == other.days; }
};

// A body as its section of the system file defines it. Fields carry the names
// of their keys; which keys exist, their defaults and how they are read are
// given once, in config/SystemFileKeys. Everything starts at zero here: the
// reader fills in the file's defaults.
struct BodyDefinition
{
    std::string Name;             // display name, one word
    std::string Parent;           // section name of the body it orbits, or "Sun"
    std::string Model;            // mesh base name; ".Mesh" is appended
    std::string Material;         // near entity material; empty or "default" keeps the mesh's
    float Size = 0.0f;            // drawn radius, world units
    float OrbitRadius = 0.0f;     // world units along the orbit node's local Z
    float OrbitPeriod = 0.0f;     // a period P turns 1/P degrees every 60 motion steps
    float PitchPeriod = 0.0f;
    float YawPeriod = 0.0f;
    float RollPeriod = 0.0f;
    Ogre::Vector3 OrbitAxis{0.0f, 0.0f, 0.0f};   // used as given, not normalised
    Ogre::Vector3 PitchAxis{0.0f, 0.0f, 0.0f};
    Ogre::Vector3 YawAxis{0.0f, 0.0f, 0.0f};
    Ogre::Vector3 RollAxis{0.0f, 0.0f, 0.0f};
    float OrbitCompleted = 0.0f;  // start angles, degrees
    float PitchCompleted = 0.0f;
    float YawCompleted = 0.0f;
    float RollCompleted = 0.0f;
    bool Far = false;             // show the far sphere beyond NearDistance
    float NearDistance = 0.0f;    // world units
    float FarDistance = 0.0f;     // rendering distance of the far sphere, world units

    // Following the clock (sky/Orbit.h, sky/Spin.h). An OrbitDays above 0
    // puts the body on a Keplerian orbit of these elements, OrbitRadius its
    // semi-major axis; a RotationHours other than 0 turns it by this
    // rotation model. Angles in degrees, at the Epoch.
    double OrbitDays = 0.0;       // sidereal period
    DynamicalDate Epoch;
    // Or, in place of OrbitDays, an orbit of any eccentricity about the Sun
    // by its perihelion (sky/ConicOrbit.h): drawn PerihelionDistance from
    // the Sun at perihelion, the display's scale as OrbitRadius is, and paced
    // by the Sun's gravity at the real perihelion distance PerihelionAU.
    float PerihelionDistance = 0.0f;   // world units
    double PerihelionAU = 0.0;         // AU
    DynamicalDate PerihelionDate;      // the time of perihelion passage
    double Eccentricity = 0.0;
    double Inclination = 0.0;     // to the reference plane: the J2000 ecliptic or the Laplace plane
    double AscendingNode = 0.0;   // from the reference plane's node on the J2000 equator
    double Periapsis = 0.0;       // argument of periapsis
    double MeanAnomaly = 0.0;
    double NodeDays = 0.0;        // 360° of the node in this many days; 0 fixed
    double PeriapsisDays = 0.0;   // 360° of the argument of periapsis likewise
    double LaplacePoleRA = 0.0;   // the reference plane's pole, J2000 equatorial
    double LaplacePoleDec = 0.0;
    std::string Theory;           // a theory of motion that places the body (sky/Theories.h); "" none
    double RotationHours = 0.0;   // sidereal spin period; negative turns backwards
    double Meridian = 0.0;        // the prime meridian's angle W
    double PoleRA = 0.0;          // spin pole, J2000 equatorial
    double PoleDec = 0.0;
    double PoleRARate = 0.0;      // degrees a Julian century
    double PoleDecRate = 0.0;
    bool FacesParent = false;     // keeps one face to its parent, its pole its orbit's: no rotation model needed

    // A ring in the equatorial plane (scene/Rings.h) and clouds above the
    // surface (scene/BodyShading.h).
    float RingInner = 0.0f;       // radii from the centre, world units
    float RingOuter = 0.0f;
    std::string RingMap;          // the ring's radial map, inner edge on the left; "" none
    std::string CloudMap;         // "" none
    float CloudHeight = 0.0f;     // above the surface, a fraction of Size
    double CloudRotationHours = 0.0;   // the clouds' spin period; 0 the body's own

    // The body's real size and orbit, for true scale (sim/TrueScale.h): its
    // mean radius and its orbit's semi-major axis, km; 0 where not given.
    double RadiusKm = 0.0;
    double SemiMajorAxisKm = 0.0;

    bool orbitFollowsClock() const { return OrbitDays > 0.0; }
    // An orbit by its perihelion: OrbitDays, where given, takes precedence.
    bool orbitByPerihelion() const { return !orbitFollowsClock() && PerihelionDistance > 0.0f; }
    bool spinFollowsClock() const { return RotationHours != 0.0; }
    bool hasRing() const { return !RingMap.empty() && RingOuter > RingInner; }
    bool hasClouds() const { return !CloudMap.empty(); }
};

#endif
