#include "scene/CometTails.h"

#include "catalogue/SmallBodies.h"
#include "sim/DisplayScale.h"

#include <OgreBillboardChain.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

namespace
{
const char* const tailMaterial = "OrvTest/CometTail";
}

double CometTails::tailBrightness(double r)
{
    if (!(r < farthestAU))
        return 0.0;
    if (r <= fadeBeginsAU)
        return 1.0;
    const double t = (farthestAU - r) / (farthestAU - fadeBeginsAU);
    return t * t * (3.0 - 2.0 * t);
}

double CometTails::tailLengthAU(double r)
{
    if (!(r > 0.0))
        return 0.0;
    // A short tail for a comet that grazes the Sun, not one beyond the planets.
    return 0.5 / std::max(r, 0.1) * tailBrightness(r);
}

CometTails::CometTails(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

CometTails::~CometTails()
{
    if (chains)
        sceneManager->destroyBillboardChain(chains);
}

void CometTails::setCatalogues(const std::vector<std::shared_ptr<const SmallBodies>>& shown)
{
    if (shown == catalogues)
        return;
    catalogues = shown;
    listed.clear();
    for (const auto& bodies : catalogues)
        if (bodies)
            for (std::size_t i = 0; i < bodies->size(); ++i)
                if (bodies->kind(i) == BodyKind::Comet && bodies->elements(i).perihelionDistance < farthestAU)
                    listed.push_back({bodies, i});
}

void CometTails::update(double days, const RadialMap& map)
{
    drawn.clear();
    for (const Listed& comet : listed)
    {
        const Vector3d place = comet.bodies->positionAt(comet.index, days);
        const double r = place.length();
        const double length = tailLengthAU(r);
        if (!(length > 0.0))
            continue;
        drawn.push_back({comet.bodies.get(), comet.index, displayPlace(place, map),
                         displayPlace(place * (1.0 + length / r), map), float(tailBrightness(r))});
    }
    if (drawn.empty() && !chains)
        return;
    if (!chains)
    {
        chains = sceneManager->createBillboardChain();
        chains->setMaterialName(tailMaterial);
        chains->setUseTextureCoords(true);
        chains->setUseVertexColours(true);
        chains->setCastShadows(false);
        sceneManager->getRootSceneNode()->attachObject(chains);
    }
    if (chains->getNumberOfChains() < drawn.size())
    {
        chains->setNumberOfChains(drawn.size() + 64);
        chains->setMaxChainElements(elements);
    }
    chains->clearAllChains();
    for (std::size_t n = 0; n < drawn.size(); ++n)
    {
        const Tail& tail = drawn[n];
        const float width = 0.12f * tail.head.distance(tail.end);
        for (int k = 0; k < elements; ++k)
        {
            const float along = float(k) / float(elements - 1);
            // Pale blue, fading to nothing at its end; wider as it spreads.
            const float shade = tail.brightness * (1.0f - along) * (1.0f - along);
            chains->addChainElement(n, Ogre::BillboardChain::Element(tail.head + (tail.end - tail.head) * along,
                                                                     width * (0.3f + 0.7f * along), 0.5f + 0.5f * along,
                                                                     Ogre::ColourValue(0.6f * shade, 0.75f * shade,
                                                                                       shade, shade),
                                                                     Ogre::Quaternion::IDENTITY));
        }
    }
}
