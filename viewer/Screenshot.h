#ifndef ORVTEST_VIEWER_SCREENSHOT_H
#define ORVTEST_VIEWER_SCREENSHOT_H

#include "config/Result.h"

#include <OgrePrerequisites.h>

#include <string>

// "screenshot_N.png", the name a screenshot number is saved under.
std::string screenshotName(long number);

// Saves the window's picture in `folder` ("" for the working folder, else
// ending in '/'; made if missing) under the first free number from `from`
// on, never replacing a file, and gives the number used. A Failure says, for
// the status line, why it could not be saved (a folder that cannot be made,
// a read-only folder, a full disk): a failed picture never ends the session.
Result<long> saveScreenshot(Ogre::RenderTarget* window, const std::string& folder, long from);

// What the status line says of saveScreenshot's outcome: "Saved: NAME", or
// why nothing was.
std::string screenshotStatus(const std::string& folder, const Result<long>& saved);

#endif
