#include "scene/SphereBatch.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>
#include <OgreSubMesh.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
// Binds an instance's floats from buffer 1: uv1 the centre and the size, uv2 the turn (x y z w).
void addInstanceElements(Ogre::VertexDeclaration* declaration)
{
    for (unsigned short slot = 0; slot < 2; ++slot)
        declaration->addElement(1, slot * 4 * sizeof(float), Ogre::VET_FLOAT4, Ogre::VES_TEXTURE_COORDINATES,
                                slot + 1);
}

Ogre::IndexData* makeIndexData(const std::vector<std::uint16_t>& indices)
{
    auto* indexData = new Ogre::IndexData();
    indexData->indexCount = indices.size();
    indexData->indexBuffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
        Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
    indexData->indexBuffer->writeData(0, indices.size() * sizeof(std::uint16_t), indices.data(), true);
    return indexData;
}
}

SphereBatch::SphereBatch(Ogre::VertexData* vertices, Ogre::IndexData* triangles,
                         const Ogre::MaterialPtr& sphereMaterial, const Ogre::LightList& sunLight)
    : SunLitDraw(sphereMaterial, sunLight), vertexData(vertices), indexData(triangles)
{
    addInstanceElements(vertexData->vertexDeclaration);
}

std::pair<Ogre::VertexData*, Ogre::IndexData*> sphereGeometry(const std::string& meshName)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().getByName(meshName);
    Ogre::IndexData* source = mesh->getSubMesh(0)->indexData;
    std::vector<std::uint16_t> all(source->indexCount);
    source->indexBuffer->readData(source->indexStart * sizeof(std::uint16_t), all.size() * sizeof(std::uint16_t),
                                  all.data());
    std::vector<Ogre::Vector3> positions(mesh->sharedVertexData->vertexCount);
    const Ogre::VertexElement* position =
        mesh->sharedVertexData->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
    Ogre::HardwareVertexBufferSharedPtr vertices =
        mesh->sharedVertexData->vertexBufferBinding->getBuffer(position->getSource());
    std::vector<unsigned char> bytes(vertices->getSizeInBytes());
    vertices->readData(0, bytes.size(), bytes.data());
    for (std::size_t v = 0; v < positions.size(); ++v)
        std::memcpy(positions[v].ptr(), bytes.data() + v * vertices->getVertexSize() + position->getOffset(),
                    3 * sizeof(float));

    std::vector<std::uint16_t> kept;
    for (std::size_t t = 0; t + 2 < all.size(); t += 3)
    {
        const Ogre::Vector3& a = positions[all[t]];
        const Ogre::Vector3& b = positions[all[t + 1]];
        const Ogre::Vector3& c = positions[all[t + 2]];
        if ((b - a).crossProduct(c - a).squaredLength() > 1e-12f)
            kept.insert(kept.end(), {all[t], all[t + 1], all[t + 2]});
    }
    return {mesh->sharedVertexData->clone(false), makeIndexData(kept)};
}

void SphereBatch::begin(std::size_t most)
{
    if (most > capacity)
    {
        capacity = most;
        instances = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            floatsPerInstance * sizeof(float), capacity, Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
        // The engine asks the render system whether it can; without one
        // (headless) there is nothing to draw the instances with anyway.
        if (Ogre::Root::getSingleton().getRenderSystem())
        {
            instances->setIsInstanceData(true);
            instances->setInstanceDataStepRate(1);
        }
        vertexData->vertexBufferBinding->setBinding(1, instances);
    }
    count = 0;
    next = capacity ? static_cast<float*>(instances->lock(Ogre::HardwareBuffer::HBL_DISCARD)) : nullptr;
}

void SphereBatch::end()
{
    if (capacity)
        instances->unlock();
    next = nullptr;
}

void SphereBatch::getRenderOperation(Ogre::RenderOperation& op)
{
    op.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
    op.useIndexes = true;
    op.vertexData = vertexData.get();
    op.indexData = indexData.get();
    op.numberOfInstances = count;
    op.srcRenderable = this;
    op.useGlobalInstancingVertexBufferIsAvailable = false;
}
