#include "viewer/FilmSession.h"

#include "config/Files.h"
#include "viewer/StatusLine.h"

#include <OgreControllerManager.h>
#include <OgreException.h>

#include <cmath>
#include <cstdio>

FilmSession::~FilmSession()
{
    recorder.reset();
    keepFilmTime(0.0);
}

void FilmSession::keepFilmTime(double framesPerSecond)
{
    filmRate = framesPerSecond;
    // The sun's particles too, which the engine moves by its own clock.
    if (Ogre::ControllerManager* controllers = Ogre::ControllerManager::getSingletonPtr())
        controllers->setFrameDelay(framesPerSecond > 0.0 ? Ogre::Real(1.0 / framesPerSecond) : 0.0f);
}

double FilmSession::frameSeconds(float realSeconds) const
{
    return filmRate > 0.0 && realSeconds > 0.0f ? 1.0 / filmRate : double(realSeconds);
}

Result<> FilmSession::start(Ogre::Camera* camera, const std::string& folder, unsigned width, unsigned height,
                            double framesPerSecond, bool overlays)
{
    try
    {
        recorder = std::make_unique<FilmRecorder>(camera, folder, width, height, overlays);
    }
    catch (const Ogre::Exception& error)
    {
        return Failure{error.getDescription()};
    }
    keepFilmTime(framesPerSecond);
    logViewerLine("recording a film of " + std::to_string(width) + " x " + std::to_string(height) + " in " + folder);
    return {};
}

std::string FilmSession::stop()
{
    if (!recorder)
        return "";
    const long frames = recorder->frames();
    const std::string folder = recorder->folder();
    logViewerLine("the film in " + folder + " has " + std::to_string(frames) +
                  " frames; join them into a video with: " +
                  joinCommand(folder, filmRate, recorder->width(), recorder->height()));
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", double(frames) / filmRate);
    recorder.reset();
    keepFilmTime(0.0);
    return "Recorded " + std::to_string(frames) + " frames (" + seconds + " s) in " + folder +
           "; the log says how to join them";
}

void FilmSession::drawingStarts()
{
    if (recorder)
        recorder->drawingStarts();
}

Result<> FilmSession::keepFrame()
{
    return recorder ? recorder->saveFrame() : Result<>();
}

std::string FilmSession::banner() const
{
    if (!recorder)
        return "";
    const std::string& folder = recorder->folder();
    char line[160];
    std::snprintf(line, sizeof line, "Recording %s: %.1f s", baseNameOf(folder.substr(0, folder.size() - 1)).c_str(),
                  double(recorder->frames()) / filmRate);
    return line;
}

namespace
{
std::vector<CameraPose> keptPlaces(const std::vector<SavedView>& views)
{
    std::vector<CameraPose> places;
    for (const SavedView& view : views)
        places.push_back(CameraPose{view.Position, viewOrientation(view)});
    return places;
}

// The integral of a speed that goes evenly from `from` to `to` over a
// segment, between the shares `a` and `b` of it.
double evenlyChanging(double from, double to, double a, double b)
{
    return from * (b - a) + 0.5 * (to - from) * (b * b - a * a);
}
}

FilmPath::FilmPath(const std::vector<SavedView>& views, long frameCount, double framesPerSecond,
                   double clockStartSpeed)
    : stops(views), timing(keptPlaces(views)), frames(frameCount),
      seconds(frameCount > 1 ? double(frameCount - 1) / framesPerSecond : 0.0), startSpeed(clockStartSpeed)
{
}

double FilmPath::speedOf(const SavedView& view) const
{
    return view.Paused ? 0.0 : std::isnan(view.Speed) ? startSpeed : view.Speed;
}

double FilmPath::rateOf(const SavedView& view) const
{
    return view.Paused ? 0.0 : view.Rate;
}

PathFrame FilmPath::frame(long index) const
{
    const double progress = frames > 1 ? double(index) / double(frames - 1) : 0.0;
    const CameraPath::Place place = timing.at(progress);
    PathFrame frame;
    frame.segment = place.segment;
    frame.along = place.along;
    const SavedView& from = stops[place.segment];
    const SavedView& to = stops[std::min(place.segment + 1, stops.size() - 1)];
    const double u = place.along;
    frame.rate = rateOf(from) + (rateOf(to) - rateOf(from)) * u;
    frame.speed = speedOf(from) + (speedOf(to) - speedOf(from)) * u;
    const double eased = u * u * (3.0 - 2.0 * u);
    frame.fieldOfView = from.FieldOfView * std::pow(to.FieldOfView / from.FieldOfView, eased);
    const double segmentDays =
        (timing.segmentStart(place.segment + 1) - timing.segmentStart(place.segment)) * seconds / 86400.0;
    frame.dated = from.dated || to.dated;
    if (from.dated && to.dated)
        frame.date = from.Date.days + (to.Date.days - from.Date.days) * u;
    else if (from.dated)
        frame.date = from.Date.days + segmentDays * evenlyChanging(speedOf(from), speedOf(to), 0.0, u);
    else if (to.dated)
        frame.date = to.Date.days - segmentDays * evenlyChanging(speedOf(from), speedOf(to), u, 1.0);
    return frame;
}
