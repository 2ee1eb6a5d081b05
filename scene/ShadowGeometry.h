#ifndef ORVTEST_SCENE_SHADOWGEOMETRY_H
#define ORVTEST_SCENE_SHADOWGEOMETRY_H

#include <OgreVector.h>

// The geometry of the shadows the bodies' own shading draws
// (data/media/programs/Sunlight.glsl computes the same, pixel by pixel):
// the sun a disc of `sunRadius` (world units), a body a sphere in front of it.

// The share of the sun's disc, as seen from `point`, that a sphere at
// `casterCentre` of `casterRadius` leaves uncovered: 1 in full light (or for
// a sphere not between the point and the sun), 0 in the umbra, between in
// the penumbra, and 1 - (caster / sun)² at most in an annular eclipse. The
// overlap of the two discs is eased between the angles where they touch and
// where one holds the other, each angle taken by its sine (a few percent off
// only for a caster that fills much of the sky). A sun of no radius casts
// hard shadows.
float sunlightPast(const Ogre::Vector3& point, const Ogre::Vector3& sun, float sunRadius,
                   const Ogre::Vector3& casterCentre, float casterRadius);

// Whether a sphere of `casterRadius` can put any point of a body's sphere
// (`bodyCentre`, `bodyRadius`) in its penumbra: a cheap test that may say yes
// for a body just clear of it, never no for one it shadows. The shading
// spends no time on a caster that cannot.
bool canShadow(const Ogre::Vector3& sun, float sunRadius, const Ogre::Vector3& casterCentre, float casterRadius,
               const Ogre::Vector3& bodyCentre, float bodyRadius);

// Whether a ring (centre, unit normal, inner and outer radius) can shadow
// any point of a body's sphere: whether the line from some point of the body
// to the sun can cross the ring's plane between its radii on the way. Cheap
// and never no where it can; no for a sun in the ring's plane, whose shadow
// is then no more than a line.
bool ringCanShadow(const Ogre::Vector3& sun, const Ogre::Vector3& ringCentre, const Ogre::Vector3& ringNormal,
                   float inner, float outer, const Ogre::Vector3& bodyCentre, float bodyRadius);

// How much light a ring of face-on opacity `faceOn` (0 to 1) stops along a
// line at `cosine` to the ring's normal: a ring seen or lit at a slant is
// crossed along a longer path, 1 / |cosine| times its thickness.
float slantOpacity(float faceOn, float cosine);

#endif
