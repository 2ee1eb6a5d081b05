#include "viewer/Screenshot.h"

#include "config/Files.h"

#include <OgreException.h>
#include <OgreRenderTarget.h>

#include <unistd.h>

std::string screenshotName(long number)
{
    return "screenshot_" + std::to_string(number) + ".png";
}

bool saveScreenshot(Ogre::RenderTarget* window, const std::string& folder, long from, long& number,
                    std::string& status)
{
    number = from - 1;   // none used yet: the next try starts here again
    std::string why;
    if (!folder.empty() && !makeFolders(folder, why))
    {
        status = "Could not save: " + why;
        return false;
    }
    // Written under a name of this process's own, then linked to the first
    // free screenshot name: a link never replaces a file, so two viewers
    // saving into one folder at once never take the same number, and no
    // picture is seen half written.
    const std::string drawn = folder + ".screenshot-" + std::to_string(::getpid()) + ".png";
    try
    {
        window->writeContentsToFile(drawn);
    }
    catch (const Ogre::Exception& error)
    {
        removeFile(drawn);
        status = "Could not save " + folder + screenshotName(from) + ": " + error.getDescription();
        return false;
    }
    for (long candidate = from;; ++candidate)
    {
        const std::string name = folder + screenshotName(candidate);
        const LinkResult linked = linkWithoutReplacing(drawn, name, why);
        if (linked == LinkResult::NameTaken)
            continue;
        removeFile(drawn);
        if (linked == LinkResult::Failed)
        {
            status = "Could not save " + name + ": " + why;
            return false;
        }
        number = candidate;
        status = "Saved: " + name;
        return true;
    }
}
