// Placing the bodies' names, headless: the time of one frame's placing with
// names on (the clock's, and the thread's own processor time, which a busy
// machine disturbs less), at the start view, from above the ecliptic and beside the first
// asteroid, in a system file (the asteroid belt by default), and heap
// allocations per frame once grown. Each frame moves the clock on a little,
// so that the bodies move as they do with the clock running.
//
//   orvtest-bench-labels [SYSTEM FILE (belt.cfg)] [FRAMES (300)]

#include "bench/AllocationCounter.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SystemJudge.h"
#include "fuzz/HeadlessRoot.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sky/Clock.h"
#include "viewer/NameLabels.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace
{
using Stopwatch = std::chrono::steady_clock;

double threadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(double(values.size()) * share))];
}
}

int main(int argc, char** argv)
{
    const std::string systemFile = argc > 1 ? argv[1] : "belt.cfg";
    const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
    if (frames < 1)
    {
        std::fprintf(stderr, "usage: orvtest-bench-labels [SYSTEM FILE (belt.cfg)] [FRAMES (300)]\n");
        return 2;
    }
    HeadlessRoot engine(ORVTEST_DATA_DIR, ORVTEST_OGRE_PLUGIN_DIR, "bench-labels.log");
    Ogre::SceneManager* sceneManager = engine.createSceneManager();
    SystemVerdict verdict = judgeSystemText(systemFile, readConfigText(systemFile), meshExists);
    if (!verdict.bodies)
    {
        std::fprintf(stderr, "%s: not read\n", systemFile.c_str());
        return 1;
    }
    bodyRegistry.swapBodies(*verdict.bodies);
    Ogre::Camera* camera = createStartCamera(sceneManager);
    camera->setAspectRatio(800.0f / 600.0f);
    buildOrbitalScene(sceneManager, camera->getRealPosition());
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    const Ogre::Vector3 startPosition = cameraNode->getPosition();
    const Ogre::Quaternion startOrientation = cameraNode->getOrientation();
    // The day of the end-to-end test's pictures (tests/e2e/controls.py).
    const double start = *parseDate("2026-12-13T20:00");

    // The name widths of the overlay font at 15 pixels, about 8 pixels a character.
    std::vector<float> widths;
    for (const auto& body : bodyRegistry)
        widths.push_back(8.0f * float(body->definition.Name.size()));
    const int firstAsteroid = bodyRegistry.indexOf("Asteroid00000");

    std::printf("%zu bodies, %d frames a view, 800 x 600\n\n", bodyRegistry.size(), frames);
    std::printf("| view | names | median us | 95th percentile us | processor median us | allocations/frame |\n"
                "|---|---:|---:|---:|---:|---:|\n");
    for (const char* view : {"start", "from above", "beside the first asteroid"})
    {
        LabelLayout layout;
        LabelView labelView;
        labelView.sunRadius = 350.0f;   // half Sun.particle's particle_width
        std::vector<double> us;
        std::vector<double> processorUs;
        long allocations = 0;
        std::size_t names = 0;
        for (int frame = -20; frame < frames; ++frame)
        {
            placeDatedBodies(Clock(start + frame / 3600.0).dynamicalDays());
            if (std::string(view) == "start")
            {
                cameraNode->setPosition(startPosition);
                cameraNode->setOrientation(startOrientation);
            }
            else if (std::string(view) == "from above")
            {
                cameraNode->setPosition(0.0f, 20356.0f, 0.0f);
                cameraNode->setOrientation(Ogre::Quaternion(Ogre::Degree(-90.0f), Ogre::Vector3::UNIT_X));
            }
            else if (firstAsteroid >= 0)
            {
                jumpCameraToBody(cameraNode, bodyRegistry.at(std::size_t(firstAsteroid)));
                labelView.focus = firstAsteroid;
            }
            runDetailStep(cameraNode->getPosition());
            camera->getViewMatrix();
            const long before = allocationCount;
            countingAllocations = frame >= 0;
            const double processorStarted = threadMicroseconds();
            const auto started = Stopwatch::now();
            layout.placeLabels(bodyRegistry, *camera, labelView, widths, NameLabels::most);
            const auto ended = Stopwatch::now();
            const double processorEnded = threadMicroseconds();
            countingAllocations = false;
            if (frame < 0)
                continue;
            allocations += allocationCount - before;
            us.push_back(std::chrono::duration<double, std::micro>(ended - started).count());
            processorUs.push_back(processorEnded - processorStarted);
            names += layout.places().size();
        }
        std::printf("| %s | %.0f | %.0f | %.0f | %.0f | %.2f |\n", view, double(names) / frames, percentile(us, 0.5),
                    percentile(us, 0.95), percentile(processorUs, 0.5), double(allocations) / frames);
    }
    bodyRegistry.clear();
    engine.destroySceneManager(sceneManager);
    return 0;
}
