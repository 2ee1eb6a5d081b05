// The orbit viewer's kept views and films: K, 1 to 9 and V, and the frames
// of a film recorded from the command line.

#include "viewer/OrbitViewer.h"

#include "config/Files.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/WorldLimits.h"
#include "viewer/Film.h"

#include <OgreCamera.h>
#include <OgreControllerManager.h>
#include <OgreRenderTarget.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <cstdio>

namespace
{
// The frames a second of a film made with V.
constexpr double viewerFilmRate = 30.0;
}

OrbitViewer::~OrbitViewer()
{
    filming.reset();
    keepFilmTime(0.0);
}

SavedView OrbitViewer::currentView(const std::string& name) const
{
    SavedView view;
    view.name = name;
    view.Position = cameraNode->getPosition();
    setViewOrientation(view, cameraNode->getOrientation());
    const OrbitControls::ViewState state = decisions.viewState();
    if (state.focusIndex >= 0 && std::size_t(state.focusIndex) < bodyRegistry.size())
    {
        const Body& body = bodyRegistry.at(std::size_t(state.focusIndex));
        view.Focus = body.sectionName;
        view.Follow = state.following;
        if (view.Follow)
            view.Offset = view.Position - bodyCentre(body);
    }
    view.Rate = state.timeRate;
    view.Paused = state.paused;
    view.Speed = state.clockSpeed;
    view.dated = clockInUse;
    view.Date.days = skyClock.days();
    view.OrbitLines = state.orbitLinesShown;
    view.Names = state.labelsShown;
    view.Statistics = state.statisticsShown;
    return view;
}

CameraPose OrbitViewer::viewPose(const SavedView& view) const
{
    CameraPose pose{view.Position, viewOrientation(view)};
    const int body = view.Follow ? bodyRegistry.indexOf(view.Focus) : -1;
    if (body >= 0)
        pose.position = bodyCentre(bodyRegistry.at(std::size_t(body))) + view.Offset;
    return pose;
}

void OrbitViewer::showView(const SavedView& view, float seconds)
{
    const int body = view.Focus.empty() ? -1 : bodyRegistry.indexOf(view.Focus);
    OrbitControls::ViewState state;
    state.focusIndex = body;
    state.following = view.Follow;
    state.timeRate = view.Rate;
    state.clockSpeed = std::isnan(view.Speed) ? decisions.clockStartSpeed() : view.Speed;
    state.paused = view.Paused;
    state.statisticsShown = view.Statistics;
    state.orbitLinesShown = view.OrbitLines;
    state.labelsShown = view.Names;
    OrbitActions switched;
    switched.statisticsChanged = decisions.statisticsShown() != view.Statistics;
    switched.orbitLinesChanged = decisions.orbitLinesShown() != view.OrbitLines;
    switched.labelsChanged = decisions.labelsShown() != view.Names;
    decisions.recallViewState(state);
    panels.apply(switched, decisions, bodyRegistry);
    if (view.dated && clockInUse)
    {
        skyClock.setDays(view.Date.days);
        placeDatedBodies(skyClock.dynamicalDays());
    }
    showClock();

    // A body that is gone leaves the camera alone: where the view stood, not following.
    flyingTo = view;
    flyingTo.Follow = decisions.following();
    following.stop();
    if (seconds > 0.0f)
        viewMove.start(CameraPose{cameraNode->getPosition(), cameraNode->getOrientation()}, seconds);
    else
    {
        viewMove.stop();
        const CameraPose pose = viewPose(flyingTo);
        cameraNode->setPosition(pose.position);
        cameraNode->setOrientation(pose.orientation);
        // Near or far from here, before a frame is drawn.
        runDetailStep(camera->getRealPosition());
    }
    if (decisions.following())
        following.start(bodyRegistry.at(std::size_t(body)));
    const bool gone = !view.Focus.empty() && body < 0;
    say("View '" + view.name + "'" +
        (gone ? ": its body " + view.Focus + " is gone, so the camera alone comes back" : ""));
    logLine("view '" + view.name + "'" + (gone ? " without its body " + view.Focus + ", which is gone" : ""));
}

void OrbitViewer::flyToView(const OrbitActions& actions, float dt)
{
    if (!viewMove.active())
        return;
    // The person takes the camera back.
    if (actions.jumpTo >= 0 || actions.translation != Ogre::Vector3::ZERO || actions.yawDegrees != 0.0f ||
        actions.pitchDegrees != 0.0f)
    {
        viewMove.stop();
        return;
    }
    const CameraPose pose = viewMove.advance(dt, viewPose(flyingTo));
    if (!isFinite(pose.position))
    {
        viewMove.stop();
        return;
    }
    cameraNode->setPosition(pose.position);
    cameraNode->setOrientation(pose.orientation);
}

void OrbitViewer::keepView(const OrbitActions& actions)
{
    if (actions.viewName.empty())
        return;
    const Result<Kept> kept = ::keepView(viewsFile, currentView(actions.viewName), actions.replaceView);
    if (!kept)
    {
        say("Could not keep the view: " + kept.why());
        logLine("could not keep the view '" + actions.viewName + "': " + kept.why());
        return;
    }
    if (*kept == Kept::NameTaken)
    {
        decisions.askToReplace(actions.viewName);
        say(decisions.promptLine());
        return;
    }
    const Result<std::vector<SavedView>> read = loadViews(viewsFile);
    const std::vector<SavedView> views = read ? *read : std::vector<SavedView>();
    std::size_t place = 0;
    while (place < views.size() && views[place].name != actions.viewName)
        ++place;
    say("Kept view '" + actions.viewName + "' in " + baseNameOf(viewsFile) +
        (place < 9 ? ": " + std::to_string(place + 1) + " comes back to it"
                   : " as view " + std::to_string(place + 1) + ": 1 to 9 go to the first nine"));
    logLine("kept the view '" + actions.viewName + "' in " + viewsFile);
}

void OrbitViewer::recallView(int index)
{
    const Result<std::vector<SavedView>> read = loadViews(viewsFile);
    const std::vector<SavedView> views = read ? *read : std::vector<SavedView>();
    if (!read)
        say("Cannot read " + viewsFile + ": " + read.why());
    else if (std::size_t(index) >= views.size())
        say(views.empty() ? "No view kept yet: K keeps one"
                          : "No view " + std::to_string(index + 1) + ": " + baseNameOf(viewsFile) + " keeps " +
                                std::to_string(views.size()) + (views.size() == 1 ? " view" : " views"));
    else
        showView(views[std::size_t(index)], recallSeconds);
}

void OrbitViewer::keepFilmTime(double framesPerSecond)
{
    filmFramesPerSecond = framesPerSecond;
    // The sun's particles too, which the engine moves by its own clock.
    if (Ogre::ControllerManager* controllers = Ogre::ControllerManager::getSingletonPtr())
        controllers->setFrameDelay(framesPerSecond > 0.0 ? Ogre::Real(1.0 / framesPerSecond) : 0.0f);
}

bool OrbitViewer::startFilm(const std::string& folder, unsigned width, unsigned height, double framesPerSecond,
                            bool overlays, std::string& why)
{
    try
    {
        filming = std::make_unique<FilmRecorder>(camera, folder, width, height, overlays);
    }
    catch (const Ogre::Exception& error)
    {
        why = error.getDescription();
        return false;
    }
    keepFilmTime(framesPerSecond);
    logLine("recording a film of " + std::to_string(width) + " x " + std::to_string(height) + " in " + folder);
    say(said);
    return true;
}

void OrbitViewer::stopFilm()
{
    if (!filming)
        return;
    const long frames = filming->frames();
    const std::string folder = filming->folder();
    logLine("the film in " + folder + " has " + std::to_string(frames) + " frames; join them into a video with: " +
            joinCommand(folder, filmFramesPerSecond, filming->width(), filming->height()));
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", double(frames) / filmFramesPerSecond);
    filming.reset();
    keepFilmTime(0.0);
    say("Recorded " + std::to_string(frames) + " frames (" + seconds + " s) in " + folder +
        "; the log says how to join them");
}

void OrbitViewer::toggleFilm()
{
    if (filming)
    {
        stopFilm();
        return;
    }
    if (!window)
        return;
    const Result<std::string> folder = makeFilmFolder(screenshotFolder);
    std::string why = folder.why();
    if (!folder || !startFilm(*folder, window->getWidth(), window->getHeight(), viewerFilmRate, false, why))
        say("Could not record: " + why);
}

std::string OrbitViewer::filmLine() const
{
    const std::string& folder = filming->folder();
    char line[160];
    std::snprintf(line, sizeof line, "Recording %s: %.1f s", baseNameOf(folder.substr(0, folder.size() - 1)).c_str(),
                  double(filming->frames()) / filmFramesPerSecond);
    return line;
}

void OrbitViewer::filmDrawingStarts()
{
    if (filming)
        filming->drawingStarts();
}

bool OrbitViewer::keepFilmFrame(std::string& why)
{
    if (!filming)
        return true;
    if (const Result<> saved = filming->saveFrame(); !saved)
    {
        why = saved.why();
        stopFilm();
        say("Recording stopped: " + why);
        logLine("recording stopped: " + why);
        return false;
    }
    say(said);
    return true;
}

void OrbitViewer::showPathPlace(const std::vector<SavedView>& views, const CameraPath::Place& place, float dt)
{
    const SavedView& from = views[place.segment];
    const SavedView& to = views[std::min(place.segment + 1, views.size() - 1)];
    const auto between = [&place](double a, double b) { return a + (b - a) * place.along; };
    cameraNode->setPosition(place.pose.position);
    cameraNode->setOrientation(place.pose.orientation);
    const double seconds = frameSeconds(dt);
    const double rate = between(from.Paused ? 0.0 : from.Rate, to.Paused ? 0.0 : to.Rate);
    if (seconds > 0.0 && rate != 0.0)
    {
        bodyRegistry.setStepMultiplier(motionUpdates(seconds) * rate);
        runMotionStep();
    }
    if (clockInUse)
    {
        if (from.dated && to.dated)
            skyClock.setDays(between(from.Date.days, to.Date.days));
        else
        {
            const auto speedOf = [this](const SavedView& view) {
                return view.Paused ? 0.0 : std::isnan(view.Speed) ? decisions.clockStartSpeed() : view.Speed;
            };
            skyClock.setSpeed(between(speedOf(from), speedOf(to)));
            skyClock.advance(seconds);
        }
        placeDatedBodies(skyClock.dynamicalDays());
    }
    runDetailStep(camera->getRealPosition());
}
