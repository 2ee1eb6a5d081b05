#ifndef ORVTEST_VIEWER_RELOADING_H
#define ORVTEST_VIEWER_RELOADING_H

#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"
#include "viewer/FileWatch.h"

#include <string>

// Reading the files the viewer started from again while it runs: each is
// watched (FileWatch), read once it is due, and judged as orvtest-check
// judges it. What a verdict does to the scene is the viewer's business.
class Reloading
{
public:
    void watch(const std::string& systemFile, const std::string& settingsFile);
    // Reads both files as soon as they stand still, changed or not (F5).
    void requestNow();

    // What one frame found.
    struct Due
    {
        bool system = false;                // the system file was read, or could not be
        std::string systemFile;
        Result<SystemVerdict> systemVerdict = SystemVerdict();   // or why it could not be read
        bool settings = false;
        std::string settingsFile;
        Result<SettingsVerdict> settingsVerdict = SettingsVerdict();
    };
    // Advances the watches by `dt` seconds and reads and judges the files that are due.
    Due poll(float dt, const MeshExists& meshExists, const AppSettings& current);

    // The memory a reload freed goes back to the system in the frame after
    // it, once the new scene has been drawn.
    void owePages() { pagesOwed = true; }
    void returnOwedPages();

private:
    FileWatch systemWatch;
    FileWatch settingsWatch;
    bool pagesOwed = false;
};

#endif
