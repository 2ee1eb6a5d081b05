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
    if (systemWatch.poll(dt))
        if (const std::optional<Result<std::string>> text = systemWatch.take())
        {
            due.system = true;
            due.systemFile = systemWatch.path();
            if (*text)
                due.systemVerdict = judgeSystemText(due.systemFile, **text, meshExists);
            else
                due.systemVerdict = Failure{text->why()};
        }
    if (settingsWatch.poll(dt))
        if (const std::optional<Result<std::string>> text = settingsWatch.take())
        {
            due.settings = true;
            due.settingsFile = settingsWatch.path();
            if (*text)
                due.settingsVerdict = judgeSettingsText(due.settingsFile, **text, current);
            else
                due.settingsVerdict = Failure{text->why()};
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
