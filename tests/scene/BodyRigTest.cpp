// Each body's nodes and entities, as the scene is built.

#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"

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
class BodyRigTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        createSun(sceneManager);
        createSphereMesh("SphereMesh_32x64.Mesh", 32, 64);
    }

    // A body of the registry, rigged: a sphere of `size` at `radius` from `parent`.
    Body& add(const std::string& section, const std::string& parent, float size = 1.0f, float radius = 100.0f,
              const std::string& model = "SphereMesh_32x64", const std::string& material = "")
    {
        BodyDefinition d = bodyDefinition(parent, section);
        d.Size = size;
        d.OrbitRadius = radius;
        d.Model = model;
        d.Material = material;
        d.OrbitPeriod = 1;
        bodyRegistry.add(new Body(section, d));
        Body& body = bodyRegistry.at(bodyRegistry.size() - 1);
        rigBody(body, sceneManager);
        return body;
    }
    Ogre::Entity* entity(const std::string& name) { return sceneManager->getEntity(name); }
};

TEST_F(BodyRigTest, NodesHangUnderTheirParentsAtTheOrbitRadiusTurnedToTheirStartAngles)
{
    Body& earth = add("Earth", "Sun", 2.0f, 1000.0f);
    Body& moon = add("Moon", "Earth", 1.0f, 50.0f);
    EXPECT_EQ("Sun.Position", earth.orbitNode->getParent()->getName());
    for (Ogre::SceneNode* node : {earth.positionNode, earth.nearNode, earth.farNode})
    {
        EXPECT_EQ(earth.orbitNode, node->getParent());
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1000), node->getPosition())) << node->getName();
    }
    EXPECT_EQ(earth.positionNode, moon.orbitNode->getParent());
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1050), moon.positionNode->_getDerivedPosition()));

    BodyDefinition turned = bodyDefinition("Sun", "Turned");
    turned.OrbitRadius = 100.0f;
    turned.OrbitAxis = Ogre::Vector3(0, 0, 1);
    turned.OrbitCompleted = turned.PitchCompleted = turned.YawCompleted = 90.0f;
    turned.RollCompleted = 30.0f;
    Body body("Turned", turned);
    rigBody(body, sceneManager);
    auto turn = [](const Ogre::Vector3& axis, float degrees) { return Ogre::Quaternion(Ogre::Degree(degrees), axis); };
    EXPECT_TRUE(turnsNear(turn(Ogre::Vector3::UNIT_Z, 90), body.orbitNode->getOrientation()));
    // Pitch, then yaw, then roll, each in the frame the one before left.
    EXPECT_TRUE(turnsNear(turn(Ogre::Vector3::UNIT_X, 90) * turn(Ogre::Vector3::UNIT_Y, 90) *
                              turn(Ogre::Vector3::UNIT_Z, 30),
                          body.nearNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, body.farNode->getOrientation()));
    // The orbit turn about Z leaves the body on +Z; about Y it would swing it to +X.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 100), body.positionNode->_getDerivedPosition()));

    // Lengths beyond the world are drawn at its edge, not beyond the float range.
    const Body& huge = add("Huge", "Sun", 3e38f, 3e38f);
    EXPECT_EQ(Ogre::Vector3(0, 0, 1e18f), huge.positionNode->getPosition());
    EXPECT_EQ(1e18f, huge.nearNode->getScale().x * huge.nearNode->getAttachedObject(0)->getBoundingRadius());
}

TEST_F(BodyRigTest, DetailEntitiesFollowTheirRules)
{
    Ogre::MaterialManager::getSingleton().create("Custom", "General");
    createSphereMesh("SphereMesh_128x256.Mesh", 128, 256);
    Body& named = add("Named", "Sun", 2.0f, 10.0f, "SphereMesh_32x64", "Custom");
    add("Keeps", "Sun", 1.0f, 10.0f, "SphereMesh_32x64", "default");
    add("Empty", "Sun", 1.0f, 10.0f, "SphereMesh_32x64", "");
    EXPECT_EQ("SphereMesh_32x64.Mesh", entity("Named.Near")->getMesh()->getName());
    EXPECT_EQ("Custom", entity("Named.Near")->getSubEntity(0)->getMaterialName());
    const std::string meshMaterial =
        sceneManager->createEntity("SphereMesh_32x64.Mesh")->getSubEntity(0)->getMaterialName();
    EXPECT_EQ(meshMaterial, entity("Keeps.Near")->getSubEntity(0)->getMaterialName());
    EXPECT_EQ(meshMaterial, entity("Empty.Near")->getSubEntity(0)->getMaterialName());
    // The far nodes carry nothing: FarSpheres draws their spheres, at the node's scale.
    EXPECT_FALSE(sceneManager->hasEntity("Named.Far"));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(2, 2, 2), named.nearNode->getScale()));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(2, 2, 2), named.farNode->getScale()));

    // Stencil shadow volumes hold a caster's vertices twice behind 16-bit indices.
    const struct { Ogre::ShadowTechnique technique; const char* model; bool casts; } shadows[] = {
        {Ogre::SHADOWTYPE_TEXTURE_MODULATIVE, "SphereMesh_128x256", true},
        {Ogre::SHADOWTYPE_STENCIL_MODULATIVE, "SphereMesh_128x256", false},
        {Ogre::SHADOWTYPE_STENCIL_ADDITIVE, "SphereMesh_32x64", true}};
    for (const auto& row : shadows)
    {
        appSettings.ShadowTechnique = row.technique;
        const std::string section = "Shadow" + std::to_string(bodyRegistry.size());
        add(section, "Sun", 1.0f, 10.0f, row.model);
        EXPECT_EQ(row.casts, entity(section + ".Near")->getCastShadows()) << row.model;
    }
}

TEST_F(BodyRigTest, MeshLodAddsOneReducedLevelAFrameLater)
{
    appSettings.MeshLod = true;
    appSettings.Reduction = 0.5f;
    Ogre::MeshLodGenerator generator;
    add("Lod", "Sun");
    Ogre::MeshPtr mesh = entity("Lod.Near")->getMesh();
    EXPECT_EQ(1u, mesh->getNumLodLevels());
    EXPECT_FALSE(generatePendingLod());
    ASSERT_EQ(2u, mesh->getNumLodLevels());
    EXPECT_EQ(nearLodDistance, mesh->getLodLevel(1).userValue);
    const std::size_t fullIndices = mesh->getSubMesh(0)->indexData->indexCount;
    const std::size_t reducedIndices = mesh->getSubMesh(0)->mLodFaceList.at(0)->indexCount;
    EXPECT_LT(reducedIndices, fullIndices * 3 / 4);
    EXPECT_GT(reducedIndices, 0u);
}
}
