#ifndef ORVTEST_VIEWER_OVERLAYORDER_H
#define ORVTEST_VIEWER_OVERLAYORDER_H

// The viewer's overlays, back to front: the engine draws an overlay of a
// higher Z order over one of a lower.
namespace overlayOrder
{
constexpr unsigned short labels = 400;
constexpr unsigned short clock = 450;
constexpr unsigned short info = 460;
constexpr unsigned short statistics = 500;   // "Core/DebugOverlay", whose script (Debug.overlay) sets it
constexpr unsigned short help = 600;
}

#include <string>

namespace Ogre
{
class Overlay;
class OverlayManager;
class TextAreaOverlayElement;
}

// Shows or hides an overlay; nothing where there is none (no overlay system).
void showOverlay(Ogre::Overlay* overlay, bool shown);

// A text area of the panels (help, info, clock): laid out in pixels, in the
// statistics font, pale blue on the dark sky.
Ogre::TextAreaOverlayElement* createPanelText(Ogre::OverlayManager& overlays, const std::string& name);

#endif
