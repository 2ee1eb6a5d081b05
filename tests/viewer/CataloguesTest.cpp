// Catalogues read on the worker thread and handed to the frames at one
// place, judged by what the frames show.

#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/Files.h"
#include "scene/CatalogueDots.h"
#include "sim/BodyRegistry.h"
#include "viewer/Catalogues.h"
#include "viewer/InputFrames.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
// The MPCORB.DAT line of (7482) 1994 PC1 (tests/data/catalogue/README.md).
std::string publishedLine()
{
    std::ifstream stream(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/mpcorb.txt");
    std::string line;
    while (std::getline(stream, line))
        if (line.rfind("07482", 0) == 0)
            return line + "\n";
    ADD_FAILURE() << "no line of (7482) in mpcorb.txt";
    return "";
}

// An MPCORB of `count` copies of that line under the MPC's dashed line.
std::string mpcorbOf(std::size_t count)
{
    std::string text = "Des'n     H     G   Epoch\n" + std::string(160, '-') + "\n";
    const std::string line = publishedLine();
    for (std::size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

class CataloguesTest : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        // Short names, so that the status line says them on one line.
        std::string folder = ::testing::TempDir() + "catalogues-XXXXXX";
        ASSERT_TRUE(::mkdtemp(folder.data()));
        temporary = folder + "/";
        start(readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"));
        viewer->startClock(8766.0, 86400.0);
    }

    void TearDown() override
    {
        viewer.reset();
        for (const std::string& file : made)
            ::unlink(file.c_str());
        ::rmdir(temporary.c_str());
        ViewerFixture::TearDown();
    }

    std::string write(const std::string& name, const std::string& text)
    {
        made.push_back(temporary + name);
        std::ofstream(made.back(), std::ios::binary) << text;
        return made.back();
    }

    std::size_t shownBodies() const
    {
        const Catalogue* catalogue = viewer->catalogues().catalogue(0);
        return catalogue ? catalogue->bodies.size() : 0;
    }
    std::size_t dots() const
    {
        const CatalogueDots* drawn = viewer->catalogues().dots();
        return drawn ? drawn->dotCount() : 0;
    }

    std::string temporary;
    std::vector<std::string> made;
};

TEST_F(CataloguesTest, FramesGoOnAndSayTheProgressWhileTheWorkerReadsThenTheBodiesAppearAtOnce)
{
    // A pipe: the worker cannot read further than the test has written, so
    // the frames meet it halfway however fast the machine.
    const std::string pipe = temporary + "MPCORB.DAT";
    made.push_back(pipe);
    ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
    const int writeEnd = ::open(pipe.c_str(), O_RDWR);
    ASSERT_GE(writeEnd, 0);
    const std::string text = mpcorbOf(40000);
    const std::size_t half = text.size() / 2;
    std::atomic<bool> release{false};
    std::thread writer([&] {
        for (std::size_t at = 0; at < half;)
            at += std::size_t(std::max<ssize_t>(0, ::write(writeEnd, text.data() + at, half - at)));
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (std::size_t at = half; at < text.size();)
            at += std::size_t(std::max<ssize_t>(0, ::write(writeEnd, text.data() + at, text.size() - at)));
        ::close(writeEnd);
    });

    viewer->showCatalogues({pipe});
    EXPECT_TRUE(viewer->clockShown());
    // Halfway: the status line counts the bodies read, and none is shown yet.
    const bool progressed = framesUntil([&] {
        return status.rfind("Reading ", 0) == 0 && status.find(" 0 bodies") == std::string::npos;
    });
    EXPECT_TRUE(progressed) << status;
    EXPECT_EQ(std::string::npos, status.find("40,000")) << status;
    EXPECT_EQ(0u, dots());
    EXPECT_EQ(0u, shownBodies());
    const long framesHalfway = framesRun;
    release = true;
    const bool shown = framesUntil([&] { return dots() > 0; });
    writer.join();
    ASSERT_TRUE(shown) << status;
    // All at once, in one hand-over.
    EXPECT_EQ(40000u, dots());
    EXPECT_EQ(40000u, shownBodies());
    EXPECT_EQ("MPCORB.DAT: 40,000 asteroids shown", status);
    EXPECT_GT(framesRun, framesHalfway);
}

TEST_F(CataloguesTest, AChangedFileIsReadAgainAndReplacesTheFirstAFileThatDoesNotReadChangesNothing)
{
    const std::string path = write("MPCORB.DAT", mpcorbOf(10));
    viewer->showCatalogues({path});
    ASSERT_TRUE(framesUntil([&] { return dots() == 10; })) << status;
    EXPECT_EQ("MPCORB.DAT: 10 asteroids shown", status);

    // A second reading after the file changed: the new bodies replace the old.
    std::ofstream(path, std::ios::binary | std::ios::app) << mpcorbOf(25).substr(mpcorbOf(0).size());
    ASSERT_TRUE(framesUntil([&] { return dots() == 35; })) << status;
    EXPECT_EQ(35u, shownBodies());
    EXPECT_EQ("MPCORB.DAT: 35 asteroids shown", status);

    // Saved as UTF-16: refused, and the 35 stay.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string("\xFF\xFE" "D\0e\0s\0", 8);
    ASSERT_TRUE(framesUntil([&] { return status.find("UTF-16") != std::string::npos; })) << status;
    EXPECT_EQ("MPCORB.DAT is UTF-16 (little-endian, with a byte-order\nmark) text; save it as UTF-8 or ASCII; the bodies shown\nstay",
              status);
    EXPECT_EQ(35u, dots());
    EXPECT_EQ(35u, shownBodies());

    // Gone: refused again, still the 35.
    ::unlink(path.c_str());
    ASSERT_TRUE(framesUntil([&] { return status.find("cannot be opened") != std::string::npos; })) << status;
    EXPECT_NE(std::string::npos, status.rfind("MPCORB.DAT cannot be opened", 0)) << status;
    EXPECT_EQ(35u, dots());
}

TEST_F(CataloguesTest, AFileNoLongerNamedGoesAndOneNamedAgainIsReadAnew)
{
    const std::string first = write("first.txt", mpcorbOf(3));
    const std::string second = write("second.txt", mpcorbOf(4));
    viewer->showCatalogues({first, second});
    ASSERT_TRUE(framesUntil([&] { return dots() == 7; })) << status;
    viewer->showCatalogues({second});
    EXPECT_EQ(4u, dots());
    EXPECT_EQ(4u, shownBodies());
    viewer->showCatalogues({});
    EXPECT_EQ(0u, dots());
    // Named again: read again, from the file as it is now.
    std::ofstream(first, std::ios::binary | std::ios::trunc) << mpcorbOf(5);
    viewer->showCatalogues({first});
    ASSERT_TRUE(framesUntil([&] { return dots() == 5; })) << status;
}

TEST(CountTextTest, CountsAreWrittenInThousands)
{
    EXPECT_EQ("0", countText(0));
    EXPECT_EQ("999", countText(999));
    EXPECT_EQ("1,000", countText(1000));
    EXPECT_EQ("1,450,000", countText(1450000));
}
}
