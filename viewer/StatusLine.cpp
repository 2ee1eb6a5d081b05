#include "viewer/StatusLine.h"

#include "viewer/StatusText.h"

#include <OgreLogManager.h>

void logViewerLine(const std::string& text)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("OrvTest: " + text);
}

void StatusLine::say(const std::string& text, bool toTheLog)
{
    said = text;
    show();
    if (toTheLog && !text.empty())
        logViewerLine("status: " + text);
}

void StatusLine::setBanner(const std::string& line)
{
    banner = line;
    show();
}

void StatusLine::show()
{
    shown = fitStatusText(banner.empty() ? said : banner + (said.empty() ? "" : "\n" + said));
}
