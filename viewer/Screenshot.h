#ifndef ORVTEST_VIEWER_SCREENSHOT_H
#define ORVTEST_VIEWER_SCREENSHOT_H

#include <string>

// "screenshot_N.png", the name a screenshot number is saved under.
std::string screenshotName(long number);

// The first number from `from` on whose screenshot file does not exist yet in
// the working folder, so that no earlier picture is ever overwritten.
long firstFreeScreenshotNumber(long from);

#endif
