#ifndef ORVTEST_SCENE_ORBITLINES_H
#define ORVTEST_SCENE_ORBITLINES_H

#include "sim/BodyDefinition.h"
#include "sky/Orbit.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

class BodyRegistry;
struct Body;

// The circle a body's position node travels, in its parent's frame: the
// point (0, 0, OrbitRadius) of the orbit node, turned about OrbitAxis by any
// angle. (Every turn of the orbit node, the start angle's and the motion's,
// is about that one axis, so the point never leaves this circle.)
struct OrbitCircle
{
    Ogre::Vector3 centre;
    Ogre::Vector3 axis;     // unit length
    float radius;
    Ogre::Vector3 start;    // unit vector from the centre towards the point at angle 0
    Ogre::Vector3 side;     // axis × start: the direction the point moves at angle 0

    // The point at `radians` round the circle.
    Ogre::Vector3 at(float radians) const;
};

// The body's orbit circle; false when it has none to draw (zero radius, zero
// axis, or an axis along its own radius), and for values beyond the float range.
bool orbitCircleOf(const BodyDefinition& body, OrbitCircle& circle);

// The ellipse a body that follows the clock travels, in the orbit's own
// frame (x towards periapsis, z its pole), world units; `count` points from
// periapsis on, evenly spread in eccentric anomaly.
std::vector<Ogre::Vector3> ellipsePoints(const KeplerOrbit& orbit, float semiMajorAxis, int count);

// The line of an orbit by its perihelion (sky/ConicOrbit.h) in the orbit's
// own plane (x towards perihelion, y along the motion there), world units,
// from its perihelion distance q and eccentricity e: below e = 1 the whole
// ellipse, `count` points from perihelion on, a closed line; from e = 1 on
// the arc on both sides of perihelion out to `reach` from the focus (at
// least 4 q), `count` + 1 points evenly spread in true anomaly, an open one.
std::vector<Ogre::Vector3> conicPoints(double perihelionDistance, double eccentricity, double reach, int count);

// The orbit lines of a system, drawn in few batches: one manual object per
// parent, on the parent's position node (so its lines turn with it as its
// satellites do), holding the line of every satellite's orbit: closed,
// but for an open orbit's arc, which reaches as far as the widest orbit
// about the Sun or four times its perihelion distance, whichever is further. A
// dated orbit whose ellipse turns (a precessing node or periapsis), or whose
// parent's frame turns, has a line of its own on a node of its own, beside
// its orbit node, which follow() turns with the orbit. The engine owns the
// objects; this keeps the pointers to show, hide and destroy them.
class OrbitLines
{
public:
    static constexpr int segments = 64;   // straight pieces of each circle
    static constexpr int ellipseSegments = 256;   // of each ellipse: a comet's bend at perihelion is tight

    explicit OrbitLines(Ogre::SceneManager* sceneManager);

    // Builds the lines of every body of the registry, once its rig exists,
    // the ellipses as they are `days` after J2000.
    void create(const BodyRegistry& bodies, double days = 0.0);
    // Turns the ellipses that turn to where they are `days` after J2000.
    void follow(double days);
    // Destroys them; before the bodies' nodes go.
    void destroy();
    bool exists() const { return created; }
    void setVisible(bool visible);
    // Manual objects made (one per parent with satellites to draw, one per
    // ellipse of its own).
    std::size_t batchCount() const { return batches.size(); }

private:
    struct TurningLine
    {
        const Body* body;
        Ogre::SceneNode* node;
    };
    static Ogre::Quaternion turnOf(const TurningLine& line, double days);

    Ogre::SceneManager* sceneManager;
    std::vector<Ogre::ManualObject*> batches;
    std::vector<Ogre::SceneNode*> ownNodes;
    std::vector<TurningLine> turning;
    bool created = false;
    bool visible = true;
};

#endif
