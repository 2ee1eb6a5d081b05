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

namespace Ogre
{
class Overlay;
}

// Shows or hides an overlay; nothing where there is none (no overlay system).
void showOverlay(Ogre::Overlay* overlay, bool shown);

#endif
