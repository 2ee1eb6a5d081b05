// The per-frame steps allocate nothing: every allocation of the process is
// counted while they run. A test binary of its own, since it replaces the
// global operator new.

#include "HeadlessEngine.h"
#include "bench/AllocationCounter.h"
#include "scene/BodyRig.h"
#include "scene/BodyShading.h"
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

TEST_F(StepAllocationTest, MotionAndDetailStepsAndShadowCastersAllocateNothing)
{
    createSun(sceneManager);
    createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
    // Planets, moons and moons of moons, some of them still, some following
    // the clock (a precessing orbit, a spin), under frame-locked parents too.
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
        if (i % 5 == 1)
        {
            definition.OrbitDays = 3.0 + i;
            definition.Eccentricity = 0.3;
            definition.NodeDays = i % 2 ? -40.0 : 0.0;
        }
        if (i % 7 == 2)
            definition.RotationHours = 5.0 + i;
        if (i % 9 == 0)
        {
            definition.RingInner = 8;
            definition.RingOuter = 12;
            definition.RingMap = "rings.png";
        }
        Body* body = new Body(section, definition);
        bodyRegistry.add(body);
        rigBody(*body, sceneManager);
    }
    // The shadow casters the bodies' own shading is handed every frame.
    shadeBodies(bodyRegistry, sceneManager);
    ASSERT_GT(shadedBodyCount(), 10u);
    Ogre::SceneNode* rootNode = sceneManager->getRootSceneNode();
    for (int frame = 0; frame < 200; ++frame)
    {
        countingAllocations = true;
        runMotionStep();
        placeDatedBodies(frame * 0.1);
        runDetailStep(Ogre::Vector3(0, 0, float(frame * 10 - 1000)));   // sweeping through, so detail switches
        countingAllocations = false;
        rootNode->_update(true, false);
        countingAllocations = true;
        writeShadowCasters();
        countingAllocations = false;
    }
    EXPECT_EQ(0, allocationCount);
}
}
