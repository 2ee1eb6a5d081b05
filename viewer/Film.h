#ifndef ORVTEST_VIEWER_FILM_H
#define ORVTEST_VIEWER_FILM_H

#include "config/Result.h"
#include "config/Views.h"
#include "viewer/FilmFrames.h"

#include <OgrePrerequisites.h>
#include <OgreTexture.h>

#include <string>
#include <vector>

// Where a film's time went, seconds in all its frames: the engine drawing
// the frame (until its work is handed to the driver), reading the picture
// back (which waits for the driver to finish drawing it), encoding it as
// PNG, and writing the file.
struct FilmTimes
{
    double drawing = 0.0;
    double readingBack = 0.0;
    double encoding = 0.0;
    double writing = 0.0;
};

// What a film recorded from the command line is to be.
struct FilmOrder
{
    std::string folder;              // ends in '/'; exists
    long frames = 1;
    double framesPerSecond = 30.0;
    unsigned width = 1920;
    unsigned height = 1080;
    bool overlays = false;           // the status line, clock, labels and statistics drawn in
    std::vector<SavedView> views;    // one to start from, or two or more to fly through in order; or none
};

// Seconds of the steady clock, for timing a film's frames.
double steadySeconds();

// One film: the camera's view drawn off-screen at a size of its own, frame
// after frame, each read back and handed to a FrameWriter, which writes it
// as folder/frame_000001.png and on and never replaces a file. The engine
// owns the texture; this removes it.
class FilmRecorder
{
public:
    // Draws the camera's view from the next frame on, with the overlays or
    // without. `folder` ends in '/' and exists. Throws Ogre::Exception when
    // the engine cannot draw off-screen at that size.
    FilmRecorder(Ogre::Camera* camera, const std::string& folder, unsigned width, unsigned height, bool overlays);
    ~FilmRecorder();
    FilmRecorder(const FilmRecorder&) = delete;
    FilmRecorder& operator=(const FilmRecorder&) = delete;

    // The engine begins to draw a frame.
    void drawingStarts();
    // Writes the frame the engine has drawn as the next file. On a Failure
    // the frames before it stay.
    Result<> saveFrame();

    long frames() const { return writer.written(); }
    const std::string& folder() const { return writer.folder(); }
    unsigned width() const { return pixelsWide; }
    unsigned height() const { return pixelsHigh; }
    const FilmTimes& times() const { return spent; }
    // Where the frames are drawn, and the one viewport they are drawn with.
    Ogre::RenderTarget* renderTarget() const { return target; }
    Ogre::Viewport* frameViewport() const { return viewport; }

private:
    Ogre::Camera* camera;
    Ogre::TexturePtr texture;
    Ogre::RenderTarget* target = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Ogre::Real cameraAspect;
    FrameWriter writer;
    unsigned pixelsWide;
    unsigned pixelsHigh;
    std::vector<unsigned char> pixels;
    double drawingStarted = 0.0;
    FilmTimes spent;
};

#endif
