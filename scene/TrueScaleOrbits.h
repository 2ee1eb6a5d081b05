#ifndef ORVTEST_SCENE_TRUESCALEORBITS_H
#define ORVTEST_SCENE_TRUESCALEORBITS_H

#include "sky/Vector.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <cstddef>
#include <vector>

class BodyRegistry;
class TrueScaleWorld;

// The orbit lines at true scale: each shown body's conic in kilometres,
// worked out in double precision and handed to the engine relative to the
// camera each frame, as the bodies are (TrueScaleWorld), so that a line
// through the camera's neighbourhood holds still to the metre.
//
// A line goes through its body. A body placed by a theory stands up to an
// arcminute off its mean elements' ellipse, 40,000 km at the Earth's
// distance: the ellipse is moved by that small difference. And a chord of
// a 256-gon of the Earth's orbit strays 11,000 km from the curve: about the
// body, the points come closer and closer, halving the step down to a
// millionth of it, so that the line meets the disc where the body moves.
//
// An open orbit's arc reaches four perihelion distances from the Sun, or
// half as far again as the body. One manual object, rewritten each frame; the engine owns it, this
// destroys it.
class TrueScaleOrbits
{
public:
    explicit TrueScaleOrbits(Ogre::SceneManager* sceneManager);
    ~TrueScaleOrbits();
    TrueScaleOrbits(const TrueScaleOrbits&) = delete;
    TrueScaleOrbits& operator=(const TrueScaleOrbits&) = delete;

    void setVisible(bool visible);
    bool visible() const { return shown; }
    // The lines of the bodies `world` shows at TT `days`, relative to the
    // camera at `cameraKm`, after `world` has placed them there. Nothing is
    // worked out while hidden.
    void update(const BodyRegistry& bodies, const TrueScaleWorld& world, double days, const Vector3d& cameraKm);

    // The last update's lines: each a closed run of points, km from the
    // camera, as the engine was handed them.
    struct Line
    {
        std::size_t body;    // its index in the registry
        std::size_t first;   // into points()
        std::size_t count;
        bool closed;         // an ellipse; else an open orbit's arc
    };
    const std::vector<Line>& lines() const { return drawn; }
    const std::vector<Ogre::Vector3>& points() const { return placed; }

    static constexpr int evenPoints = 256;     // round the whole ellipse
    static constexpr int halvings = 20;        // of the step, on each side of the body

private:
    Ogre::SceneManager* sceneManager;
    Ogre::ManualObject* object = nullptr;
    bool shown = false;
    std::vector<Line> drawn;
    std::vector<Ogre::Vector3> placed;
    std::vector<double> anomalies;   // one line's, reused
};

#endif
