#ifndef ORVTEST_VIEWER_INFOPANEL_H
#define ORVTEST_VIEWER_INFOPANEL_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class BodyRegistry;
class SmallBodies;
struct Body;
namespace Ogre
{
class Overlay;
class OverlayElement;
class TextAreaOverlayElement;
}

// One line of the info panel: what (a label) and how much (a value with its unit).
using Fact = std::pair<std::string, std::string>;

// What the info panel says of a body at a date, seen from `camera` (world
// position): its name and section, its parent, radius, distances from the
// camera and from its parent, its orbit and spin, and for an orbit that
// follows the clock its shape and where it stands; numbers rounded as a
// person reads them, with their units.
std::vector<Fact> bodyFacts(const BodyRegistry& bodies, const Body& body, const Ogre::Vector3& camera, double days);

// What the info panel says of a body of a catalogue at `days` (TT days from
// J2000), standing at `place` in the world, seen from `camera`: its name and
// kind; its orbit's semi-major axis a, eccentricity, inclination,
// perihelion q, aphelion Q and period (an open orbit has no a, Q or
// period); H (a comet's M1); the catalogue's orbit class where it gives one;
// and how far it is from the Sun now, in AU, and from the camera.
std::vector<Fact> catalogueBodyFacts(const SmallBodies& bodies, std::size_t index, const Ogre::Vector3& place,
                                     const Ogre::Vector3& camera, double days);

// A number as a person reads it: three figures, thousands grouped.
std::string readableNumber(double value);
// A duration in seconds as "45 s", "20 min", "2.5 h" or "3.2 days".
std::string readableDuration(double seconds);

// The info panel in the top left corner, and the crosshair at the centre of
// the view while it shows. Without an overlay system (tests without a
// window) it shows nothing. The engine owns the overlay.
class InfoPanel
{
public:
    InfoPanel();
    void setVisible(bool visible);
    bool isVisible() const { return visible; }
    // Sets the lines, where they changed.
    void show(const std::vector<Fact>& facts);
    // Everything this many times its size, relative to now.
    void scaleBy(float factor);

private:
    Ogre::Overlay* overlay = nullptr;
    Ogre::Overlay* crosshair = nullptr;
    Ogre::OverlayElement* backdrop = nullptr;
    Ogre::TextAreaOverlayElement* labels = nullptr;
    Ogre::TextAreaOverlayElement* values = nullptr;
    std::vector<Fact> shown;
    float scale = 1.0f;
    bool visible = false;
};

#endif
