#ifndef ORVTEST_SIM_BODY_H
#define ORVTEST_SIM_BODY_H

#include "sim/BodyDefinition.h"
#include "sky/ConicOrbit.h"
#include "sky/Orbit.h"
#include "sky/Spin.h"
#include "sky/TheoryTrack.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <memory>
#include <optional>
#include <string>

// A node's transform in the world, as the engine composes it.
struct WorldFrame
{
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
};

// The turn of one motion update about one axis (or, for the spin, about
// three in a row), kept in a form that scales by any number of updates.
struct MotionTurn
{
    explicit MotionTurn(const Ogre::Quaternion& oneStep);

    // The turn of `steps` updates: exactly the one-update turn for 1, its
    // inverse for -1, a fraction of it for 1/64. Steps may be any finite number.
    Ogre::Quaternion scaledBy(double steps) const;

    Ogre::Quaternion oneStep;     // as the engine turns a node by the step angles
    bool turns;                   // false for the identity: nothing to apply
private:
    Ogre::Vector3 unitAxis;
    double halfAngle;             // radians, of oneStep about unitAxis
};

// One body of the system: its definition as read, what the motion derives
// from it (computed once, by the constructor, so it cannot go stale) and the
// scene nodes built for it. The nodes belong to the scene manager; a Body
// never destroys them.
struct Body
{
    Body(const std::string& sectionName, const BodyDefinition& definition);

    const std::string sectionName;    // identity: every node and entity is named from it
    const BodyDefinition definition;

    const float nearDistanceSquared;
    const float orbitStep;            // degrees per motion update
    const float pitchStep;
    const float yawStep;
    const float rollStep;
    // One motion update: the orbit turn about OrbitAxis, and the pitch, yaw
    // and roll turns of the near node in one.
    const MotionTurn orbitTurn;
    const MotionTurn spinTurn;
    // The orbit and spin that follow the clock, where the definition gives
    // them (its steps are then 0); null for frame-locked ones.
    const std::unique_ptr<const KeplerOrbit> keplerOrbit;
    // An orbit by its perihelion (orbitByPerihelion), about the Sun only:
    // the file gives no other body's mass. Null otherwise.
    const std::unique_ptr<const ConicOrbit> conicOrbit;
    const std::unique_ptr<const BodySpin> datedSpin;
    // The theory of motion that places the body within its years; null for none.
    const Theory* const theory;
    // The theory sampled for the per-frame step, which asks it every frame;
    // null for none. Its samples change with the date.
    const std::unique_ptr<TheoryTrack> theoryTrack;
    bool orbitDated() const { return keplerOrbit || conicOrbit; }
    bool followsClock() const { return orbitDated() || datedSpin; }
    // The last eccentric anomaly solved: the next solution starts there.
    EccentricAnomaly eccentricAnomaly;

    // The turns the motion step applies now: one update's, scaled by the
    // registry's step multiplier (the time rate).
    Ogre::Quaternion orbitTurnNow;
    Ogre::Quaternion spinTurnNow;

    Ogre::SceneNode* orbitNode = nullptr;
    Ogre::SceneNode* positionNode = nullptr;
    Ogre::SceneNode* nearNode = nullptr;
    Ogre::SceneNode* farNode = nullptr;
    // Where the rig placed the near and position nodes on the orbit node:
    // the detail step reads it here, beside the fields it reads anyway,
    // rather than from nodes that are out of the scene graph and cold.
    Ogre::Vector3 nearOffset = Ogre::Vector3::ZERO;
    // The body whose position node the orbit node hangs under, as the rig
    // found it; null under the sun.
    const Body* parentBody = nullptr;
    // The orbit node's world transform as the detail step last worked it
    // out (in its pass `orbitWorldPass`), for its moons, which come after it
    // in the registry.
    WorldFrame orbitWorld;
    unsigned long orbitWorldPass = 0;
    // What the detail step last made of the near and far nodes; scene
    // construction leaves both shown.
    bool nearShown = true;
    bool farShown = true;
    // Motion updates of the spin not yet made: a hidden near node spins only
    // when it is shown again, by all the updates it missed at once.
    double spinOwed = 0.0;
    // The radius the scene draws the body at, world units: its Size, or at
    // true scale its RadiusKm (scene/TrueScaleWorld.h), whose nodes then
    // stand relative to the camera and are placed, shown and hidden there.
    float drawnRadius;
    bool atTrueScale = false;
};

// Where a dated body stands from its parent at `dynamicalDays` (TT from
// J2000), in the J2000 ecliptic frame, world units: by its theory within the
// theory's years, else by its orbit. `guess` is the last solution of Kepler's
// equation, and comes out solved. A `track` of the body's theory (its
// theoryTrack) gives the theory's place interpolated, for a caller that asks
// every frame. Needs orbitDated().
Vector3d datedPlace(const Body& body, double dynamicalDays, EccentricAnomaly& guess, TheoryTrack* track = nullptr);
Vector3d datedPlace(const Body& body, double dynamicalDays);

// A dated spin's orientation at `dynamicalDays`, from the body's local frame
// to the J2000 ecliptic: its rotation model's, or, for a body that faces its
// parent (FacesParent, with an orbit), turned with its orbit. Needs datedSpin.
Quaterniond datedOrientation(const Body& body, double dynamicalDays);
// Where a dated body stands from the Sun in AU, J2000 ecliptic, where the
// real size of its orbit is known: an orbit by its perihelion, whose
// PerihelionAU gives it. Nothing for a body known only on the display's scale.
std::optional<Vector3d> realPlaceAU(const Body& body, double dynamicalDays);

// The turn Node::rotate(axis, angle, TS_LOCAL) makes: `degrees` about the
// axis as given, whose length changes the angle turned (a (1, 1, 0) axis
// turns about 1.4 times the angle). Any finite axis gives a turn; a zero
// one none.
Ogre::Quaternion turnAbout(const Ogre::Vector3& axis, float degrees);

// Degrees per motion update for a period: 1 / (period × 60), or 0 for a zero
// period and for one so short that the step is no finite float.
float stepForPeriod(float period);

#endif
