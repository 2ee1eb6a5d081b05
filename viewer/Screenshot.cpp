#include "viewer/Screenshot.h"

#include "config/Places.h"

#include <OgreException.h>
#include <OgreRenderTarget.h>

#include <sys/stat.h>

std::string screenshotName(long number)
{
    return "screenshot_" + std::to_string(number) + ".png";
}

long firstFreeScreenshotNumber(const std::string& folder, long from)
{
    long number = from;
    struct stat status;
    while (::lstat((folder + screenshotName(number)).c_str(), &status) == 0)
        ++number;
    return number;
}

bool saveScreenshot(Ogre::RenderTarget* window, const std::string& folder, long from, long& number,
                    std::string& status)
{
    std::string why;
    if (!folder.empty() && !makeFolders(folder, why))
    {
        number = from - 1;   // not used: the next try takes it
        status = "Could not save: " + why;
        return false;
    }
    number = firstFreeScreenshotNumber(folder, from);
    const std::string name = folder + screenshotName(number);
    try
    {
        window->writeContentsToFile(name);
    }
    catch (const Ogre::Exception&)
    {
        status = "Could not save " + name;
        return false;
    }
    status = "Saved: " + name;
    return true;
}
