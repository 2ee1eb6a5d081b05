#ifndef ORVTEST_SIM_BODYSTEPS_H
#define ORVTEST_SIM_BODYSTEPS_H

#include <OgreMatrix4.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

struct Body;
class BodyRegistry;

// Turns the node about `axis` by `degrees` in its own frame (new = old × turn),
// as turnAbout makes the turn.
void turnNodeLocal(Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees);

// The node's transform in the world as its own and its parents' transforms
// say now. The engine's cached derived transform lags a frame behind a
// parent turned since the scene was last drawn, and is not kept at all for
// a node out of the scene graph.
Ogre::Affine3 currentWorldTransform(const Ogre::Node* node);
// Its orientation in the world likewise.
Ogre::Quaternion currentWorldOrientation(const Ogre::Node* node);

// Whether a body's orbit node hangs in the world's axes: under the sun's
// position node or a dated parent's, neither of which turns.
bool keepsWorldAxes(const Body& body);

// The centre of the body in the world now: where its position node stands
// on its orbit node, whether or not the position node is in the scene graph.
Ogre::Vector3 bodyCentre(const Body& body);

// Whether the body's far sphere is drawn for a camera that far from its
// centre (squared, world units): while the detail step shows it, and, as an
// entity's rendering distance would have it, within FarDistance of its
// surface, or everywhere for a FarDistance of 0 or less.
bool farSphereDrawn(const Body& body, float squaredDistance);

// Per-frame work over bodyRegistry. Both need the scene built, so that every
// body's nodes exist.

// Turns every orbit node by its orbit turn and spins every near node by its
// pitch, yaw and roll turns, in that order, each in the node's local space,
// as many motion updates as the registry's step multiplier says.
// Allocates nothing.
void runMotionStep();

// Puts every body that follows the clock where it stands `days` (dynamical
// time) after J2000:
// its orbit node on its orbit (OrbitRadius times the orbit's place, in the
// world's axes, from its parent, whatever the parent's own frame), its near
// model turned as its rotation model says. Bodies that do not follow the
// clock are left alone. Allocates nothing.
void placeDatedBodies(double days);
// Turns only the dated spins of the near models shown, to `days`: for
// bodies whose orbit nodes something else places (the true scale).
void placeDatedSpins(double days);
// The date they were last placed at (dynamical days from J2000), 0 before.
double datedBodiesPlacedAt();

// Shows the near node within NearDistance of the camera (world position) and
// the far node beyond it; a body whose Far is off leaves its far node alone
// beyond NearDistance.
void runDetailStep(const Ogre::Vector3& cameraPosition);

// For the clock's corner.

// Whether a TT date (days from J2000) lies outside the years of every theory
// of motion the bodies name, so that their elements alone place them; false
// when no body names a theory.
bool beyondEveryTheory(const BodyRegistry& bodies, double dynamicalDays);

// What the corner says then, "beyond VSOP87 and ELP 2000-82B: elements
// only", each theory the bodies name once, in the order first named; empty
// while the date lies within any of them.
std::string beyondTheoriesNote(const BodyRegistry& bodies, double dynamicalDays);

#endif
