#include "viewer/Screenshot.h"

#include <OgreException.h>
#include <OgreRenderTarget.h>

#include <sys/stat.h>

std::string screenshotName(long number)
{
    return "screenshot_" + std::to_string(number) + ".png";
}

long firstFreeScreenshotNumber(long from)
{
    long number = from;
    struct stat status;
    while (::lstat(screenshotName(number).c_str(), &status) == 0)
        ++number;
    return number;
}

std::string saveScreenshot(Ogre::RenderTarget* window, long from, long& number)
{
    number = firstFreeScreenshotNumber(from);
    const std::string name = screenshotName(number);
    try
    {
        window->writeContentsToFile(name);
    }
    catch (const Ogre::Exception&)
    {
        return "Could not save " + name;
    }
    return "Saved: " + name;
}
