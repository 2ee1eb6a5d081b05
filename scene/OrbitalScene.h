#ifndef ORVTEST_SCENE_ORBITALSCENE_H
#define ORVTEST_SCENE_ORBITALSCENE_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

// The scene the viewer shows, from appSettings and bodyRegistry, in this
// order: the ambient light and shadow technique, the sun, the generated
// sphere meshes (unless an earlier scene on this engine made them), the sun's
// light, every body's rig (the bodies that follow the clock where they stand
// `dynamicalDays` (TT) after J2000, and the detail settled for a camera at
// `cameraPosition`, so that the first frame does not draw every near model),
// and the star field. Throws the engine's exception when a body cannot be
// built (a parent not yet built, a name taken, a mesh not found).
void buildOrbitalScene(Ogre::SceneManager* sceneManager, const Ogre::Vector3& cameraPosition,
                       double dynamicalDays = 0.0);

// The camera "Camera" on its node, where a run starts: 14500 units out on
// the world's -Z axis, facing the sun along +Z, its yaw about the world's Y
// axis, its near clip from the settings.
Ogre::Camera* createStartCamera(Ogre::SceneManager* sceneManager);

#endif
