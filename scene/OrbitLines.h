#ifndef ORVTEST_SCENE_ORBITLINES_H
#define ORVTEST_SCENE_ORBITLINES_H

#include "sim/BodyDefinition.h"
#include "sky/Orbit.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <algorithm>

#include <cstdint>
#include <string>
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

// Orbit lines counted into a picture by the processor: for each pixel of a
// view, how many lines cross it. The software renderer spends some 40 ns of
// processor time on each pixel of each one-pixel line (it sets every segment
// up as a four-sided polygon and shades it four by four pixels at a time);
// counting it here costs about one. Pixels are taken as a one-pixel line
// lights them: along a line that runs more across than up, one pixel a
// column, the one whose centre the line passes nearest (one a row along a
// steeper line), the column of a segment's start in and its end's out, so
// that joined segments count a pixel once. Each run's bounding sphere culls
// it when it lies outside the view; a run small on the screen is drawn
// through every second, fourth... of its points, as few as keep it within
// `straying` pixels of its curve; and a line skips the cells of the picture
// whose every pixel has reached `most`, where more lines change nothing.
class LinePicture
{
public:
    struct Rect
    {
        int left = 0, top = 0, right = 0, bottom = 0;   // [left, right) × [top, bottom)
        bool empty() const { return right <= left || bottom <= top; }
    };

    // A run of points in the lines' own frame: closed (a loop) or open (an arc).
    void add(const std::vector<Ogre::Vector3>& points, bool closed);
    std::size_t runCount() const { return runs.size(); }
    // The box round every point, in the lines' frame.
    const Ogre::AxisAlignedBox& bounds() const { return box; }

    // Counts the lines anew for a view of width × height pixels, `clip` the
    // camera's projection (z from -w to w between the clipping planes) times
    // its view times the lines' world transform.
    void draw(const Ogre::Matrix4& clip, int width, int height);
    int width() const { return columns; }
    int height() const { return rows; }
    // Counts stop at `most` (1 to 255): past it, say, the colour no longer changes.
    void setMost(unsigned count) { most = std::uint8_t(std::clamp(count, 1u, 255u)); }
    // Lines crossing a pixel (x from the left, y from the top), up to most.
    unsigned countAt(int x, int y) const { return counts[std::size_t(y) * std::size_t(columns) + std::size_t(x)]; }
    const std::uint8_t* row(int y) const { return counts.data() + std::size_t(y) * std::size_t(columns); }
    // The pixels the last draw reached; none outside have a count.
    const Rect& drawn() const { return reached; }
    // Runs drawn by the last draw (the rest lay outside the view) and the
    // segments they were drawn with.
    std::size_t runsDrawn() const { return runsCounted; }
    std::size_t segmentsDrawn() const { return segmentsCounted; }

    // Fewest segments a run is drawn with, and how far (pixels) its
    // segments may stray from the curve through all its points: at 1.25 a
    // belt's rings some 250 pixels across take 32 of their 64 pieces.
    static constexpr int fewestSegments = 8;
    static constexpr float straying = 1.25f;

private:
    struct Run
    {
        std::size_t first;
        std::size_t count;
        bool closed;
        Ogre::Vector3 centre;
        float radius;
    };
    struct Projected
    {
        float x, y, z, w;      // clip coordinates
        float column, row;     // window pixels, when between the clipping planes
        bool inside;
    };
    void drawSegment(const Projected& a, const Projected& b);
    void countPixels(float x0, float y0, float x1, float y1);
    template <bool across>
    void countAlong(float a, float aSide, float b, float bSide);

    std::vector<Ogre::Vector3> points;
    std::vector<Run> runs;
    Ogre::AxisAlignedBox box;
    std::vector<Projected> projected;   // one run's, reused
    std::vector<Ogre::Vector2> inWindow;   // one run's window positions, reused
    std::vector<std::uint8_t> counts;
    // Pixels at `most` in each cell of cellSize × cellSize: a line skips the
    // full cells it crosses, most of a dense belt.
    static constexpr int cellSize = 8;
    std::vector<std::uint8_t> fullCells;
    // Full cells in each block of blockSize × blockSize pixels: a segment
    // within full blocks is skipped before it is set up.
    static constexpr int blockSize = 32;
    static constexpr int cellsInBlock = (blockSize / cellSize) * (blockSize / cellSize);
    std::vector<std::uint8_t> fullBlocks;
    std::uint8_t most = 255;
    int columns = 0, rows = 0;
    Rect reached;
    std::size_t runsCounted = 0, segmentsCounted = 0;
};

// The orbit lines of a system, drawn in few batches: one manual object per
// parent, on the parent's position node (so its lines turn with it as its
// satellites do), holding the line of every satellite's orbit: closed,
// but for an open orbit's arc, which reaches as far as the widest orbit
// about the Sun or four times its perihelion distance, whichever is further. A
// dated orbit whose ellipse turns (a precessing node or periapsis), or whose
// parent's frame turns, has a line of its own on a node of its own, beside
// its orbit node, which follow() turns with the orbit. On a software renderer
// a parent with many orbits (manyLines or more) has its lines drawn as a
// picture instead (LinePicture), laid over the sky under the bodies: each of
// its pixels is the lines' colour added as many times as lines cross it, as
// the line list's blending adds it, but every body hides the lines, those
// passing in front of it too. The engine owns the objects; this keeps the
// pointers to show, hide and destroy them.
class OrbitLines
{
public:
    static constexpr int segments = 64;   // straight pieces of each circle
    static constexpr int ellipseSegments = 256;   // of each ellipse: a comet's bend at perihelion is tight
    static constexpr std::size_t manyLines = 1000;

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
    // Objects made (one per parent with satellites to draw, one per ellipse
    // of its own).
    std::size_t batchCount() const { return batches.size(); }
    // Whether a parent's `lines` are drawn as a picture on a renderer of
    // that device name (as the render system reports the driver's).
    static bool drawnAsPicture(std::size_t lines, const std::string& deviceName);

private:
    struct TurningLine
    {
        const Body* body;
        Ogre::SceneNode* node;
    };
    static Ogre::Quaternion turnOf(const TurningLine& line, double days);

    Ogre::SceneManager* sceneManager;
    std::vector<Ogre::MovableObject*> batches;
    std::vector<Ogre::SceneNode*> ownNodes;
    std::vector<TurningLine> turning;
    bool created = false;
    bool visible = true;
};

#endif
