// The true scale on the real engine without a window: the default system at
// its real sizes and distances, as the engine is handed it.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "scene/CatalogueDots.h"
#include "catalogue/SmallBodies.h"
#include "viewer/Catalogues.h"
#include "config/AppSettings.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/Views.h"
#include "scene/BodyRig.h"
#include "scene/TrueScaleOrbits.h"
#include "scene/TrueScaleWorld.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sim/SkyToWorld.h"
#include "sim/TrueScale.h"
#include "viewer/FilmSession.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMeshLodGenerator.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <tuple>

namespace
{
// How far `point` is from the nearest piece of a line at true scale.
double distanceToLine(const TrueScaleOrbits& orbits, const TrueScaleOrbits::Line& line, const Ogre::Vector3& point)
{
    double nearest = INFINITY;
    for (std::size_t k = 0; k + (line.closed ? 0 : 1) < line.count; ++k)
    {
        const Ogre::Vector3& a = orbits.points()[line.first + k];
        const Ogre::Vector3 along = orbits.points()[line.first + (k + 1) % line.count] - a;
        const float t = std::clamp(along.dotProduct(point - a) / std::max(along.squaredLength(), 1e-30f), 0.0f, 1.0f);
        nearest = std::min(nearest, double((a + along * t - point).length()));
    }
    return nearest;
}

class TrueScaleTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        camera = startScene(readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg"));
        ASSERT_NE(nullptr, camera);
        viewer = std::make_unique<OrbitViewer>(camera, sceneManager, nullptr, nullptr, status, 100.0f);
        viewer->startClock(*parseDate("2026-03-20"), 0.0);
    }

    void TearDown() override { viewer.reset(); HeadlessEngine::TearDown(); }

    std::size_t indexOf(const std::string& name) const
    {
        for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
            if (bodyRegistry.at(i).definition.Name == name)
                return i;
        ADD_FAILURE() << "no " << name;
        return 0;
    }
    // Where the engine was told the body stands: relative to the camera.
    Ogre::Vector3 handedToEngine(const std::string& name) const { return bodyRegistry.at(indexOf(name)).orbitNode->getPosition(); }

    Ogre::Camera* camera = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
};

TEST_F(TrueScaleTest, TheMoonIsSixtyEarthRadiiAwayTheSunHalfADegreeAndTritonWhereItIsAndIsKeptToTheMillimetre)
{
    viewer->setTrueScale(true);
    ASSERT_TRUE(viewer->trueScaleShown());
    EXPECT_EQ(0u, viewer->trueScaleWorld()->leftOut());
    // From the Earth's centre: the camera may stand inside a body.
    viewer->setCameraKm(viewer->trueScaleWorld()->placeOf(indexOf("Earth")));
    // The Moon's distance swings from 356,400 to 406,700 km (perigee to
    // apogee, Meeus ch. 50): 56 to 64 Earth radii, "about 60".
    EXPECT_NEAR(59.9, double(handedToEngine("Moon").length()) / bodyRegistry.at(indexOf("Earth")).definition.RadiusKm, 4.0);
    // The Sun: 695,700 km seen from 0.983 to 1.017 AU, 0.524 to 0.542 degrees.
    const Ogre::Vector3 sun = sceneManager->getSceneNode(sceneNames::sunNode)->getPosition();
    const double sunDegrees = 2.0 * std::atan(sunRadiusKm / double(sun.length())) * 180.0 / M_PI;
    EXPECT_NEAR(0.533, sunDegrees, 0.01);
    // The camera stands at the engine's origin; the Earth's centre is there too.
    EXPECT_LT(handedToEngine("Earth").length(), 1e-3f);

    const std::size_t triton = indexOf("Triton");
    const Vector3d centre = viewer->trueScaleWorld()->placeOf(triton);
    ASSERT_GT(centre.length(), 29.0 * kilometresPerAU);
    const double radius = bodyRegistry.at(triton).definition.RadiusKm;
    // Hovering 1 km above its surface, the camera drifting by metres: the
    // place handed over stays within a millimetre of the double truth, where
    // a float of the place from the Sun would be off by 256 km.
    for (int step = 0; step < 600; ++step)
    {
        const Vector3d eye = centre + Vector3d{0.0, 0.0, radius + 1.0 + 1e-3 * std::sin(step * 0.1)};
        viewer->setCameraKm(eye);
        const Vector3d truth = viewer->trueScaleWorld()->placeOf(triton) - eye;
        const Ogre::Vector3 handed = handedToEngine("Triton");
        const Vector3d error = Vector3d{handed.x, handed.y, handed.z} - truth;
        // A float's rounding of 1,353 km: 6e-5 km, 5e-5 of a pixel at 800 x 600.
        ASSERT_LT(error.length(), 1e-4) << "step " << step;
    }

    // K keeps the view there in kilometres; away at the display scale, 1 comes back to both.
    const Vector3d eye = centre + Vector3d{0.0, radius + 1.2345678, 0.0};
    viewer->setCameraKm(eye);
    const std::string file = writeTempFile("views.cfg", "");
    viewer->keepViewsIn(file);
    const auto run = [&](const InputSnapshot& input, int frames = 1) {
        for (int n = 0; n < frames; ++n)
            ASSERT_TRUE(viewer->runFrame(input));
    };
    run(tap(0.25f, OIS::KC_K));
    for (char c : std::string("triton"))
        run(tap(0.01f, OIS::KC_UNASSIGNED, (unsigned char)c));
    run(tap(0.01f, OIS::KC_RETURN));
    // The clock paused: Triton stays where it was kept.
    const Result<std::vector<SavedView>> views = loadViews(file);
    ASSERT_TRUE(views.ok());
    ASSERT_EQ(1u, views->size());
    const SavedView& kept = views->front();
    EXPECT_TRUE(kept.TrueScale);
    EXPECT_EQ(eye, kept.PositionKm);
    run(tap(0.25f, OIS::KC_X));
    ASSERT_FALSE(viewer->trueScaleShown());
    run(tap(0.25f, OIS::KC_1));
    EXPECT_TRUE(viewer->trueScaleShown()) << status;
    run(frame(0.25f), 6);
    EXPECT_EQ(kept.PositionKm, viewer->cameraKm());
}

TEST_F(TrueScaleTest, SwitchingBackLeavesTheDisplayScaleAsItWas)
{
    struct Pose { Ogre::Node* parent; Ogre::Vector3 orbitPlace, nearScale, farScale; Ogre::Quaternion orbitTurn;
                  float radius; };
    std::vector<Pose> before;
    for (const auto& body : bodyRegistry)
        before.push_back({body->orbitNode->getParent(), body->orbitNode->getPosition(), body->nearNode->getScale(),
                          body->farNode->getScale(), body->orbitNode->getOrientation(), body->drawnRadius});
    const Ogre::Vector3 eye = camera->getParentSceneNode()->getPosition();
    viewer->setTrueScale(true);
    EXPECT_NE(before[0].parent, bodyRegistry.at(0).orbitNode->getParent());
    viewer->setTrueScale(false);
    for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& body = bodyRegistry.at(i);
        SCOPED_TRACE(body.definition.Name);
        EXPECT_EQ(before[i].parent, body.orbitNode->getParent());
        // Dated orbits are placed anew by the clock: to the float's last digits.
        EXPECT_LT((before[i].orbitPlace - body.orbitNode->getPosition()).length(),
                  1e-5f * before[i].orbitPlace.length() + 1e-6f);
        EXPECT_EQ(before[i].orbitTurn, body.orbitNode->getOrientation());
        EXPECT_TRUE(before[i].nearScale == body.nearNode->getScale() && before[i].farScale == body.farNode->getScale() &&
                    before[i].radius == body.drawnRadius && !body.atTrueScale);
    }
    // No body in focus: the nearest in its radii kept its apparent size, the
    // camera back within a float's rounding of where it was.
    EXPECT_LT((camera->getParentSceneNode()->getPosition() - eye).length(), 1e-3f * eye.length());
    EXPECT_EQ(Ogre::Vector3::ZERO, sceneManager->getSceneNode(sceneNames::sunNode)->getPosition());
}

TEST_F(TrueScaleTest, SwitchingKeepsTheBodyInFocusAtTheSameApparentSize)
{
    // Jupiter in focus, 8 of its radii away at the display scale.
    const Body& body = bodyRegistry.at(indexOf("Jupiter"));
    Ogre::SceneNode* eye = camera->getParentSceneNode();
    const Ogre::Vector3 centre = bodyCentre(body);
    eye->setPosition(centre + Ogre::Vector3(0.6f, 0.0f, 0.8f) * (8.0f * body.definition.Size));
    eye->lookAt(centre, Ogre::Node::TS_WORLD);
    SavedView view = viewer->currentView("near Jupiter");
    view.Focus = body.sectionName;
    viewer->showView(view);
    viewer->setTrueScale(true);
    EXPECT_NEAR(8.0, double(body.orbitNode->getPosition().length()) / body.definition.RadiusKm, 1e-3);
    EXPECT_GT(camera->getDerivedDirection().dotProduct(body.orbitNode->getPosition().normalisedCopy()), 0.99999f);
}

TEST_F(TrueScaleTest, OrbitLinesAtTrueScaleRunThroughTheirBodiesOpenOrClosedAndHoldStillBesideTheCamera)
{
    // Halley's q and e (JPL SBDB), a parabola and 2I/Borisov's hyperbola (MPC), about the default Sun.
    std::string text = readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg");
    const char* comets[][3] = {{"Halley", "0.5860", "0.96714"}, {"Parabola", "1.2", "1"}, {"Borisov", "2.0066", "3.3565"}};
    for (const auto& [name, q, e] : comets)
        text += bodySection(std::string("99.") + name, "Sun",
                            std::string("PerihelionDistance=300\nPerihelionDate=2026-01-01\nRadiusKm=5\nPerihelionAU=") + q +
                                "\nEccentricity=" + e + "\n");
    ASSERT_TRUE(viewer->reloadSystemFrom("comets.cfg", text)) << status;
    const auto run = [&](const InputSnapshot& input) { ASSERT_TRUE(viewer->runFrame(input)); };
    run(tap(0.25f, OIS::KC_O));
    run(tap(0.25f, OIS::KC_X));
    ASSERT_TRUE(viewer->trueScaleShown());
    const std::size_t moon = indexOf("Moon");
    // Standing 500 m from the Moon's centre, on its line.
    const Vector3d eye = viewer->trueScaleWorld()->placeOf(moon) + Vector3d{0.3, 0.0, 0.4};
    viewer->setCameraKm(eye);
    const TrueScaleOrbits& orbits = *viewer->trueScaleOrbitLines();
    ASSERT_TRUE(orbits.visible());
    // Every body of the file goes round on elements.
    ASSERT_EQ(bodyRegistry.size(), orbits.lines().size());
    for (const TrueScaleOrbits::Line& line : orbits.lines())
    {
        const Ogre::Vector3 body = bodyRegistry.at(line.body).orbitNode->getPosition();
        // The float rounding of the place, a ten-millionth of it: the Earth's theory stands
        // tens of thousands of km off its mean ellipse, a 256-gon's chord 11,000 km off its curve.
        EXPECT_LT(distanceToLine(orbits, line, body), 1e-6 * body.length() + 1e-6) << bodyRegistry.at(line.body).sectionName;
    }
    for (const auto& [name, q, e] : comets)
    {
        const TrueScaleOrbits::Line& line = orbits.lines()[indexOf(std::string("99.") + name)];
        ASSERT_EQ(indexOf(std::string("99.") + name), line.body);
        EXPECT_EQ(std::stod(e) < 1.0, line.closed) << name;
        // The line's nearest point to the Sun is the perihelion.
        const Ogre::Vector3 sun = sceneManager->getSceneNode(sceneNames::sunNode)->getPosition();
        double nearest = INFINITY;
        for (std::size_t k = 0; k < line.count; ++k)
            nearest = std::min(nearest, double((orbits.points()[line.first + k] - sun).length()));
        EXPECT_NEAR(std::stod(q) * kilometresPerAU, nearest, 1e-3 * std::stod(q) * kilometresPerAU) << name;
    }
    // Beside the body the line keeps to its path, 130,000 km either way of the Earth,
    // where a chord of the 256-gon would stray 1,500 km from it.
    const std::size_t earthIndex = indexOf("Earth");
    for (const double hours : {-1.2, 1.2})
    {
        const Vector3d then = worldAxesOf(
            *realPlaceFromParentKm(bodyRegistry.at(earthIndex), viewer->clock().dynamicalDays() + hours / 24.0));
        const Vector3d relative = then - eye;
        const Ogre::Vector3 point(float(relative.x), float(relative.y), float(relative.z));
        EXPECT_LT(distanceToLine(orbits, orbits.lines()[earthIndex], point), 100.0) << hours << " h";
    }
    // A metre's step of the camera moves the line beside it (the Moon's, at the Moon) by that
    // metre, to a float of 500 m: worked out from the Sun in floats it would move by 0 or 16 km.
    const TrueScaleOrbits::Line* moonLine = &orbits.lines()[moon];
    const Ogre::Vector3 before = orbits.points()[moonLine->first + moonLine->count / 2];
    viewer->setCameraKm(eye + Vector3d{1e-3, 0.0, 0.0});
    const Ogre::Vector3 after = orbits.points()[moonLine->first + moonLine->count / 2];
    EXPECT_NEAR(-1e-3, double(after.x - before.x), 1e-6);
    // Hidden with O, and at the display scale.
    run(tap(0.25f, OIS::KC_O));
    EXPECT_FALSE(orbits.visible());
    run(tap(0.25f, OIS::KC_O));
    run(tap(0.25f, OIS::KC_X));
    EXPECT_FALSE(orbits.visible());
}

TEST_F(TrueScaleTest, ACatalogueBodyIsGoneToFollowedAndGivenDepthAtItsRealPlaceAndSize)
{
    viewer->startClock(*parseDate("2026-03-20"), 86400.0);
    viewer->showCatalogues({std::string(ORVTEST_DATA_DIR) + "/catalogues/jpl-asteroids.json.gz"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(viewer->catalogues().catalogue(0) && viewer->catalogues().namesSorted()) && std::chrono::steady_clock::now() < deadline)
        viewer->runFrame(frame(0.1f));
    ASSERT_TRUE(viewer->catalogues().namesSorted()) << status;
    viewer->setTrueScale(true);
    viewer->runFrame(tap(0.02f, OIS::KC_SPACE));
    viewer->runFrame(tap(0.02f, OIS::KC_RETURN));
    for (const char letter : std::string("Ceres"))
        viewer->runFrame(tap(0.02f, OIS::KC_UNASSIGNED, static_cast<unsigned char>(letter)));
    viewer->runFrame(tap(0.02f, OIS::KC_RETURN));
    ASSERT_EQ("1 Ceres (A801 AA)", status);
    const CatalogueTarget ceres = *viewer->controls().catalogueFocus();
    const SmallBodies& bodies = *viewer->catalogues().bodiesIn(ceres.slot);
    // Its radius is the catalogue's: JPL's diameter of Ceres, 939.4 km (its H would make it 287 km).
    const double radius = viewer->catalogues().dots()->radiusOf(bodies, ceres.index);
    EXPECT_NEAR(469.7, radius, 1e-3);
    const auto fromCamera = [&] {
        return trueScalePlace(bodies, ceres.index, viewer->clock().dynamicalDays()) - viewer->cameraKm();
    };
    EXPECT_NEAR(5.0 * radius, fromCamera().length(), 1e-6);
    const Vector3d along = fromCamera().normalised();
    EXPECT_GT(camera->getDerivedDirection().dotProduct(Ogre::Vector3(float(along.x), float(along.y), float(along.z))), 0.99999f);
    // Its surface lies within the depth drawn, where the planets' ranges alone begin millions of km out.
    EXPECT_LT(camera->getNearClipDistance(), 4.0 * radius);
    // L follows it as the clock runs a day a second: 1.5 million km a frame, and the camera keeps its place.
    viewer->runFrame(frame(0.3f));   // the go-to's action delay
    viewer->runFrame(tap(0.02f, OIS::KC_L));
    ASSERT_EQ("Following 1 Ceres (A801 AA)", status);
    const Vector3d offset = fromCamera();
    EXPECT_NEAR(5.0 * radius, offset.length(), 1e-6);
    viewer->runFrame(tap(0.02f, OIS::KC_SPACE));
    const double before = viewer->clock().dynamicalDays();
    for (int i = 0; i < 10; ++i)
        viewer->runFrame(frame(0.1f));
    ASSERT_GT(viewer->clock().dynamicalDays() - before, 0.5);
    EXPECT_LT((fromCamera() - offset).length(), 1e-6);
    // As the engine is handed it: km from the camera, to a float's rounding.
    const Ogre::Vector3 handed = viewer->catalogues().placeOf(ceres);
    EXPECT_LT((Vector3d{handed.x, handed.y, handed.z} - offset).length(), 1e-3);
}

TEST_F(TrueScaleTest, APathFromTheEarthToSaturnEasesInTheLogOfTheDistanceAndLandsOnEachView)
{
    viewer->setTrueScale(true);
    // Each view five real radii from its planet's centre.
    const auto keptBeside = [&](const std::string& name) {
        const std::size_t planet = indexOf(name);
        viewer->setCameraKm(viewer->trueScaleWorld()->placeOf(planet) +
                            Vector3d{0.0, 5.0 * bodyRegistry.at(planet).definition.RadiusKm, 0.0});
        return viewer->currentView(name);
    };
    const SavedView earth = keptBeside("Earth"), saturn = keptBeside("Saturn");
    ASSERT_TRUE(earth.TrueScale && saturn.TrueScale);
    const double gap = (saturn.PositionKm - earth.PositionKm).length();
    ASSERT_GT(gap, 7.0 * kilometresPerAU);

    const long frames = 601;
    const FilmPath path({earth, saturn}, frames, 30.0, 0.0);
    std::vector<Vector3d> places;
    for (long i = 0; i < frames; ++i)
    {
        viewer->showPathFrame(path, i, 1.0f / 30.0f);
        places.push_back(viewer->cameraKm());
    }
    EXPECT_EQ(earth.PositionKm, places.front());
    EXPECT_EQ(saturn.PositionKm, places.back());
    const Vector3d line = (saturn.PositionKm - earth.PositionKm).normalised();
    double previous = -1.0;
    for (long i = 0; i < frames; ++i)
    {
        const Vector3d from = places[std::size_t(i)] - earth.PositionKm;
        // On the straight line, in double precision: within a metre of it at 10 AU.
        ASSERT_LT((from - line * from.dot(line)).length(), 1e-3) << "frame " << i;
        // Always onwards: a float's rounding would step back and forth by 500 km out there.
        ASSERT_GT(from.dot(line), previous) << "frame " << i;
        previous = from.dot(line);
    }
    // In the log of the distance from the Earth, even steps in the first
    // half: the same ratio from a fifth of the film's time to three tenths
    // as from three tenths to two fifths, where an even pace would give 1.5
    // and 1.33; and the same towards Saturn in the second half.
    const auto ratio = [&](const Vector3d& end, long a, long b) {
        return (places[std::size_t(b)] - end).length() / (places[std::size_t(a)] - end).length();
    };
    for (const auto& [end, a, b, c] : {std::make_tuple(earth.PositionKm, 120L, 180L, 240L),
                                       std::make_tuple(saturn.PositionKm, 480L, 420L, 360L)})
    {
        EXPECT_GT(ratio(end, a, b), 3.0);
        EXPECT_NEAR(ratio(end, a, b), ratio(end, b, c), 0.03 * ratio(end, b, c));
    }
}

TEST_F(TrueScaleTest, AReloadKeepsTrueScaleCPicksTheBodyAtTheCentreAndABodyFillingTheViewHasItsFinestMesh)
{
    const auto run = [&](const InputSnapshot& input) { ASSERT_TRUE(viewer->runFrame(input)); };
    run(tap(0.25f, OIS::KC_X));
    ASSERT_TRUE(viewer->trueScaleShown());
    // Five real radii off Saturn, looking at it, the camera as far from the Sun as Saturn.
    const std::size_t saturn = indexOf("Saturn");
    const double radius = bodyRegistry.at(saturn).definition.RadiusKm;
    viewer->setCameraKm(viewer->trueScaleWorld()->placeOf(saturn) + Vector3d{0.0, 0.0, 5.0 * radius});
    camera->getParentSceneNode()->setOrientation(Ogre::Quaternion::IDENTITY);
    run(frame(0.25f));
    run(tap(0.25f, OIS::KC_C));
    run(frame(0.25f));
    EXPECT_EQ("Picked Saturn", status);

    // Made again, with the reduced level of detail each mesh gets beside its full one.
    appSettings.MeshLod = true;
    Ogre::MeshLodGenerator generator;
    ASSERT_TRUE(viewer->reloadSystemFrom("1.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg")));
    EXPECT_TRUE(viewer->trueScaleShown());
    // The new rigs at true scale: Saturn as large as it is and where it was, from the camera.
    const Body& reloaded = bodyRegistry.at(indexOf("Saturn"));
    EXPECT_TRUE(reloaded.atTrueScale);
    EXPECT_EQ(float(radius), reloaded.drawnRadius);
    EXPECT_NEAR(5.0 * radius, double(reloaded.orbitNode->getPosition().length()), 1e-3 * radius);
    while (generatePendingLod())
        continue;
    const std::size_t index = indexOf("Jupiter");
    const Body& jupiter = bodyRegistry.at(index);
    auto* entity = static_cast<Ogre::Entity*>(jupiter.nearNode->getAttachedObject(0));
    ASSERT_EQ(2u, entity->getMesh()->getNumLodLevels());
    // The level the engine picks with the camera `radii` of the planet's radii from its centre.
    const auto levelFrom = [&](double radii) {
        if (viewer->trueScaleShown())
            viewer->setCameraKm(viewer->trueScaleWorld()->placeOf(index) +
                                Vector3d{0.0, 0.0, radii * jupiter.definition.RadiusKm});
        else
            camera->getParentSceneNode()->setPosition(bodyCentre(jupiter) +
                                                      Ogre::Vector3(0.0f, 0.0f, float(radii) * jupiter.definition.Size));
        sceneManager->getRootSceneNode()->_update(true, false);
        entity->_notifyCurrentCamera(camera);
        return int(entity->getCurrentLodIndex());
    };
    // The display scale switches 4,000 units off: about 10 radii of a planet of size 420.
    const double switchRadii = double(nearLodDistance) / jupiter.definition.Size;
    for (const bool atTrueScale : {true, false, true})
    {
        viewer->setTrueScale(atTrueScale);
        SCOPED_TRACE(atTrueScale ? "true scale" : "display scale");
        EXPECT_EQ(0, levelFrom(5.0));
        EXPECT_EQ(1, levelFrom(2.0 * switchRadii));
    }
}
}
