#include "viewer/Screenshot.h"

#include "config/Files.h"

#include <OgreException.h>
#include <OgreRenderTarget.h>

#include <unistd.h>

std::string screenshotName(long number)
{
    return "screenshot_" + std::to_string(number) + ".png";
}

Result<long> saveScreenshot(Ogre::RenderTarget* window, const std::string& folder, long from)
{
    if (!folder.empty())
        if (const Result<> made = makeFolders(folder); !made)
            return Failure{"Could not save: " + made.why()};
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
        return Failure{"Could not save " + folder + screenshotName(from) + ": " + error.getDescription()};
    }
    for (long candidate = from;; ++candidate)
    {
        const std::string name = folder + screenshotName(candidate);
        const Result<NameClaim> linked = linkWithoutReplacing(drawn, name);
        if (linked && *linked == NameClaim::NameTaken)
            continue;
        removeFile(drawn);
        if (!linked)
            return Failure{"Could not save " + name + ": " + linked.why()};
        return candidate;
    }
}

std::string screenshotStatus(const std::string& folder, const Result<long>& saved)
{
    return saved ? "Saved: " + folder + screenshotName(*saved) : saved.why();
}
