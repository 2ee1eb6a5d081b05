#ifndef ORVTEST_VIEWER_UISCALE_H
#define ORVTEST_VIEWER_UISCALE_H

namespace Ogre
{
class Overlay;
}

// One scale for everything written on screen: the status line, statistics,
// help, labels, info panel, clock and crosshair are laid out in pixels for a
// screen of 96 dots per inch, and drawn this many times as large.

// The scale a screen of this density wants: 1 at 96 dpi, in quarter steps
// (as desktops scale: 1, 1.25, 1.5, 2), from 0.5 to 8.
float uiScaleForDensity(float dotsPerInch);

// The scale in force: the command line's where given, else the settings'
// where above 0, else the display's.
float chooseUiScale(float commandLine, float settings, float display);

// Renders the overlay fonts for the scale, so that large text stays sharp:
// before any text is shown, or followed by setting every caption anew.
void scaleFonts(float scale);

// Multiplies the places, sizes, character heights and spaces of every
// element of the overlay laid out in pixels.
void scaleOverlay(Ogre::Overlay* overlay, float scale);

#endif
