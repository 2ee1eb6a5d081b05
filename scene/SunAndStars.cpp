#include "scene/SunAndStars.h"

#include "config/AppSettings.h"
#include "sim/SceneNames.h"

#include <OgreBillboardSet.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMath.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdlib>

float randomAngle()
{
    // rand() reaches 2^31 - 1 here, so the product needs more than an int.
    return float(static_cast<long long>(std::rand()) * 360);
}

void createSun(Ogre::SceneManager* sceneManager)
{
    Ogre::SceneNode* sunNode = sceneManager->getRootSceneNode()->createChildSceneNode(
        sceneNames::sunNode, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    Ogre::ParticleSystem* particles =
        sceneManager->createParticleSystem(sceneNames::sunParticle, sceneNames::sunParticleTemplate);
    Ogre::SceneNode* particleNode =
        sunNode->createChildSceneNode(sceneNames::sunParticle, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    particleNode->setPosition(0, 0, 0);
    particleNode->attachObject(particles);
}

namespace
{
void colourSunLight(Ogre::Light* light)
{
    light->setDiffuseColour(appSettings.DiffuseLight);
    light->setSpecularColour(appSettings.SpecularLight);
    light->setAttenuation(appSettings.Range, appSettings.Constant, appSettings.Linear,
                          appSettings.Quadratic);
}

void fillStarField(Ogre::BillboardSet* stars);
}

void createSunLight(Ogre::SceneManager* sceneManager)
{
    Ogre::Light* light = sceneManager->createLight(sceneNames::sunLight);
    light->setType(Ogre::Light::LT_POINT);
    // A light attached to no node stands at the world origin, where the sun is.
    colourSunLight(light);
}

void updateLights(Ogre::SceneManager* sceneManager)
{
    sceneManager->setAmbientLight(appSettings.AmbientLight);
    colourSunLight(sceneManager->getLight(sceneNames::sunLight));
}

void recreateStarField(Ogre::SceneManager* sceneManager)
{
    Ogre::BillboardSet* stars = sceneManager->getBillboardSet(sceneNames::starField);
    stars->clear();
    // The C runtime's sequence from its start, as at start-up.
    std::srand(1);
    fillStarField(stars);
}

void createStarField(Ogre::SceneManager* sceneManager)
{
    Ogre::BillboardSet* stars = sceneManager->createBillboardSet(sceneNames::starField, 20);
    Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode(
        sceneNames::starField, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    node->attachObject(stars);
    stars->setMaterialName(sceneNames::starMaterial);
    fillStarField(stars);
}

namespace
{
void fillStarField(Ogre::BillboardSet* stars)
{
    int count = appSettings.Density;
    if (count > maxStarCount)
    {
        Ogre::LogManager::getSingleton().logWarning(
            "StarField: Density " + std::to_string(count) + " capped at " +
            std::to_string(maxStarCount) + " stars");
        count = maxStarCount;
    }

    const float distance = appSettings.Distance;
    for (int n = 0; n < count; ++n)
    {
        // z first, then y, then x: the draw order fixes the sky.
        const float z = Ogre::Math::Sin(randomAngle(), false) * distance;
        const float y = Ogre::Math::Cos(randomAngle(), false) * distance;
        const float x = Ogre::Math::Cos(randomAngle(), false) * distance;
        stars->createBillboard(Ogre::Vector3(x, y, z), Ogre::ColourValue::White);
    }
}
}
