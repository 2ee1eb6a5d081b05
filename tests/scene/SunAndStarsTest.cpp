#include "HeadlessEngine.h"
#include "config/AppSettings.h"
#include "scene/SunAndStars.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreLight.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdlib>
#include <vector>

namespace
{
using SunAndStarsTest = HeadlessEngine;

// Its glow's particles are RealSkyTest's.
TEST_F(SunAndStarsTest, TheSunIsAParticleEffectAtTheOriginLitByAPointLightFromTheSettings)
{
    createSun(sceneManager);
    Ogre::SceneNode* sun = sceneManager->getSceneNode("Sun.Position");
    EXPECT_TRUE(sceneManager->getRootSceneNode() == sun->getParent() && sun->getPosition() == Ogre::Vector3::ZERO);
    EXPECT_EQ(sun, sceneManager->getParticleSystem("SunParticle")->getParentSceneNode()->getParent());

    appSettings.SpecularLight = Ogre::ColourValue(0.1f, 0.2f, 0.3f);
    appSettings.Range = 1234.0f;
    appSettings.Constant = 0.25f;
    appSettings.Linear = 0.5f;
    appSettings.Quadratic = 0.75f;
    createSunLight(sceneManager);
    Ogre::Light* light = sceneManager->getLight("SunLight");
    EXPECT_EQ(Ogre::Light::LT_POINT, light->getType());
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, light->getDerivedPosition()));
    EXPECT_EQ(appSettings.SpecularLight, light->getSpecularColour());
    EXPECT_EQ(Ogre::Vector4(1234.0f, 0.25f, 0.5f, 0.75f), light->getAttenuation());
}

std::vector<Ogre::Vector3> buildStars(Ogre::SceneManager* sceneManager)
{
    // An unseeded process starts as if seeded with 1.
    std::srand(1);
    createStarField(sceneManager);
    Ogre::BillboardSet* stars = sceneManager->getBillboardSet("StarField");
    EXPECT_EQ("Stars/Star1", stars->getMaterialName());
    std::vector<Ogre::Vector3> positions;
    for (int i = 0; i < stars->getNumBillboards(); ++i)
        positions.push_back(stars->getBillboard(i)->getPosition());
    return positions;
}

TEST_F(SunAndStarsTest, StarsFillTheCubeTheSameWayEveryRunAsManyAsTheDensity)
{
    for (const auto& [density, stars] : {std::make_pair(0, 0), std::make_pair(-5, 0), std::make_pair(300, 300),
                                         std::make_pair(2147483647, maxStarCount)})
    {
        sceneManager->clearScene();
        appSettings.Density = density;
        EXPECT_EQ(std::size_t(stars), buildStars(sceneManager).size()) << density;
    }
    sceneManager->clearScene();
    appSettings.Density = 2000;
    appSettings.Distance = 500.0f;
    const std::vector<Ogre::Vector3> first = buildStars(sceneManager);
    Ogre::Vector3 extent = Ogre::Vector3::ZERO;
    for (const Ogre::Vector3& star : first)
        for (int axis = 0; axis < 3; ++axis)
            extent[axis] = std::max(extent[axis], std::abs(star[axis]));
    // A cube, not a shell: every axis reaches out to the faces, and no further.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(500, 500, 500), extent, 1.0f)) << extent;
    sceneManager->clearScene();
    EXPECT_EQ(first, buildStars(sceneManager));
}
}
