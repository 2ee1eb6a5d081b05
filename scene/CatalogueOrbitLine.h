#ifndef ORVTEST_SCENE_CATALOGUEORBITLINE_H
#define ORVTEST_SCENE_CATALOGUEORBITLINE_H

#include "sky/ConicOrbit.h"
#include "sky/RadialMap.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

// The orbit of a catalogue body, in world units, through the display
// scale's map as its dot is placed (sim/DisplayScale.h): the conic is
// worked in AU and every point of it mapped, so that the dot rides on its
// line. An ellipse is a closed run of `count` points, even in eccentric
// anomaly; an open orbit an arc of `count` + 1 points either side of
// perihelion out to `reachAU` from the Sun (at least 4 q), as scene/OrbitLines
// draws a system body's.
std::vector<Ogre::Vector3> mappedOrbitPoints(const ConicElements& orbit, const RadialMap& map, double reachAU,
                                             int count);

// The line of the catalogue body in focus, one at a time, in the orbit
// lines' material; made anew only when the body or the map changes. The
// engine owns the manual object; this destroys it.
class CatalogueOrbitLine
{
public:
    static constexpr int points = 512;   // a comet's bend at perihelion is tight, and the map bends it more

    explicit CatalogueOrbitLine(Ogre::SceneManager* sceneManager);
    ~CatalogueOrbitLine();
    CatalogueOrbitLine(const CatalogueOrbitLine&) = delete;
    CatalogueOrbitLine& operator=(const CatalogueOrbitLine&) = delete;

    // Shows the orbit through the map; an open orbit reaches as far as the
    // map's farthest planet.
    void show(const ConicElements& orbit, const RadialMap& map);
    void hide();
    bool shown() const;
    // The manual object, for tests; null before the first show.
    const Ogre::ManualObject* object() const { return lines; }

private:
    Ogre::SceneManager* sceneManager;
    Ogre::ManualObject* lines = nullptr;
    ConicElements drawnOrbit;
    RadialMap drawnMap;
    bool drawn = false;
};

#endif
