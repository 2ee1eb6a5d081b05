#ifndef ORVTEST_VIEWER_FILMFRAMES_H
#define ORVTEST_VIEWER_FILMFRAMES_H

#include "config/Result.h"

#include <cstddef>
#include <functional>
#include <string>

// A film's frames on the disk: PNG files folder/frame_000001.png and on,
// the folders they go in and the command that joins them.

// "frame_000001.png", the file of a film's frame.
std::string filmFrameName(long number);

// The first of the frame files 1 to `count` that is in `folder` (ending in
// '/'); empty when none is.
std::string firstFrameTaken(const std::string& folder, long count);

// Makes a new folder "film_N/" in `parent` ("" for the working folder, else
// ending in '/'), N the first number free, and returns it.
Result<std::string> makeFilmFolder(const std::string& parent);

// "frame 120 of 600, 14.2 frames a second, 34 s left".
std::string filmProgress(long done, long total, double seconds);
// The ffmpeg command that joins a film's frames into DIR.mp4.
std::string joinCommand(const std::string& folder, double framesPerSecond, unsigned width, unsigned height);

// Where encodePng hands a PNG file's bytes, in order. It may throw (a
// growing string's std::bad_alloc): the encoder turns that into a Failure.
using PngSink = std::function<void(const unsigned char* bytes, std::size_t size)>;

// Rows of RGB bytes, top row first, `width` * 3 bytes each without padding,
// as the bytes of a PNG file. A Failure when the image library or the sink
// fails; the bytes handed over until then are no whole file.
Result<> encodePng(const unsigned char* rgb, unsigned width, unsigned height, const PngSink& sink);

// Writes a film's frames into one folder, numbered from 1 in the order
// written. A file is never replaced, even by another process writing into
// the same folder, and a frame is never seen half written.
class FrameWriter
{
public:
    // `folder` ends in '/' and exists.
    explicit FrameWriter(const std::string& folder);

    // Encodes a frame (rows as for encodePng) to be written by writeNext.
    Result<> encode(const unsigned char* rgb, unsigned width, unsigned height);
    // Writes the frame last encoded as the next file. On a Failure that file
    // is not there (or is another's, untouched) and the frames before stay.
    Result<> writeNext();

    long written() const { return saved; }
    const std::string& folder() const { return where; }

private:
    std::string where;
    std::string png;     // the frame encoded; kept to reuse its memory
    bool encoded = false;
    long saved = 0;
};

#endif
