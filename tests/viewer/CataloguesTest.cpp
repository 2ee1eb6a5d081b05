// Catalogues read on the worker thread and handed to the frames at one
// place, judged by what the frames show: the status line says how far the
// reading has come while frames go on, the bodies appear all at once, a
// second reading after the file changed replaces the first, and a file that
// cannot be read changes nothing.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "config/ConfigFileReading.h"
#include "config/Files.h"
#include "config/SystemJudge.h"
#include "scene/CatalogueDots.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "viewer/Catalogues.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
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

class CataloguesTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        // Short names, so that the status line says them on one line.
        std::string folder = ::testing::TempDir() + "catalogues-XXXXXX";
        ASSERT_TRUE(::mkdtemp(folder.data()));
        temporary = folder + "/";
        SystemVerdict verdict = judgeSystemText(
            "1.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"), meshExists);
        ASSERT_TRUE(verdict.sound());
        bodyRegistry.swapBodies(*verdict.bodies);
        camera = makeStartCamera();
        buildOrbitalScene(sceneManager, camera->getRealPosition());
        viewer = std::make_unique<OrbitViewer>(camera, sceneManager, nullptr, nullptr, status, 100.0f);
        viewer->startClock(8766.0, 86400.0);
    }

    void TearDown() override
    {
        viewer.reset();
        for (const std::string& file : made)
            ::unlink(file.c_str());
        ::rmdir(temporary.c_str());
        HeadlessEngine::TearDown();
    }

    std::string write(const std::string& name, const std::string& text)
    {
        made.push_back(temporary + name);
        std::ofstream(made.back(), std::ios::binary) << text;
        return made.back();
    }

    // Runs frames of a tenth of a second until `done` holds, for at most 30
    // seconds of the test's own time; false when it never held. Every
    // status line said meanwhile is kept.
    bool framesUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            const std::string before = status;
            EXPECT_TRUE(viewer->runFrame(frame(0.1f)));
            ++frames;
            if (status != before)
                said.push_back(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
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

    Ogre::Camera* camera = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
    std::vector<std::string> said;
    long frames = 0;
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
    const long framesHalfway = frames;
    release = true;
    const bool shown = framesUntil([&] { return dots() > 0; });
    writer.join();
    ASSERT_TRUE(shown) << status;
    // All at once, in one hand-over.
    EXPECT_EQ(40000u, dots());
    EXPECT_EQ(40000u, shownBodies());
    EXPECT_EQ("MPCORB.DAT: 40,000 asteroids shown", status);
    EXPECT_GT(frames, framesHalfway);
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

TEST(CatalogueStartTest, AFileTheViewerCannotShowAtAllIsRefusedAtTheStart)
{
    EXPECT_TRUE(catalogueReadable(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/mpcorb.txt").ok());
    EXPECT_TRUE(catalogueReadable(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/comets.txt.gz").ok());
    const Result<> missing = catalogueReadable("/nonexistent/MPCORB.DAT");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(std::string::npos, missing.why().find("cannot be opened")) << missing.why();
    const Result<> system = catalogueReadable(std::string(ORVTEST_DATA_DIR) + "/1.cfg");
    ASSERT_FALSE(system.ok());
    EXPECT_NE(std::string::npos, system.why().find("1.cfg")) << system.why();
}

TEST(CountTextTest, CountsAreWrittenInThousands)
{
    EXPECT_EQ("0", countText(0));
    EXPECT_EQ("999", countText(999));
    EXPECT_EQ("1,000", countText(1000));
    EXPECT_EQ("1,450,000", countText(1450000));
}
}
