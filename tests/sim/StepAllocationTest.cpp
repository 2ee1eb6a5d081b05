// The per-frame steps allocate nothing: every allocation of the process is
// counted while they run. A test binary of its own, since it replaces the
// global operator new.

#include "HeadlessEngine.h"
#include "bench/AllocationCounter.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdlib>

namespace
{
using StepAllocationTest = HeadlessEngine;

TEST_F(StepAllocationTest, MotionAndDetailStepsAllocateNothing)
{
    createSun(sceneManager);
    createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
    // Planets, moons and moons of moons, some of them still.
    for (int i = 0; i < 60; ++i)
    {
        const std::string section = "B" + std::to_string(100 + i);
        const std::string parent = i % 3 == 0 ? "Sun" : "B" + std::to_string(99 + i);
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.Model = "SphereMesh_4x6";
        definition.OrbitRadius = 50;
        definition.OrbitPeriod = float(i % 4);
        definition.PitchPeriod = float(i % 5);
        definition.YawPeriod = 0.5f;
        definition.Far = i % 2 == 0;
        definition.NearDistance = 400;
        definition.FarDistance = 1000;
        Body* body = new Body(section, definition);
        bodyRegistry.add(body);
        rigBody(*body, sceneManager);
    }
    Ogre::SceneNode* rootNode = sceneManager->getRootSceneNode();
    for (int frame = 0; frame < 200; ++frame)
    {
        countingAllocations = true;
        runMotionStep();
        runDetailStep(Ogre::Vector3(0, 0, float(frame * 10 - 1000)));   // sweeping through, so detail switches
        countingAllocations = false;
        rootNode->_update(true, false);
    }
    EXPECT_EQ(0, allocationCount);
}
}
