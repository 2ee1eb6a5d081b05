#include "scene/TrueScaleWorld.h"

#include "config/AppSettings.h"
#include "scene/BodyShading.h"
#include "scene/FarSpheres.h"
#include "scene/Rings.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sim/SkyToWorld.h"
#include "sim/TrueScale.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace
{
const char* const sunDiscName = "TrueScale.Sun";
const char* const sunGlowName = "TrueScale.SunGlow";
const char* const sunMaterial = "OrvTest/TrueScaleSun";
const char* const glowMaterial = "OrvTest/TrueScaleSunGlow";

// The glow round the Sun's disc: this many of its radii across, and never
// less than this many pixels, so that the Sun is found from the edge of the
// system, where its disc is a fraction of a pixel.
constexpr double glowRadii = 3.0;
constexpr double leastGlowPixels = 14.0;
// A body whose disc is at least this many pixels in radius shows its model;
// a smaller one is a dot (FarSpheres).
constexpr double modelPixels = 1.0;

Ogre::Vector3 toFloat(const Vector3d& v)
{
    return Ogre::Vector3(float(v.x), float(v.y), float(v.z));
}

Ogre::Entity* nearEntity(const Body& body)
{
    return body.nearNode->numAttachedObjects() > 0 ? dynamic_cast<Ogre::Entity*>(body.nearNode->getAttachedObject(0))
                                                   : nullptr;
}

Ogre::SceneNode* ringNode(const Body& body, Ogre::SceneManager* sceneManager)
{
    return sceneManager->getSceneNode(sceneNames::ringNode(body.sectionName), false);
}

// The near model in or out of the scene graph, as the detail step has it.
void showNear(Body& body, bool visible)
{
    if (body.nearShown == visible)
        return;
    body.nearNode->setVisible(visible, true);
    if (visible)
        body.orbitNode->addChild(body.nearNode);
    else
        body.orbitNode->removeChild(body.nearNode);
    body.nearShown = visible;
}

// Moves each body's orbit node under `to` (by index), one pass over each
// old parent's children: the sun may hold thousands.
void moveOrbitNodes(const BodyRegistry& bodies, const std::vector<Ogre::SceneNode*>& to)
{
    std::vector<Ogre::Node*> parents;
    for (const auto& body : bodies)
        if (Ogre::Node* parent = body->orbitNode->getParent())
            parents.push_back(parent);
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    std::vector<Ogre::Node*> moving;
    for (const auto& body : bodies)
        moving.push_back(body->orbitNode);
    std::sort(moving.begin(), moving.end());
    for (Ogre::Node* parent : parents)
    {
        const Ogre::Node::ChildNodeMap children = parent->getChildren();
        parent->removeAllChildren();
        for (Ogre::Node* child : children)
            if (!std::binary_search(moving.begin(), moving.end(), child))
                parent->addChild(child);
    }
    for (std::size_t i = 0; i < bodies.size(); ++i)
        to[i]->addChild(bodies.at(i).orbitNode);
}

void makeSunMaterials()
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (!materials.resourceExists(sunMaterial))
    {
        // The disc as bright as the display can show; its glow dimmer.
        const Ogre::MaterialPtr disc = materials.create(sunMaterial, Ogre::RGN_DEFAULT);
        Ogre::Pass* pass = disc->getTechnique(0)->getPass(0);
        pass->setLightingEnabled(false);
        pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL, Ogre::LBS_CURRENT,
                                                             Ogre::ColourValue(1.0f, 0.97f, 0.88f));
    }
    if (!materials.resourceExists(glowMaterial))
    {
        const Ogre::MaterialPtr base = materials.getByName("Stars/SunGlow");
        if (base)
            base->clone(glowMaterial);
    }
}
}

TrueScaleWorld::TrueScaleWorld(Ogre::SceneManager* scene) : sceneManager(scene) {}

TrueScaleWorld::~TrueScaleWorld() = default;

void TrueScaleWorld::enter(const BodyRegistry& bodies)
{
    if (on)
        return;
    if (!flat)
    {
        flat = sceneManager->getRootSceneNode()->createChildSceneNode("TrueScale.Bodies");
        leftOutNode = sceneManager->createSceneNode("TrueScale.LeftOut");
    }
    const std::size_t count = bodies.size();
    kept.resize(count);
    shown.assign(count, false);
    places.assign(count, Vector3d{});
    parentOf.assign(count, -1);
    leftOutCount = 0;
    std::unordered_map<const Body*, std::size_t> indexOf;
    indexOf.reserve(count);
    std::vector<Ogre::SceneNode*> to(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        Body& body = bodies.at(i);
        indexOf.emplace(&body, i);
        const auto parent = body.parentBody ? indexOf.find(body.parentBody) : indexOf.end();
        const bool parentShown = body.definition.Parent == sceneNames::sun || (parent != indexOf.end() && shown[parent->second]);
        parentOf[i] = parent != indexOf.end() ? long(parent->second) : -1;
        shown[i] = parentShown && body.orbitDated() && hasRealValues(body.definition);
        Ogre::SceneNode* ring = ringNode(body, sceneManager);
        kept[i] = {body.orbitNode->getParentSceneNode(), body.nearNode->getScale(), body.farNode->getScale(),
                   ring ? ring->getScale() : Ogre::Vector3::UNIT_SCALE, body.orbitNode->getOrientation(),
                   body.orbitNode->getPosition()};
        to[i] = shown[i] ? flat : leftOutNode;
        body.atTrueScale = true;
        if (!shown[i])
        {
            ++leftOutCount;
            showNear(body, false);
            body.farShown = false;
            continue;
        }
        const float radius = float(body.definition.RadiusKm);
        body.drawnRadius = radius;
        if (Ogre::Entity* entity = nearEntity(body))
        {
            const float scale = radius / entity->getBoundingRadius();
            body.nearNode->setScale(scale, scale, scale);
            // The mesh's levels of detail switch at display-scale distances: as
            // far in the body's real radii, so that a body filling the view has
            // its finest mesh. The engine divides its squared distance by the bias.
            const float farther = radius / body.definition.Size;
            entity->setMeshLodBias(farther * farther);
        }
        body.farNode->setScale(radius, radius, radius);
        const float ringScale = radius / body.definition.Size;
        if (ring)
            ring->setScale(ringScale, ringScale, ringScale);
        if (Ogre::ManualObject* ringObject = ringOf(body, sceneManager))
            ringObject->getSections().front()->setCustomParameter(
                0, Ogre::Vector4(body.definition.RingInner, body.definition.RingOuter, radius, 0.0f));
        body.orbitNode->setOrientation(Ogre::Quaternion::IDENTITY);
    }
    moveOrbitNodes(bodies, to);
    showSun(true);
    on = true;
}

void TrueScaleWorld::leave(const BodyRegistry& bodies)
{
    if (!on)
        return;
    on = false;
    std::vector<Ogre::SceneNode*> to(bodies.size());
    for (std::size_t i = 0; i < bodies.size() && i < kept.size(); ++i)
        to[i] = kept[i].parent;
    moveOrbitNodes(bodies, to);
    for (std::size_t i = 0; i < bodies.size() && i < kept.size(); ++i)
    {
        Body& body = bodies.at(i);
        const Kept& was = kept[i];
        body.atTrueScale = false;
        body.drawnRadius = body.definition.Size;
        body.nearNode->setScale(was.nearScale);
        if (Ogre::Entity* entity = nearEntity(body))
            entity->setMeshLodBias(1.0f);
        body.farNode->setScale(was.farScale);
        if (Ogre::SceneNode* ring = ringNode(body, sceneManager))
            ring->setScale(was.ringScale);
        if (Ogre::ManualObject* ringObject = ringOf(body, sceneManager))
            ringObject->getSections().front()->setCustomParameter(
                0, Ogre::Vector4(body.definition.RingInner, body.definition.RingOuter, body.definition.Size, 0.0f));
        body.orbitNode->setOrientation(was.orbitTurn);
        body.orbitNode->setPosition(was.orbitPlace);
        body.farShown = true;
    }
    kept.clear();
    showSun(false);
}

void TrueScaleWorld::showSun(bool trueScale)
{
    Ogre::SceneNode* sun = sceneManager->getSceneNode(sceneNames::sunNode);
    Ogre::Light* light = sceneManager->getLight(sceneNames::sunLight);
    if (sceneManager->hasSceneNode(sceneNames::sunParticle))
        sceneManager->getSceneNode(sceneNames::sunParticle)->setVisible(!trueScale);
    if (trueScale && !sunDisc)
    {
        makeSunMaterials();
        sunDisc = sun->createChildSceneNode(sunDiscName);
        Ogre::Entity* disc = sceneManager->createEntity(sunDiscName, sceneNames::sphereMeshes[1].name);
        disc->setMaterialName(sunMaterial);
        disc->setCastShadows(false);
        sunDisc->attachObject(disc);
        const float scale = float(sunRadiusKm) / disc->getBoundingRadius();
        sunDisc->setScale(scale, scale, scale);
        sunGlow = sceneManager->createBillboardSet(sunGlowName, 1);
        sunGlow->setMaterialName(Ogre::MaterialManager::getSingleton().resourceExists(glowMaterial) ? glowMaterial
                                                                                                   : sunMaterial);
        sunGlow->createBillboard(Ogre::Vector3::ZERO, Ogre::ColourValue(0.55f, 0.42f, 0.2f));
        sunGlow->setCastShadows(false);
        sunDisc->getParentSceneNode()->attachObject(sunGlow);
    }
    if (sunDisc)
    {
        sunDisc->setVisible(trueScale);
        sunGlow->setVisible(trueScale);
    }
    if (trueScale)
    {
        // The light stands at the Sun, wherever the camera puts it, and
        // reaches the edge of the system undimmed: the settings' fall-off is
        // the display's, in its units.
        if (!light->isAttached())
            sun->attachObject(light);
        light->setAttenuation(1e15f, appSettings.Constant, 0.0f, 0.0f);
    }
    else
    {
        if (light->isAttached())
            light->detachFromParent();
        sun->setPosition(Ogre::Vector3::ZERO);
        updateLights(sceneManager);
        moveShadingSun(Ogre::Vector3::ZERO, sunRadiusOf(sceneManager), sceneManager, bodyRegistry);
    }
}

void TrueScaleWorld::place(const BodyRegistry& bodies, double days, const Vector3d& cameraKm, double pixelsPerRadian)
{
    if (!on)
        return;
    camera = cameraKm;
    // Every body moves: the flat rig's children are all updated, and none
    // is queued one by one in its set of children to update.
    flat->needUpdate();
    const std::size_t count = std::min(bodies.size(), shown.size());
    for (std::size_t i = 0; i < count; ++i)
    {
        if (!shown[i])
            continue;
        Body& body = bodies.at(i);
        const std::optional<Vector3d> fromParent =
            realPlaceFromParentKm(body, days, body.eccentricAnomaly, body.theoryTrack.get());
        if (!fromParent || !std::isfinite(fromParent->x) || !std::isfinite(fromParent->y) ||
            !std::isfinite(fromParent->z))
            continue;
        // Parents come before their moons: the parent's place is this frame's.
        places[i] = (parentOf[i] >= 0 ? places[std::size_t(parentOf[i])] : Vector3d{}) + worldAxesOf(*fromParent);
        // The one place a large number meets the engine: already small.
        const Vector3d relative = places[i] - cameraKm;
        body.orbitNode->setPosition(toFloat(relative));
        const double distance = relative.length();
        const bool inside = distance <= body.definition.RadiusKm;
        const bool model = inside || body.definition.RadiusKm / distance * pixelsPerRadian >= modelPixels;
        showNear(body, model);
        body.farShown = !model;
    }
    placeDatedSpins(days);

    // The Sun: its disc, a glow never too small to find, and the light.
    Ogre::SceneNode* sun = sceneManager->getSceneNode(sceneNames::sunNode);
    const Ogre::Vector3 sunCentre = toFloat(-cameraKm);
    sun->setPosition(sunCentre);
    const double sunDistance = cameraKm.length();
    if (sunGlow)
    {
        const double glowRadius = std::max(glowRadii * sunRadiusKm, sunDistance * leastGlowPixels / pixelsPerRadian);
        sunGlow->setDefaultDimensions(float(2.0 * glowRadius), float(2.0 * glowRadius));
    }
    moveShadingSun(sunCentre, float(sunRadiusKm), sceneManager, bodies);
    for (Ogre::MovableObject* object : sceneManager->getRootSceneNode()->getAttachedObjects())
        if (auto* spheres = dynamic_cast<FarSpheres*>(object))
            spheres->sunCentre = sunCentre;
    workOutRanges(bodies, cameraKm);
}

double TrueScaleWorld::nearestSurfaceKm(const Vector3d& cameraKm) const
{
    double nearest = cameraKm.length() - sunRadiusKm;
    for (std::size_t i = 0; i < shown.size(); ++i)
    {
        if (!shown[i])
            continue;
        const double surface = (places[i] - cameraKm).length() - bodyRegistry.at(i).definition.RadiusKm;
        if (std::abs(surface) < std::abs(nearest))
            nearest = surface;
    }
    return nearest;
}

void TrueScaleWorld::workOutRanges(const BodyRegistry& bodies, const Vector3d& cameraKm)
{
    spans.clear();
    const auto add = [&](double distance, double radius) {
        // From inside a body its surface is not drawn (its faces turn away).
        if (distance > radius)
            spans.push_back({distance - radius, distance + radius});
    };
    add(cameraKm.length(), glowRadii * sunRadiusKm);
    for (const auto& [centre, radius] : others)
        add((centre - cameraKm).length(), radius);
    // A dot is a pixel: its depth need only fall within the ranges, which
    // run on from the nearest to the farthest, so the nearest and farthest
    // dots stand for them all and thousands are not sorted every frame.
    double nearestDot = INFINITY;
    double farthestDot = 0.0;
    for (std::size_t i = 0; i < shown.size() && i < bodies.size(); ++i)
    {
        if (!shown[i])
            continue;
        const Body& body = bodies.at(i);
        const double distance = (places[i] - cameraKm).length();
        if (!body.nearShown)
        {
            nearestDot = std::min(nearestDot, distance);
            farthestDot = std::max(farthestDot, distance);
            continue;
        }
        const BodyDefinition& d = body.definition;
        const double reach = d.hasRing() ? std::max(1.0, double(d.RingOuter) / d.Size) : 1.0;
        add(distance, d.RadiusKm * reach);
    }
    if (farthestDot > 0.0)
    {
        spans.push_back({nearestDot, nearestDot});
        spans.push_back({farthestDot, farthestDot});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.nearKm < b.nearKm; });
    // Clusters of what overlaps in depth, then ranges of clusters within the
    // ratio, each starting a little before its nearest surface.
    ranges.clear();
    for (const Span& span : spans)
    {
        if (!ranges.empty() && span.farKm <= rangeRatio * ranges.back().nearKm)
            ranges.back().farKm = std::max(ranges.back().farKm, span.farKm);
        else if (!ranges.empty() && span.nearKm <= ranges.back().farKm)
            ranges.back().farKm = std::max(ranges.back().farKm, span.farKm);   // one cluster is never split
        else
            ranges.push_back({std::max(shortestNearKm, 0.9 * span.nearKm), span.farKm});
    }
    if (ranges.empty())
        ranges.push_back({1.0, 1e12});
    // Each range reaches the next one's near clip, the last well beyond its
    // farthest body: the orbits and the glow between are drawn too.
    for (std::size_t r = 0; r + 1 < ranges.size(); ++r)
        ranges[r].farKm = ranges[r + 1].nearKm;
    ranges.back().farKm = std::max(2.0 * ranges.back().farKm, rangeRatio * ranges.back().nearKm);
    std::reverse(ranges.begin(), ranges.end());
}
