#ifndef ORVTEST_SCENE_SUNANDSTARS_H
#define ORVTEST_SCENE_SUNANDSTARS_H

#include "sim/WorldLimits.h"

#include <OgrePrerequisites.h>

// The sun: node "Sun.Position" at the origin, the anchor of every body whose
// Parent is "Sun", with the particle system "SunParticle" (template
// "Stars/StarParticle1") on its child node "SunParticle".
void createSun(Ogre::SceneManager* sceneManager);

// The point light "SunLight" at the origin, coloured and attenuated from appSettings.
void createSunLight(Ogre::SceneManager* sceneManager);

// Sets the ambient light and the sun light's colours and attenuation from
// appSettings again, for settings read while the viewer runs.
void updateLights(Ogre::SceneManager* sceneManager);

// Makes the star field anew from appSettings, where the old one stood: the
// same sky as at start-up for the same Distance and Density.
void recreateStarField(Ogre::SceneManager* sceneManager);

// The billboard set "StarField" on the node of that name under the root: Density
// white stars of material "Stars/Star1" inside the cube of half-edge Distance.
// The positions come from the C runtime's rand(), which is never seeded, so
// the sky is the same on every run. Density is capped at maxStarCount.
void createStarField(Ogre::SceneManager* sceneManager);

// The angle, in radians, of one star coordinate: rand() × 360.
float randomAngle();

#endif
