#ifndef ORVTEST_VIEWER_CAMERAPATH_H
#define ORVTEST_VIEWER_CAMERAPATH_H

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <algorithm>
#include <cstddef>
#include <vector>

// Where the camera stands and how it is turned.
struct CameraPose
{
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
};

// A flight through a list of stops: the positions on a centripetal
// Catmull-Rom curve, which passes through every stop without loops or cusps
// (straight beyond the ends), flown at an even speed; the orientation turned
// from stop to stop the short way round, so that it never flips. A stretch
// where the camera hardly moves but turns still takes a quarter of an even
// share of the time, rather than a single frame.
class CameraPath
{
public:
    // At least one stop.
    explicit CameraPath(const std::vector<CameraPose>& stops);

    struct Place
    {
        CameraPose pose;
        std::size_t segment = 0;   // between stop `segment` and the next
        double along = 0.0;        // how far between them, 0 to 1
    };
    // Where the camera is `progress` (0 to 1) of the way.
    Place at(double progress) const;
    // Where it is `along` (0 to 1) of the length of segment `segment`.
    CameraPose at(std::size_t segment, double along) const;
    // The progress at which a segment begins (and, for the one past the
    // last, 1); the segments' shares follow their lengths.
    double segmentStart(std::size_t segment) const { return startsAt[std::min(segment, startsAt.size() - 1)]; }
    std::size_t segments() const { return flown.size(); }

private:
    // The curve between stop `segment` and the next, at `t` (0 to 1) of its own parameter.
    Ogre::Vector3 curvePoint(std::size_t segment, double t) const;

    std::vector<CameraPose> stops;
    // For each segment, the distance flown at each even step of its parameter.
    std::vector<std::vector<double>> flown;
    std::vector<double> startsAt;   // the progress at which each segment begins, and 1 at the end
};

// The camera's flight to a view, from where it was: eased in and out, so
// that it starts and ends at rest.
class CameraMove
{
public:
    void start(const CameraPose& from, float seconds);
    void stop() { moving = false; }
    bool active() const { return moving; }
    // Moves on by `dt` seconds towards `to` (which may itself move, with a
    // followed body); the last step lands on it and ends the move.
    CameraPose advance(float dt, const CameraPose& to);

private:
    CameraPose from;
    float seconds = 1.0f;
    float elapsed = 0.0f;
    bool moving = false;
};

#endif
