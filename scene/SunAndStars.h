#ifndef ORVTEST_SCENE_SUNANDSTARS_H
#define ORVTEST_SCENE_SUNANDSTARS_H

#include "sim/WorldLimits.h"

#include <OgrePrerequisites.h>

#include <string>

class SkyBackground;

// The sun: node "Sun.Position" at the origin, the anchor of every body whose
// Parent is "Sun", with the particle system "SunParticle" (template
// "Stars/StarParticle1") on its child node "SunParticle".
void createSun(Ogre::SceneManager* sceneManager);

// The point light "SunLight" at the origin, coloured and attenuated from appSettings.
void createSunLight(Ogre::SceneManager* sceneManager);

// Sets the ambient light and the sun light's colours and attenuation from
// appSettings again, for settings read while the viewer runs.
void updateLights(Ogre::SceneManager* sceneManager);

// The star field: the node "StarField" under the root, which the viewer
// keeps on the camera, holding either the real sky or the random field.
//
// The real sky (SkyBackground "StarField") is drawn where some body follows
// the clock, or where the settings name a Catalogue: the catalogue's stars
// to MagnitudeLimit at Brightness, the constellation figures (shown as
// Constellations says) and the Milky Way (as MilkyWay says), from the
// engine's resources (media/sky/). A catalogue that cannot be read leaves
// the random field, and realSkyProblem() says why.
//
// The random field is the billboard set "StarField": Density white stars of
// material "Stars/Star1" inside the cube of half-edge Distance. The
// positions come from the C runtime's rand(), which is never seeded, so the
// sky is the same on every run. Density is capped at maxStarCount.
void createStarField(Ogre::SceneManager* sceneManager);

// Makes the star field anew from appSettings and the bodies, where the old
// one stood: the same random sky as at start-up for the same Distance and
// Density.
void recreateStarField(Ogre::SceneManager* sceneManager);

// Makes it anew only when the bodies now want the other kind of sky, after
// the bodies were replaced; true when it did.
bool matchStarFieldToBodies(Ogre::SceneManager* sceneManager);

// Whether the settings and the bodies ask for the real sky.
bool wantsRealSky();

// The scene's real sky; null while it shows the random field.
SkyBackground* realSky(Ogre::SceneManager* sceneManager);

// Why the star field made last is the random field though the real sky was
// wanted ("FILE:LINE: what is wrong; the random stars stay"); empty when not.
const std::string& realSkyProblem();

// The catalogue shipped in media/sky/, drawn when the settings name none.
inline const char* const shippedCatalogue = "hipparcos-8.csv.gz";
inline const char* const constellationFigures = "constellations.csv";
inline const char* const milkyWayGrid = "milky-way.txt.gz";

// The angle, in radians, of one star coordinate: rand() × 360.
float randomAngle();

#endif
