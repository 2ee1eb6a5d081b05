#include "scene/SphereMesh.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMath.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubMesh.h>

#include <cmath>
#include <cstdint>

void createSphereMesh(const std::string& name, int rings, int segments)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(
        name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, nullptr);
    Ogre::SubMesh* subMesh = mesh->createSubMesh();
    Ogre::VertexData* vertexData = new Ogre::VertexData();
    mesh->sharedVertexData = vertexData;

    // Interleaved position, normal, texture coordinates.
    Ogre::VertexDeclaration* declaration = vertexData->vertexDeclaration;
    size_t offset = 0;
    declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    offset += Ogre::VertexElement::getTypeSize(Ogre::VET_FLOAT3);
    declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_NORMAL);
    offset += Ogre::VertexElement::getTypeSize(Ogre::VET_FLOAT3);
    declaration->addElement(0, offset, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);

    const size_t vertexCount = size_t(rings + 1) * size_t(segments + 1);
    vertexData->vertexStart = 0;
    vertexData->vertexCount = vertexCount;

    Ogre::HardwareVertexBufferSharedPtr vertexBuffer =
        Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            declaration->getVertexSize(0), vertexCount, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
            false);
    vertexData->vertexBufferBinding->setBinding(0, vertexBuffer);
    float* vertex = static_cast<float*>(vertexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));

    const size_t indexCount = 6 * size_t(rings) * size_t(segments + 1);
    subMesh->indexData->indexCount = indexCount;
    subMesh->indexData->indexStart = 0;
    subMesh->indexData->indexBuffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
        Ogre::HardwareIndexBuffer::IT_16BIT, indexCount,
        Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    uint16_t* index =
        static_cast<uint16_t*>(subMesh->indexData->indexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));

    const float deltaPhi = Ogre::Math::PI / rings;
    const float deltaTheta = 2.0f * Ogre::Math::PI / segments;
    uint16_t k = 0;
    for (int ring = 0; ring <= rings; ++ring)
    {
        const float phi = ring * deltaPhi;
        const float ringRadius = std::sin(phi);
        const float y = std::cos(phi);
        for (int column = 0; column <= segments; ++column, ++k)
        {
            const float theta = column * deltaTheta;
            const Ogre::Vector3 position(std::sin(theta) * ringRadius, y, ringRadius * std::cos(theta));
            const Ogre::Vector3 normal = position.normalisedCopy();
            *vertex++ = position.x;
            *vertex++ = position.y;
            *vertex++ = position.z;
            *vertex++ = normal.x;
            *vertex++ = normal.y;
            *vertex++ = normal.z;
            *vertex++ = float(column) / float(segments);
            *vertex++ = float(ring) / float(rings);

            if (ring < rings)
            {
                // Counter-clockwise from outside; the seam and pole triangles collapse.
                const uint16_t s = uint16_t(segments);
                *index++ = uint16_t(k + s + 1);
                *index++ = k;
                *index++ = uint16_t(k + s);
                *index++ = uint16_t(k + s + 1);
                *index++ = uint16_t(k + 1);
                *index++ = k;
            }
        }
    }

    vertexBuffer->unlock();
    subMesh->indexData->indexBuffer->unlock();

    subMesh->useSharedVertices = true;
    mesh->_setBounds(Ogre::AxisAlignedBox(-1, -1, -1, 1, 1, 1), false);
    mesh->_setBoundingSphereRadius(1.0f);
    mesh->load();
}
