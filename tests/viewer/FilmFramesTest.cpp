// A film's frames on the disk: what is written is what is read back, a
// file is never replaced, and a failing output is a reason, not a crash.

#include "config/Files.h"
#include "viewer/FilmFrames.h"
#include "viewer/InputFrames.h"

#include <new>
#include <stdexcept>
#include <vector>

#include <png.h>
#include <unistd.h>

namespace
{
// Width x height RGB bytes, each different from its neighbours and from
// another seed's: a row, a column or a channel out of place shows.
std::vector<unsigned char> pattern(unsigned width, unsigned height, unsigned seed)
{
    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = (unsigned char)((i * 37 + i / (std::size_t(width) * 3) * 11 + seed * 101) % 256);
    return rgb;
}

struct Decoded { unsigned width = 0, height = 0; std::vector<unsigned char> rgb; };

// The file decoded by the image library's own reader, independent of the
// writer's encoding calls.
Decoded decodePng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Decoded decoded;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
    {
        ADD_FAILURE() << path << ": " << image.message;
        return decoded;
    }
    image.format = PNG_FORMAT_RGB;
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr))
        ADD_FAILURE() << path << ": " << image.message;
    decoded.width = image.width;
    decoded.height = image.height;
    return decoded;
}

struct SizeRow { const char* name; unsigned width, height; };
class FilmFramesSizeTest : public ::testing::TestWithParam<SizeRow> {};

TEST_P(FilmFramesSizeTest, TwoFramesWrittenAreReadBackPixelForPixelUnderTheirNumbers)
{
    const SizeRow& row = GetParam();
    const TestFolder folder;
    FrameWriter writer(folder.path);
    const std::vector<unsigned char> first = pattern(row.width, row.height, 1);
    const std::vector<unsigned char> second = pattern(row.width, row.height, 2);
    for (const std::vector<unsigned char>* frame : {&first, &second})
    {
        ASSERT_EQ("", writer.encode(frame->data(), row.width, row.height).why());
        ASSERT_EQ("", writer.writeNext().why());
    }
    EXPECT_EQ(2, writer.written());

    const Decoded one = decodePng(folder.path + "frame_000001.png");
    EXPECT_TRUE(one.width == row.width && one.height == row.height) << one.width << "x" << one.height;
    EXPECT_EQ(first, one.rgb);
    EXPECT_EQ(second, decodePng(folder.path + "frame_000002.png").rgb);
    // Nothing else is left behind: no file half written, no second name.
    EXPECT_EQ(2u, filesIn(folder.path).size());
}

// One pixel; rows of an odd number of bytes; rows longer than the
// library's output buffer (8 KiB).
constexpr SizeRow sizeRows[] = {{"OnePixel", 1, 1}, {"OddRows", 37, 19}, {"WideAndLow", 4099, 3}};
INSTANTIATE_TEST_SUITE_P(FilmFrames, FilmFramesSizeTest, ::testing::ValuesIn(sizeRows), RowName());

TEST(FilmFramesTest, AFileLeftUnderTheWritersOwnNameIsNotWrittenThrough)
{
    // A process of the same number stopped between linking a frame and
    // removing its own name: that name is the frame's second name.
    const TestFolder folder;
    const std::string frame = folder.path + "frame_000001.png";
    ASSERT_EQ("", writeNewFile(frame, "an older film's frame").why());
    const std::string left = folder.path + ".frame-" + std::to_string(::getpid()) + ".png";
    ASSERT_EQ(0, ::link(frame.c_str(), left.c_str()));

    const std::vector<unsigned char> rgb = pattern(4, 4, 3);
    FrameWriter writer(folder.path);
    ASSERT_TRUE(writer.encode(rgb.data(), 4, 4).ok());
    const Result<> written = writer.writeNext();
    EXPECT_EQ(frame + " exists: a film never replaces a file", written.why());
    EXPECT_EQ(0, writer.written());
    EXPECT_EQ("an older film's frame", readWholeFile(frame).value());
}

TEST(FilmFramesTest, NothingIsWrittenWhenTheFrameCouldNotBeEncoded)
{
    const TestFolder folder;
    const unsigned char pixel[3] = {1, 2, 3};
    FrameWriter writer(folder.path);
    EXPECT_FALSE(writer.writeNext().ok());
    // The image library refuses an image without width.
    const Result<> encoded = writer.encode(pixel, 0, 1);
    EXPECT_EQ("cannot encode the frame as PNG: Invalid IHDR data", encoded.why());
    EXPECT_FALSE(writer.writeNext().ok());
    EXPECT_TRUE(filesIn(folder.path).empty());
}

// How the output fails, and on which of the library's writes (1 is the
// file's signature; 0 the last, its end chunk). Thrown: 0 std::bad_alloc, 1 std::runtime_error, 2 an int.
struct SinkFailureRow { const char* name; int failingWrite, thrown; const char* why; };
class FilmFramesSinkTest : public ::testing::TestWithParam<SinkFailureRow> {};

TEST_P(FilmFramesSinkTest, AThrowingOutputIsAFailureWithItsReason)
{
    const SinkFailureRow& row = GetParam();
    const std::vector<unsigned char> rgb = pattern(64, 48, 4);
    int writes = 0;
    const PngSink counting = [&writes](const unsigned char*, std::size_t) { ++writes; };
    ASSERT_TRUE(encodePng(rgb.data(), 64, 48, counting).ok());
    ASSERT_GT(writes, 3);
    const int failing = row.failingWrite > 0 ? row.failingWrite : writes;

    int write = 0;
    const PngSink throwing = [&](const unsigned char*, std::size_t) {
        if (++write < failing)
            return;
        if (row.thrown == 0)
            throw std::bad_alloc();
        if (row.thrown == 1)
            throw std::runtime_error("the disk went away");
        throw 7;
    };
    const Result<> encoded = encodePng(rgb.data(), 64, 48, throwing);
    EXPECT_EQ(std::string("cannot encode the frame as PNG: ") + row.why, encoded.why());
    EXPECT_EQ(failing, write);   // the library stopped at once

    // Nothing of the failed encoding lingers.
    std::string png;
    const Result<> again = encodePng(rgb.data(), 64, 48, [&png](const unsigned char* bytes, std::size_t size) {
        png.append(reinterpret_cast<const char*>(bytes), size);
    });
    EXPECT_TRUE(again.ok()) << again.why();
    EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), png.substr(0, 8));
}

constexpr SinkFailureRow sinkRows[] = {
    {"OutOfMemoryAtTheSignature", 1, 0, "out of memory"}, {"OutOfMemoryAtTheEnd", 0, 0, "out of memory"},
    {"AnErrorOfTheOutput", 4, 1, "the disk went away"}, {"SomethingNotAnException", 1, 2, "the output failed"}};
INSTANTIATE_TEST_SUITE_P(FilmFrames, FilmFramesSinkTest, ::testing::ValuesIn(sinkRows), RowName());

TEST(FilmFolderTest, EachFilmGetsTheFirstFreeNumberAndAFolderThatCannotBeIsAReason)
{
    const TestFolder folder;
    const std::string parent = folder.path + "shots/";
    const Result<std::string> first = makeFilmFolder(parent);
    ASSERT_TRUE(first.ok()) << first.why();
    EXPECT_EQ(parent + "film_1/", *first);
    EXPECT_TRUE(isFolder(*first));
    ASSERT_EQ("", writeNewFile(parent + "film_2", "").why());   // a file in the way
    const Result<std::string> next = makeFilmFolder(parent);
    ASSERT_TRUE(next.ok()) << next.why();
    EXPECT_EQ(parent + "film_3/", *next);

    const Result<std::string> underAFile = makeFilmFolder(parent + "film_2/inside/");
    EXPECT_NE(std::string::npos, underAFile.why().find("film_2/")) << underAFile.why();
}
}
