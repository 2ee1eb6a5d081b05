// Per-frame body work against the engine's own scene-graph update of the same
// tree, headless: ns per body per frame for runMotionStep + runDetailStep, the
// floor, their ratio, and heap allocations per frame inside the steps.
//
//   orvtest-bench-steps [frames] [bodies]   (scripts/bench runs it; bodies
//   picks one row's size, for a profiler)

#include "bench/AllocationCounter.h"
#include "config/AppSettings.h"
#include "config/SystemFileKeys.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/Picking.h"

#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Planets, their moons and moons of moons: every third body orbits the sun,
// the next its planet, the next that moon. Dated, they are a belt: each goes
// round the sun by the clock on an eccentric, tilted orbit, and spins by it.
void registerSystem(int count, bool dated)
{
    for (int i = 0; i < count; ++i)
    {
        char section[16];
        char parent[16];
        std::snprintf(section, sizeof section, "B%06d", i);
        std::snprintf(parent, sizeof parent, "B%06d", i - 1);
        const bool planet = dated || i % 3 == 0;
        BodyDefinition body = defaultBodyDefinition();
        body.Name = section;
        body.Parent = planet ? "Sun" : parent;
        body.Model = "SphereMesh_4x6";
        body.Material = "default";
        body.Size = 1.0f;
        body.OrbitRadius = planet ? 1000.0f + i : 30.0f;
        body.OrbitPeriod = 1.0f + i % 7;
        body.YawPeriod = 0.5f;
        body.OrbitCompleted = float(i * 37 % 360);
        body.NearDistance = 5000.0f;
        if (dated)
        {
            body.OrbitDays = 80.0 + i % 4000;
            body.Eccentricity = 0.01 * (i % 40);
            body.Inclination = i % 30;
            body.AscendingNode = i * 53 % 360;
            body.Periapsis = i * 71 % 360;
            body.MeanAnomaly = i * 37 % 360;
            body.RotationHours = 5.0 + i % 20;
        }
        bodyRegistry.add(new Body(section, body));
    }
}

void rigAll(Ogre::SceneManager* sceneManager)
{
    for (const auto& body : bodyRegistry)
    {
        rigBody(*body, sceneManager);
    }
}
}

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 200;
    const int onlyCount = argc > 2 ? std::atoi(argv[2]) : 0;
    if (frames < 1 || onlyCount < 0)
    {
        std::fprintf(stderr, "usage: orvtest-bench-steps [FRAMES (200)] [BODIES (every size)]\n");
        return 2;
    }
    Ogre::LogManager logManager;
    logManager.createLog("bench-steps.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    Ogre::MaterialManager::getSingleton().initialise();
    auto* buffers = new Ogre::DefaultHardwareBufferManager();
    auto* textures = new Ogre::DefaultTextureManager();
    auto* controllers = new Ogre::ControllerManager();
    Ogre::MaterialManager::getSingleton().create("Material.001", "General");

    std::printf("| bodies | time rate | steps ns/body/frame | engine update ns/body/frame | steps / engine | "
                "allocations/frame in steps |\n");
    std::printf("|---:|---|---:|---:|---:|---:|\n");
    // The time rate scales the turns, made once per change of rate; with
    // StepsPerSecond the number of steps changes every frame, and so do they.
    const struct
    {
        int count;
        const char* rate;
        double multiplier;
        bool everyFrame;
        bool dated;   // following the clock at six hours a second
    } runs[] = {{10, "1", 1.0, false, false},          {100, "1", 1.0, false, false},
                {1000, "1", 1.0, false, false},        {10000, "1", 1.0, false, false},
                {10000, "1024", 1024.0, false, false}, {10000, "1/64", 1.0 / 64, false, false},
                {10000, "60 steps/s", 0.0, true, false}, {10000, "dated, 6 h/s", 1.0, false, true}};
    double pickMs = 0.0;
    int pickedCount = 0;
    for (const auto& run : runs)
    {
        const int count = run.count;
        if (onlyCount && count != onlyCount)
            continue;
        Ogre::SceneManager* sceneManager = root->createSceneManager();
        sceneManager->getRootSceneNode()->createChildSceneNode("Sun.Position");
        if (!Ogre::MeshManager::getSingleton().resourceExists("SphereMesh_4x6.Mesh"))
            createSphereMesh("SphereMesh_4x6.Mesh", 4, 6);
        registerSystem(count, run.dated);
        rigAll(sceneManager);
        bodyRegistry.setStepMultiplier(run.everyFrame ? 1.0 : run.multiplier);
        Ogre::SceneNode* rootNode = sceneManager->getRootSceneNode();
        rootNode->_update(true, false);

        std::vector<double> steps;
        std::vector<double> floor;
        long allocationsInSteps = 0;
        // The camera sweeps through the system so that detail switches happen.
        for (int frame = 0; frame < frames; ++frame)
        {
            const Ogre::Vector3 camera(0.0f, 0.0f, -20000.0f + 200.0f * float(frame % 200));
            allocationCount = 0;
            countingAllocations = true;
            const auto start = Clock::now();
            // 60 steps a second at frame times around 1/100 s.
            if (run.everyFrame)
                bodyRegistry.setStepMultiplier(60.0 * (0.01 + 0.0001 * (frame % 7)));
            if (run.dated)
                placeDatedBodies(0.25 / 100.0 * frame);   // six hours a second, 100 frames a second
            else
                runMotionStep();
            runDetailStep(camera);
            const auto stepped = Clock::now();
            countingAllocations = false;
            allocationsInSteps += allocationCount;
            rootNode->_update(true, false);
            const auto updated = Clock::now();
            steps.push_back(std::chrono::duration<double, std::nano>(stepped - start).count() / count);
            floor.push_back(std::chrono::duration<double, std::nano>(updated - stepped).count() / count);
        }
        if (run.dated)
        {
            // Picking at the centre of the view, as C does, across the belt from outside it.
            std::vector<double> picks;
            const Ogre::Vector3 eye(0.0f, 0.0f, -20000.0f);
            for (int n = 0; n < 101; ++n)
            {
                const Ogre::Vector3 target(3000.0f * std::cos(0.0628f * n), 0.0f, 3000.0f * std::sin(0.0628f * n));
                const auto start = Clock::now();
                const int picked = bodyAtCentre(bodyRegistry, eye, (target - eye).normalisedCopy(), 0.001f);
                picks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                pickedCount += picked >= 0;
            }
            pickMs = median(picks);
        }
        const double stepsNs = median(steps);
        const double floorNs = median(floor);
        std::printf("| %d | %s | %.1f | %.1f | %.2f | %.2f |\n", count, run.rate, stepsNs, floorNs,
                    stepsNs / floorNs, double(allocationsInSteps) / frames);
        bodyRegistry.clear();
        root->destroySceneManager(sceneManager);
    }

    std::printf("\npicking at the centre of the view among 10000 bodies: %.3f ms (median of 101, %d found a body)\n",
                pickMs, pickedCount);

    delete controllers;
    delete textures;
    delete root;
    delete buffers;
    return 0;
}
