#include "scene/FarSpheres.h"

#include "scene/SphereBatch.h"
#include "sim/SceneNames.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreRenderQueue.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
const char* const farSphereMaterial = "OrvTest/FarSphere";
}

// The dots: three corners a dot, already turned to the camera, written out
// every frame into one plain triangle list. (One instanced draw of thousands
// of one-triangle instances costs the software renderer far more than the
// same triangles drawn at once.) Each corner carries the dot's centre, for
// the vertex program to light it as the middle of the sphere's visible face.
class FarSpheres::Dots : public SunLitDraw
{
public:
    Dots(const Ogre::MaterialPtr& sphereMaterial, const Ogre::LightList& sunLight)
        : SunLitDraw(sphereMaterial, sunLight)
    {
        vertexData.reset(new Ogre::VertexData());
        vertexData->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        vertexData->vertexDeclaration->addElement(0, 3 * sizeof(float), Ogre::VET_FLOAT4,
                                                  Ogre::VES_TEXTURE_COORDINATES, 1);
        setCustomParameter(0, Ogre::Vector4(1.0f, 0.0f, 0.0f, 0.0f));
        // One triangle of the area of a unit disc, pi: drawn no bigger than a
        // pixel it covers as many pixel centres as the sphere would.
        const float side = std::sqrt(4.0f * Ogre::Math::PI / std::sqrt(3.0f));
        const float radius = side / std::sqrt(3.0f);
        corners[0] = Ogre::Vector2(0.0f, radius);
        corners[1] = Ogre::Vector2(-side / 2, -radius / 2);
        corners[2] = Ogre::Vector2(side / 2, -radius / 2);
    }

    void begin(std::size_t most, const Ogre::Quaternion& cameraTurn)
    {
        if (3 * most > capacity)
        {
            capacity = 3 * most;
            buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
                7 * sizeof(float), capacity, Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
            vertexData->vertexBufferBinding->setBinding(0, buffer);
        }
        right = cameraTurn.xAxis();
        up = cameraTurn.yAxis();
        count = 0;
        next = capacity ? static_cast<float*>(buffer->lock(Ogre::HardwareBuffer::HBL_DISCARD)) : nullptr;
    }

    // `brightness`, 0 to 1, scales the dot's light.
    void add(const Ogre::Vector3& centre, float size, float brightness = 1.0f)
    {
        for (const Ogre::Vector2& corner : corners)
        {
            const Ogre::Vector3 at = centre + size * (corner.x * right + corner.y * up);
            *next++ = at.x;
            *next++ = at.y;
            *next++ = at.z;
            *next++ = centre.x;
            *next++ = centre.y;
            *next++ = centre.z;
            *next++ = brightness;
        }
        ++count;
    }

    void end()
    {
        if (capacity)
            buffer->unlock();
        vertexData->vertexCount = 3 * count;
    }

    void getRenderOperation(Ogre::RenderOperation& op) override
    {
        op.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
        op.useIndexes = false;
        op.vertexData = vertexData.get();
        op.indexData = nullptr;
        op.numberOfInstances = 1;
        op.srcRenderable = this;
    }

private:
    std::unique_ptr<Ogre::VertexData> vertexData;
    Ogre::HardwareVertexBufferSharedPtr buffer;
    Ogre::Vector2 corners[3];
    Ogre::Vector3 right = Ogre::Vector3::UNIT_X;
    Ogre::Vector3 up = Ogre::Vector3::UNIT_Y;
    std::size_t capacity = 0;
    float* next = nullptr;
};

namespace
{
Ogre::LightList sunLightOf(Ogre::SceneManager* sceneManager)
{
    Ogre::LightList lights;
    lights.push_back(sceneManager->getLight(sceneNames::sunLight));
    return lights;
}

}

FarSpheres::FarSpheres(Ogre::SceneManager* scene, const BodyRegistry& registry)
    : Ogre::MovableObject("FarSpheres"), sceneManager(scene), bodies(registry)
{
    sunLight = sunLightOf(sceneManager);
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(farSphereMaterial);
    if (!material)
        OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND,
                    std::string("Material '") + farSphereMaterial + "' not found: the media folder is incomplete",
                    "FarSpheres");
    const auto sphere = sphereGeometry(sceneNames::farMesh);
    full.reset(new SphereBatch(sphere.first, sphere.second, material, sunLight));
    full->setCustomParameter(0, Ogre::Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    small.reset(new Dots(material, sunLight));
    setCastShadows(false);
    sceneManager->getRootSceneNode()->attachObject(this);
}

FarSpheres::~FarSpheres()
{
    if (getParentSceneNode())
        getParentSceneNode()->detachObject(this);
}

std::size_t FarSpheres::fullCount() const
{
    return full->drawn();
}

std::size_t FarSpheres::smallCount() const
{
    return small->drawn();
}

const Ogre::String& FarSpheres::getMovableType() const
{
    static const Ogre::String type = "FarSpheres";
    return type;
}

const Ogre::AxisAlignedBox& FarSpheres::getBoundingBox() const
{
    // Spread through the whole system: never culled as one.
    static const Ogre::AxisAlignedBox everywhere(Ogre::AxisAlignedBox::EXTENT_INFINITE);
    return everywhere;
}

void FarSpheres::_notifyCurrentCamera(Ogre::Camera* camera)
{
    MovableObject::_notifyCurrentCamera(camera);
    cameraPosition = camera->getDerivedPosition();
    cameraTurn = camera->getDerivedOrientation();
    const Ogre::Viewport* viewport = camera->getViewport();
    const float height = viewport ? float(viewport->getActualHeight()) : 600.0f;
    pixelsPerUnit = height / (2.0f * std::tan(camera->getFOVy().valueRadians() / 2.0f));
}

void FarSpheres::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    writeInstances();
    if (full->drawn() > 0)
        queue->addRenderable(full.get(), getRenderQueueGroup());
    if (small->drawn() > 0)
        queue->addRenderable(small.get(), getRenderQueueGroup());
}

void FarSpheres::writeInstances()
{
    full->begin(bodies.size());
    small->begin(bodies.size(), cameraTurn);
    for (const auto& body : bodies)
    {
        if (!body->farNode)
            continue;
        // The far node is out of the scene graph: its place on the orbit node
        // (which has no scale of its own, nor have the nodes above it).
        const Ogre::SceneNode* far = body->farNode;
        const Ogre::Quaternion& turn = body->orbitNode->_getDerivedOrientation();
        const Ogre::Vector3 centre = body->orbitNode->_getDerivedPosition() + turn * far->getPosition();
        const float squaredDistance = centre.squaredDistance(cameraPosition);
        if (!farSphereDrawn(*body, squaredDistance))
            continue;
        const float radius = body->drawnRadius * pixelsPerUnit;
        if (body->atTrueScale && radius * radius < smallRadius * smallRadius * squaredDistance)
        {
            // Too small to cover a pixel: a dot of a pixel, as bright as its
            // disc's share of one, eased over magnitudes as the eye takes
            // light, and dimmed by its distance from the Sun, so that the
            // planets are found (the phase: lit as its face turned to us).
            const float distance = std::sqrt(squaredDistance);
            const float share = radius * radius / (smallRadius * smallRadius * squaredDistance);
            const float fromSun = centre.distance(sunCentre) / 149597870.7f;
            const float light = share / std::max(fromSun * fromSun, 1e-6f);
            small->add(centre, smallRadius * distance / pixelsPerUnit,
                       std::clamp(1.0f + 0.12f * std::log10(std::max(light, 1e-30f)), 0.2f, 1.0f));
        }
        else if (radius * radius < smallRadius * smallRadius * squaredDistance)
            small->add(centre, far->getScale().x);
        else
            full->add(centre, far->getScale().x, turn);
    }
    full->end();
    small->end();
}

void FarSpheres::visitRenderables(Ogre::Renderable::Visitor* visitor, bool)
{
    visitor->visit(full.get(), 0, false);
    visitor->visit(small.get(), 0, false);
}
