#include "viewer/Film.h"

#include "config/Files.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreRenderTexture.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <fstream>

#include <png.h>
#include <unistd.h>

namespace
{
void appendToString(png_structp writer, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(writer))->append(reinterpret_cast<const char*>(data), size);
}

void noFlush(png_structp)
{
}

// Rows of RGB bytes as a PNG file's bytes; false when the library fails (out
// of memory). A film has many frames: a low compression level with the Up
// filter takes a fifth of the time of the engine's own encoder, for files a
// third larger.
bool encodePng(const unsigned char* pixels, unsigned width, unsigned height, std::string& png)
{
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!info)
    {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(writer)))
    {
        png_destroy_write_struct(&writer, &info);
        return false;
    }
    png_set_write_fn(writer, &png, appendToString, noFlush);
    png_set_IHDR(writer, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, 3);
    png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(writer, info);
    for (unsigned row = 0; row < height; ++row)
        png_write_row(writer, pixels + std::size_t(row) * width * 3);
    png_write_end(writer, info);
    png_destroy_write_struct(&writer, &info);
    return true;
}

// A path as a shell takes it: quoted unless it is plain.
std::string shellWord(const std::string& text)
{
    if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-%") ==
                             std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
}

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string filmFrameName(long number)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", number);
    return name;
}

std::string firstFrameTaken(const std::string& folder, long count)
{
    long first = 0;
    for (const std::string& name : filesIn(folder))
    {
        long number = 0;
        char end[8] = "";
        if (std::sscanf(name.c_str(), "frame_%ld%7s", &number, end) == 2 && name == filmFrameName(number) &&
            number >= 1 && number <= count && (first == 0 || number < first))
            first = number;
    }
    return first ? folder + filmFrameName(first) : "";
}

std::string makeFilmFolder(const std::string& parent, std::string& why)
{
    if (!parent.empty() && !makeFolders(parent, why))
        return "";
    for (long number = 1;; ++number)
    {
        const std::string folder = parent + "film_" + std::to_string(number) + "/";
        const LinkResult made = makeNewFolder(folder, why);
        if (made == LinkResult::Linked)
            return folder;
        if (made == LinkResult::Failed)
            return "";
    }
}

std::string filmProgress(long done, long total, double seconds)
{
    const double rate = seconds > 0.0 ? double(done) / seconds : 0.0;
    char text[128];
    std::snprintf(text, sizeof text, "frame %ld of %ld, %.1f frames a second, %.0f s left", done, total, rate,
                  rate > 0.0 ? double(total - done) / rate : 0.0);
    return text;
}

std::string joinCommand(const std::string& folder, double framesPerSecond, unsigned width, unsigned height)
{
    const std::string film = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", framesPerSecond);
    // The common H.264 profile needs an even width and height.
    const bool odd = width % 2 || height % 2;
    return std::string("ffmpeg -framerate ") + rate + " -i " + shellWord(folder + "frame_%06d.png") +
           (odd ? " -vf 'crop=trunc(iw/2)*2:trunc(ih/2)*2'" : "") + " -c:v libx264 -pix_fmt yuv420p " +
           shellWord((film.empty() || film == "." ? "film" : film) + ".mp4");
}

FilmRecorder::FilmRecorder(Ogre::Camera* viewCamera, const std::string& folder, unsigned width, unsigned height,
                           bool overlays)
    : camera(viewCamera), cameraAspect(viewCamera->getAspectRatio()), where(folder), pixelsWide(width),
      pixelsHigh(height), pixels(std::size_t(width) * height * 3)
{
    texture = Ogre::TextureManager::getSingleton().createManual("OrvTest/Film", Ogre::RGN_DEFAULT,
                                                                Ogre::TEX_TYPE_2D, width, height, 0,
                                                                Ogre::PF_BYTE_RGB, Ogre::TU_RENDERTARGET);
    target = texture->getBuffer()->getRenderTarget();
    target->setAutoUpdated(true);
    viewport = target->addViewport(camera);
    viewport->setBackgroundColour(Ogre::ColourValue::Black);
    viewport->setOverlaysEnabled(overlays);
    camera->setAspectRatio(Ogre::Real(width) / Ogre::Real(height));
}

FilmRecorder::~FilmRecorder()
{
    // The camera would otherwise still name the viewport that goes.
    if (camera->getViewport() == viewport)
        camera->_notifyViewport(nullptr);
    target->removeAllViewports();
    Ogre::TextureManager::getSingleton().remove(texture);
    camera->setAspectRatio(cameraAspect);
}

void FilmRecorder::drawingStarts()
{
    drawingStarted = steadySeconds();
    // A window resized meanwhile has given the camera its own proportions.
    camera->setAspectRatio(Ogre::Real(pixelsWide) / Ogre::Real(pixelsHigh));
}

bool FilmRecorder::saveFrame(std::string& why)
{
    const double read = steadySeconds();
    if (drawingStarted > 0.0)
        spent.drawing += read - drawingStarted;
    drawingStarted = 0.0;
    const Ogre::PixelBox box(pixelsWide, pixelsHigh, 1, Ogre::PF_BYTE_RGB, pixels.data());
    target->copyContentsToMemory(Ogre::Box(0, 0, pixelsWide, pixelsHigh), box);
    const double encode = steadySeconds();
    spent.readingBack += encode - read;
    std::string png;
    if (!encodePng(pixels.data(), pixelsWide, pixelsHigh, png))
    {
        why = "cannot encode the frame as PNG: out of memory";
        return false;
    }
    const double write = steadySeconds();
    spent.encoding += write - encode;

    // Written under a name of this process's own, then linked to the frame's
    // name, which never replaces a file: a frame is never seen half written.
    const std::string drawn = where + ".frame-" + std::to_string(::getpid()) + ".png";
    const std::string name = where + filmFrameName(saved + 1);
    std::ofstream(drawn, std::ios::binary | std::ios::trunc) << png;
    const bool whole = statusOf(drawn).size == (long long)png.size();
    const LinkResult linked = whole ? linkWithoutReplacing(drawn, name, why) : LinkResult::Failed;
    removeFile(drawn);
    spent.writing += steadySeconds() - write;
    if (linked == LinkResult::Linked)
    {
        ++saved;
        return true;
    }
    if (!whole)
        why = "cannot write " + drawn + " (is the disk full?)";
    else if (linked == LinkResult::NameTaken)
        why = name + " exists: a film never replaces a file";
    else
        why = "cannot write " + name + ": " + why;
    return false;
}
