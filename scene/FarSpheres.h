#ifndef ORVTEST_SCENE_FARSPHERES_H
#define ORVTEST_SCENE_FARSPHERES_H

#include <OgreHardwareVertexBuffer.h>
#include <OgreMovableObject.h>
#include <OgreRenderable.h>

#include <memory>

class BodyRegistry;
class SphereBatch;

// Every body's coarse far sphere, drawn in two calls instead of one entity
// each. Every frame it takes the bodies whose far node the detail step shows
// (and that lie within their FarDistance, as an entity's rendering distance
// would have it) and draws a unit sphere at each far node's world transform
// in "OrvTest/FarSphere": Material.001's colours, lit by the sun as the
// fixed-function pipeline lights them, vertex by vertex. A sphere seen at
// least a pixel across is "SphereMesh_4x6.Mesh" (less its triangles of no
// area), all of them in one instanced draw; a smaller one, which no eye tells
// from it, a dot: one triangle of the sphere's apparent area turned to the
// camera and lit as the sphere's middle, all of them in one triangle list.
// The far nodes stay in the rig and carry nothing. Far spheres neither cast
// nor receive shadows.
class FarSpheres : public Ogre::MovableObject
{
public:
    // Attaches itself to the root node. The sun light and the far mesh must
    // exist. The caller owns it and deletes it before the scene manager goes.
    FarSpheres(Ogre::SceneManager* sceneManager, const BodyRegistry& bodies);
    ~FarSpheres() override;

    // Projected radius, in pixels, below which a sphere is drawn as a dot.
    static constexpr float smallRadius = 0.5f;

    // Chooses this frame's spheres for the camera last notified and writes
    // their transforms; the render queue step does it before it queues them.
    void writeInstances();

    // Spheres drawn in the last frame: in full, and as dots.
    std::size_t fullCount() const;
    std::size_t smallCount() const;

    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0.0f; }
    void _notifyCurrentCamera(Ogre::Camera* camera) override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables) override;

    class Dots;

private:
    Ogre::SceneManager* sceneManager;
    const BodyRegistry& bodies;
    Ogre::LightList sunLight;
    std::unique_ptr<SphereBatch> full;
    std::unique_ptr<Dots> small;
    Ogre::Vector3 cameraPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion cameraTurn = Ogre::Quaternion::IDENTITY;
    float pixelsPerUnit = 0.0f;   // at unit distance: the viewport's height over the view's height
public:
    // Where the Sun stands, for the dots' light at true scale.
    Ogre::Vector3 sunCentre = Ogre::Vector3::ZERO;
};

#endif
