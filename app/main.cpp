// Process entry: read the settings, read the system, run the viewer, free the
// bodies, shut the engine down.

#include "app/OrvTestApp.h"
#include "app/Platform.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"

#include <OgreException.h>
#include <OISException.h>

#include <exception>

namespace
{
const char* const errorCaption = "An exception has occured!";

// Reads the two start-up files; false (after telling the user) when one cannot be read.
bool loadStartupFiles()
{
    const Ogre::String settingsFile = "OrvTest.cfg";
    try
    {
        loadSettings(settingsFile);
    }
    catch (const Ogre::Exception& error)
    {
        showErrorBox(errorCaption, "Cannot read the settings file \"" + settingsFile + "\".\n" +
                                       error.getDescription());
        return false;
    }

    const Ogre::String systemFile = appSettings.StaticSystem;
    try
    {
        loadSystemFile(systemFile);
    }
    catch (const Ogre::Exception& error)
    {
        showErrorBox(errorCaption, "Cannot read the system file \"" + systemFile + "\".\n" +
                                       error.getDescription());
        bodyRegistry.clear();
        return false;
    }
    return true;
}

int runViewer()
{
    if (!loadStartupFiles())
        return 1;

    int exitCode = 0;
    {
        OrvTestApp app;
        try
        {
            app.run();
        }
        catch (const Ogre::Exception& error)
        {
            showErrorBox(errorCaption, error.getFullDescription());
        }
        catch (const OIS::Exception& error)
        {
            showErrorBox(errorCaption, std::string("Input system: ") + error.eText);
            exitCode = 1;
        }
        catch (const std::exception& error)
        {
            showErrorBox(errorCaption, error.what());
            exitCode = 1;
        }
        // Bodies go while the engine and their nodes still exist.
        bodyRegistry.clear();
    }
    return exitCode;
}
}

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return runViewer();
}
#else
int main()
{
    return runViewer();
}
#endif
