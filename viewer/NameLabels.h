#ifndef ORVTEST_VIEWER_NAMELABELS_H
#define ORVTEST_VIEWER_NAMELABELS_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BodyRegistry;
namespace Ogre
{
class Overlay;
class TextAreaOverlayElement;
}

// One body's name on the screen: the rectangle its text fills, pixels from
// the viewport's top left corner.
struct LabelPlace
{
    std::size_t body;       // registry index
    float distance;         // from the camera to the body's centre, world units
    float left;
    float top;
    float width;
    float height;
};

// What placing the names takes from the viewer besides the bodies and the camera.
struct LabelView
{
    float width = 800.0f;       // the viewport, pixels
    float height = 600.0f;
    float scale = 1.0f;         // the UI scale: text and status strip this many times their size at 96 dpi
    int focus = -1;             // registry index of the body in focus, or -1 for none
    float sunRadius = 0.0f;     // world units: the Sun's glow round the origin, which hides what is behind it
    Ogre::Vector3 sunCentre = Ogre::Vector3::ZERO;   // where the Sun stands: the origin but at true scale
};

// The names' character height in pixels at a UI scale, whole pixels as the
// engine draws text.
float labelTextHeight(float scale);

// Where the bodies' names go, frame after frame. Each frame starts afresh,
// so a name dropped for want of room comes back in the first frame that has
// room for it. Only the side of its disc a name stood on is remembered, and
// tried first in the next frame while its body has moved less than a line
// of text on the screen, so that names do not jump from side to side as
// other bodies pass; after a jump they start from the right again.
//
// Every body shown (near detail, or the far sphere within its drawing
// distance) in front of the camera is a disc on the screen, the Sun too; a
// disc less than `pointRadius` across its radius is a point of light, which
// hides nothing and which names may pass over. Of the bodies' discs the
// `candidatesPerName` × `most` first in rank are kept: the body in focus,
// then those that look larger (angular size), then the nearer. A body is
// named when its centre is in the view and no nearer disc that looks at
// least as large covers it (the Sun's included). Each name, in rank order,
// takes the first place beside its disc (right, left, above, below, or the
// right one pushed into the window) that lies inside the window, clear of
// the status strip and of every kept disc but its own, and at least
// `spacing` pixels from every name placed before it; with none, it is
// dropped. Only the name of the body in focus may, where nothing else is
// left, lie across discs behind its body. At most `most` names.
//
// Work stays linear in the bodies: one pass projects them, a partial
// selection keeps the candidates, and a grid of screen cells finds the discs
// and names near a place. Allocates nothing once its buffers have grown to
// the system and the window.
class LabelLayout
{
public:
    static constexpr std::size_t candidatesPerName = 4;
    static constexpr float spacing = 2.0f;       // pixels between two names, at least
    static constexpr float discGap = 4.0f;       // pixels from a name to its disc, at a UI scale of 1
    static constexpr float pointRadius = 1.0f;   // pixels: a disc smaller than this is a point

    // Places the names for the camera's view. `nameWidths[i]` is how wide
    // body i's name is drawn, pixels at the view's scale; bodies past its end
    // are not named. Labels are labelTextHeight(view.scale) high.
    void placeLabels(const BodyRegistry& bodies, const Ogre::Camera& camera, const LabelView& view,
                     const std::vector<float>& nameWidths, std::size_t most);
    // The names of the last placing, in rank order.
    const std::vector<LabelPlace>& places() const { return placed; }
    // The bodies were replaced: the sides their names stood on are forgotten.
    void forgetBodies() { sides.clear(); }

private:
    // A body's disc on the screen, or the Sun's.
    struct Disc
    {
        float x;            // centre, pixels
        float y;
        float radius;       // pixels, to the outer edge
        float size;         // the sine of its angular radius: its size as seen
        float distance;     // from the camera, world units
        std::size_t body;   // registry index; sunBody for the Sun
        bool inView;        // its centre is inside the window
    };
    struct Rect
    {
        float left;
        float top;
        float right;
        float bottom;
    };
    // Which items (discs, or names) touch each cell of the window: a list
    // per cell, linked through one array, so that clearing it frees nothing.
    class CellGrid
    {
    public:
        void reset(float width, float height);
        void add(int item, const Rect& area);
        // Calls `visit(item)` for every item in the cells the area touches
        // (an item as often as it shares a cell with it) until it returns true.
        template <typename Visit>
        bool any(const Rect& area, Visit&& visit) const;

    private:
        static constexpr float cellSize = 32.0f;   // pixels
        // The cells an area touches, clamped to the window; false when none.
        bool cellRange(const Rect& area, int& firstColumn, int& lastColumn, int& firstRow, int& lastRow) const;
        struct Entry
        {
            int item;
            int next;
        };
        int columns = 0;
        int rows = 0;
        std::vector<int> heads;
        std::vector<Entry> entries;
    };
    static constexpr std::size_t sunBody = static_cast<std::size_t>(-1);

    bool hidden(std::size_t disc) const;
    bool fits(const Rect& text, std::size_t disc, bool acrossDiscsBehind, const LabelView& view) const;

    std::vector<LabelPlace> placed;
    std::vector<Disc> discs;
    CellGrid discCells;
    CellGrid nameCells;
    // Per registry index: where its name stood in the placing `placing`.
    struct LastSide
    {
        float x;                   // the disc's centre then, pixels
        float y;
        std::uint32_t placing;
        std::uint8_t side;
    };
    std::vector<LastSide> sides;
    std::uint32_t placing = 0;   // placings so far
};

// The name labels: an overlay of text areas, made once, moved every frame
// they are shown. Without an overlay system (tests without a window) it
// places nothing. The engine owns the overlay.
class NameLabels
{
public:
    static constexpr std::size_t most = 100;

    // The Sun's glow is read from `sceneManager`'s particle system, where
    // there is one: half its particles' width is the glow's bright disc.
    explicit NameLabels(Ogre::SceneManager* sceneManager);
    void setVisible(bool visible);
    bool isVisible() const { return visible; }
    // The bodies were replaced: every caption and width is set anew.
    void forgetBodies();
    // The names `scale` times their size at 96 dpi.
    void setScale(float scale);
    // Places the labels for this frame's view, `focus` the registry index of
    // the body in focus or -1; does nothing while hidden.
    void update(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height, int focus);
    // The names shown, as "NAME at LEFT,TOP WIDTHxHEIGHT" (pixels) joined by
    // "; ", in rank order: the log says it beside a screenshot.
    std::string describe(const BodyRegistry& bodies) const;

private:
    // How wide each body's name is drawn at the current scale, from the font's glyphs.
    void measureNames(const BodyRegistry& bodies);

    Ogre::Overlay* overlay = nullptr;
    std::vector<Ogre::TextAreaOverlayElement*> texts;
    std::vector<const void*> shownBody;   // what each text area says, to set captions only on change
    std::vector<float> nameWidths;
    bool namesMeasured = false;
    LabelLayout layout;
    bool visible = false;
    float scale = 1.0f;
    float sunRadius = 0.0f;
    Ogre::SceneManager* scene = nullptr;
};

#endif
