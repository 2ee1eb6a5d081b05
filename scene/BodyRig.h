#ifndef ORVTEST_SCENE_BODYRIG_H
#define ORVTEST_SCENE_BODYRIG_H

#include "sim/WorldLimits.h"

#include <OgrePrerequisites.h>

#include <string>

struct Body;
class BodyRegistry;

// A body's rig: under its parent's position node, the orbit node carries the
// position node (anchor of the body's satellites), the near node (detailed
// entity, spun) and the far node (coarse sphere, not spun), each named by the
// section name and ".Orbit", ".Position", ".Near" or ".Far".
// Every function throws the engine's exception when a name is unknown or taken.

// The orbit node under the node named by the body's parent node name.
Ogre::SceneNode* createOrbitNode(Body& body, Ogre::SceneManager* sceneManager);
Ogre::SceneNode* createPositionNode(Body& body);
// The detailed entity of Model + ".Mesh", with the body's material unless it is
// empty or "default"; when MeshLod is set, its mesh is put on the list of
// those to get a reduced level of detail (generatePendingLod). It casts shadows, unless a
// stencil technique is set and its mesh is too large for a shadow volume
// (more than 32767 vertices, as "SphereMesh_128x256.Mesh").
Ogre::SceneNode* createNearDetail(Body& body, Ogre::SceneManager* sceneManager);
// The node of the coarse far sphere, scaled to the body's size: FarSpheres
// draws the sphere there ("SphereMesh_4x6.Mesh" in Material.001's colours)
// up to FarDistance, casting no shadow.
Ogre::SceneNode* createFarDetail(Body& body);
// Puts the nodes at (0, 0, OrbitRadius) and turns them to the body's start angles.
void placeBodyNodes(Body& body);
// The whole rig of one body, in order: orbit, position, near node (with the
// body's ring, scene/Rings.h) and far node, then the start pose. The body's
// parent must be rigged already.
void rigBody(Body& body, Ogre::SceneManager* sceneManager);

// Destroys the rig's entities and nodes, and forgets them in the body. Moons
// first: a body's satellites hang under its position node.
void destroyBodyRig(Body& body, Ogre::SceneManager* sceneManager);

// Rigs every body of the registry, in order, then takes the nodes that carry
// nothing out of the scene graph: every far node (FarSpheres draws the far
// spheres from their orbit nodes) and every position node without moons.
// They keep their names, places and sizes; the engine only stops updating
// and visiting them every frame, which for a system of thousands of small
// bodies is most of its work. Last, the bodies get their shading
// (shadeBodies, scene/BodyShading.h).
void rigBodies(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager);
void destroyBodyRigs(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager);

// Gives the next mesh on the list its reduced level of detail, if the
// MeshLodGenerator singleton exists; true while more wait. The viewer makes
// one a frame: a level matters only beyond 4000 units and takes a good part
// of the start-up, so the first frames show the full meshes instead.
bool generatePendingLod();
// Empties the list, for a scene manager about to go.
void forgetPendingLods();

// Whether the engine can make an entity of that mesh: one of the generated
// spheres, or a mesh file in a resource location (as orvtest-check finds them).
bool meshExists(const std::string& meshName);

// Scales the node so that the entity's bounding radius becomes `size` (world units).
void fitEntityToSize(Ogre::SceneNode* node, Ogre::Entity* entity, float size);

// Distance (world units) beyond which a near mesh shows its reduced level.
constexpr float nearLodDistance = 4000.0f;

#endif
