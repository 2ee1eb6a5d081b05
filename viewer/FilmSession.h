#ifndef ORVTEST_VIEWER_FILMSESSION_H
#define ORVTEST_VIEWER_FILMSESSION_H

#include "config/Result.h"
#include "config/Views.h"
#include "viewer/CameraPath.h"
#include "viewer/Film.h"

#include <OgrePrerequisites.h>

#include <memory>
#include <string>
#include <vector>

// A film being made, by V or from the command line: the recorder, and film
// time, in which every frame stands for 1/framesPerSecond of a second
// however long it takes to draw (the sun's particles too).
class FilmSession
{
public:
    ~FilmSession();

    // Draws `camera`'s view off-screen from the next frame on and keeps film
    // time. A Failure when the engine cannot draw at that size.
    Result<> start(Ogre::Camera* camera, const std::string& folder, unsigned width, unsigned height,
                   double framesPerSecond, bool overlays);
    // Ends the film, its frames kept; what became of it, for the status line
    // ("" when none was recording).
    std::string stop();
    bool recording() const { return recorder != nullptr; }
    const FilmRecorder* film() const { return recorder.get(); }

    // The engine begins to draw the frame; then it has drawn it, to be kept.
    void drawingStarts();
    Result<> keepFrame();
    // "Recording film_1: 3.2 s", while recording.
    std::string banner() const;

    // Film time, frames a second; 0 for real time.
    double framesPerSecond() const { return filmRate; }
    void keepFilmTime(double framesPerSecond);
    // The seconds a frame that took `realSeconds` stands for: in film time
    // exactly its share of a second, which a float is only nearly.
    double frameSeconds(float realSeconds) const;
    float frameTime(float realSeconds) const { return float(frameSeconds(realSeconds)); }

private:
    std::unique_ptr<FilmRecorder> recorder;
    double filmRate = 0.0;
};

// What a frame of a film along a path of kept views does: where along the
// path it stands, and what the frame-locked bodies and the clock do.
struct PathFrame
{
    std::size_t segment = 0;   // between view `segment` and the next
    double along = 0.0;        // 0 to 1 of the segment's length
    double rate = 1.0;         // frame-locked motion updates an update; 0 stands still
    bool dated = false;        // the clock goes to `date`, else it runs on at `speed`
    double date = 0.0;         // UTC days
    double speed = 0.0;        // sky seconds a second
    double fieldOfView = 45.0; // vertical, degrees
};

// The timing of a film through two or more kept views: its frames evenly
// spaced in film time, each segment's share of the film its share of the
// path's length between the places the views were kept at. The frame-locked
// rate and the clock's speed go evenly from one view's to the next (a
// paused view's being 0). The clock keeps every dated view's date: between
// two dated views it goes from one date to the other; from a dated view to an
// undated one it runs on from the date; from an undated view it runs so as
// to arrive at the next one's date; between two undated ones it runs on
// from wherever it is. The field of view eases from one view's to the
// next's, evenly in its ratio, so that a zoom reads as even.
class FilmPath
{
public:
    // `clockStartSpeed` stands in for a view that gives no Speed.
    FilmPath(const std::vector<SavedView>& views, long frames, double framesPerSecond, double clockStartSpeed);

    PathFrame frame(long index) const;
    const std::vector<SavedView>& views() const { return stops; }

private:
    double speedOf(const SavedView& view) const;
    double rateOf(const SavedView& view) const;

    std::vector<SavedView> stops;
    CameraPath timing;         // through the places the views were kept at
    long frames;
    double seconds;            // the film's length in film time
    double startSpeed;
};

#endif
