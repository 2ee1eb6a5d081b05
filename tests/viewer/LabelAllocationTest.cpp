// Every allocation of the process is counted while the names are placed: in
// the allocation test binary, which replaces the global operator new.

#include "HeadlessEngine.h"
#include "bench/AllocationCounter.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/NameLabels.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <string>
#include <vector>

namespace
{
using LabelAllocationTest = HeadlessEngine;

TEST_F(LabelAllocationTest, PlacingNamesAllocatesNothingOnceGrown)
{
    // More bodies than are ever candidates, in a ring the camera flies through,
    // some of them moons in front of or behind their planets.
    std::string system;
    for (int n = 0; n < 1500; ++n)
    {
        const std::string section = "B" + std::to_string(1000 + n);
        system += withValue(withValue(bodySection(section, "Sun",
                                                  "NearDistance=100000\nFarDistance=200000\nOrbitCompleted=" +
                                                      std::to_string(n * 0.24) + "\n"),
                                      "OrbitRadius", std::to_string(3000 + n % 40)),
                            "Size", std::to_string(2 + n % 30));
        if (n % 10 == 0)
            system += bodySection(section + ".Moon", section, "NearDistance=100000\nFarDistance=200000\n");
    }
    Ogre::Camera* camera = startScene(system);
    ASSERT_NE(nullptr, camera);
    std::vector<float> widths(bodyRegistry.size(), 60.0f);
    LabelLayout layout;
    LabelView view;
    view.focus = 7;
    view.sunRadius = 350.0f;
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    long counted = 0;
    for (int frame = 0; frame < 220; ++frame)
    {
        // Round the ring, looking ahead along it and out to the sun.
        const float angle = 0.02f * float(frame);
        cameraNode->setPosition(2800.0f * std::sin(angle), 50.0f, 2800.0f * std::cos(angle));
        cameraNode->lookAt(frame % 2 ? Ogre::Vector3::ZERO : Ogre::Vector3(3020.0f * std::sin(angle + 0.3f), 0.0f,
                                                                           3020.0f * std::cos(angle + 0.3f)),
                           Ogre::Node::TS_WORLD);
        camera->getViewMatrix();   // brought up to date outside the count, as the engine does before a frame
        // The first frames grow the buffers.
        countingAllocations = frame >= 20;
        const long before = allocationCount;
        layout.placeLabels(bodyRegistry, *camera, view, widths, NameLabels::most);
        countingAllocations = false;
        counted += allocationCount - before;
        ASSERT_FALSE(layout.places().empty()) << frame;
    }
    EXPECT_EQ(0, counted);
}
}
