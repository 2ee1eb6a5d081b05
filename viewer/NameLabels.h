#ifndef ORVTEST_VIEWER_NAMELABELS_H
#define ORVTEST_VIEWER_NAMELABELS_H

#include <OgrePrerequisites.h>

#include <cstddef>
#include <vector>

class BodyRegistry;
namespace Ogre
{
class Overlay;
class TextAreaOverlayElement;
}

// Where one body's name goes on the screen.
struct LabelPlace
{
    std::size_t body;       // registry index
    float distance;         // from the camera, world units
    float left;             // pixels from the viewport's left edge
    float top;              // pixels from its top edge
};

// The bodies to name and where: those currently shown (near detail, or the
// far sphere within its drawing distance), in front of the camera and inside
// the view, nearest first, at most `most`. A label stands just right of its
// body's disc, and below the status line where it would cover it, text and
// status line `scale` times their size at 96 dpi. `places` is reused from
// frame to frame: no allocation once it has grown.
void placeLabels(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height,
                 std::size_t most, std::vector<LabelPlace>& places, float scale = 1.0f);

// The name labels: an overlay of text areas, made once, moved every frame
// they are shown. Without an overlay system (tests without a window) it
// places nothing. The engine owns the overlay.
class NameLabels
{
public:
    static constexpr std::size_t most = 100;

    NameLabels();
    void setVisible(bool visible);
    bool isVisible() const { return visible; }
    // The bodies were replaced: every caption is set anew.
    void forgetBodies();
    // The names `scale` times their size at 96 dpi.
    void setScale(float scale);
    // Places the labels for this frame's view; does nothing while hidden.
    void update(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height);

private:
    Ogre::Overlay* overlay = nullptr;
    std::vector<Ogre::TextAreaOverlayElement*> texts;
    std::vector<const void*> shownBody;   // what each text area says, to set captions only on change
    std::vector<LabelPlace> places;
    bool visible = false;
    float scale = 1.0f;
};

#endif
