#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshLodGenerator.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>

namespace
{
BodyDefinition definition(const std::string& parent, float size = 1.0f, float orbitRadius = 100.0f,
                          const std::string& model = "SphereMesh_32x64", const std::string& material = "")
{
    BodyDefinition body = bodyDefinition(parent);
    body.Size = size;
    body.OrbitRadius = orbitRadius;
    body.Model = model;
    body.Material = material;
    body.OrbitPeriod = 1;
    body.NearDistance = 500;
    body.FarDistance = 7000;
    return body;
}

Body makeBody(const std::string& section, const std::string& parent, float size = 1.0f,
              float orbitRadius = 100.0f, const std::string& model = "SphereMesh_32x64",
              const std::string& material = "")
{
    return Body(section, definition(parent, size, orbitRadius, model, material));
}

class BodyRigTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        createSphereMesh("SphereMesh_32x64.Mesh", 32, 64);
        createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
    }

    void rig(Body& body)
    {
        rigBody(body, sceneManager);
    }

    Ogre::Entity* entity(const std::string& name) { return sceneManager->getEntity(name); }
};

TEST_F(BodyRigTest, NodesHangUnderTheirParentsAtTheOrbitRadius)
{
    Body* earth = new Body(makeBody("Earth", "Sun", 2.0f, 1000.0f));
    Body* moon = new Body(makeBody("Moon", "Earth", 1.0f, 50.0f));
    rig(*earth);
    rig(*moon);
    bodyRegistry.add(earth);
    bodyRegistry.add(moon);

    EXPECT_EQ("Sun.Position", earth->orbitNode->getParent()->getName());
    EXPECT_EQ("Earth.Orbit", earth->orbitNode->getName());
    for (Ogre::SceneNode* node : {earth->positionNode, earth->nearNode, earth->farNode})
    {
        SCOPED_TRACE(node->getName());
        EXPECT_EQ(earth->orbitNode, node->getParent());
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1000), node->getPosition()));
    }
    EXPECT_EQ("Earth.Position", earth->positionNode->getName());
    EXPECT_EQ("Earth.Near", earth->nearNode->getName());
    EXPECT_EQ("Earth.Far", earth->farNode->getName());
    EXPECT_EQ(earth->positionNode, moon->orbitNode->getParent());
    EXPECT_EQ(earth->positionNode->getChild("Moon.Orbit"), moon->orbitNode);
    // The moon follows the earth, 50 units further out.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1050), moon->positionNode->_getDerivedPosition()));
}

TEST_F(BodyRigTest, DetailEntitiesFollowTheirRules)
{
    Ogre::MaterialManager::getSingleton().create("Custom", "General");
    Body named = makeBody("Named", "Sun", 2.0f, 10.0f, "SphereMesh_32x64", "Custom");
    Body keeps = makeBody("Keeps", "Sun", 1.0f, 10.0f, "SphereMesh_32x64", "default");
    Body empty = makeBody("Empty", "Sun", 1.0f, 10.0f, "SphereMesh_32x64", "");
    rig(named);
    rig(keeps);
    rig(empty);

    EXPECT_EQ("SphereMesh_32x64.Mesh", entity("Named.Near")->getMesh()->getName());
    EXPECT_EQ("Custom", entity("Named.Near")->getSubEntity(0)->getMaterialName());
    // What an entity of the bare mesh shows.
    const std::string meshMaterial =
        sceneManager->createEntity("SphereMesh_32x64.Mesh")->getSubEntity(0)->getMaterialName();
    EXPECT_EQ(meshMaterial, entity("Keeps.Near")->getSubEntity(0)->getMaterialName());
    EXPECT_EQ(meshMaterial, entity("Empty.Near")->getSubEntity(0)->getMaterialName());
    EXPECT_TRUE(entity("Named.Near")->getCastShadows());

    // The far nodes carry nothing: FarSpheres draws their spheres.
    for (const char* far : {"Named.Far", "Keeps.Far", "Empty.Far"})
    {
        EXPECT_FALSE(sceneManager->hasEntity(far)) << far;
        EXPECT_EQ(0u, sceneManager->getSceneNode(far)->numAttachedObjects()) << far;
    }
    // Scaled to Size; a unit sphere of Size 1 stays unscaled.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(2, 2, 2), named.nearNode->getScale()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(2, 2, 2), named.farNode->getScale()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_SCALE, keeps.nearNode->getScale()));
    // Levels of detail only with MeshLod.
    EXPECT_EQ(1u, entity("Named.Near")->getMesh()->getNumLodLevels());
}

TEST_F(BodyRigTest, StencilShadowsSpareMeshesTooLargeForAVolume)
{
    createSphereMesh("SphereMesh_128x256.Mesh", 128, 256);
    const struct
    {
        Ogre::ShadowTechnique technique;
        const char* model;
        bool casts;
    } cases[] = {{Ogre::SHADOWTYPE_TEXTURE_MODULATIVE, "SphereMesh_128x256", true},
                 {Ogre::SHADOWTYPE_STENCIL_MODULATIVE, "SphereMesh_128x256", false},
                 {Ogre::SHADOWTYPE_STENCIL_ADDITIVE, "SphereMesh_128x256", false},
                 {Ogre::SHADOWTYPE_STENCIL_ADDITIVE, "SphereMesh_32x64", true}};
    int n = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.model);
        appSettings.ShadowTechnique = c.technique;
        Body body = makeBody("Case" + std::to_string(n++), "Sun", 1.0f, 10.0f, c.model);
        rig(body);
        EXPECT_EQ(c.casts, entity(body.sectionName + ".Near")->getCastShadows());
    }
}

TEST_F(BodyRigTest, StartAnglesTurnOrbitThenPitchYawRollInLocalSpace)
{
    BodyDefinition turned = definition("Sun");
    turned.OrbitAxis = Ogre::Vector3(0, 0, 1);
    turned.OrbitCompleted = 90.0f;
    turned.PitchCompleted = 90.0f;
    turned.YawCompleted = 90.0f;
    turned.RollCompleted = 30.0f;
    Body body("Turned", turned);
    rig(body);

    auto turn = [](const Ogre::Vector3& axis, float degrees) {
        return Ogre::Quaternion(Ogre::Degree(degrees), axis);
    };
    EXPECT_TRUE(turnsNear(turn(Ogre::Vector3::UNIT_Z, 90), body.orbitNode->getOrientation()));
    EXPECT_TRUE(turnsNear(turn(Ogre::Vector3::UNIT_X, 90) * turn(Ogre::Vector3::UNIT_Y, 90) *
                                    turn(Ogre::Vector3::UNIT_Z, 30),
                                body.nearNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, body.positionNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, body.farNode->getOrientation()));
    // The orbit turn about Z leaves the body on +Z; about Y it would swing it to +X.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 100), body.positionNode->_getDerivedPosition()));
}

TEST_F(BodyRigTest, TheDetailStepSwitchesAtNearDistanceFromWhereTheNodesPutTheBody)
{
    // Tilted axes, start angles, moons of moons, and a sibling that does not
    // follow its brother in the registry.
    const struct
    {
        const char* section;
        const char* parent;
        float radius;
        Ogre::Vector3 axis;
        float startAngle;
        float period;
    } bodies[] = {
        {"A", "Sun", 1000, Ogre::Vector3(0.3f, 1, 0.2f), 40, 0.01f},
        {"A.M", "A", 60, Ogre::Vector3(1, 0, 0), 110, -0.003f},
        {"A.M.X", "A.M", 8, Ogre::Vector3(0, 0, 1), 200, 0.002f},
        {"A.N", "A", 90, Ogre::Vector3(0, 1, 1), 300, 0.005f},
        {"B", "Sun", 2000, Ogre::Vector3(0, 1, 0), 10, 0.02f},
        {"B.M", "B", 30, Ogre::Vector3(1, 1, 0), 75, 0.004f},
        {"Flat", "Sun", 500, Ogre::Vector3(0, 1, 0), 0, 0.0f},
    };
    constexpr float nearDistance = 5.0f;
    for (const auto& row : bodies)
    {
        BodyDefinition d = definition(row.parent, 0.1f, row.radius);
        d.OrbitAxis = row.axis;
        d.OrbitCompleted = row.startAngle;
        d.OrbitPeriod = row.period;
        d.YawPeriod = 0.01f;
        d.NearDistance = nearDistance;
        bodyRegistry.add(new Body(row.section, d));
    }
    rigBodies(bodyRegistry, sceneManager);
    bodyRegistry.setStepMultiplier(3.0);
    for (int frame = 0; frame < 50; ++frame)
        runMotionStep();

    // The camera just inside and just outside each body's NearDistance, in a
    // direction of its own, from the centre the node chain gives.
    for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& body = bodyRegistry.at(i);
        SCOPED_TRACE(body.sectionName);
        const Ogre::Vector3 direction = Ogre::Vector3(1.0f, float(i), -2.0f).normalisedCopy();
        runDetailStep(bodyCentre(body) + direction * (nearDistance - 0.05f));
        EXPECT_TRUE(body.nearShown);
        runDetailStep(bodyCentre(body) + direction * (nearDistance + 0.05f));
        EXPECT_FALSE(body.nearShown);
    }
}

TEST_F(BodyRigTest, MeshLodAddsOneReducedLevel)
{
    appSettings.MeshLod = true;
    appSettings.Reduction = 0.5f;
    Ogre::MeshLodGenerator generator;
    Body body(makeBody("Lod", "Sun"));
    rig(body);
    Ogre::MeshPtr mesh = entity("Lod.Near")->getMesh();
    // Made later, a frame at a time.
    EXPECT_EQ(1u, mesh->getNumLodLevels());
    EXPECT_FALSE(generatePendingLod());
    ASSERT_EQ(2u, mesh->getNumLodLevels());
    const Ogre::MeshLodUsage& reduced = mesh->getLodLevel(1);
    EXPECT_EQ(nearLodDistance, reduced.userValue);
    const size_t fullIndices = mesh->getSubMesh(0)->indexData->indexCount;
    const size_t reducedIndices = mesh->getSubMesh(0)->mLodFaceList.at(0)->indexCount;
    EXPECT_LT(reducedIndices, fullIndices * 3 / 4);
    EXPECT_GT(reducedIndices, 0u);
}

TEST_F(BodyRigTest, BadTreesFailWithTheEnginesException)
{
    // A moon that sorts before its planet: the planet's position node does not exist yet.
    Body callisto(makeBody("Callisto", "Jupiter"));
    EXPECT_THROW(createOrbitNode(callisto, sceneManager), Ogre::ItemIdentityException);
    // A body named Sun collides with the sun's node.
    Body sun(makeBody("Sun", "Sun"));
    EXPECT_THROW(rig(sun), Ogre::Exception);
    // A model without a mesh.
    Body modelless(makeBody("Ghost", "Sun", 1.0f, 1.0f, "NoSuchModel"));
    EXPECT_THROW(rig(modelless), Ogre::Exception);
}
}
