#include "viewer/FileWatch.h"

#include "config/ConfigFileReading.h"

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

std::optional<Result<std::string>> FileWatch::take()
{
    const FileStatus before = statusOf(watched);
    Result<std::string> text = readConfigFile(watched);
    if (statusOf(watched) != before || before != seen)
        return std::nullopt;
    taken = before;
    requested = false;
    return text;
}

bool FileWatch::claim()
{
    const FileStatus now = statusOf(watched);
    if (now != seen)
        return false;
    taken = now;
    requested = false;
    return true;
}
