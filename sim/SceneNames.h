#ifndef ORVTEST_SIM_SCENENAMES_H
#define ORVTEST_SIM_SCENENAMES_H

#include <string>

// Every name the viewer gives to what it puts in the scene. A body's nodes and
// entities are named by its section name; the sun's node is named as a body's
// position node would be, so that "Sun" is the Parent of the sun's planets.
namespace sceneNames
{
inline const std::string sun = "Sun";
inline const std::string sunParticle = "SunParticle";
inline const std::string sunParticleTemplate = "Stars/StarParticle1";
// Its material under the real sky, where it has a tenth of the particles.
inline const std::string realSkySunGlow = "Stars/SunGlowBright";
inline const std::string sunLight = "SunLight";
inline const std::string starField = "StarField";
inline const std::string starMaterial = "Stars/Star1";
inline const std::string camera = "Camera";
inline const std::string sceneManager = "ExampleSMInstance";
inline const std::string renderWindow = "OGRE Render Window";

// Meshes of a Model: its name and this suffix.
inline const std::string meshSuffix = ".Mesh";
// The coarse sphere every body shows beyond its NearDistance, and its material.
inline const std::string farMesh = "SphereMesh_4x6.Mesh";
inline const std::string farMaterial = "Material.001";
// A Material of this name keeps the mesh's own materials.
inline const std::string meshMaterial = "default";

inline std::string orbitNode(const std::string& section) { return section + ".Orbit"; }
inline std::string positionNode(const std::string& section) { return section + ".Position"; }
inline std::string nearNode(const std::string& section) { return section + ".Near"; }
inline std::string farNode(const std::string& section) { return section + ".Far"; }
// A body's ring, under its near node (scene/Rings.h).
inline std::string ringNode(const std::string& section) { return section + ".Ring"; }
inline const std::string sunNode = positionNode(sun);

// The spheres the viewer generates, which any body's Model may name, finest
// to coarsest; the last is the far sphere of every body.
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

// Nodes of the viewer's own that no body's node may be named as.
inline const std::string reservedNodes[] = {sunNode, sunParticle, starField, camera};
}

#endif
