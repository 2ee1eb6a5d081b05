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
#include <OgreRenderQueue.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

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

    Body& add(const std::string& section, const std::string& parent, float radius, const Ogre::Vector3& axis,
              float period, float startAngle)
    {
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.Model = "SphereMesh_4x6";
        definition.OrbitRadius = radius;
        definition.OrbitAxis = axis;
        definition.OrbitPeriod = period;
        definition.OrbitCompleted = startAngle;
        definition.YawPeriod = 0.3f;
        bodyRegistry.add(new Body(section, definition));
        rigBody(bodyRegistry.at(bodyRegistry.size() - 1), sceneManager);
        return bodyRegistry.at(bodyRegistry.size() - 1);
    }

    // How far the body's centre is from its orbit circle, in world units.
    static float offCircle(const Body& body)
    {
        OrbitCircle circle;
        EXPECT_TRUE(orbitCircleOf(body.definition, circle));
        const Ogre::Node* parent = body.orbitNode->getParent();
        // The body in its parent's frame.
        const Ogre::Vector3 local = currentWorldTransform(parent).inverse() * bodyCentre(body);
        const Ogre::Vector3 fromCentre = local - circle.centre;
        const float height = fromCentre.dotProduct(circle.axis);
        const float across = (fromCentre - height * circle.axis).length() - circle.radius;
        return std::sqrt(height * height + across * across);
    }
};

TEST_F(OrbitLinesTest, EveryCentreStaysOnItsLineAtEveryRate)
{
    // Tilted, unnormalised axes, start angles, and a moon of a moon.
    add("A", "Sun", 1000, Ogre::Vector3(0.3f, 1, 0.2f), 0.7f, 35);
    add("A.B", "A", 200, Ogre::Vector3(1, 1, 0), -0.2f, 120);
    add("A.B.C", "A.B", 40, Ogre::Vector3(0, 0.5f, 2), 0.05f, -70);
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
            {
                EXPECT_LT(offCircle(*body), 1e-3f * body->definition.OrbitRadius)
                    << body->sectionName << " at rate " << rate << ", frame " << frame;
            }
        }
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
        definition.Model = "SphereMesh_4x6";
        definition.OrbitRadius = radius;
        definition.OrbitDays = 7.3;
        definition.Eccentricity = eccentricity;
        definition.Inclination = 30.0;
        definition.AscendingNode = 40.0;
        definition.Periapsis = 70.0;
        definition.NodeDays = nodeDays;
        definition.PeriapsisDays = nodeDays / 3.0;
        bodyRegistry.add(new Body(section, definition));
        rigBody(bodyRegistry.at(bodyRegistry.size() - 1), sceneManager);
    };
    dated("A", "Sun", 1000, 0.6, 0);               // the sun's, in its batch
    dated("A.M", "A", 100, 0.3, -50);              // precessing: a line of its own
    add("B", "Sun", 3000, Ogre::Vector3(0.4f, 1, 0), 0.5f, 20);
    dated("B.M", "B", 150, 0.2, 0);                // under a turning frame: its own, turned back
    OrbitLines lines(sceneManager);
    lines.create(bodyRegistry, 0.0);
    EXPECT_EQ(3u, lines.batchCount());
    const struct
    {
        const char* section;
        const char* lines;
    } drawn[] = {{"A", "OrbitLines/Sun"}, {"A.M", "OrbitLine/A.M"}, {"B.M", "OrbitLine/B.M"}};
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
        definition.Model = "SphereMesh_4x6";
        definition.PerihelionDistance = 300.0f;
        definition.PerihelionAU = 0.25524;
        definition.PerihelionDate.days = T;
        definition.Eccentricity = e;
        definition.Inclination = 122.6778;
        definition.AscendingNode = 24.5997;
        definition.Periapsis = 241.6845;
        bodyRegistry.add(new Body(section, definition));
        rigBody(bodyRegistry.at(bodyRegistry.size() - 1), sceneManager);
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
            if (days == T)
            {
                EXPECT_TRUE(vectorsNear(300.0f * perihelion, centre, 1e-3f)) << section;
            }
            // Within the arc's reach, on the line.
            if (centre.length() < 2000.0f)
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
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(300.0f, 0.0f, 0.0f), arc[pieces / 2]));
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
    EXPECT_FALSE(sceneManager->hasManualObject("OrbitLines/Sun"));
    EXPECT_FALSE(sceneManager->hasManualObject("OrbitLines/A"));
}
}

namespace
{
using FarSpheresTest = OrbitLinesTest;

TEST_F(FarSpheresTest, DrawsTheShownFarSpheresWithinTheirDistance)
{
    createSunLight(sceneManager);
    Ogre::Camera* camera = sceneManager->createCamera("Camera");
    sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    camera->getParentSceneNode()->setPosition(0, 0, -10000);
    camera->getParentSceneNode()->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
    camera->setAspectRatio(4.0f / 3.0f);
    // Seen from 10,000 units, 600 pixels high: 1 unit is about 0.07 pixels.
    const struct
    {
        const char* section;
        float size;
        float farDistance;
        bool farShown;
    } rows[] = {
        {"Big", 100, 200000, true},       // 7 pixels across: the full sphere
        {"Tiny", 5, 200000, true},        // under a pixel: a dot
        {"Hidden", 100, 200000, false},   // the detail step shows its near model
        {"TooFar", 100, 5000, true},      // beyond its FarDistance
        {"Unlimited", 100, -1, true},     // no distance set: always drawn
    };
    for (const auto& row : rows)
    {
        BodyDefinition definition = bodyDefinition("Sun", row.section);
        definition.Model = "SphereMesh_4x6";
        definition.Size = row.size;
        definition.FarDistance = row.farDistance;
        bodyRegistry.add(new Body(row.section, definition));
        Body& body = bodyRegistry.at(bodyRegistry.size() - 1);
        rigBody(body, sceneManager);
        body.farShown = row.farShown;
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
}
