#include "app/RunViewer.h"

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

// The box, once the input library has let go of the keyboard and pointer.
void reportError(OrvTestApp& app, const std::string& text)
{
    app.releaseInput();
    showErrorBox(errorCaption, text);
}
}

int runViewer(OrvTestApp& app)
{
    if (!loadStartupFiles())
        return exitFailure;

    int exitCode = exitSuccess;
    try
    {
        app.run();
    }
    catch (const Ogre::Exception& error)
    {
        reportError(app, error.getFullDescription());
        exitCode = exitFailure;
    }
    catch (const OIS::Exception& error)
    {
        reportError(app, std::string("Input system: ") + error.eText);
        exitCode = exitFailure;
    }
    catch (const std::exception& error)
    {
        reportError(app, error.what());
        exitCode = exitFailure;
    }
    // Bodies go while the engine and their nodes still exist.
    bodyRegistry.clear();
    return exitCode;
}
