#ifndef ORVTEST_SCENE_SKYBACKGROUND_H
#define ORVTEST_SCENE_SKYBACKGROUND_H

#include "scene/SkyAtlas.h"

#include <OgreMovableObject.h>

#include <memory>
#include <vector>

// The real sky behind everything, at infinity: catalogue stars, the
// constellation figures and the Milky Way, each in one draw from a static
// vertex buffer made once. Every vertex is a world direction; the programs
// project it with w = 0, so that the camera's place never moves the sky and
// nothing is worked out per frame. Drawn in the early sky queue, added onto
// the picture without depth, before any body. Scene managers make it as a
// movable object of type `typeName` (registerFactory) and own it.
//
// The stars are points of "OrvTest/SkyStars": per star a colour, a Gaussian
// core and a faint glow (StarLook, uv0 and uv1). Lines and the Milky Way's
// triangles are of "OrvTest/SkyPlain", their colour per vertex (uv0).
class SkyBackground : public Ogre::MovableObject
{
public:
    explicit SkyBackground(const Ogre::String& name);
    ~SkyBackground() override;

    static const Ogre::String typeName;
    // Lets scene managers make it; once for the engine's life, again harmless.
    static void registerFactory();

    // The stars, drawn as their magnitudes, the limit and the brightness say
    // (starLook), in the order given.
    void setStars(const std::vector<CatalogueStar>& stars, float magnitudeLimit, float brightness);
    // The figures' segments, one pixel wide and dim.
    void setFigures(const std::vector<FigureSegment>& segments);
    // The band: the grid's cells with light, shaded by their level.
    void setMilkyWay(const MilkyWayGrid& grid, float brightness);

    void showFigures(bool shown) { figuresShown = shown; }
    bool showsFigures() const { return figuresShown; }
    void showMilkyWay(bool shown) { milkyWayShown = shown; }
    bool showsMilkyWay() const { return milkyWayShown; }

    std::size_t starCount() const;
    std::size_t segmentCount() const;
    std::size_t milkyWayVertexCount() const;

    // What each draw holds, as the engine will draw it: per star its world
    // direction, then uv0 its colour (r g b times the core's peak, 1), then
    // uv1 its point's size, core sigma, glow sigma and glow peak (pixels).
    struct StarVertex
    {
        Ogre::Vector3 direction;
        Ogre::Vector4 colour;
        Ogre::Vector4 shape;
    };
    StarVertex starVertex(std::size_t index) const;
    // A line's or the band's vertex: its direction and colour.
    struct PlainVertex
    {
        Ogre::Vector3 direction;
        Ogre::Vector4 colour;
    };
    std::vector<PlainVertex> figureVertices() const;
    std::vector<PlainVertex> milkyWayVertices() const;

    // Draws queued in the last frame; for tests and the statistics.
    std::size_t drawsQueued() const { return queued; }

    const Ogre::String& getMovableType() const override { return typeName; }
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0.0f; }
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables) override;

    class Draw;

private:
    std::unique_ptr<Draw> stars;
    std::unique_ptr<Draw> figures;
    std::unique_ptr<Draw> milkyWay;
    bool figuresShown = false;
    bool milkyWayShown = true;
    std::size_t queued = 0;
};

// The band's colour at an isophote level of MilkyWayGrid, before brightness.
Ogre::Vector4 milkyWayColour(float level);

#endif
