#include "scene/Rings.h"

#include "sim/Body.h"
#include "sim/SceneNames.h"

#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <cmath>

namespace
{
const char* const ringTemplate = "OrvTest/Ring";
// Blended after the main queue, stars and glow included: none of them writes
// depth, so a star drawn after the ring would shine through it.
constexpr Ogre::uint8 ringQueue = Ogre::RENDER_QUEUE_MAIN + 1;
}

std::string materialWithMap(const std::string& templateName, const std::string& map)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    const Ogre::MaterialPtr base = materials.getByName(templateName);
    if (!base)
        return "";
    const std::string name = templateName + "/" + map;
    if (!materials.resourceExists(name))
        base->clone(name)->getTechnique(0)->getPass(0)->getTextureUnitState(0)->setTextureName(map);
    return name;
}

void makeRing(Body& body, Ogre::SceneManager* sceneManager)
{
    const BodyDefinition& d = body.definition;
    if (!d.hasRing())
        return;
    const std::string name = sceneNames::ringNode(body.sectionName);
    const std::string material = materialWithMap(ringTemplate, d.RingMap);
    Ogre::ManualObject* ring = sceneManager->createManualObject(name);
    // A strip of quads between the radii; the outer corners stand out far
    // enough for the straight edges to hold the circle.
    const float inner = d.RingInner;
    const float outer = d.RingOuter / std::cos(Ogre::Math::PI / ringSegments);
    ring->begin(material.empty() ? ringTemplate : material, Ogre::RenderOperation::OT_TRIANGLE_LIST);
    for (int s = 0; s <= ringSegments; ++s)
    {
        const float angle = Ogre::Math::TWO_PI * float(s) / ringSegments;
        ring->position(inner * std::cos(angle), 0.0f, inner * std::sin(angle));
        ring->position(outer * std::cos(angle), 0.0f, outer * std::sin(angle));
    }
    for (Ogre::uint32 s = 0; s < ringSegments; ++s)
        ring->quad(2 * s, 2 * s + 1, 2 * s + 3, 2 * s + 2);
    // The program's radii: the ring's and the body's own, for its shadow.
    ring->end()->setCustomParameter(0, Ogre::Vector4(d.RingInner, d.RingOuter, d.Size, 0.0f));
    ring->setCastShadows(false);
    ring->setRenderQueueGroup(ringQueue);
    Ogre::SceneNode* node = body.nearNode->createChildSceneNode(name);
    node->setInheritScale(false);
    node->attachObject(ring);
}

Ogre::ManualObject* ringOf(const Body& body, Ogre::SceneManager* sceneManager)
{
    const std::string name = sceneNames::ringNode(body.sectionName);
    return sceneManager->hasManualObject(name) ? sceneManager->getManualObject(name) : nullptr;
}

void destroyRing(const Body& body, Ogre::SceneManager* sceneManager)
{
    if (Ogre::ManualObject* ring = ringOf(body, sceneManager))
        sceneManager->destroyManualObject(ring);
    if (Ogre::SceneNode* node = sceneManager->getSceneNode(sceneNames::ringNode(body.sectionName), false))
        sceneManager->destroySceneNode(node);
}
