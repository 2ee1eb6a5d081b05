#ifndef ORVTEST_SCENE_SPHEREBATCH_H
#define ORVTEST_SCENE_SPHEREBATCH_H

#include <OgreHardwareVertexBuffer.h>
#include <OgreMaterial.h>
#include <OgreRenderable.h>
#include <OgreRenderOperation.h>

#include <memory>
#include <string>
#include <utility>

// What both draws of far spheres are to the engine: the far-sphere material
// lit by the sun, vertices already where they stand in the world, no shadow.
class SunLitDraw : public Ogre::Renderable
{
public:
    std::size_t drawn() const { return count; }

    const Ogre::MaterialPtr& getMaterial() const override { return material; }
    void getWorldTransforms(Ogre::Matrix4* xform) const override { *xform = Ogre::Matrix4::IDENTITY; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
    const Ogre::LightList& getLights() const override { return lights; }
    bool getCastsShadows() const override { return false; }

protected:
    SunLitDraw(const Ogre::MaterialPtr& sphereMaterial, const Ogre::LightList& sunLight)
        : material(sphereMaterial), lights(sunLight)
    {
    }

    Ogre::MaterialPtr material;
    const Ogre::LightList& lights;
    std::size_t count = 0;   // spheres written this frame
};

// One instanced draw: a unit sphere's vertices and triangles, and each
// instance's place, size and turn, rewritten every frame.
class SphereBatch : public SunLitDraw
{
public:
    // Takes the geometry (sphereGeometry) and adds the instance elements to it.
    SphereBatch(Ogre::VertexData* vertices, Ogre::IndexData* triangles, const Ogre::MaterialPtr& sphereMaterial,
                const Ogre::LightList& sunLight);

    // Opens the instance buffer for up to `most` instances this frame.
    void begin(std::size_t most);

    void add(const Ogre::Vector3& centre, float size, const Ogre::Quaternion& turn)
    {
        *next++ = centre.x;
        *next++ = centre.y;
        *next++ = centre.z;
        *next++ = size;
        *next++ = turn.x;
        *next++ = turn.y;
        *next++ = turn.z;
        *next++ = turn.w;
        ++count;
    }

    void end();

    void getRenderOperation(Ogre::RenderOperation& op) override;

private:
    // An instance is its place and size, and its turn: what a node's world
    // transform would be, without making the matrix of every node.
    static constexpr std::size_t floatsPerInstance = 8;

    std::unique_ptr<Ogre::VertexData> vertexData;
    std::unique_ptr<Ogre::IndexData> indexData;
    Ogre::HardwareVertexBufferSharedPtr instances;
    std::size_t capacity = 0;
    float* next = nullptr;
};

// A sphere mesh's vertices, and only those of its triangles that have an
// area, for a SphereBatch; the caller hands both to it.
std::pair<Ogre::VertexData*, Ogre::IndexData*> sphereGeometry(const std::string& meshName);

#endif
