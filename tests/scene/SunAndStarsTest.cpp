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

TEST_F(SunAndStarsTest, SunIsAParticleEffectOnTheOriginNode)
{
    createSun(sceneManager);
    Ogre::SceneNode* sun = sceneManager->getSceneNode("Sun.Position");
    EXPECT_EQ(sceneManager->getRootSceneNode(), sun->getParent());
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, sun->getPosition()));
    Ogre::SceneNode* particleNode = sceneManager->getSceneNode("SunParticle");
    EXPECT_EQ(sun, particleNode->getParent());
    Ogre::ParticleSystem* particles = sceneManager->getParticleSystem("SunParticle");
    EXPECT_EQ(particleNode, particles->getParentSceneNode());
    EXPECT_GT(particles->getNumEmitters(), 0u);
}

TEST_F(SunAndStarsTest, LightTakesColoursAndAttenuationFromTheSettings)
{
    appSettings.DiffuseLight = Ogre::ColourValue(0.9f, 0.8f, 0.7f);
    appSettings.SpecularLight = Ogre::ColourValue(0.1f, 0.2f, 0.3f);
    appSettings.Range = 1234.0f;
    appSettings.Constant = 0.25f;
    appSettings.Linear = 0.5f;
    appSettings.Quadratic = 0.75f;
    createSunLight(sceneManager);
    Ogre::Light* light = sceneManager->getLight("SunLight");
    EXPECT_EQ(Ogre::Light::LT_POINT, light->getType());
    EXPECT_EQ(nullptr, light->getParentSceneNode());
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, light->getDerivedPosition()));
    EXPECT_TRUE(coloursEqual(appSettings.DiffuseLight, light->getDiffuseColour()));
    EXPECT_TRUE(coloursEqual(appSettings.SpecularLight, light->getSpecularColour()));
    EXPECT_EQ(1234.0f, light->getAttenuationRange());
    EXPECT_EQ(0.25f, light->getAttenuationConstant());
    EXPECT_EQ(0.5f, light->getAttenuationLinear());
    EXPECT_EQ(0.75f, light->getAttenuationQuadric());
}

std::vector<Ogre::Vector3> buildStars(Ogre::SceneManager* sceneManager)
{
    // An unseeded process starts as if seeded with 1.
    std::srand(1);
    createStarField(sceneManager);
    Ogre::BillboardSet* stars = sceneManager->getBillboardSet("StarField");
    EXPECT_EQ("Stars/Star1", stars->getMaterialName());
    EXPECT_EQ(sceneManager->getSceneNode("StarField"), stars->getParentSceneNode());
    std::vector<Ogre::Vector3> positions;
    for (int i = 0; i < stars->getNumBillboards(); ++i)
    {
        positions.push_back(stars->getBillboard(i)->getPosition());
        EXPECT_EQ(Ogre::ColourValue::White, stars->getBillboard(i)->getColour());
    }
    return positions;
}

TEST_F(SunAndStarsTest, StarCountFollowsDensity)
{
    const struct
    {
        int density;
        size_t stars;
    } cases[] = {{0, 0}, {-5, 0}, {1, 1}, {300, 300}, {2147483647, size_t(maxStarCount)}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.density);
        sceneManager->clearScene();
        appSettings.Density = c.density;
        appSettings.Distance = 10.0f;
        EXPECT_EQ(c.stars, buildStars(sceneManager).size());
    }
}

TEST_F(SunAndStarsTest, StarsFillTheCubeTheSameWayEveryRun)
{
    appSettings.Density = 2000;
    appSettings.Distance = 500.0f;
    const std::vector<Ogre::Vector3> first = buildStars(sceneManager);
    ASSERT_EQ(2000u, first.size());
    Ogre::Vector3 extent = Ogre::Vector3::ZERO;
    for (const Ogre::Vector3& star : first)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            ASSERT_LE(std::abs(star[axis]), 500.0f);
            extent[axis] = std::max(extent[axis], std::abs(star[axis]));
        }
    }
    // A cube, not a shell: every axis reaches out to the faces.
    EXPECT_GT(extent.x, 499.0f);
    EXPECT_GT(extent.y, 499.0f);
    EXPECT_GT(extent.z, 499.0f);

    sceneManager->clearScene();
    const std::vector<Ogre::Vector3> second = buildStars(sceneManager);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i], second[i]) << "star " << i;

    // The first star: z from the first draw, then y, then x, each angle rand() × 360.
    std::srand(1);
    const long long r1 = std::rand(), r2 = std::rand(), r3 = std::rand();
    const float z = Ogre::Math::Sin(float(r1 * 360), false) * 500.0f;
    const float y = Ogre::Math::Cos(float(r2 * 360), false) * 500.0f;
    const float x = Ogre::Math::Cos(float(r3 * 360), false) * 500.0f;
    EXPECT_EQ(Ogre::Vector3(x, y, z), first[0]);
}
}
