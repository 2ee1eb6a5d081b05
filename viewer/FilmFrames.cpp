#include "viewer/FilmFrames.h"

#include "config/Files.h"

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <fstream>
#include <new>

#include <png.h>
#include <unistd.h>

namespace
{
// What the image library's callbacks know of one encoding: where its bytes
// go and, once something failed, why. It lives outside the function that
// calls setjmp: that function's locals changed before a longjmp would be
// indeterminate after it. A fixed buffer, as noting a failure must not
// allocate (it may be the memory that ran out).
struct PngOutput
{
    const PngSink* sink;
    char why[160];
};

// Keeps the first reason only: the library's "write error" after the
// sink's own would hide the cause.
void noteFailure(PngOutput& output, const char* why)
{
    if (!output.why[0])
        std::snprintf(output.why, sizeof output.why, "%s", why);
}

// The library's write callback. No exception may cross the library's C
// frames, so a failure is noted in the handler and reported with png_error
// after it, the exception gone by then: the longjmp back to encodeRows then
// passes no object with a destructor.
void handToSink(png_structp writer, png_bytep data, png_size_t size)
{
    PngOutput& output = *static_cast<PngOutput*>(png_get_io_ptr(writer));
    try
    {
        (*output.sink)(data, size);
        return;
    }
    catch (const std::bad_alloc&)
    {
        noteFailure(output, "out of memory");
    }
    catch (const std::exception& error)
    {
        noteFailure(output, error.what());
    }
    catch (...)
    {
        noteFailure(output, "the output failed");
    }
    png_error(writer, "write error");
}

void noFlush(png_structp)
{
}

// The library's error callback: instead of printing, notes the reason and
// returns to encodeRows's setjmp.
[[noreturn]] void jumpBack(png_structp writer, png_const_charp message)
{
    noteFailure(*static_cast<PngOutput*>(png_get_error_ptr(writer)), message);
    png_longjmp(writer, 1);
}

// From setjmp to the last library call only plain data lives here, so the
// longjmp back skips no destructor. A film has many frames: a low
// compression level with the Up filter takes a fifth of the time of the
// engine's own encoder, for files a third larger.
bool encodeRows(PngOutput* output, const unsigned char* rgb, unsigned width, unsigned height)
{
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, output, jumpBack, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!info)
    {
        png_destroy_write_struct(&writer, nullptr);
        noteFailure(*output, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(writer)))
    {
        png_destroy_write_struct(&writer, &info);
        return false;
    }
    png_set_write_fn(writer, output, handToSink, noFlush);
    png_set_IHDR(writer, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, 3);
    png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(writer, info);
    for (unsigned row = 0; row < height; ++row)
        png_write_row(writer, rgb + std::size_t(row) * width * 3);
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

Result<std::string> makeFilmFolder(const std::string& parent)
{
    if (!parent.empty())
        if (const Result<> made = makeFolders(parent); !made)
            return Failure{made.why()};
    for (long number = 1;; ++number)
    {
        const std::string folder = parent + "film_" + std::to_string(number) + "/";
        const Result<NameClaim> made = makeNewFolder(folder);
        if (!made)
            return Failure{made.why()};
        if (*made == NameClaim::Linked)
            return folder;
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

Result<> encodePng(const unsigned char* rgb, unsigned width, unsigned height, const PngSink& sink)
{
    PngOutput output{&sink, ""};
    if (!encodeRows(&output, rgb, width, height))
        return Failure{std::string("cannot encode the frame as PNG: ") +
                       (output.why[0] ? output.why : "the image library failed")};
    return {};
}

FrameWriter::FrameWriter(const std::string& folder) : where(folder)
{
}

Result<> FrameWriter::encode(const unsigned char* rgb, unsigned width, unsigned height)
{
    png.clear();
    Result<> made = encodePng(rgb, width, height, [this](const unsigned char* bytes, std::size_t size) {
        png.append(reinterpret_cast<const char*>(bytes), size);
    });
    encoded = made.ok();
    return made;
}

Result<> FrameWriter::writeNext()
{
    if (!encoded)
        return Failure{"no frame has been encoded to write"};
    // Written under a name of this process's own, then linked to the frame's
    // name, which never replaces a file: a frame is never seen half written.
    // A file left under that name (by a process of the same number stopped
    // between the two) may be a frame's second name: removed, not truncated.
    const std::string drawn = where + ".frame-" + std::to_string(::getpid()) + ".png";
    const std::string name = where + filmFrameName(saved + 1);
    removeFile(drawn);
    std::ofstream(drawn, std::ios::binary | std::ios::trunc) << png;
    if (statusOf(drawn).size != (long long)png.size())
    {
        removeFile(drawn);
        return Failure{"cannot write " + drawn + " (is the disk full?)"};
    }
    const Result<NameClaim> linked = linkWithoutReplacing(drawn, name);
    removeFile(drawn);
    if (!linked)
        return Failure{"cannot write " + name + ": " + linked.why()};
    if (*linked == NameClaim::NameTaken)
        return Failure{name + " exists: a film never replaces a file"};
    ++saved;
    return {};
}
