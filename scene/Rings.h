#ifndef ORVTEST_SCENE_RINGS_H
#define ORVTEST_SCENE_RINGS_H

#include <OgrePrerequisites.h>

#include <string>

struct Body;

// A body's ring (hasRing: RingOuter above RingInner, and a RingMap): a flat
// annulus, the manual object SECTION.Ring on the node of that name under the
// body's near node, so that it shows, hides and turns with the detailed
// model. The node stands at the body's centre, its +Y the near model's, which
// is the body's pole when its spin follows the clock, and takes no scale
// from the model, so that the radii are world units. It is drawn in a clone
// of "OrvTest/Ring" with the RingMap (the engine's default material in a
// scene without that one), after everything of the main render queue,
// blended, casting and receiving none of the engine's shadows.

// Makes the body's ring, where it has one. The near node must exist.
void makeRing(Body& body, Ogre::SceneManager* sceneManager);
// Destroys it; nothing happens for a body without one.
void destroyRing(const Body& body, Ogre::SceneManager* sceneManager);
// The body's ring, or null.
Ogre::ManualObject* ringOf(const Body& body, Ogre::SceneManager* sceneManager);

// The name of the clone of `templateName` whose first texture unit shows
// `map` (a texture name), made on first use; empty when the template does
// not exist.
std::string materialWithMap(const std::string& templateName, const std::string& map);

// Segments of a ring's outline: its edges are exact circles all the same
// (the ring's program cuts them), the outline only has to hold them.
constexpr int ringSegments = 128;

#endif
