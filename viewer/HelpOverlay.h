#ifndef ORVTEST_VIEWER_HELPOVERLAY_H
#define ORVTEST_VIEWER_HELPOVERLAY_H

#include <OgrePrerequisites.h>

#include <string>
#include <utility>
#include <vector>

namespace Ogre
{
class Overlay;
}

// The help overlay's lines: every row of the controls table (input, what it
// does), then how to give the mouse and keyboard back to the desktop.
std::vector<std::pair<std::string, std::string>> helpLines();

// Makes the help overlay "OrvTest/Help", hidden: a dark panel in the middle of
// the window with the lines in two columns. Null when there is no overlay
// system (as in tests without a window). The engine owns what it makes.
Ogre::Overlay* createHelpOverlay();

// The widths of the help's columns at 96 dpi, pixels: its widest input and
// its widest description.
struct HelpColumns
{
    float inputs = 0.0f;
    float descriptions = 0.0f;
};

// How large the help is drawn in a window: `scale` times its size at 96 dpi,
// or smaller where the window would not hold it all. Pixels.
struct HelpSize
{
    float factor;        // of the size at 96 dpi
    float width;
    float height;
    float charHeight;
};
HelpSize helpSize(std::size_t lines, const HelpColumns& columns, float scale, float windowWidth, float windowHeight);

// Lays the help out for a window of that size, its columns as wide as the
// font draws them.
void layOutHelp(Ogre::Overlay* help, float scale, float windowWidth, float windowHeight);

#endif
