#include "app/FilmRun.h"

#include "app/CommandLine.h"
#include "app/OrvTestApp.h"
#include "app/Platform.h"
#include "config/AppSettings.h"
#include "config/Files.h"
#include "sim/BodyRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace
{
std::string asFolder(const std::string& folder)
{
    return folder.back() == '/' ? folder : folder + "/";
}
}

Result<> filmCanStart(const CommandLine& commandLine)
{
    // The folder itself is made once the views are found, so that a refused
    // film leaves nothing behind.
    const std::string folder = asFolder(commandLine.filmFolder);
    const std::string taken = firstFrameTaken(folder, commandLine.frames);
    if (!taken.empty())
        return Failure{taken +
                       " exists, and a film never replaces a file: record into another folder, or remove its frames"};
    if (!DisplayConnection().isOpen())
    {
        const char* display = std::getenv("DISPLAY");
        return Failure{std::string("a film is drawn with the X display, and ") +
                       (display && *display ? std::string("\"") + display + "\" cannot be opened"
                                            : "DISPLAY is not set") +
                       ". Draw it in a virtual one:\n  xvfb-run orvtest --record " + commandLine.filmFolder + " ..."};
    }
    return {};
}

Result<> prepareViewsAndFilm(OrvTestApp& app, const CommandLine& commandLine, const std::string& viewsFile)
{
    std::vector<std::string> names = commandLine.path;
    if (!commandLine.viewName.empty())
        names.push_back(commandLine.viewName);
    std::vector<SavedView> views;
    if (!names.empty())
    {
        const Result<std::vector<SavedView>> read = loadViews(viewsFile);
        if (!read)
            return Failure{"Cannot read the views file \"" + viewsFile + "\": " + read.why()};
        const std::vector<SavedView>& kept = *read;
        for (const std::string& name : names)
        {
            const SavedView* view = findView(kept, name);
            if (!view)
            {
                std::string known;
                for (const SavedView& k : kept)
                    known += (known.empty() ? "" : ", ") + k.name;
                return Failure{"No view is kept as '" + name + "' in " + viewsFile +
                               (known.empty() ? ", which keeps none: K keeps one in the viewer"
                                              : "; it keeps " + known)};
            }
            views.push_back(*view);
            // The command line's field wins over the view's.
            if (commandLine.fieldOfView > 0.0)
                views.back().FieldOfView = commandLine.fieldOfView;
        }
    }
    if (commandLine.filmFolder.empty())
    {
        if (!views.empty())
            app.startAtView(views.front());
        return {};
    }

    const bool dated = bodyRegistry.anyFollowsClock();
    if (dated && commandLine.clockStart.empty() && appSettings.Start.text == "now" && (views.empty() || !views[0].dated))
        std::cerr << "OrvTest: the clock starts now, so the film differs from run to run; --at DATE, or views "
                     "with dates, make it the same every time"
                  << std::endl;
    FilmOrder order;
    order.folder = asFolder(commandLine.filmFolder);
    if (const Result<> made = makeFolders(order.folder); !made)
        return made;
    order.frames = commandLine.frames;
    order.framesPerSecond = commandLine.framesPerSecond;
    order.width = unsigned(commandLine.width);
    order.height = unsigned(commandLine.height);
    order.overlays = commandLine.overlays;
    order.views = views;
    app.recordFilm(order);
    return {};
}
