#ifndef ORVTEST_SCENE_SPHEREMESH_H
#define ORVTEST_SCENE_SPHEREMESH_H

#include <string>

// Generates a latitude/longitude sphere of radius 1 and registers it, loaded,
// with the mesh manager under `name`. `rings` divides the polar angle from +Y
// to -Y, `segments` the turn about Y; (rings + 1) × (segments + 1) must not
// exceed 65536 (16-bit indices). Throws the engine's exception when the name is taken.
void createSphereMesh(const std::string& name, int rings, int segments);

// The spheres any body's Model may name, finest to coarsest; the last is the
// far sphere of every body.
struct SphereMeshSize
{
    const char* name;
    int rings;
    int segments;
};
constexpr SphereMeshSize sphereMeshes[] = {
    {"SphereMesh_128x256.Mesh", 128, 256},
    {"SphereMesh_64x128.Mesh", 64, 128},
    {"SphereMesh_32x64.Mesh", 32, 64},
    {"SphereMesh_4x6.Mesh", 4, 6},
};

#endif
