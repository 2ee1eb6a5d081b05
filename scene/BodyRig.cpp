#include "scene/BodyRig.h"

#include "config/AppSettings.h"
#include "scene/BodyShading.h"
#include "scene/Rings.h"
#include "sim/SceneNames.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreEntity.h>
#include <OgreLodCollapseCostQuadric.h>
#include <OgreLodConfig.h>
#include <OgreMath.h>
#include <OgreMeshLodGenerator.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <vector>
#include <iterator>

bool meshExists(const std::string& meshName)
{
    for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
        if (meshName == sphere.name)
            return true;
    // The files of the resource locations, not the mesh manager's list: an
    // entity that failed to load its mesh leaves a name there that loads nothing.
    return Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(meshName);
}

namespace
{
size_t vertexCountOf(const Ogre::MeshPtr& mesh)
{
    size_t count = mesh->sharedVertexData ? mesh->sharedVertexData->vertexCount : 0;
    for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
    {
        const Ogre::SubMesh* subMesh = mesh->getSubMesh(i);
        if (!subMesh->useSharedVertices && subMesh->vertexData)
            count += subMesh->vertexData->vertexCount;
    }
    return count;
}

// Stencil shadow volumes hold a caster's vertices twice, behind 16-bit
// indices; a caster of more vertices than that stops the engine.
bool fitsShadowVolume(const Ogre::MeshPtr& mesh)
{
    const Ogre::ShadowTechnique technique = appSettings.ShadowTechnique;
    const bool stencil = (technique & Ogre::SHADOWDETAILTYPE_STENCIL) != 0;
    return !stencil || 2 * vertexCountOf(mesh) <= 65535;
}

// Meshes waiting for their reduced level, first asked first.
std::vector<Ogre::MeshPtr> pendingLods;

void askForNearLod(const Ogre::MeshPtr& mesh)
{
    if (std::find(pendingLods.begin(), pendingLods.end(), mesh) == pendingLods.end())
        pendingLods.push_back(mesh);
}

void generateNearLod(Ogre::MeshPtr mesh)
{
    Ogre::LodConfig config(mesh, const_cast<Ogre::LodStrategy*>(mesh->getLodStrategy()));
    config.createGeneratedLodLevel(nearLodDistance, appSettings.Reduction,
                                   Ogre::LodLevel::VRM_PROPORTIONAL);
    // Quadric error costs reduce a sphere as well as the default curvature
    // costs, in a tenth of the time: it is start-up time.
    Ogre::MeshLodGenerator::getSingleton().generateLodLevels(
        config, Ogre::LodCollapseCostPtr(new Ogre::LodCollapseCostQuadric()));
}
}

bool generatePendingLod()
{
    if (pendingLods.empty())
        return false;
    const Ogre::MeshPtr mesh = pendingLods.front();
    pendingLods.erase(pendingLods.begin());
    // A mesh with levels already (another entity of it was first) keeps them.
    if (mesh->getNumLodLevels() == 1 && Ogre::MeshLodGenerator::getSingletonPtr())
        generateNearLod(mesh);
    return !pendingLods.empty();
}

void forgetPendingLods()
{
    pendingLods.clear();
}

Ogre::SceneNode* createOrbitNode(Body& body, Ogre::SceneManager* sceneManager)
{
    Ogre::SceneNode* parent = sceneManager->getSceneNode(sceneNames::positionNode(body.definition.Parent));
    return parent->createChildSceneNode(sceneNames::orbitNode(body.sectionName), Ogre::Vector3::ZERO,
                                        Ogre::Quaternion::IDENTITY);
}

Ogre::SceneNode* createPositionNode(Body& body)
{
    return body.orbitNode->createChildSceneNode(sceneNames::positionNode(body.sectionName),
                                                Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
}

Ogre::SceneNode* createNearDetail(Body& body, Ogre::SceneManager* sceneManager)
{
    const Ogre::String name = sceneNames::nearNode(body.sectionName);
    Ogre::SceneNode* node =
        body.orbitNode->createChildSceneNode(name, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    Ogre::Entity* entity = sceneManager->createEntity(name, body.definition.Model + sceneNames::meshSuffix);
    // The level belongs to the mesh, and every body asks for the same one:
    // generating it again for the next body of that mesh would change nothing.
    if (appSettings.MeshLod && entity->getMesh()->getNumLodLevels() == 1)
        askForNearLod(entity->getMesh());
    if (!body.definition.Material.empty() && body.definition.Material != sceneNames::meshMaterial)
        entity->setMaterialName(body.definition.Material);
    if (!fitsShadowVolume(entity->getMesh()))
        entity->setCastShadows(false);
    node->attachObject(entity);
    fitEntityToSize(node, entity, body.definition.Size);
    return node;
}

Ogre::SceneNode* createFarDetail(Body& body)
{
    Ogre::SceneNode* node = body.orbitNode->createChildSceneNode(sceneNames::farNode(body.sectionName),
                                                                 Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    // The far sphere itself is drawn with all the others (FarSpheres), at this
    // node's transform: a unit sphere, scaled to the body's size.
    const float scale = withinWorld(body.definition.Size);
    node->setScale(scale, scale, scale);
    return node;
}

void rigBody(Body& body, Ogre::SceneManager* sceneManager)
{
    body.orbitNode = createOrbitNode(body, sceneManager);
    body.positionNode = createPositionNode(body);
    // Each position node knows its body, so that a moon rigged later finds
    // its parent body without a search.
    body.positionNode->getUserObjectBindings().setUserAny(Ogre::Any(&body));
    const Ogre::Any& parent = body.orbitNode->getParent()->getUserObjectBindings().getUserAny();
    body.parentBody = parent.has_value() ? Ogre::any_cast<Body*>(parent) : nullptr;
    body.nearNode = createNearDetail(body, sceneManager);
    makeRing(body, sceneManager);
    body.farNode = createFarDetail(body);
    placeBodyNodes(body);
}

namespace
{
// Takes every body's orbit node off its parent in one pass over each parent's
// children. The engine's scene manager takes a node off its parent when it
// destroys it, searching the parent's children for it: for the thousands of
// bodies about one sun that would be quadratic in their number.
void detachOrbitNodes(const BodyRegistry& bodies)
{
    std::vector<Ogre::Node*> leaving;
    std::vector<Ogre::Node*> parents;
    leaving.reserve(bodies.size());
    parents.reserve(bodies.size());
    for (const auto& body : bodies)
    {
        if (body->orbitNode && body->orbitNode->getParent())
        {
            leaving.push_back(body->orbitNode);
            parents.push_back(body->orbitNode->getParent());
        }
    }
    std::sort(leaving.begin(), leaving.end());
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (Ogre::Node* parent : parents)
    {
        const Ogre::Node::ChildNodeMap children = parent->getChildren();
        parent->removeAllChildren();
        for (Ogre::Node* child : children)
            if (!std::binary_search(leaving.begin(), leaving.end(), child))
                parent->addChild(child);
    }
}
}

void destroyBodyRig(Body& body, Ogre::SceneManager* sceneManager)
{
    forgetBodyShading(body);
    destroyRing(body, sceneManager);
    if (body.nearNode && body.farNode && body.positionNode && body.orbitNode)
    {
        if (body.nearNode->numAttachedObjects() > 0)
            sceneManager->destroyMovableObject(body.nearNode->getAttachedObject(0));
        for (Ogre::SceneNode* node : {body.nearNode, body.farNode, body.positionNode, body.orbitNode})
            sceneManager->destroySceneNode(node);
    }
    else
    {
        // By name: a rig that failed half way has nodes the body never learnt of.
        const std::string entity = sceneNames::nearNode(body.sectionName);
        if (sceneManager->hasEntity(entity))
            sceneManager->destroyEntity(entity);
        for (const std::string& name :
             {sceneNames::nearNode(body.sectionName), sceneNames::farNode(body.sectionName),
              sceneNames::positionNode(body.sectionName), sceneNames::orbitNode(body.sectionName)})
        {
            Ogre::SceneNode* node = sceneManager->getSceneNode(name, false);
            if (node && std::find(std::begin(sceneNames::reservedNodes), std::end(sceneNames::reservedNodes), name) ==
                            std::end(sceneNames::reservedNodes))
                sceneManager->destroySceneNode(node);
        }
    }
    body.orbitNode = body.positionNode = body.nearNode = body.farNode = nullptr;
    body.nearShown = body.farShown = true;
}

void rigBodies(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager)
{
    for (const auto& body : bodies)
        rigBody(*body, sceneManager);
    for (const auto& body : bodies)
    {
        body->orbitNode->removeChild(body->farNode);
        Ogre::SceneNode* position = body->positionNode;
        if (position->numChildren() == 0 && position->numAttachedObjects() == 0)
            body->orbitNode->removeChild(position);
    }
    shadeBodies(bodies, sceneManager);
}

void destroyBodyRigs(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager)
{
    forgetBodyShading();
    detachOrbitNodes(bodies);
    for (std::size_t i = bodies.size(); i-- > 0;)
        destroyBodyRig(bodies.at(i), sceneManager);
}

void fitEntityToSize(Ogre::SceneNode* node, Ogre::Entity* entity, float size)
{
    const float scale = withinWorld(size) / entity->getBoundingRadius();
    // Normals of scaled nodes are renormalised by the scene manager itself.
    if (scale != 1.0f)
        node->setScale(scale, scale, scale);
}

void placeBodyNodes(Body& body)
{
    // A dated orbit moves the orbit node itself (placeDatedBodies).
    const Ogre::Vector3 onOrbit =
        body.orbitDated() ? Ogre::Vector3::ZERO : Ogre::Vector3(0.0f, 0.0f, withinWorld(body.definition.OrbitRadius));
    body.nearNode->setPosition(onOrbit);
    body.nearOffset = onOrbit;
    body.positionNode->setPosition(onOrbit);
    body.farNode->setPosition(onOrbit);

    // What follows the clock is placed and turned by the clock (placeDatedBodies).
    if (!body.orbitDated())
        turnNodeLocal(body.orbitNode, body.definition.OrbitAxis, body.definition.OrbitCompleted);
    if (body.datedSpin)
        return;
    turnNodeLocal(body.nearNode, body.definition.PitchAxis, body.definition.PitchCompleted);
    turnNodeLocal(body.nearNode, body.definition.YawAxis, body.definition.YawCompleted);
    turnNodeLocal(body.nearNode, body.definition.RollAxis, body.definition.RollCompleted);
}
