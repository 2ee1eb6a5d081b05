#ifndef ORVTEST_SCENE_TRUESCALEWORLD_H
#define ORVTEST_SCENE_TRUESCALEWORLD_H

#include "sky/Vector.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <cstddef>
#include <vector>

class BodyRegistry;
struct Body;

// A stretch of distance from the camera, km, that is drawn with a depth
// buffer of its own: its near and far clip.
struct DepthRange
{
    double nearKm;
    double farKm;
};

// The bodies at their real sizes and distances (sim/TrueScale.h), in
// kilometres, placed relative to the camera.
//
// The single-precision engine holds 7 digits: at Neptune's distance that is
// 500 km, a third of Triton. So nothing at true scale is placed by composing
// large transforms: every frame each body's place is worked out in double
// precision from the Sun, the camera's (also double) taken from it, and only
// that small difference is handed to the engine, on the body's orbit node,
// which hangs directly under the root (a flat rig: no parent's transform
// composed on top). The engine's camera stands at the origin. Near bodies
// are then exact to the float's 7 digits of their distance, far ones of
// theirs, and neither moves by more than that from frame to frame.
//
// Bodies true scale leaves out (no real values, or a parent left out) hang
// under a node outside the scene graph; the sun's glow gives way to a disc
// of the Sun's real radius with a dimmer glow round it; the sun light
// stands at the Sun and reaches every body undimmed. Switching back puts
// every node, scale and light as the display's scale had it.
class TrueScaleWorld
{
public:
    explicit TrueScaleWorld(Ogre::SceneManager* sceneManager);
    ~TrueScaleWorld();
    TrueScaleWorld(const TrueScaleWorld&) = delete;
    TrueScaleWorld& operator=(const TrueScaleWorld&) = delete;

    bool active() const { return on; }
    // Rigs the registry's bodies for true scale, from the display scale's rigs.
    void enter(const BodyRegistry& bodies);
    // Puts the display scale's rigs back as they were.
    void leave(const BodyRegistry& bodies);

    // Places every body shown at TT `days` relative to the camera at
    // `cameraKm` (from the Sun, J2000 ecliptic in the world's axes), turns
    // the dated spins, picks near model or dot by apparent size
    // (`pixelsPerRadian`), and works out the depth ranges to draw. Allocates
    // nothing once its arrays have grown.
    void place(const BodyRegistry& bodies, double days, const Vector3d& cameraKm, double pixelsPerRadian);
    // Spheres drawn beside the registry's (a catalogue's bodies near the
    // camera): centres km from the Sun and radii km, filled in place each
    // frame, so that the array is not made anew; the next place() gives
    // them depth too.
    std::vector<std::pair<Vector3d, double>>& otherSpheres() { return others; }

    // The body's centre from the Sun in the world's axes, km, as last placed.
    const Vector3d& placeOf(std::size_t index) const { return places[index]; }
    // Its parent's centre likewise; the Sun's is the origin.
    Vector3d parentPlaceOf(std::size_t index) const
    {
        return parentOf[index] >= 0 ? places[std::size_t(parentOf[index])] : Vector3d{};
    }
    bool shows(std::size_t index) const { return index < shown.size() && shown[index]; }
    // Of the bodies shown and the Sun, the distance from `cameraKm` to the
    // nearest surface (negative inside a body): how fast to fly.
    double nearestSurfaceKm(const Vector3d& cameraKm) const;
    // The depth ranges to draw, farthest first; at least one.
    const std::vector<DepthRange>& depthRanges() const { return ranges; }
    // How many bodies true scale leaves out.
    std::size_t leftOut() const { return leftOutCount; }

    // The far clip of the last range to draw, for a camera with nothing near.
    static constexpr double shortestNearKm = 1e-6;   // a millimetre
    // How far the far clip of a range may be from its near, as a ratio:
    // a 24-bit depth buffer then tells apart depths 6e-5 of the distance
    // apart at its far end (a moon 6,000 km in front of Mars seen from the
    // Earth is 8e-5), where all of it is one buffer from metres to AU.
    static constexpr double rangeRatio = 1000.0;

private:
    void showSun(bool trueScale);
    void workOutRanges(const BodyRegistry& bodies, const Vector3d& cameraKm);

    Ogre::SceneManager* sceneManager;
    Ogre::SceneNode* flat = nullptr;       // under the root: the shown bodies' orbit nodes
    Ogre::SceneNode* leftOutNode = nullptr;   // outside the scene graph: the others'
    Ogre::SceneNode* sunDisc = nullptr;    // under the sun's node
    Ogre::BillboardSet* sunGlow = nullptr;
    bool on = false;

    // What the display scale had, to put back.
    struct Kept
    {
        Ogre::SceneNode* parent;
        Ogre::Vector3 nearScale;
        Ogre::Vector3 farScale;
        Ogre::Vector3 ringScale;
        Ogre::Quaternion orbitTurn;
        Ogre::Vector3 orbitPlace;
    };
    std::vector<Kept> kept;
    std::vector<bool> shown;
    std::vector<Vector3d> places;
    std::vector<long> parentOf;   // the registry index of each body's parent body; -1 for the Sun
    std::size_t leftOutCount = 0;
    Vector3d camera;

    struct Span
    {
        double nearKm;
        double farKm;
    };
    std::vector<Span> spans;
    std::vector<std::pair<Vector3d, double>> others;
    std::vector<DepthRange> ranges;
};

#endif
