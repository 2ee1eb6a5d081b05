#ifndef ORVTEST_VIEWER_PANELMETRICS_H
#define ORVTEST_VIEWER_PANELMETRICS_H

#include "viewer/StatusText.h"

// How the panels written on screen are laid out, in pixels at 96 dpi (a UI
// scale of 1), in one place so that they line up and clear one another.
namespace panelMetrics
{
constexpr float lineHeight = 18.0f;    // from one line of a panel's text to the next
constexpr float textHeight = 16.0f;    // its characters
constexpr float edgeMargin = 12.0f;    // from the window's edge
constexpr float innerMargin = 8.0f;    // inside a panel, and between a panel and the status strip
// The top of a panel in the top left corner: under the status strip.
constexpr float belowStatus = statusStripBottom + innerMargin - 2.0f;
}

#endif
