#include "HeadlessEngine.h"
#include "scene/SphereMesh.h"

#include <OgreEntity.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSubMesh.h>

#include <cstdint>
#include <vector>

namespace
{
struct MeshContents { std::vector<Ogre::Vector3> positions, normals; std::vector<Ogre::Vector2> uvs; std::vector<uint16_t> indices; };

// The headless engine's buffers are software buffers, so they can be read back.
MeshContents readMesh(const Ogre::MeshPtr& mesh)
{
    MeshContents contents;
    Ogre::VertexData* vertexData = mesh->sharedVertexData;
    Ogre::HardwareVertexBufferSharedPtr vertices = vertexData->vertexBufferBinding->getBuffer(0);
    Ogre::HardwareBufferLockGuard vertexLock(vertices, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const auto* v = static_cast<const float*>(vertexLock.pData);
    for (size_t i = 0; i < vertexData->vertexCount; ++i, v += 8)
    {
        contents.positions.emplace_back(v[0], v[1], v[2]);
        contents.normals.emplace_back(v[3], v[4], v[5]);
        contents.uvs.emplace_back(v[6], v[7]);
    }
    Ogre::IndexData* indexData = mesh->getSubMesh(0)->indexData;
    Ogre::HardwareBufferLockGuard indexLock(indexData->indexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const auto* i = static_cast<const uint16_t*>(indexLock.pData);
    contents.indices.assign(i, i + indexData->indexCount);
    return contents;
}

using SphereMeshTest = HeadlessEngine;

TEST_F(SphereMeshTest, EverySphereIsAClosedOutwardUnitSphereMappedFromItsNorthPoleAndPlusZ)
{
    for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
    {
        SCOPED_TRACE(sphere.name);
        createSphereMesh(sphere.name, sphere.rings, sphere.segments);
        Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().getByName(sphere.name);
        const MeshContents m = readMesh(mesh);
        const size_t vertexCount = size_t(sphere.rings + 1) * size_t(sphere.segments + 1);
        ASSERT_EQ(vertexCount, m.positions.size());
        ASSERT_EQ(6u * sphere.rings * (sphere.segments + 1), m.indices.size());

        size_t off = 0;
        for (size_t k = 0; k < vertexCount; ++k)
        {
            off += std::abs(m.positions[k].length() - 1.0f) > 1e-5f;
            off += !m.normals[k].positionEquals(m.positions[k], 1e-5f);
        }
        EXPECT_EQ(0u, off) << "vertices off the unit sphere or with a wrong normal";

        uint16_t highest = 0;
        size_t collapsed = 0, inward = 0;
        for (size_t t = 0; t < m.indices.size(); t += 3)
        {
            const Ogre::Vector3& a = m.positions[m.indices[t]];
            const Ogre::Vector3& b = m.positions[m.indices[t + 1]];
            const Ogre::Vector3& c = m.positions[m.indices[t + 2]];
            for (int corner = 0; corner < 3; ++corner)
                highest = std::max(highest, m.indices[t + corner]);
            const Ogre::Vector3 cross = (b - a).crossProduct(c - a);
            if (cross.length() < 1e-6f)
                ++collapsed;
            else if (cross.dotProduct(a + b + c) <= 0.0f)
                ++inward;
        }
        EXPECT_EQ(vertexCount - 1, highest);
        EXPECT_EQ(size_t(2 * sphere.segments + 2 * sphere.rings), collapsed);
        EXPECT_EQ(0u, inward) << "triangles facing into the sphere";

        EXPECT_TRUE(vectorsNear(Ogre::Vector3(-1, -1, -1), mesh->getBounds().getMinimum(), 0));
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(1, 1, 1), mesh->getBounds().getMaximum(), 0));
        EXPECT_EQ(1.0f, mesh->getBoundingSphereRadius());
        EXPECT_EQ(1.0f, sceneManager->createEntity(sphere.name)->getBoundingRadius());
        if (sphere.rings != 4)
            continue;
        // The coarsest, vertex by vertex: rows of 7 from the north pole, the
        // texture's top left; column 0 of the equator points along +Z, the
        // next a sixth of a turn on towards +X; the seam repeats column 0.
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 1, 0), m.positions[0]));
        EXPECT_EQ(Ogre::Vector2(0, 0), m.uvs[0]);
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, -1, 0), m.positions[34]));
        EXPECT_EQ(Ogre::Vector2(1, 1), m.uvs[34]);
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, 1), m.positions[2 * 7 + 0]));
        EXPECT_NEAR(0.0f, m.uvs[14].x, 1e-6f);
        EXPECT_TRUE(vectorsNear(Ogre::Vector3(0.866025f, 0, 0.5f), m.positions[2 * 7 + 1]));
        EXPECT_TRUE(vectorsNear(m.positions[14], m.positions[2 * 7 + 6]));
        EXPECT_EQ(Ogre::Vector2(1.0f, 0.5f), m.uvs[20]);
    }
}

}
