#include "viewer/Reloading.h"

#include "viewer/FreedPages.h"

void Reloading::watch(const std::string& systemFile, const std::string& settingsFile)
{
    systemWatch = FileWatch(systemFile);
    settingsWatch = FileWatch(settingsFile);
}

void Reloading::requestNow()
{
    systemWatch.request();
    settingsWatch.request();
}

Reloading::Due Reloading::poll(float dt, const MeshExists& meshExists, const AppSettings& current)
{
    Due due;
    std::string text;
    if (systemWatch.poll(dt) && systemWatch.take(text, due.systemUnreadable))
    {
        due.system = true;
        due.systemFile = systemWatch.path();
        if (due.systemUnreadable.empty())
            due.systemVerdict = judgeSystemText(due.systemFile, text, meshExists);
    }
    if (settingsWatch.poll(dt) && settingsWatch.take(text, due.settingsUnreadable))
    {
        due.settings = true;
        due.settingsFile = settingsWatch.path();
        if (due.settingsUnreadable.empty())
            due.settingsVerdict = judgeSettingsText(due.settingsFile, text, current);
    }
    return due;
}

void Reloading::returnOwedPages()
{
    if (!pagesOwed)
        return;
    returnFreedPages();
    pagesOwed = false;
}
