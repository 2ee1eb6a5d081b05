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

#endif
