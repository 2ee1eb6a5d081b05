// Catalogues in the viewer on the real engine without a window: read on the
// worker thread and handed to the frames at one place; the shipped
// catalogues' bodies as the focus; comet tails.

#include "TestPaths.h"
#include "catalogue/NameIndex.h"
#include "config/ConfigFileReading.h"
#include "config/Files.h"
#include "scene/CatalogueDots.h"
#include "scene/CatalogueOrbitLine.h"
#include "scene/CometTails.h"
#include "sim/BodyRegistry.h"
#include "sim/DisplayScale.h"
#include "viewer/Catalogues.h"
#include "viewer/InfoPanel.h"
#include "viewer/InputFrames.h"
#include "viewer/Picking.h"

#include <OgreManualObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
const std::string shipped = std::string(ORVTEST_DATA_DIR) + "/catalogues/";
const std::string ceres = "1 Ceres (A801 AA)";
// 2024-01-01 12:00 TT, in days from J2000.
constexpr double newYear2024 = 8766.0;

const std::string* factOf(const std::vector<Fact>& facts, const std::string& label)
{
    const auto found = std::find_if(facts.begin(), facts.end(), [&](const Fact& fact) { return fact.first == label; });
    return found == facts.end() ? nullptr : &found->second;
}

// The nearest the polyline through `points` (closed or not) comes to `place`.
float distanceToLine(const std::vector<Ogre::Vector3>& points, bool closed, const Ogre::Vector3& place)
{
    float nearest = INFINITY;
    for (std::size_t n = 0; n + (closed ? 0 : 1) < points.size(); ++n)
    {
        const Ogre::Vector3 a = points[n], b = points[(n + 1) % points.size()];
        const Ogre::Vector3 ab = b - a;
        const float t = std::clamp((place - a).dotProduct(ab) / std::max(ab.squaredLength(), 1e-12f), 0.0f, 1.0f);
        nearest = std::min(nearest, place.distance(a + ab * t));
    }
    return nearest;
}

class CatalogueFocusTest : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        start(readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"));
        viewer->startClock(newYear2024, 86400.0);
        viewer->showCatalogues({shipped + "jpl-asteroids.json.gz", shipped + "jpl-comets.json.gz",
                                shipped + "mpc-interstellar.txt"});
        ASSERT_TRUE(framesUntil([&] {
            return viewer->catalogues().catalogue(0) && viewer->catalogues().catalogue(1) &&
                   viewer->catalogues().catalogue(2) && viewer->catalogues().namesSorted();
        })) << status;
    }

    Ogre::Vector3 eye() const { return cameraNode->getPosition(); }
};
}

TEST_F(CatalogueFocusTest, TypedNamesGoToSystemBodiesThenTheBrightestAndCeresIsReachedFollowedAndKeptInAView)
{
    // said: the status line after Return, or after Tab when `tab`; catalogue: the focus is a catalogue body's.
    const struct { const char* typed; bool tab; const char* said; bool catalogue; } rows[] = {
        {"Ceres", false, "1 Ceres (A801 AA)", true}, {"1", false, "1 Ceres (A801 AA)", true},
        {"(1) Ceres", false, "1 Ceres (A801 AA)", true}, {"1P/Halley", false, "1P/Halley", true},
        // (2688) Halley is an asteroid's name too: the comet is the brighter.
        {"Halley", false, "1P/Halley", true}, {"Oumuamua", false, "1I/\xCA\xBBOumuamua", true},
        {"\xCA\xBBOumuamua", false, "1I/\xCA\xBBOumuamua", true},
        // The system's Io before the asteroid (85) Io; its number finds the asteroid.
        {"Io", false, "Io", false}, {"85", false, "85 Io (A865 SA)", true}, {"Jupit", false, "Jupiter", false},
        {"Nowhere at all", false, "No body named 'Nowhere at all'", false},
        {"Oum", true, "Go to: \xCA\xBBOumuamua_", false}, {"1P/Hal", true, "Go to: 1P/Halley_", false},
        {"Jupi", true, "Go to: Jupiter_", false}, {"Zzzq", true, "Go to: Zzzq_", false}};
    for (const auto& row : rows)
    {
        enter(row.typed, OIS::KC_RETURN, row.tab ? OIS::KC_TAB : OIS::KC_RETURN);
        EXPECT_EQ(row.said, status) << row.typed;
        EXPECT_EQ(row.catalogue, viewer->controls().catalogueFocus().has_value()) << row.typed;
        if (row.tab)
            run(tap(0.02f, OIS::KC_ESCAPE));
    }

    enter("Ceres");
    ASSERT_EQ(ceres, status);
    const CatalogueTarget target = *viewer->controls().catalogueFocus();
    const Ogre::Vector3 place = viewer->catalogues().placeOf(target);
    // Five times its drawn radius (H 3.33, JPL), on its sunlit side: 45° from the Sun's direction.
    const float radius = float(bodyRadius(3.33f));
    EXPECT_NEAR(5.0f * radius, eye().distance(place), 0.01f * radius);
    EXPECT_NEAR(std::cos(Ogre::Math::PI / 4), (eye() - place).normalisedCopy().dotProduct(-place.normalisedCopy()),
                0.01f);

    // Its orbit line, through the same map as its dot: the dot rides on it.
    ASSERT_TRUE(sceneManager->hasManualObject("CatalogueOrbitLine"));
    EXPECT_TRUE(sceneManager->getManualObject("CatalogueOrbitLine")->getVisible());

    run(frame(0.3f));
    run(tap(0.02f, OIS::KC_L));
    ASSERT_EQ("Following " + ceres, status);
    const Ogre::Vector3 offset = eye() - viewer->catalogues().placeOf(target);
    const Ogre::Vector3 before = viewer->catalogues().placeOf(target);
    run(frame(0.1f), 30);
    const Ogre::Vector3 after = viewer->catalogues().placeOf(target);
    // Three days at a day a second: Ceres moves tens of units; the camera keeps its offset.
    EXPECT_GT(before.distance(after), 2.0f);
    EXPECT_LT((eye() - after).distance(offset), 0.05f);

    // A view kept of it, without its date: the clock runs on, and Ceres with it.
    const std::vector<SavedView> read = readViews(viewSection(viewer->currentView("at Ceres")));
    ASSERT_EQ(1u, read.size());
    SavedView kept = read.front();
    kept.dated = false;
    EXPECT_EQ(ceres, kept.CatalogueFocus.text);
    EXPECT_TRUE(kept.Follow && kept.Focus.empty());
    const auto offsetNow = [&] {
        const std::optional<CatalogueTarget>& focus = viewer->controls().catalogueFocus();
        return focus ? eye() - viewer->catalogues().placeOf(*focus) : Ogre::Vector3(NAN, NAN, NAN);
    };
    const Ogre::Vector3 keptOffset = offsetNow();

    // Another body ends the focus, and its line goes with it; a day on, the
    // view brings back the body, the following and the offset.
    enter("Jupiter");
    EXPECT_FALSE(viewer->controls().catalogueFocus().has_value());
    EXPECT_FALSE(sceneManager->getManualObject("CatalogueOrbitLine")->getVisible());
    run(frame(0.1f), 10);
    viewer->showView(kept);
    ASSERT_TRUE(viewer->controls().catalogueFocus()) << status;
    EXPECT_TRUE(viewer->controls().following());
    EXPECT_LT(offsetNow().distance(keptOffset), 1e-3f * keptOffset.length());
    // Shown while its catalogue is read anew (as `orvtest --view` at the start): it comes once read.
    enter("Jupiter");
    viewer->showCatalogues({});
    run(frame(0.1f));
    viewer->showCatalogues({shipped + "jpl-asteroids.json.gz"});
    viewer->showView(kept);
    EXPECT_FALSE(viewer->controls().catalogueFocus());
    EXPECT_EQ("View 'at Ceres'", status);
    ASSERT_TRUE(framesUntil([&] { return viewer->controls().catalogueFocus().has_value(); })) << status;
    EXPECT_LT(offsetNow().distance(keptOffset), 1e-3f * keptOffset.length());
    // So is a name typed before the catalogue's names are sorted, unless another jump comes first.
    for (const char* then : {"", "Jupiter"})
    {
        enter("Mars");
        viewer->showCatalogues({});
        run(frame(0.1f));
        viewer->showCatalogues({shipped + "jpl-asteroids.json.gz"});
        enter("Vesta");
        EXPECT_EQ("Going to 'Vesta' once the catalogues are read", status);
        if (*then)
            enter(then);
        ASSERT_TRUE(framesUntil([&] { return !viewer->catalogues().namesComing(); }));
        run(frame(0.1f));
        EXPECT_EQ(!*then, viewer->controls().catalogueFocus().has_value());
        EXPECT_TRUE(*then || status == "4 Vesta (A807 FA)") << status;
    }
}

TEST_F(CatalogueFocusTest, EachBodyRidesOnItsMappedOrbitLineThePanelTellsOfItsOrbitAndCometsHaveTails)
{
    const RadialMap map = displayMapOf(bodyRegistry);
    const struct { std::size_t slot; const char* name; double days; std::map<std::string, std::string> facts; } rows[] =
    {
        // JPL's answer: a 2.7666 AU, per_y 4.6018, H 3.33, class MBA.
        {0, "Ceres", newYear2024,
         {{"semi-major axis", "2.77 AU"}, {"orbit period", "4.6 years"}, {"H", "3.33"}, {"orbit class", "MBA"},
          {"perihelion", "2.55 AU"}}},
        {0, "Vesta", newYear2024 + 500.0, {}},
        // Near aphelion, 35 AU. JPL's answer: q 0.585978, per.y 75.3159, M1 5.5, class HTC.
        {1, "1P/Halley", newYear2024,
         {{"orbit period", "75.3 years"}, {"M1", "5.5"}, {"orbit class", "HTC"}, {"perihelion", "0.586 AU"}}},
        {1, "1P/Halley", -5074.5, {}},   // 1986 Feb 9, at perihelion
        {1, "2P/Encke", newYear2024, {}},
        // 2017 Oct, an open orbit near the Sun. The MPC's line: q 0.255240, e 1.199252; no class.
        {2, "1I/\xCA\xBBOumuamua", 6500.0,
         {{"semi-major axis", "none: an open orbit"}, {"aphelion", "none: an open orbit"},
          {"orbit period", "none: an open orbit"}, {"perihelion", "0.255 AU"}, {"eccentricity", "1.2"}}},
        {2, "2I/Borisov", 7300.0, {}}};
    for (const auto& row : rows)
    {
        const SmallBodies& bodies = *viewer->catalogues().bodiesIn(row.slot);
        const std::optional<std::size_t> index = NameIndex(bodies).find(row.name);
        ASSERT_TRUE(index.has_value()) << row.name;
        const ConicElements orbit = bodies.elements(*index);
        const std::vector<Ogre::Vector3> line = mappedOrbitPoints(orbit, map, 30.0, CatalogueOrbitLine::points);
        const Ogre::Vector3 place = displayPlace(bodies.positionAt(*index, row.days), map);
        EXPECT_LT(distanceToLine(line, orbit.eccentricity < 1.0, place), 0.002f * place.length()) << row.name;
        EXPECT_EQ(std::size_t(CatalogueOrbitLine::points) + (orbit.eccentricity < 1.0 ? 0 : 1), line.size());

        const std::vector<Fact> facts = catalogueBodyFacts(bodies, *index, {}, {}, row.days);
        for (const auto& [label, value] : row.facts)
        {
            const std::string* said = factOf(facts, label);
            ASSERT_TRUE(said) << row.name << ": no " << label;
            EXPECT_EQ(value, *said) << row.name << ": " << label;
        }
        EXPECT_EQ(row.slot == 2, !factOf(facts, "orbit class")) << row.name;
        // Ceres from the Sun now: between its perihelion, 2.549 AU, and aphelion, 2.985.
        EXPECT_TRUE(row.name != std::string("Ceres") ||
                    std::abs(std::stod(*factOf(facts, "from the Sun")) - 2.767) < 0.218);
    }

    // A comet's tail shrinks away from the Sun and is gone beyond 5 AU.
    const auto length = &CometTails::tailLengthAU;
    EXPECT_TRUE(length(0.6) > length(1.0) && length(1.0) > length(2.0) && length(2.0) > length(4.0) && length(4.0) > 0);
    EXPECT_TRUE(length(5.5) == 0.0 && CometTails::tailBrightness(5.0) == 0.0 && CometTails::tailBrightness(2.0) == 1.0);

    const auto comets = viewer->catalogues().shownBodies();
    const std::shared_ptr<const SmallBodies> jpl = comets.at(1);
    const std::size_t halley = *NameIndex(*jpl).find("1P/Halley");
    CometTails tails(sceneManager);
    tails.setCatalogues(comets);
    EXPECT_GT(tails.candidates(), 100u);
    EXPECT_LT(tails.candidates(), jpl->size());
    const auto halleysTail = [&]() -> const CometTails::Tail* {
        for (const CometTails::Tail& tail : tails.tails())
            if (tail.bodies == jpl.get() && tail.index == halley)
                return &tail;
        return nullptr;
    };
    // 1986 Feb 9, at perihelion (0.587 AU): a tail straight away from the Sun.
    tails.update(-5074.5, map);
    const CometTails::Tail* atPerihelion = halleysTail();
    ASSERT_TRUE(atPerihelion);
    const float nearLength = atPerihelion->head.distance(atPerihelion->end);
    EXPECT_GT(nearLength, 10.0f);
    EXPECT_GT(atPerihelion->end.length(), atPerihelion->head.length());
    EXPECT_GT(atPerihelion->head.normalisedCopy().dotProduct((atPerihelion->end - atPerihelion->head).normalisedCopy()),
              0.9999f);
    // Two months later, at about 2 AU: shorter. Then (2024, at 35 AU) none.
    tails.update(-5074.5 + 75.0, map);
    ASSERT_TRUE(halleysTail());
    EXPECT_LT(halleysTail()->head.distance(halleysTail()->end), nearLength);
    tails.update(newYear2024, map);
    EXPECT_FALSE(halleysTail());
    for (const CometTails::Tail& tail : tails.tails())
        EXPECT_LT(tail.bodies->positionAt(tail.index, newYear2024).length(), CometTails::farthestAU);
}

TEST(CataloguePickingTest, TheSphereMetFirstAtTheCentreIsPicked)
{
    const Ogre::Vector3 eye = Ogre::Vector3::ZERO, forward = Ogre::Vector3::NEGATIVE_UNIT_Z;
    const float perPixel = 0.001f;   // radians
    const struct { const char* name; std::vector<Sphere> spheres; int picked; } rows[] = {
        {"a dot 3 pixels off", {{{0.3f, 0.0f, -100.0f}, 0.001f}}, 0},
        {"a dot 6 pixels off", {{{0.6f, 0.0f, -100.0f}, 0.001f}}, -1},
        {"the nearer of two on the line", {{{0.0f, 0.0f, -200.0f}, 1.0f}, {{0.0f, 0.0f, -100.0f}, 1.0f}}, 1},
        {"none", {}, -1},
    };
    for (const auto& row : rows)
    {
        double depth = 0.0;
        EXPECT_EQ(row.picked, sphereAtCentre(row.spheres, eye, forward, perPixel, 4.0f, depth)) << row.name;
        EXPECT_EQ(row.picked < 0, std::isinf(depth)) << row.name;
    }
}

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
        start(readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"));
        viewer->startClock(8766.0, 86400.0);
    }

    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder.path + name, std::ios::binary) << text;
        return folder.path + name;
    }

    std::size_t shownBodies() const
    {
        return viewer->catalogues().catalogue(0) ? viewer->catalogues().catalogue(0)->bodies.size() : 0;
    }
    std::size_t dots() const { return viewer->catalogues().dots() ? viewer->catalogues().dots()->dotCount() : 0; }

    const TestFolder folder;   // short names, that the status line says on one line
};

TEST_F(CataloguesTest, FramesGoOnWhileTheWorkerReadsAChangedFileIsReadAgainAndOneNoLongerNamedGoes)
{
    // A pipe: the worker cannot read further than the test has written, so
    // the frames meet it halfway however fast the machine.
    const std::string pipe = folder.path + "MPCORB.DAT";
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
    EXPECT_TRUE(framesUntil([&] {
        return status.rfind("Reading ", 0) == 0 && status.find(" 0 bodies") == std::string::npos;
    })) << status;
    EXPECT_EQ(std::string::npos, status.find("40,000")) << status;
    EXPECT_EQ(0u, dots());
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

    // A changed file is read again; one that does not read changes nothing.
    const std::string path = write("mpcorb.dat", mpcorbOf(10));
    viewer->showCatalogues({path});
    ASSERT_TRUE(framesUntil([&] { return dots() == 10; })) << status;
    EXPECT_EQ("mpcorb.dat: 10 asteroids shown", status);

    // A second reading after the file changed: the new bodies replace the old.
    std::ofstream(path, std::ios::binary | std::ios::app) << mpcorbOf(25).substr(mpcorbOf(0).size());
    ASSERT_TRUE(framesUntil([&] { return dots() == 35; })) << status;
    EXPECT_EQ("mpcorb.dat: 35 asteroids shown", status);

    // Saved as UTF-16: refused, and the 35 stay.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string("\xFF\xFE" "D\0e\0s\0", 8);
    ASSERT_TRUE(framesUntil([&] { return status.find("UTF-16") != std::string::npos; })) << status;
    EXPECT_EQ("mpcorb.dat is UTF-16 (little-endian, with a byte-order\nmark) text; save it as UTF-8 or ASCII; the bodies shown\nstay",
              status);
    EXPECT_EQ(35u, dots());
    EXPECT_EQ(35u, shownBodies());

    // Gone: refused again, still the 35.
    ::unlink(path.c_str());
    ASSERT_TRUE(framesUntil([&] { return status.find("cannot be opened") != std::string::npos; })) << status;
    EXPECT_NE(std::string::npos, status.rfind("mpcorb.dat cannot be opened", 0)) << status;
    EXPECT_EQ(35u, dots());

    // A file no longer named goes, and one named again is read anew.
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
    for (const auto& [count, text] : {std::pair<std::size_t, const char*>{0, "0"}, {999, "999"}, {1000, "1,000"},
                                      {1450000, "1,450,000"}})
        EXPECT_EQ(text, countText(count));
}
}
