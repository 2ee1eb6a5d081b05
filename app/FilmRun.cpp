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

bool filmCanStart(const CommandLine& commandLine, std::string& why)
{
    // The folder itself is made once the views are found, so that a refused
    // film leaves nothing behind.
    const std::string folder = asFolder(commandLine.filmFolder);
    const std::string taken = firstFrameTaken(folder, commandLine.frames);
    if (!taken.empty())
    {
        why = taken + " exists, and a film never replaces a file: record into another folder, or remove its frames";
        return false;
    }
    if (!DisplayConnection().isOpen())
    {
        const char* display = std::getenv("DISPLAY");
        why = std::string("a film is drawn with the X display, and ") +
              (display && *display ? std::string("\"") + display + "\" cannot be opened" : "DISPLAY is not set") +
              ". Draw it in a virtual one:\n  xvfb-run orvtest --record " +
              commandLine.filmFolder + " ...";
        return false;
    }
    return true;
}

bool prepareViewsAndFilm(OrvTestApp& app, const CommandLine& commandLine, const std::string& viewsFile,
                         std::string& why)
{
    std::vector<std::string> names = commandLine.path;
    if (!commandLine.viewName.empty())
        names.push_back(commandLine.viewName);
    std::vector<SavedView> views;
    if (!names.empty())
    {
        const Result<std::vector<SavedView>> read = loadViews(viewsFile);
        if (!read)
        {
            why = "Cannot read the views file \"" + viewsFile + "\": " + read.why();
            return false;
        }
        const std::vector<SavedView>& kept = *read;
        for (const std::string& name : names)
        {
            const SavedView* view = findView(kept, name);
            if (!view)
            {
                std::string known;
                for (const SavedView& k : kept)
                    known += (known.empty() ? "" : ", ") + k.name;
                why = "No view is kept as '" + name + "' in " + viewsFile +
                      (known.empty() ? ", which keeps none: K keeps one in the viewer" : "; it keeps " + known);
                return false;
            }
            views.push_back(*view);
        }
    }
    if (commandLine.filmFolder.empty())
    {
        if (!views.empty())
            app.startAtView(views.front());
        return true;
    }

    const bool dated = std::any_of(bodyRegistry.begin(), bodyRegistry.end(),
                                   [](const auto& body) { return body->followsClock(); });
    if (dated && commandLine.clockStart.empty() && appSettings.Start.text == "now" && (views.empty() || !views[0].dated))
        std::cerr << "OrvTest: the clock starts now, so the film differs from run to run; --at DATE, or views "
                     "with dates, make it the same every time"
                  << std::endl;
    FilmOrder order;
    order.folder = asFolder(commandLine.filmFolder);
    if (!makeFolders(order.folder, why))
        return false;
    order.frames = commandLine.frames;
    order.framesPerSecond = commandLine.framesPerSecond;
    order.width = unsigned(commandLine.width);
    order.height = unsigned(commandLine.height);
    order.overlays = commandLine.overlays;
    order.views = views;
    app.recordFilm(order);
    return true;
}
