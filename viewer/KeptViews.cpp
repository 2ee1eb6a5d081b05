#include "viewer/KeptViews.h"

#include "config/Files.h"
#include "viewer/StatusLine.h"

KeptViews::Outcome KeptViews::keep(const SavedView& view, bool replace) const
{
    const Result<Kept> kept = keepView(viewsFile, view, replace);
    if (!kept)
    {
        logViewerLine("could not keep the view '" + view.name + "': " + kept.why());
        return {false, "Could not keep the view: " + kept.why()};
    }
    if (*kept == Kept::NameTaken)
        return {true, ""};
    const Result<std::vector<SavedView>> read = loadViews(viewsFile);
    const std::vector<SavedView> views = read ? *read : std::vector<SavedView>();
    std::size_t place = 0;
    while (place < views.size() && views[place].name != view.name)
        ++place;
    logViewerLine("kept the view '" + view.name + "' in " + viewsFile);
    return {false, "Kept view '" + view.name + "' in " + baseNameOf(viewsFile) +
                       (place < 9 ? ": " + std::to_string(place + 1) + " comes back to it"
                                  : " as view " + std::to_string(place + 1) + ": 1 to 9 go to the first nine")};
}

Result<SavedView> KeptViews::numbered(int index) const
{
    const Result<std::vector<SavedView>> read = loadViews(viewsFile);
    if (!read)
        return Failure{"Cannot read " + viewsFile + ": " + read.why()};
    const std::vector<SavedView>& views = *read;
    if (views.empty())
        return Failure{"No view kept yet: K keeps one"};
    if (std::size_t(index) >= views.size())
        return Failure{"No view " + std::to_string(index + 1) + ": " + baseNameOf(viewsFile) + " keeps " +
                       std::to_string(views.size()) + (views.size() == 1 ? " view" : " views")};
    return views[std::size_t(index)];
}

void KeptViews::startFlight(const SavedView& view, const CameraPose& from, float seconds)
{
    flyingTo = view;
    move.start(from, seconds);
}
