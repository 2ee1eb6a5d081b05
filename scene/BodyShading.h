#ifndef ORVTEST_SCENE_BODYSHADING_H
#define ORVTEST_SCENE_BODYSHADING_H

#include <OgreCommon.h>
#include <OgrePrerequisites.h>

#include <cstddef>

struct Body;
class BodyRegistry;

// The bodies' own shading. In a system that follows the clock (a body with
// OrbitDays or RotationHours) the engine's shadow technique is none, and
// each body is drawn in one pass of a clone of "OrvTest/Body"
// (data/media/programs/Body.material) with its material's map and colours,
// lit pixel by pixel as the fixed-function pipeline lights the planets, and
// shadowed in that pass by the bodies that can shadow it: its parent, its
// parent's other moons, its own moons, and a ring of its own or of its
// parent's, the sun a disc of sunRadiusOf. Its clouds (CloudMap) are drawn
// in that pass too, CloudHeight of its size above the surface, turning in
// CloudRotationHours. A system that follows no clock keeps the settings'
// technique and the materials its file names; only a body with clouds takes
// the shading's material (lit, not shadowed), to draw them. A ring's
// material is given the sun's radius too, in either. Bodies whose material
// has no map keep it.

// The technique of the scene for these bodies: none for a dated system,
// else the settings' ShadowTechnique.
Ogre::ShadowTechnique shadowTechniqueFor(const BodyRegistry& bodies);

// Sets the technique and gives the rigged bodies their shading as above.
// From then on the scene manager writes the shown bodies' shadow casters
// (writeShadowCasters) each time it brings the scene graph up to date for a
// camera, until forgetBodyShading or until it is destroyed.
void shadeBodies(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager);
// Moves the sun the shadows are cast from and gives it a radius, for the
// true scale, where it stands relative to the camera at its real size; and
// the clouds their height above each body's drawn radius now.
void moveShadingSun(const Ogre::Vector3& centre, float radius, Ogre::SceneManager* sceneManager,
                    const BodyRegistry& bodies);
// Forgets every shaded body, for rigs about to go; or one.
void forgetBodyShading();
void forgetBodyShading(const Body& body);

// For each shaded body whose near model shows, the custom parameters of its
// model: 0 to 3 the nearest casterSlots of the spheres whose penumbra can
// reach it now (centre and radius, world units; radius 0 for none), 4 and
// 5 the ring that can shadow it (its centre and inner radius; its normal,
// the ringed body's pole, and outer radius), 6 its clouds (how far they
// have turned on the surface, in map widths, and their height, world
// units). Allocates nothing.
void writeShadowCasters();

// How many bodies writeShadowCasters looks at.
std::size_t shadedBodyCount();

// The sun's radius in the scene for the shadows' penumbrae, world units: the
// display's sun has no size but its glow, so half the width its particles are
// emitted at; 0 (hard shadows) without the glow.
float sunRadiusOf(Ogre::SceneManager* sceneManager);

constexpr std::size_t casterSlots = 4;

#endif
