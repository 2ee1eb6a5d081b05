// The orbit viewer's frames on the real engine without a window.

#include "config/Files.h"
#include "scene/SkyBackground.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SkyToWorld.h"
#include "viewer/FileWatch.h"
#include "viewer/FreedPages.h"
#include "viewer/HelpOverlay.h"
#include "viewer/InfoPanel.h"
#include "viewer/InputFrames.h"
#include "viewer/StatusText.h"

#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using ViewerTest = ViewerFixture;

// A planet of size 10 going one degree a frame round the sun at 1000.
const std::string planet1000 = withValue(
    withValue(withValue(bodySection("Planet"), "OrbitRadius", "1000"), "Size", "10"), "OrbitPeriod", "0.016666667");

TEST_F(ViewerTest, FramesFlyTheCameraJumpToTheMovingBodySwitchTheViewAndTimeRatesAndPauseMoveTheBodies)
{
    start(planet1000);
    const Body& body = bodyRegistry.at(0);
    run(frame(0.0f));
    // A quarter turn to the right, then a second of W at 100 units a second: the camera now faces -X.
    run(frame(0.0f, {}, 0, 692));
    run(frame(0.1f, {OIS::KC_W}), 10);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(-100, 0, -14500), cameraNode->getPosition(), 1.0f));
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), sceneManager->getSceneNode("StarField")->getPosition()));

    // A click: the body turns by its step first, then the camera stands 5 sizes in front of it.
    run(frame(0.1f, {}, leftButton));
    EXPECT_EQ("Planet", status);
    const Ogre::Vector3 centre = bodyCentre(body);
    EXPECT_NEAR(11.0, degreesBetween(Ogre::Quaternion::IDENTITY, body.orbitNode->getOrientation()), 1e-3);
    EXPECT_TRUE(vectorsNear(centre + Ogre::Vector3(0, 0, -50), camera->getDerivedPosition(), 1e-2f));
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), sceneManager->getSceneNode("StarField")->getPosition()));
    run(frame(0.1f));
    EXPECT_FALSE(bodyCentre(body).positionEquals(centre, 1.0f));   // it does not follow
    // The e2e picture's bright count drops after a jump whether or not R took.
    run(frame(0.25f, {OIS::KC_R}));
    EXPECT_EQ(Ogre::PM_WIREFRAME, camera->getPolygonMode());

    // Three doublings, then a pause: frames go on, the planet stays.
    for (OIS::KeyCode key : {OIS::KC_RBRACKET, OIS::KC_RBRACKET, OIS::KC_RBRACKET, OIS::KC_SPACE})
        run(tap(0.25f, key));
    const Ogre::Quaternion pausedAt = body.orbitNode->getOrientation();
    run(frame(0.1f, {OIS::KC_W}), 10);
    EXPECT_TRUE(turnsNear(pausedAt, body.orbitNode->getOrientation(), 0.0));
    run(tap(0.25f, OIS::KC_SPACE));
    run(frame(0.1f));
    EXPECT_NEAR(8.0, degreesBetween(pausedAt, body.orbitNode->getOrientation()), 1e-3);

    // With steps a second of real time, a second moves it as far at any frame rate.
    ASSERT_TRUE(viewer->reloadSettingsFrom("o.cfg", "[Performance]\nStepsPerSecond=60\n"));
    run(tap(0.25f, OIS::KC_BACK));
    for (int frames : {30, 300})
    {
        const Ogre::Quaternion before = body.orbitNode->getOrientation();
        run(frame(1.0f / float(frames)), frames);
        EXPECT_NEAR(60.0, degreesBetween(before, body.orbitNode->getOrientation()), 1e-2) << frames;
    }
}

TEST_F(ViewerTest, AJumpToADatedBodyArrivesOnItsSunlitSideTheSameWayUpUnderTheRealSky)
{
    // Out of the ecliptic, so that "towards the north" is not the Sun's way.
    start(bodySection("Planet", "Sun", "OrbitDays=400\nInclination=40\nAscendingNode=10\nMeanAnomaly=70\n") +
          bodySection("Planet.Moon", "Planet", "OrbitDays=3\nMeanAnomaly=200\n"));
    viewer->startClock(1234.5, 86400.0);
    for (int jump = 0; jump < 2; ++jump)
    {
        run(frame(0.3f, {}, leftButton));
        const Body& body = bodyRegistry.at(std::size_t(viewer->controls().focusIndex()));
        const Ogre::Vector3 centre = bodyCentre(body);
        const Ogre::Vector3 toCamera = cameraNode->getPosition() - centre;
        const Ogre::Vector3 sunward = -centre.normalisedCopy();
        EXPECT_NEAR(45.0f, toCamera.angleBetween(sunward).valueDegrees(), 15.0f) << body.sectionName;
        EXPECT_NEAR(5.0f * body.definition.Size, toCamera.length(), 1e-2f);
        // Turned towards the ecliptic's north, not its south or sideways: the
        // part of the way to the camera across the sun's line points north.
        const Ogre::Vector3 north = Ogre::Vector3::UNIT_Y - sunward * sunward.y;
        EXPECT_GT(toCamera.dotProduct(north), 0.0f);
        EXPECT_TRUE(vectorsNear(-toCamera.normalisedCopy(), cameraNode->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z,
                                1e-4f));
    }

    const SkyBackground* sky = realSky(sceneManager);
    ASSERT_NE(nullptr, sky) << realSkyProblem();
    EXPECT_FALSE(sky->showsFigures());
    run(frame(0.25f, {OIS::KC_B}));
    EXPECT_TRUE(sky->showsFigures());
    SavedView kept = viewer->currentView("figures");
    EXPECT_TRUE(kept.Constellations && kept.MilkyWay);
    kept.Constellations = false;
    kept.MilkyWay = false;
    viewer->showView(kept);
    EXPECT_FALSE(sky->showsFigures() || sky->showsMilkyWay());

    // Bodies that do not follow the clock bring the random stars back, and B says there are no figures.
    ASSERT_TRUE(viewer->reloadSystemFrom("s.cfg", bodySection("Other")));
    EXPECT_EQ(nullptr, realSky(sceneManager));
    EXPECT_TRUE(sceneManager->hasBillboardSet("StarField"));
    run(frame(0.25f));
    run(frame(0.25f, {OIS::KC_B}));
    EXPECT_EQ("No constellations: no body follows the clock", status);
}

TEST_F(ViewerTest, InFilmTimeEachFrameIsAFramesTimeAndTheTimeKeysAndTheDatePromptDriveTheClock)
{
    start(planet1000 + withValue(bodySection("Dated", "Sun", "OrbitDays=10\nEccentricity=0.5\nInclination=20\n"),
                                     "OrbitPeriod", "0"));
    viewer->startClock(0.0, 3600.0);
    const Body& planet = bodyRegistry.at(1);
    const Body& dated = bodyRegistry.at(0);
    const Ogre::Quaternion before = planet.orbitNode->getOrientation();
    viewer->keepFilmTime(30.0);
    // Three thirtieths of a second, at 60 steps a second: six of the planet's degrees; flying, ten units.
    const Ogre::Vector3 from = cameraNode->getPosition();
    for (float took : {0.5f, 0.001f, 2.0f})
        run(frame(took, {OIS::KC_W}));
    EXPECT_NEAR(6.0, degreesBetween(before, planet.orbitNode->getOrientation()), 1e-3);
    EXPECT_TRUE(vectorsNear(from + Ogre::Vector3(0, 0, 10), cameraNode->getPosition(), 1e-3f));
    EXPECT_NEAR(0.1 * 3600.0 / 86400.0, viewer->clock().days(), 1e-12);
    // Out of film time, a frame is its own time again, and a step a frame: an hour of sky at an hour a second.
    viewer->keepFilmTime(0.0);
    run(frame(2.0f));
    EXPECT_NEAR(7.0, degreesBetween(before, planet.orbitNode->getOrientation()), 1e-3);
    EXPECT_NEAR(2.1 * 3600.0 / 86400.0, viewer->clock().days(), 1e-12);
    const auto onOrbit = [&] {
        return vectorsNear(worldFromEcliptic(dated.keplerOrbit->placeAt(viewer->clock().dynamicalDays()) * 100.0),
                           bodyCentre(dated), 1e-3f);
    };
    EXPECT_TRUE(onOrbit());

    const auto oneSecond = [&] {
        const double start = viewer->clock().days();
        run(frame(1.0f));
        return (viewer->clock().days() - start) * 86400.0;
    };
    run(tap(0.0f, OIS::KC_RBRACKET));
    EXPECT_NEAR(21600.0, oneSecond(), 1e-6);
    EXPECT_EQ("Time 6 h/s", status);
    run(tap(0.0f, OIS::KC_J));
    EXPECT_NEAR(-21600.0, oneSecond(), 1e-6);
    run(tap(0.0f, OIS::KC_BACK));
    EXPECT_NEAR(3600.0, oneSecond(), 1e-6);
    run(tap(0.0f, OIS::KC_SPACE));
    EXPECT_EQ(0.0, oneSecond());

    // The date prompt: a date moves every dated body there; one that no
    // calendar has says why and leaves the clock.
    enter("1986-02-09T11:00", OIS::KC_T);
    EXPECT_NEAR(-5074.041667, viewer->clock().days(), 1e-6);
    EXPECT_EQ("Date: 1986-02-09 11:00 UTC", status);
    EXPECT_TRUE(onOrbit());
    enter("1986-02-30", OIS::KC_T);
    EXPECT_NEAR(-5074.041667, viewer->clock().days(), 1e-6);
    EXPECT_NE(std::string::npos, status.find("'1986-02-30' is no date")) << status;
}

TEST_F(ViewerTest, FollowingKeepsTheOffsetKKeepsTheViewAndItsNumberFliesBackToItInASecond)
{
    start(planet1000);
    const Body& planet = bodyRegistry.at(0);
    const std::string file = writeTempFile("views.cfg", "");
    viewer->keepViewsIn(file);
    run(frame(0.25f, {}, leftButton));
    run(tap(0.25f, OIS::KC_L));
    EXPECT_EQ("Following Planet", status);
    // Looking away and flying a little: the offset that results is kept.
    run(frame(0.5f, {OIS::KC_S}, 0, 40, 0));
    const Ogre::Vector3 followed = cameraNode->getPosition() - bodyCentre(planet);
    const Ogre::Quaternion turned = cameraNode->getOrientation();
    run(frame(0.1f), 90);
    EXPECT_GT(bodyCentre(planet).x, 900.0f);   // a quarter of the way round the sun
    EXPECT_TRUE(vectorsNear(followed, cameraNode->getPosition() - bodyCentre(planet), 1e-2f));
    EXPECT_TRUE(turnsNear(turned, cameraNode->getOrientation(), 0.0));

    enter("near", OIS::KC_K);
    const std::string kept = fitStatusText("Kept view 'near' in " + baseNameOf(file) + ": 1 comes back to it");
    EXPECT_EQ(kept, status);
    enter("near", OIS::KC_K);
    EXPECT_EQ(fitStatusText("A view 'near' is kept already: Return replaces it, Escape keeps it"), status);
    run(tap(0.01f, OIS::KC_RETURN));
    EXPECT_EQ(kept, status);

    // Away, not following, the planet moving on: 1 flies back beside it in a second, and follows it on.
    run(tap(0.25f, OIS::KC_L));
    run(frame(0.25f, {OIS::KC_S}, 0, 300), 4);
    run(tap(0.25f, OIS::KC_1));
    EXPECT_EQ("View 'near'", status);
    EXPECT_FALSE(vectorsNear(bodyCentre(planet) + followed, cameraNode->getPosition(), 1.0f));
    run(frame(0.25f), 3);
    EXPECT_TRUE(vectorsNear(bodyCentre(planet) + followed, cameraNode->getPosition(), 1e-2f));
    EXPECT_TRUE(turnsNear(turned, cameraNode->getOrientation(), 1e-3));
    run(frame(0.25f));
    EXPECT_TRUE(vectorsNear(bodyCentre(planet) + followed, cameraNode->getPosition(), 1e-2f));

    run(tap(0.25f, OIS::KC_2));
    EXPECT_EQ(fitStatusText("No view 2: " + baseNameOf(file) + " keeps 1 view"), status);

    // Read again without the planet: the camera stays, and L has nothing to follow.
    ASSERT_TRUE(viewer->reloadSystemFrom("s.cfg", bodySection("Other")));
    EXPECT_EQ("Reloaded s.cfg: 1 body; the body followed is gone", status);
    const Ogre::Vector3 stayed = cameraNode->getPosition();
    run(frame(0.1f));
    EXPECT_TRUE(vectorsNear(stayed, cameraNode->getPosition()));
    run(tap(0.3f, OIS::KC_L));
    EXPECT_EQ("Jump to a body first, then L follows it", status);
    // A view whose body is gone brings the camera back alone.
    writeTempFile("views.cfg", "[gone]\nPosition=1 2 3\nDirection=0 0 1\nFocus=Vulcan\nFollow=1\n");
    run(tap(0.25f, OIS::KC_1));
    EXPECT_EQ(fitStatusText("View 'gone': its body Vulcan is gone, so the camera alone comes back"), status);
    run(frame(0.25f), 4);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(1, 2, 3), cameraNode->getPosition()));
    EXPECT_FALSE(viewer->controls().following());
}

TEST_F(ViewerTest, TheInfoPanelsFactsAreRoundedAsAPersonReadsThemWithTheirUnits)
{
    const std::pair<double, const char*> numbers[] = {
        {12345.0, "12,300"}, {4332.8, "4,330"}, {-1234567.0, "-1,230,000"}, {420.0, "420"},
        {9.934, "9.93"},     {0.0484, "0.0484"}, {0.0, "0"},               {0.00123, "0.0012"}};
    for (const auto& [value, text] : numbers)
        EXPECT_EQ(text, readableNumber(value)) << value;
    EXPECT_EQ("20 min", readableDuration(1200.0));
    EXPECT_EQ("4.17 days", readableDuration(360000.0));

    const std::string planet = "OrbitDays=4332.8\nEccentricity=0.048\nInclination=1.3\nRotationHours=-9.93\n";
    start(withValue(withValue(bodySection("5.Planet", "Sun", planet), "Size", "420"), "OrbitPeriod", "0") +
          withValue(bodySection("5.Planet.Moon", "5.Planet"), "OrbitPeriod", "3.3333") +
          // A circle tilted 30 degrees, at the top of its orbit at the epoch:
          // 90 degrees past its node, 30 degrees above the ecliptic.
          withValue(bodySection("6.Tilted", "Sun", "OrbitDays=100\nInclination=30\nAscendingNode=40\nPeriapsis=90\n"),
                    "OrbitPeriod", "0"));
    std::vector<std::string> lines;
    for (const auto& body : bodyRegistry)
        for (const Fact& fact : bodyFacts(bodyRegistry, *body, Ogre::Vector3::ZERO, 0.0))
            lines.push_back(fact.first + ": " + fact.second);
    for (const char* expected : {"5.Planet: [5.Planet]", "orbits: Sun", "radius: 420 units", "orbit period: 4,330 days",
                                 "eccentricity: 0.048", "inclination: 1.3\xC2\xB0", "spin period: 9.93 hours, backwards",
                                 "5.Planet.Moon: [5.Planet.Moon]", "orbits: 5.Planet", "from 5.Planet: 100 units",
                                 "orbit period: 20 min (60 frames/s)", "ecliptic long.: 130.0\xC2\xB0",
                                 "ecliptic lat.: 30.0\xC2\xB0"})
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), expected)) << expected;
}

TEST(HelpOverlayTest, TheHelpFitsTheWindowAtEveryScale)
{
    // DejaVu Sans at 16 pixels averages under 9 pixels a character.
    HelpColumns columns;
    for (const auto& line : helpLines())
    {
        columns.inputs = std::max(columns.inputs, 9.0f * float(line.first.size()));
        columns.descriptions = std::max(columns.descriptions, 9.0f * float(line.second.size()));
    }
    // factor: 0 where the help must shrink to fit, and stay readable.
    const struct { float scale, width, height, factor; } rows[] = {
        {1, 800, 600, 0}, {1, 1920, 1080, 1}, {2, 3840, 2160, 2}, {2, 800, 600, 0}, {1.5f, 1280, 720, 0}};
    for (const auto& row : rows)
    {
        const HelpSize size = helpSize(helpLines().size(), columns, row.scale, row.width, row.height);
        EXPECT_TRUE(size.width <= row.width && size.height <= row.height &&
                    (row.factor > 0 ? size.factor == row.factor : size.charHeight > 10.0f))
            << row.width << "x" << row.height << " at " << row.scale << ": " << size.factor << ", " << size.charHeight;
    }
}

TEST_F(ViewerTest, ASoundFileReplacesEveryBodyAtTheRateInForceAndKeepsTheFocusAFileWithAnErrorChangesNothing)
{
    start(bodySection("A") + bodySection("A.Moon", "A") + bodySection("B"));
    run(frame(0.3f, {}, leftButton), 2);   // to B
    run(tap(0.3f, OIS::KC_O));             // orbit lines
    for (int n = 0; n < 3; ++n)
        run(tap(0.3f, OIS::KC_RBRACKET));
    ASSERT_EQ(2, viewer->controls().focusIndex());
    const std::size_t rootChildren = sceneManager->getRootSceneNode()->numChildren();

    ASSERT_TRUE(viewer->reloadSystemFrom("s.cfg", withValue(bodySection("B"), "OrbitRadius", "500") + bodySection("C")));
    EXPECT_EQ("Reloaded s.cfg: 2 bodies", status);
    for (const char* gone : {"A.Orbit", "A.Position", "A.Near", "A.Far", "A.Moon.Orbit", "A.Moon.Near"})
        EXPECT_FALSE(sceneManager->hasSceneNode(gone)) << gone;
    EXPECT_FALSE(sceneManager->hasEntity("A.Near"));
    EXPECT_TRUE(sceneManager->hasEntity("C.Near"));
    EXPECT_TRUE(sceneManager->hasManualObject("OrbitLines/Sun"));
    EXPECT_EQ(rootChildren, sceneManager->getRootSceneNode()->numChildren());
    EXPECT_EQ(0, viewer->controls().focusIndex());   // B, at its new index
    EXPECT_TRUE(viewer->controls().hasFocus());
    // The new bodies go at ×8 from their first frame, as the status line says.
    EXPECT_EQ(8.0, viewer->controls().timeRate());
    const Body& c = bodyRegistry.at(1);
    run(frame(0.1f));
    EXPECT_NEAR(8.0 / 60.0, degreesBetween(Ogre::Quaternion::IDENTITY, c.orbitNode->getOrientation()), 1e-4);

    // A body the engine cannot build leaves the old ones as they were.
    BodyRegistry unbuildable;
    BodyDefinition teapot = bodyDefinition("Sun", "Teapot");
    teapot.Model = "Teapot";
    unbuildable.add(new Body("D", teapot));
    const Result<> replaced = viewer->replaceBodies(unbuildable);
    EXPECT_NE(std::string::npos, replaced.why().find("Teapot"));
    EXPECT_TRUE(sceneManager->hasEntity("C.Near"));
    EXPECT_FALSE(sceneManager->hasSceneNode("D.Orbit"));

    const Ogre::ColourValue diffuse = sceneManager->getLight("SunLight")->getDiffuseColour();
    // The engine could not take this range: the lights stay as they are.
    EXPECT_FALSE(viewer->reloadSettingsFrom("o.cfg", "[Light]\nDiffuseLight=1 0 0\nRange=-1\n"));
    EXPECT_EQ(fitStatusText("o.cfg:3: Range -1 is not from 0 to 1e+18: the engine cannot shadow a light of that range, "
                            "and the viewer does not start with it (not reloaded)"), status);
    EXPECT_EQ(diffuse, sceneManager->getLight("SunLight")->getDiffuseColour());
    EXPECT_TRUE(viewer->reloadSettingsFrom("o.cfg", "[Light]\nDiffuseLight=1 0 0\n"));
    EXPECT_EQ(Ogre::ColourValue(1, 0, 0), sceneManager->getLight("SunLight")->getDiffuseColour());

    // Both files at once, as F5 reads them: the refusal first, then what was
    // taken; the status line names a file without its folder.
    const TestFolder folder;
    std::ofstream(folder.path + "s.cfg") << bodySection("B", "Nowhere");
    std::ofstream(folder.path + "o.cfg") << "[Performance]\nMeshLod=1\n";
    viewer->watchFiles(folder.path + "s.cfg", folder.path + "o.cfg");
    for (int n = 0; n < 20 && status.find("Nowhere") == std::string::npos; ++n)
        run(tap(0.1f, OIS::KC_F5));
    EXPECT_EQ(0u, status.find("s.cfg:3: Parent 'Nowhere' names no body")) << status;
    EXPECT_NE(std::string::npos, status.find("MeshLod takes effect at the next start")) << status;
    EXPECT_TRUE(sceneManager->hasEntity("C.Near"));
}

TEST(FileWatchTest, AFileIsReadOnlyOnceItsWriterHasClosedItAndItHasStoodStill)
{
    const std::string path = writeTempFile("watched.cfg", "one");
    FileWatch watch(path, 0.1f, 0.3f);
    auto dueWithin = [&](float seconds) {
        for (float spent = 0; spent < seconds; spent += 0.1f)
            if (watch.poll(0.1f))
                return true;
        return false;
    };
    // What the watch gives once due: the text, or why it could not be read.
    const auto takeDue = [&]() -> std::string {
        if (!dueWithin(1.0f))
            return "not due";
        const std::optional<Result<std::string>> taken = watch.take();
        return !taken ? "nothing taken" : *taken ? **taken : "unreadable: " + taken->why();
    };
    EXPECT_FALSE(dueWithin(1.0f));   // unchanged
    // A writer that pauses between two parts while it holds the file open.
    {
        std::ofstream writer(path, std::ios::trunc);
        writer << "[First]\n" << std::flush;
        EXPECT_FALSE(dueWithin(2.0f));
        writer << "[Second]\n";
    }
    EXPECT_EQ("[First]\n[Second]\n", takeDue());
    EXPECT_FALSE(dueWithin(1.0f));   // taken: not due again until it changes or is asked for
    watch.request();
    EXPECT_TRUE(dueWithin(0.1f));
    // Written over and over: never due while the writes go on.
    for (int n = 0; n < 10; ++n)
    {
        std::ofstream(path) << "version " << n;
        EXPECT_FALSE(watch.poll(0.1f)) << n;
    }
    EXPECT_EQ("version 9", takeDue());
    // Deleted, then a folder in its place: due, and unreadable, once each.
    ::unlink(path.c_str());
    const std::string deleted = takeDue();
    EXPECT_EQ(0u, deleted.find("unreadable: Cannot open file")) << deleted;
    ASSERT_EQ(0, ::mkdir(path.c_str(), 0700));
    const std::string folder = takeDue();
    EXPECT_NE(std::string::npos, folder.find("not a regular file")) << folder;
    ::rmdir(path.c_str());
}

TEST(FreedPagesTest, PagesFreedBetweenLiveBlocksGoBackToTheSystem)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in its own quarantine";
#endif
    // What a reload leaves: blocks freed between small ones that live on, so
    // that the heap cannot shrink from its top by itself. Their own pages
    // are counted, whatever else the process holds.
    constexpr std::size_t blockSize = 64 * 1024;   // below what the allocator maps on its own
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    std::vector<char*> freed, kept;
    for (int i = 0; i < 256; ++i)
    {
        freed.push_back(static_cast<char*>(std::malloc(blockSize)));
        for (std::size_t at = 0; at < blockSize; at += page)
            freed.back()[at] = 1;
        kept.push_back(static_cast<char*>(std::malloc(64)));
    }
    auto residentPages = [&] {
        std::size_t resident = 0;
        std::vector<unsigned char> pages(blockSize / page + 2);
        for (char* block : freed)
        {
            char* first = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(block) & ~(page - 1));
            if (::mincore(first, blockSize, pages.data()) == 0)
                for (std::size_t i = 0; i < blockSize / page; ++i)
                    resident += pages[i] & 1;
        }
        return resident;
    };
    for (char* block : freed)
        std::free(block);
    const std::size_t before = residentPages();
    returnFreedPages();
    const std::size_t after = residentPages();
    for (char* block : kept)
        std::free(block);
    EXPECT_LT(after, before / 4) << before << " pages before, " << after << " after";
}

// A film through two kept views starts as the first shows and ends as the
// last shows, whether the views follow a body, and whatever their dates: a
// dated view always shows its date, and the camera never takes a followed
// body's motion on top of the path's.
struct PathRow { const char* name; bool firstDated, lastDated, follow; };

const PathRow pathRows[] = {{"FollowedViewsYearsApart", true, true, true}, {"ViewsYearsApart", true, true, false},
                            {"FromADatedViewOn", true, false, true}, {"ToADatedView", false, true, true}};

class FilmPathTest : public ViewerTest, public ::testing::WithParamInterface<PathRow>
{
protected:
    // The view as K keeps it with the clock at `days`: the camera 50 units
    // from the planet, on the side `side` says.
    SavedView keptAt(const char* name, double days, const Ogre::Vector3& side, bool dated, double fieldOfView)
    {
        viewer->startClock(days, 86400.0);
        const Ogre::Vector3 planet = bodyCentre(bodyRegistry.at(0));
        cameraNode->setPosition(planet + side);
        cameraNode->lookAt(planet, Ogre::Node::TS_WORLD);
        SavedView view = viewer->currentView(name);
        view.Focus = GetParam().follow ? bodyRegistry.at(0).sectionName : "";
        view.Follow = GetParam().follow;
        view.Offset = side;
        view.dated = dated;
        view.Date.days = days;
        view.FieldOfView = fieldOfView;
        return view;
    }

    // The frames of the film, as the listener runs them; the camera after
    // the first and after the last, and the clock's dates then.
    struct Ends { double firstDate = 0.0, lastDate = 0.0; Ogre::Vector3 first, last; };
    Ends film(const std::vector<SavedView>& views, long frames)
    {
        Ends ends;
        const double rate = 30.0;
        viewer->keepFilmTime(rate);
        viewer->showView(views.front());
        const FilmPath path(views, frames, rate, viewer->controls().clockStartSpeed());
        for (long n = 0; n < frames; ++n)
        {
            const float dt = n == 0 ? 0.0f : float(1.0 / rate);
            viewer->runBodySteps(0.0f);
            viewer->showPathFrame(path, n, dt);
            EXPECT_TRUE(viewer->handleInput(frame(dt)));
            if (n == 0)
                ends = {viewer->clock().days(), 0.0, cameraNode->getPosition(), {}};
        }
        ends.last = cameraNode->getPosition();
        ends.lastDate = viewer->clock().days();
        viewer->keepFilmTime(0.0);
        return ends;
    }
};

TEST_P(FilmPathTest, TheFirstFrameIsTheFirstViewAndTheLastTheLast)
{
    const PathRow& row = GetParam();
    start(bodySection("Planet", "Sun", "OrbitDays=400\nEccentricity=0.3\nInclination=10\n"));
    const double a = 0.0, b = 3 * 365.25 + 17.3;
    const SavedView from = keptAt("from", a, Ogre::Vector3(0, 0, -50), row.firstDated, 60.0);
    const SavedView to = keptAt("to", b, Ogre::Vector3(30, 5, 0), row.lastDated, 5.0);

    viewer->startClock(1000.0, 86400.0);   // where an undated view leaves the clock
    const Ends ends = film({from, to}, 40);
    EXPECT_TRUE(!row.firstDated || std::abs(a - ends.firstDate) < 1e-9) << ends.firstDate;
    EXPECT_TRUE(!row.lastDated || std::abs(b - ends.lastDate) < 1e-9) << ends.lastDate;

    // What --view shows of each, with the clock where the film had it.
    // The field of view eased from the first view's to the last's.
    EXPECT_NEAR(5.0, camera->getFOVy().valueDegrees(), 1e-4);
    viewer->startClock(ends.firstDate, 86400.0);
    viewer->showView(from);
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), ends.first, 0.05f));
    EXPECT_NEAR(60.0, camera->getFOVy().valueDegrees(), 1e-4);
    viewer->startClock(ends.lastDate, 86400.0);
    viewer->showView(to);
    EXPECT_TRUE(vectorsNear(cameraNode->getPosition(), ends.last, 0.05f));
}

INSTANTIATE_TEST_SUITE_P(Films, FilmPathTest, ::testing::ValuesIn(pathRows), RowName());

// picked: the Name expected, or "" for nothing.
struct PickRow { std::string name, system, picked; };

void PrintTo(const PickRow& row, std::ostream* out) { *out << row.name; }

// Seen from the start camera, at (0, 0, -14500) looking along +Z. Depths are
// along that line of sight, where it enters a body's sphere.
const PickRow pickRows[] = {
    // As reported: Draco (0, 0, -5000) covers the centre in front of the sun,
    // Corvus (0, 0, 3000) behind it; Alpha and Eridanus stand off to the
    // sides on ±X, Beacon (0, 0, -20000) behind the camera.
    {"TheReportedFiveBodies",
     stillBody("Alpha", "Sun", 300, 4000, 90) + stillBody("Beacon", "Sun", 600, 20000, 180) +
         stillBody("Corvus", "Sun", 1500, 3000, 0) + stillBody("Draco", "Sun", 600, 5000, 180) +
         stillBody("Eridanus", "Sun", 300, 3000, 270),
     "Draco"},
    // Turned half round to (0, 0, -100), just in front of the sun; the other just behind it at (0, 0, 60).
    {"ABodyJustInFrontOfTheSun", stillBody("Behind", "Sun", 20, 60, 0) + stillBody("Before", "Sun", 20, 100, 180),
     "Before"},
    // The giant at (7000, 0, 0) covers the centre with its edge: the line of
    // sight enters it at depth 14500 - √(7500² - 7000²) ≈ 11807, though its
    // nearest point is only 8601 away. The pebble at (0, 0, -4500) is met at
    // depth 9900, in front of it (the two are 8322 apart, 7600 would touch).
    {"AHugeBodyBehindASmallOne",
     stillBody("Giant", "Sun", 7500, 7000, 90) + stillBody("Pebble", "Sun", 100, 4500, 180), "Pebble"},
    // The moon's orbit node hangs under the planet's turned frame: the moon
    // stands at (0, 0, -5000), between the camera and its planet at (0, 0, -3000).
    {"AMoonInFrontOfItsPlanet", stillBody("Gas", "Sun", 500, 3000, 180) + stillBody("Gas.Moon", "Gas", 100, 2000, 0),
     "Gas.Moon"},
    // At (±3000, 0, 0): about 11.7 degrees off the centre, discs of 1.2 degrees.
    {"NothingAtTheCentre", stillBody("East", "Sun", 300, 3000, 90) + stillBody("West", "Sun", 300, 3000, 270), ""},
    // Only the far sphere is drawn (NearDistance 1000); its centre 9500 away
    // is beyond FarDistance, its surface within it, and the far spheres are
    // drawn as an entity is, up to the rendering distance plus their size.
    {"AFarSphereWithinItsReach",
     withValue(withValue(stillBody("Faint", "Sun", 600, 5000, 180), "NearDistance", "1000"), "FarDistance", "9000"),
     "Faint"},
    // Its surface 8900 away, beyond FarDistance: nothing is drawn there.
    {"AFarSphereBeyondItsReach",
     withValue(withValue(stillBody("Faint", "Sun", 600, 5000, 180), "NearDistance", "1000"), "FarDistance", "8800"),
     ""},
};

// C and the middle button: the body picked is the one a person sees at the
// centre of the view, the nearest drawn there, wherever its orbit node has
// turned it and whatever hangs it.
class PickingTest : public ViewerTest, public ::testing::WithParamInterface<PickRow> {};

TEST_P(PickingTest, CAndTheMiddleButtonPickTheNearestBodyDrawnAtTheCentre)
{
    const PickRow& row = GetParam();
    start(row.system);
    run(frame(0.1f));
    const std::string expected = row.picked.empty() ? "Nothing under the centre of the view" : "Picked " + row.picked;
    run(tap(0.25f, OIS::KC_C));
    EXPECT_EQ(expected, status);
    if (!row.picked.empty())
    {
        ASSERT_TRUE(viewer->controls().hasFocus());
        EXPECT_EQ(row.picked, bodyRegistry.at(std::size_t(viewer->controls().focusIndex())).definition.Name);
    }
    status.clear();
    run(frame(0.25f));
    run(frame(0.25f, {}, 1u << OIS::MB_Middle));
    EXPECT_EQ(expected, status);
    // A pick turns nothing: the camera still looks along +Z from where it started.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, -14500), camera->getDerivedPosition()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Z, camera->getDerivedDirection()));
}

INSTANTIATE_TEST_SUITE_P(Picking, PickingTest, ::testing::ValuesIn(pickRows), RowName());
}
