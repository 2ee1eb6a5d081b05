#ifndef ORVTEST_APP_ORVTESTAPP_H
#define ORVTEST_APP_ORVTESTAPP_H

#include "app/ExampleApplication.h"

#include <memory>

namespace Ogre
{
class MeshLodGenerator;
}
class FarSpheres;

// The orbit viewer: its own camera, its own frame listener and the orbital scene.
class OrvTestApp : public ExampleApplication
{
public:
    OrvTestApp();
    ~OrvTestApp() override;

protected:
    // Camera "Camera" at (0, 0, -14500) looking along +Z, near clip from the settings.
    void makeCamera() override;
    // An OrvTestFrameListener on the window, camera and scene manager.
    void makeFrameListener() override;
    // Lighting, sun, sphere meshes, light, every body's rig, star field.
    void buildScene() override;

private:
    // Exists only while near meshes get levels of detail (MeshLod).
    std::unique_ptr<Ogre::MeshLodGenerator> lodGenerator;
    // Every far sphere, in one draw call.
    std::unique_ptr<FarSpheres> farSpheres;
};

#endif
