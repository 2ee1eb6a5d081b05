#include "viewer/FileWatch.h"

#include "config/ConfigFileReading.h"

#include <OgreException.h>

FileWatch::FileWatch(std::string path, float poll, float settle)
    : watched(std::move(path)), pollSeconds(poll), settleSeconds(settle), seen(statusOf(watched)), taken(seen), writers(watched)
{
}

bool FileWatch::poll(float dt)
{
    if (watched.empty())
        return false;
    sincePoll += dt;
    if (sincePoll < pollSeconds)
        return false;
    const FileStatus now = statusOf(watched);
    // A write still open counts as a change that goes on.
    if (now != seen || writers.writeOpen())
    {
        seen = now;
        stillFor = 0.0f;
    }
    else
        stillFor += sincePoll;
    sincePoll = 0.0f;
    return (requested || seen != taken) && stillFor >= settleSeconds;
}

bool FileWatch::take(std::string& text, std::string& unreadable)
{
    text.clear();
    unreadable.clear();
    const FileStatus before = statusOf(watched);
    try
    {
        text = readConfigText(watched);
    }
    catch (const Ogre::Exception& error)
    {
        unreadable = error.getDescription();
    }
    if (statusOf(watched) != before || before != seen)
        return false;
    taken = before;
    requested = false;
    return true;
}
