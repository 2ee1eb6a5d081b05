// Orbit lines: every body stays on the line drawn for it, whatever turns;
// far spheres: drawn where the detail step and their distance say.

#include "HeadlessEngine.h"
#include "scene/BodyRig.h"
#include "scene/FarSpheres.h"
#include "scene/OrbitLines.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreCamera.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
class OrbitLinesTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
    }

    // The body registered and rigged on the test's sphere mesh.
    Body& rig(const std::string& section, BodyDefinition definition)
    {
        definition.Model = "SphereMesh_4x6";
        bodyRegistry.add(new Body(section, definition));
        rigBody(bodyRegistry.at(bodyRegistry.size() - 1), sceneManager);
        return bodyRegistry.at(bodyRegistry.size() - 1);
    }

    Body& add(const std::string& section, const std::string& parent, float radius, const Ogre::Vector3& axis,
              float period, float startAngle)
    {
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.OrbitRadius = radius;
        definition.OrbitAxis = axis;
        definition.OrbitPeriod = period;
        definition.OrbitCompleted = startAngle;
        definition.YawPeriod = 0.3f;
        definition.NearDistance = nearDistance;
        return rig(section, definition);
    }

    static constexpr float nearDistance = 5.0f;

    // How far the body's centre is from its orbit circle, in world units.
    static float offCircle(const Body& body)
    {
        OrbitCircle circle;
        EXPECT_TRUE(orbitCircleOf(body.definition, circle));
        const Ogre::Node* parent = body.orbitNode->getParent();
        const Ogre::Vector3 local = currentWorldTransform(parent).inverse() * bodyCentre(body);
        const Ogre::Vector3 fromCentre = local - circle.centre;
        const float height = fromCentre.dotProduct(circle.axis);
        const float across = (fromCentre - height * circle.axis).length() - circle.radius;
        return std::sqrt(height * height + across * across);
    }
};

TEST_F(OrbitLinesTest, EveryCentreStaysOnItsLineAtEveryRateAndItsDetailSwitchesAtNearDistanceFromIt)
{
    // Tilted, unnormalised axes, start angles, a moon of a moon, and a
    // sibling that does not follow its brother in the registry.
    add("A", "Sun", 1000, Ogre::Vector3(0.3f, 1, 0.2f), 0.7f, 35);
    add("A.B", "A", 200, Ogre::Vector3(1, 1, 0), -0.2f, 120);
    add("A.B.C", "A.B", 40, Ogre::Vector3(0, 0.5f, 2), 0.05f, -70);
    add("A.D", "A", 90, Ogre::Vector3(0, 1, 1), 0.1f, 300);
    OrbitLines lines(sceneManager);
    lines.create(bodyRegistry);
    for (double rate : {1.0, 1024.0, 1.0 / 64, -8.0})
    {
        bodyRegistry.setStepMultiplier(rate);
        for (int frame = 0; frame < 150; ++frame)
        {
            runMotionStep();
            if (frame % 30 != 0)
                continue;
            for (const auto& body : bodyRegistry)
                EXPECT_LT(offCircle(*body), 1e-3f * body->definition.OrbitRadius)
                    << body->sectionName << " at rate " << rate << ", frame " << frame;
        }
    }
    // The detail step works each place out through its own cache of the parents' frames.
    for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& body = bodyRegistry.at(i);
        const Ogre::Vector3 direction = Ogre::Vector3(1.0f, float(i), -2.0f).normalisedCopy();
        runDetailStep(bodyCentre(body) + direction * (nearDistance - 0.05f));
        EXPECT_TRUE(body.nearShown) << body.sectionName;
        runDetailStep(bodyCentre(body) + direction * (nearDistance + 0.05f));
        EXPECT_FALSE(body.nearShown) << body.sectionName;
    }
}

// How far a point is from the nearest piece of the lines drawn, in the world.
float offLines(const Ogre::ManualObject* lines, const Ogre::Vector3& point)
{
    const Ogre::Affine3& toWorld = lines->getParentSceneNode()->_getFullTransform();
    const Ogre::RenderOperation* operation = lines->getSections()[0]->getRenderOperation();
    const Ogre::HardwareVertexBufferSharedPtr vertices = operation->vertexData->vertexBufferBinding->getBuffer(0);
    const Ogre::HardwareIndexBufferSharedPtr indices = operation->indexData->indexBuffer;
    Ogre::HardwareBufferLockGuard vertexLock(vertices, Ogre::HardwareBuffer::HBL_READ_ONLY);
    Ogre::HardwareBufferLockGuard indexLock(indices, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const auto* floats = static_cast<const float*>(vertexLock.pData);
    const std::size_t stride = vertices->getVertexSize() / sizeof(float);
    const auto at = [&](std::size_t index) {
        const std::size_t vertex = indices->getType() == Ogre::HardwareIndexBuffer::IT_16BIT
                                       ? static_cast<const Ogre::uint16*>(indexLock.pData)[index]
                                       : static_cast<const Ogre::uint32*>(indexLock.pData)[index];
        return toWorld * Ogre::Vector3(floats + vertex * stride);
    };
    float nearest = INFINITY;
    for (std::size_t i = 0; i + 1 < operation->indexData->indexCount; i += 2)
    {
        const Ogre::Vector3 a = at(i), b = at(i + 1);
        const float along = Ogre::Math::Clamp((point - a).dotProduct(b - a) / (b - a).squaredLength(), 0.0f, 1.0f);
        nearest = std::min(nearest, point.distance(a + along * (b - a)));
    }
    return nearest;
}

TEST_F(OrbitLinesTest, DatedBodiesStayOnTheirEllipsesAsTheyTurn)
{
    const auto dated = [&](const std::string& section, const std::string& parent, float radius, double eccentricity,
                           double nodeDays) {
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.OrbitRadius = radius;
        definition.OrbitDays = 7.3;
        definition.Eccentricity = eccentricity;
        definition.Inclination = 30.0;
        definition.AscendingNode = 40.0;
        definition.Periapsis = 70.0;
        definition.NodeDays = nodeDays;
        definition.PeriapsisDays = nodeDays / 3.0;
        rig(section, definition);
    };
    dated("A", "Sun", 1000, 0.6, 0);               // the sun's, in its batch
    dated("A.M", "A", 100, 0.3, -50);              // precessing: a line of its own
    add("B", "Sun", 3000, Ogre::Vector3(0.4f, 1, 0), 0.5f, 20);
    dated("B.M", "B", 150, 0.2, 0);                // under a turning frame: its own, turned back
    OrbitLines lines(sceneManager);
    lines.create(bodyRegistry, 0.0);
    EXPECT_EQ(3u, lines.batchCount());
    const struct { const char* section, *lines; } drawn[] = {
        {"A", "OrbitLines/Sun"}, {"A.M", "OrbitLine/A.M"}, {"B.M", "OrbitLine/B.M"}};
    for (double days : {0.0, 1.9, 5.0, 33.3, -120.0})
    {
        for (int step = 0; step < 40; ++step)
            runMotionStep();
        placeDatedBodies(days);
        lines.follow(days);
        sceneManager->getRootSceneNode()->_update(true, false);
        for (const auto& line : drawn)
        {
            const Body& body = bodyRegistry.at(std::size_t(bodyRegistry.indexOf(line.section)));
            // Sixty-four straight pieces stray from a near circle by 0.12 % of its radius.
            EXPECT_LT(offLines(sceneManager->getManualObject(line.lines), bodyCentre(body)),
                      2e-3f * body.definition.OrbitRadius)
                << line.section << " at " << days << " days";
        }
    }
}

TEST_F(OrbitLinesTest, BodiesByTheirPerihelionStandOnTheirArcsAndPassPerihelionWhereTheirElementsPoint)
{
    // The MPC's elements for 1I/ʻOumuamua (its CometEls, as kstars-data
    // carries it): T 2017 September 9.4886 TT, q 0.25524 AU, e 1.199252,
    // ω 241.6845°, Ω 24.5997°, i 122.6778°, J2000 ecliptic; T is 6460.9886
    // TT days from J2000. Then a parabola and an ellipse of the same q.
    const double T = 6460.9886;
    const auto byPerihelion = [&](const std::string& section, double e) {
        BodyDefinition definition = bodyDefinition("Sun", section);
        definition.PerihelionDistance = 300.0f;
        definition.PerihelionAU = 0.25524;
        definition.PerihelionDate.days = T;
        definition.Eccentricity = e;
        definition.Inclination = 122.6778;
        definition.AscendingNode = 24.5997;
        definition.Periapsis = 241.6845;
        rig(section, definition);
    };
    byPerihelion("I", 1.199252);
    byPerihelion("P", 1.0);
    byPerihelion("E", 0.7);
    add("Q", "Sun", 2000, Ogre::Vector3::UNIT_Y, 1, 0);   // the widest orbit: the arcs reach it
    OrbitLines lines(sceneManager);
    lines.create(bodyRegistry, T);
    EXPECT_EQ(1u, lines.batchCount());
    Ogre::ManualObject* sunLines = sceneManager->getManualObject("OrbitLines/Sun");

    // The direction of perihelion, worked from the angles (Meeus, "Astronomical
    // Algorithms", chapter 33: the heliocentric place for v = 0), in the world's axes.
    const double degree = M_PI / 180.0, i = 122.6778 * degree, node = 24.5997 * degree, w = 241.6845 * degree;
    const Ogre::Vector3 perihelion(float(std::cos(node) * std::cos(w) - std::sin(node) * std::sin(w) * std::cos(i)),
                                   float(std::sin(w) * std::sin(i)),
                                   float(-(std::sin(node) * std::cos(w) + std::cos(node) * std::sin(w) * std::cos(i))));
    for (double days : {T, T - 40.0, T + 3.0, T + 60.0, T + 150.0})
    {
        placeDatedBodies(days);
        sceneManager->getRootSceneNode()->_update(true, false);
        for (const char* section : {"I", "P", "E"})
        {
            const Body& body = bodyRegistry.at(std::size_t(bodyRegistry.indexOf(section)));
            const Ogre::Vector3 centre = bodyCentre(body);
            EXPECT_TRUE(days != T || vectorsNear(300.0f * perihelion, centre, 1e-3f)) << section;
            if (centre.length() < 2000.0f)   // within the arcs' reach
            {
                EXPECT_LT(offLines(sunLines, centre), 0.3f) << section << " at T " << days - T << " days";
            }
        }
    }
    // The open arcs reach the widest orbit and no further; the ellipse closes.
    const Ogre::RenderOperation* operation = sunLines->getSections()[0]->getRenderOperation();
    const std::size_t pieces = OrbitLines::ellipseSegments;
    EXPECT_EQ(3 * pieces + 2 + std::size_t(OrbitLines::segments), operation->vertexData->vertexCount);
    EXPECT_EQ(2 * (3 * pieces + std::size_t(OrbitLines::segments)), operation->indexData->indexCount);
    const std::vector<Ogre::Vector3> arc = conicPoints(300.0, 1.199252, 2000.0, int(pieces));
    EXPECT_NEAR(2000.0f, arc.front().length(), 0.01f);
    EXPECT_NEAR(2000.0f, arc.back().length(), 0.01f);
    // A far-out orbit's arc reaches four times its perihelion distance.
    EXPECT_NEAR(4.0f * 5000.0f, conicPoints(5000.0, 1.0, 2000.0, 64).back().length(), 0.1f);

    // The file gives no planet's mass: a moon is given no orbit by its perihelion.
    BodyDefinition moon = bodyRegistry.at(0).definition;
    moon.Parent = "Q";
    EXPECT_EQ(nullptr, Body("Q.M", moon).conicOrbit);
}

TEST_F(OrbitLinesTest, OneBatchPerParentWithTheCirclesItDraws)
{
    add("A", "Sun", 1000, Ogre::Vector3::UNIT_Y, 1, 0);
    add("A.Still", "A", 100, Ogre::Vector3::UNIT_Y, 0, 30);     // no motion: still a line
    add("A.Centre", "A", 0, Ogre::Vector3::UNIT_Y, 1, 0);       // no radius: no line
    add("B", "Sun", 2000, Ogre::Vector3::ZERO, 1, 0);            // no axis: no line
    add("C", "Sun", 3000, Ogre::Vector3::UNIT_Z, 1, 0);          // axis along the radius: no circle
    OrbitLines lines(sceneManager);
    lines.create(bodyRegistry);
    EXPECT_EQ(2u, lines.batchCount());

    Ogre::ManualObject* sunLines = sceneManager->getManualObject("OrbitLines/Sun");
    EXPECT_EQ(sceneManager->getSceneNode("Sun.Position"), sunLines->getParentSceneNode());
    EXPECT_FALSE(sunLines->getCastShadows());
    // A's circle alone, closed: as many pieces as corners.
    ASSERT_EQ(1u, sunLines->getSections().size());
    const Ogre::RenderOperation* operation = sunLines->getSections()[0]->getRenderOperation();
    EXPECT_EQ(size_t(OrbitLines::segments), operation->vertexData->vertexCount);
    EXPECT_EQ(size_t(2 * OrbitLines::segments), operation->indexData->indexCount);
    EXPECT_EQ(sceneManager->getSceneNode("A.Position"),
              sceneManager->getManualObject("OrbitLines/A")->getParentSceneNode());

    lines.destroy();
    EXPECT_FALSE(sceneManager->hasManualObject("OrbitLines/Sun") || sceneManager->hasManualObject("OrbitLines/A"));
}

using FarSpheresTest = OrbitLinesTest;

TEST_F(FarSpheresTest, DrawsTheShownFarSpheresWithinTheirDistance)
{
    createSunLight(sceneManager);
    Ogre::Camera* camera = makeStartCamera();
    // Seen from 14,500 units, 600 pixels high: 1 unit is about 0.05 pixels.
    const struct { const char* section; float size, farDistance; bool farShown; } rows[] = {
        {"Big", 100, 200000, true},       // 5 pixels across: the full sphere
        {"Tiny", 5, 200000, true},        // under a pixel: a dot
        {"Hidden", 100, 200000, false},   // the detail step shows its near model
        {"TooFar", 100, 5000, true},      // beyond its FarDistance
        {"Unlimited", 100, -1, true},     // no distance set: always drawn
    };
    for (const auto& row : rows)
    {
        BodyDefinition definition = bodyDefinition("Sun", row.section);
        definition.Size = row.size;
        definition.FarDistance = row.farDistance;
        rig(row.section, definition).farShown = row.farShown;
    }
    sceneManager->getRootSceneNode()->_update(true, false);
    // Its shaders need a render system: a plain stand-in here.
    Ogre::MaterialManager::getSingleton().create("OrvTest/FarSphere", "General");
    FarSpheres spheres(sceneManager, bodyRegistry);
    spheres._notifyCurrentCamera(camera);
    spheres.writeInstances();
    EXPECT_EQ(2u, spheres.fullCount());    // Big, Unlimited
    EXPECT_EQ(1u, spheres.smallCount());   // Tiny
}

// A picture of `width` × `height` pixels seen straight on, one world unit a
// pixel: world (x, y) falls on window column x, row y (rows run down).
Ogre::Matrix4 windowClip(int width, int height)
{
    return Ogre::Matrix4(2.0f / float(width), 0, 0, -1,   //
                         0, -2.0f / float(height), 0, 1,  //
                         0, 0, 0, 0,                      //
                         0, 0, 0, 1);
}

struct Lit { int x, y; unsigned count;
             bool operator==(const Lit& o) const { return x == o.x && y == o.y && count == o.count; } };

std::vector<Lit> litPixels(const LinePicture& picture)
{
    std::vector<Lit> lit;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.countAt(x, y) > 0)
                lit.push_back({x, y, picture.countAt(x, y)});
    return lit;
}

std::vector<Lit> rowOf(int y, int from, int to, unsigned count = 1)
{
    std::vector<Lit> lit;
    for (int x = from; x < to; ++x)
        lit.push_back({x, y, count});
    return lit;
}

TEST(LinePictureTest, LightsOnePixelAColumnOrRowAndEachJointOnce)
{
    const struct { const char* what; std::vector<Ogre::Vector3> points; bool closed; std::vector<Lit> lit; } rows[] = {
        // Centres 2.5 ... 21.5 lie in [2.2, 22.2).
        {"across", {{2.2f, 10.5f, 0}, {22.2f, 10.5f, 0}}, false, rowOf(10, 2, 22)},
        {"leftwards", {{22.2f, 10.5f, 0}, {2.2f, 10.5f, 0}}, false, rowOf(10, 2, 22)},
        // The joint at a pixel centre belongs to the second segment alone.
        {"joined", {{2.5f, 10.5f, 0}, {12.5f, 10.5f, 0}, {22.5f, 10.5f, 0}}, false, rowOf(10, 2, 22)},
        {"steep", {{5.5f, 3.0f, 0}, {5.5f, 7.0f, 0}}, false, {{5, 3, 1}, {5, 4, 1}, {5, 5, 1}, {5, 6, 1}}},
        {"diagonal", {{0.0f, 0.0f, 0}, {4.0f, 4.0f, 0}}, false, {{0, 0, 1}, {1, 1, 1}, {2, 2, 1}, {3, 3, 1}}},
        // Cut at the window's edges, 40 pixels wide.
        {"through the window", {{-50.0f, 10.5f, 0}, {150.0f, 10.5f, 0}}, false, rowOf(10, 0, 40)},
        // A closed run goes back to its start: there and back on one row.
        {"closed", {{2.5f, 10.5f, 0}, {12.5f, 10.5f, 0}}, true, rowOf(10, 2, 12, 2)},
        {"left of the window", {{-300.0f, 10.5f, 0}, {-200.0f, 10.5f, 0}}, false, {}},
        {"below the window", {{5.0f, 100.0f, 0}, {25.0f, 120.0f, 0}}, false, {}}};
    for (const auto& row : rows)
    {
        LinePicture picture;
        picture.add(row.points, row.closed);
        picture.draw(windowClip(40, 30), 40, 30);
        EXPECT_EQ(row.lit, litPixels(picture)) << row.what;
        EXPECT_EQ(row.lit.empty() ? 0u : 1u, picture.runsDrawn()) << row.what;
        const LinePicture::Rect& drawn = picture.drawn();
        for (const Lit& lit : row.lit)
            EXPECT_TRUE(lit.x >= drawn.left && lit.x < drawn.right && lit.y >= drawn.top && lit.y < drawn.bottom)
                << row.what << " " << lit.x << "," << lit.y;
    }
}

TEST(LinePictureTest, SkippingFullCellsChangesNoPixel)
{
    // Lines dense enough to fill cells and blocks, long ones and short ones
    // (those a block or two long are skipped whole), against the same lines
    // counted to 255, which fill none.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> anywhere(-10.0f, 138.0f), near(-12.0f, 12.0f);
    LinePicture capped, plain;
    capped.setMost(4);
    for (int n = 0; n < 6000; ++n)
    {
        const Ogre::Vector3 from(anywhere(random), anywhere(random) * 0.75f, 0.0f);
        const Ogre::Vector3 to = n % 4 == 0 ? Ogre::Vector3(anywhere(random), anywhere(random) * 0.75f, 0.0f)
                                            : from + Ogre::Vector3(near(random), near(random), 0.0f);
        capped.add({from, to}, false);
        plain.add({from, to}, false);
    }
    for (int frame = 0; frame < 2; ++frame)   // the second over the first's counts
    {
        capped.draw(windowClip(128, 96), 128, 96);
        plain.draw(windowClip(128, 96), 128, 96);
        std::size_t atMost = 0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 128; ++x)
            {
                EXPECT_EQ(std::min(plain.countAt(x, y), 4u), capped.countAt(x, y)) << x << "," << y;
                atMost += capped.countAt(x, y) == 4u;
            }
        EXPECT_GT(atMost, 128u * 96u * 3u / 4u);
    }
}

TEST(LinePictureTest, ALineStillCountsThroughABlockBetweenTwoFullOnes)
{
    // Counted to 1, rows of lines light whole 32 × 32 blocks; a line through
    // the block between two full ones must still light its pixels.
    LinePicture picture;
    picture.setMost(1);
    for (const float left : {0.0f, 64.0f})
        for (int row = 0; row < 32; ++row)
            picture.add({{left, float(row) + 0.5f, 0}, {left + 32.0f, float(row) + 0.5f, 0}}, false);
    picture.add({{10.0f, 10.5f, 0}, {80.0f, 10.5f, 0}}, false);
    picture.draw(windowClip(96, 32), 96, 32);
    for (int x = 32; x < 64; ++x)
        EXPECT_EQ(1u, picture.countAt(x, 10)) << x;
    EXPECT_EQ(0u, picture.countAt(40, 11));
}

// A circle about the view's axis, of `pixels` radius on a 800 × 600 view
// with a 45° field of view, 1000 units away.
struct FaceOn { float pixels; Ogre::Matrix4 clip; float radius; /* world units */ };

FaceOn faceOn(float pixels)
{
    const float distance = 1000.0f, near = 1.0f;
    const float halfHeight = near * std::tan(Ogre::Math::PI / 8.0f), halfWidth = halfHeight * 4.0f / 3.0f;
    // 300 pixels span halfHeight at the near plane.
    return {pixels,
            Ogre::Math::makePerspectiveMatrix(-halfWidth, halfWidth, -halfHeight, halfHeight, near, 10000.0f) *
                Ogre::Affine3::getTrans(0.0f, 0.0f, -distance),
            pixels / 300.0f * halfHeight / near * distance};
}

TEST(LinePictureTest, SmallCirclesTakeFewerPiecesAndStayOnTheirCircle)
{
    // Pieces a circle of r pixels needs so that no chord strays more than s:
    // r (1 - cos(pi / n)) <= s; the fewest of 64's halvings that does.
    const struct { float pixels; std::size_t segments; } rows[] = {
        {200.0f, 32},   // n >= 28.1
        {20.0f, 16},    // n >= 8.9
        {2.0f, 8},      // the fewest drawn
        {1000.0f, 64},  // n >= 62.8: beyond the window, still all
    };
    for (const auto& row : rows)
    {
        const FaceOn view = faceOn(row.pixels);
        std::vector<Ogre::Vector3> circle;
        for (float angle = 0.0f; circle.size() < 64; angle += Ogre::Math::TWO_PI / 64.0f)
            circle.emplace_back(view.radius * std::cos(angle), view.radius * std::sin(angle), 0.0f);
        LinePicture picture;
        picture.add(circle, true);
        picture.draw(view.clip, 800, 600);
        EXPECT_EQ(row.segments, picture.segmentsDrawn()) << row.pixels;
        if (row.pixels > 300.0f)
            continue;
        // Every lit pixel within the allowed straying (and the pixel's own
        // half diagonal) of the circle, and no gap round it.
        const std::vector<Lit> lit = litPixels(picture);
        for (const Lit& pixel : lit)
        {
            const float off = std::hypot(float(pixel.x) + 0.5f - 400.0f, float(pixel.y) + 0.5f - 300.0f) - row.pixels;
            EXPECT_LE(std::abs(off), LinePicture::straying + 0.75f) << row.pixels << " at " << pixel.x << "," << pixel.y;
        }
        for (int degree = 0; degree < 360; ++degree)
        {
            const float angle = Ogre::Math::TWO_PI * float(degree) / 360.0f;
            const float x = 400.0f + row.pixels * std::cos(angle), y = 300.0f - row.pixels * std::sin(angle);
            const bool near = std::any_of(lit.begin(), lit.end(), [&](const Lit& pixel) {
                return std::hypot(float(pixel.x) + 0.5f - x, float(pixel.y) + 0.5f - y) <= LinePicture::straying + 1.5f;
            });
            EXPECT_TRUE(near) << row.pixels << " at " << degree << "°";
        }
    }
}

TEST(LinePictureTest, OnlyWhatLiesBeforeTheCameraIsDrawn)
{
    // A line a little below the eye, from ahead of it to behind it: seen
    // ahead, it runs in the lower half; its part behind, projected as if
    // ahead, would climb into the upper half. Beside the view and wholly
    // behind the eye: nothing.
    const FaceOn view = faceOn(1.0f);
    LinePicture picture, beyond;
    picture.add({Ogre::Vector3(-5.0f, -1.0f, -50.0f), Ogre::Vector3(5.0f, -1.0f, 50.0f)}, false);
    picture.draw(view.clip * Ogre::Affine3::getTrans(0.0f, 0.0f, 1000.0f), 800, 600);   // the eye at the origin
    const std::vector<Lit> lit = litPixels(picture);
    EXPECT_FALSE(lit.empty());
    for (const Lit& pixel : lit)
        EXPECT_GE(pixel.y, 300) << pixel.x << "," << pixel.y;
    beyond.add({Ogre::Vector3(5000.0f, 0.0f, 0.0f), Ogre::Vector3(5100.0f, 0.0f, 0.0f)}, false);
    beyond.add({Ogre::Vector3(0.0f, 0.0f, 2000.0f), Ogre::Vector3(10.0f, 0.0f, 2000.0f)}, false);
    beyond.draw(view.clip, 800, 600);
    EXPECT_EQ(0u, beyond.runsDrawn());
    EXPECT_TRUE(litPixels(beyond).empty() && beyond.drawn().empty());
}

TEST(OrbitLinesChoice, PicturesForManyLinesOnSoftwareRenderers)
{
    const struct { const char* device; std::size_t lines; bool picture; } rows[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", OrbitLines::manyLines, true},
        {"llvmpipe (LLVM 15.0.6, 256 bits)", OrbitLines::manyLines - 1, false},
        {"Gallium 0.4 on softpipe", 10008, true}, {"Software Rasterizer (swrast)", 10008, true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 10008, false}, {"", 10008, false}};   // "": no render system
    for (const auto& row : rows)
        EXPECT_EQ(row.picture, OrbitLines::drawnAsPicture(row.lines, row.device)) << row.device << " " << row.lines;
}
}
