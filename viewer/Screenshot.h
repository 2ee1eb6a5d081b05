#ifndef ORVTEST_VIEWER_SCREENSHOT_H
#define ORVTEST_VIEWER_SCREENSHOT_H

#include <OgrePrerequisites.h>

#include <string>

// "screenshot_N.png", the name a screenshot number is saved under.
std::string screenshotName(long number);

// Saves the window's picture in `folder` ("" for the working folder, else
// ending in '/'; made if missing) under the first free number from `from`
// on, never replacing a file, and sets the status line to show: "Saved:
// NAME", or why it could not be saved (a folder that cannot be made, a
// read-only folder, a full disk), so that a failed picture never ends the
// session. `number` becomes the number used; false when nothing was saved.
bool saveScreenshot(Ogre::RenderTarget* window, const std::string& folder, long from, long& number,
                    std::string& status);

#endif
