#ifndef ORVTEST_SCENE_SPHEREMESH_H
#define ORVTEST_SCENE_SPHEREMESH_H

#include "sim/SceneNames.h"

#include <string>

// Generates a latitude/longitude sphere of radius 1 and registers it, loaded,
// with the mesh manager under `name`. `rings` divides the polar angle from +Y
// to -Y, `segments` the turn about Y; (rings + 1) × (segments + 1) must not
// exceed 65536 (16-bit indices). Throws the engine's exception when the name is taken.
void createSphereMesh(const std::string& name, int rings, int segments);

#endif
