#ifndef ORVTEST_SCENE_COMETTAILS_H
#define ORVTEST_SCENE_COMETTAILS_H

#include "sky/RadialMap.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <cstddef>
#include <memory>
#include <vector>

class SmallBodies;

// The tails of the catalogues' comets near the Sun: each a short chain of
// billboards from the head straight away from the Sun, bright at the head
// and fading along its length, drawn added onto the sky.
//
// A tail grows as the comet nears the Sun: its length is tailLengthAU(r), a
// fraction of the distance it has come inside fadeBeginsAU, longest at
// perihelion; beyond fadeBeginsAU it fades, and beyond farthestAU there is
// none. Only comets whose perihelion lies within farthestAU can ever have
// one: they are listed once a catalogue, and placed on the processor each
// frame (a few thousand at most, a fraction of a millisecond). The tail
// goes through the display scale's map as the dots do: the map keeps
// directions from the Sun, so the tail stays radial.
class CometTails
{
public:
    static constexpr double farthestAU = 5.0;
    static constexpr double fadeBeginsAU = 3.0;
    static constexpr int elements = 6;   // billboards along a tail

    // Its length, AU, at `r` AU from the Sun: 0.5 AU / r, as it brightens,
    // times how far it has faded in (0 beyond farthestAU, 1 within fadeBeginsAU).
    static double tailLengthAU(double r);
    // How bright its head is, 0 to 1: the fading alone.
    static double tailBrightness(double r);

    explicit CometTails(Ogre::SceneManager* sceneManager);
    ~CometTails();
    CometTails(const CometTails&) = delete;
    CometTails& operator=(const CometTails&) = delete;

    // The comets of these catalogues, listed anew when the catalogues change.
    void setCatalogues(const std::vector<std::shared_ptr<const SmallBodies>>& catalogues);
    // Places the tails at `days` (TT days from J2000) through the map.
    void update(double days, const RadialMap& map);

    // A tail as drawn: its head and its end in the world, and its brightness.
    struct Tail
    {
        const SmallBodies* bodies;
        std::size_t index;
        Ogre::Vector3 head;
        Ogre::Vector3 end;
        float brightness;
    };
    const std::vector<Tail>& tails() const { return drawn; }
    // Comets close enough at perihelion to grow a tail.
    std::size_t candidates() const { return listed.size(); }

private:
    struct Listed
    {
        std::shared_ptr<const SmallBodies> bodies;
        std::size_t index;
    };
    Ogre::SceneManager* sceneManager;
    Ogre::BillboardChain* chains = nullptr;
    std::vector<std::shared_ptr<const SmallBodies>> catalogues;
    std::vector<Listed> listed;
    std::vector<Tail> drawn;
};

#endif
