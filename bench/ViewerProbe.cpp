// The viewer with a stopwatch: the real start-up sequence, application and
// frame listener, timed phase by phase, then frame times at fixed views
// (the start view, the start view with every orbit line drawn, and close-ups
// after the same jump a mouse click makes), then the system file read again
// as the viewer reads it when it changes, a number of times. Prints one JSON
// object and ends by itself. Run it in a working folder and accept the
// dialog; scripts/bench does both.
//
//   orvtest-probe [frames per view] [reloads] [view ...]
//
// A view is "lines" (the start view with orbit lines), "moving" (the start
// view with the camera moved a little every frame), "moving-lines" (the
// same with orbit lines, which no frame can then reuse from the last),
// "sky" (the start view
// with the star field shown and hidden by turns, ten frames each, to tell
// its cost from a busy machine's swings), "truescale" (the view before it,
// switched to true scale as X switches it) or a section to jump to.

#include "app/OrvTestApp.h"
#include "bench/ResidentMemory.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "config/ConfigFileReading.h"
#include "scene/OrbitLines.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/OrvTestFrameListener.h"

#include <OgreCamera.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace
{
double now()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Seconds of processor time the whole process (the renderer's threads too)
// has had: on a shared machine a frame's cost, where its wall time is also
// the other programs'.
double processorSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + 1e-9 * double(time.tv_nsec);
}

struct View
{
    std::string name;     // "start" or a section name to jump to
    std::vector<double> frameMs;
    // The engine's own update of the scene graph after a motion step, timed
    // alone: the floor under any frame of this scene.
    std::vector<double> updateMs;
    std::vector<double> hiddenMs;   // "sky": the frames drawn without the star field
    std::vector<double> processorMs;         // "sky": each frame's processor time, shown
    std::vector<double> hiddenProcessorMs;   // and hidden
};

// Times the engine's scene-graph update of the whole tree as the rig builds
// it, four nodes a body (those the viewer keeps out of the scene graph put
// back for the measurement), as a frame's motion step leaves it to do, a
// number of times.
void timeSceneUpdate(Ogre::SceneManager* sceneManager, std::vector<double>& updateMs)
{
    std::vector<Ogre::SceneNode*> outOfTree;
    for (const auto& body : bodyRegistry)
        for (Ogre::SceneNode* node : {body->positionNode, body->nearNode, body->farNode})
            if (!node->getParent())
            {
                body->orbitNode->addChild(node);
                outOfTree.push_back(node);
            }
    Ogre::SceneNode* rootNode = sceneManager->getRootSceneNode();
    for (int n = 0; n < 30; ++n)
    {
        runMotionStep();
        const double start = now();
        rootNode->_update(true, false);
        updateMs.push_back((now() - start) * 1000.0);
    }
    for (Ogre::SceneNode* node : outOfTree)
        node->getParent()->removeChild(node);
}

// Steps through the views: settles, measures, jumps to the next, ends the loop.
class Stopwatch : public Ogre::FrameListener
{
public:
    Stopwatch(Ogre::Camera* viewCamera, std::vector<View>& measuredViews, int frames, OrbitViewer& orbitViewer)
        : camera(viewCamera), views(measuredViews), framesPerView(frames), viewer(orbitViewer)
    {
    }

    bool frameEnded(const Ogre::FrameEvent&) override
    {
        // The clock, not the engine's frame time: that counts whole milliseconds.
        const double ended = now();
        if (firstFrame == 0.0)
        {
            firstFrame = ended;
            startPosition = camera->getParentSceneNode()->getPosition();
        }
        if (current >= views.size())
            return false;
        Ogre::SceneNode* stars = camera->getSceneManager()->getSceneNode("StarField");
        const double processor = processorSeconds();
        if (++frame > settleFrames)
        {
            const bool shown = stars->getAttachedObject(0)->getVisible();
            (shown ? views[current].frameMs : views[current].hiddenMs).push_back((ended - lastEnded) * 1000.0);
            (shown ? views[current].processorMs : views[current].hiddenProcessorMs)
                .push_back((processor - lastProcessor) * 1000.0);
        }
        lastProcessor = processor;
        if (views[current].name == "moving" || views[current].name == "moving-lines")
            camera->getParentSceneNode()->setPosition(startPosition +
                                                      Ogre::Vector3(20.0f * std::sin(0.1f * float(frame)), 0.0f, 0.0f));
        if (views[current].name == "sky")
            stars->getAttachedObject(0)->setVisible((frame / 10) % 2 == 0);
        lastEnded = ended;
        if (frame < settleFrames + framesPerView)
            return true;
        stars->getAttachedObject(0)->setVisible(true);
        timeSceneUpdate(camera->getSceneManager(), views[current].updateMs);
        lastEnded = now();
        frame = 0;
        camera->getParentSceneNode()->setPosition(startPosition);
        if (++current >= views.size())
            return false;
        if (lines)
            lines->destroy();
        lines.reset();
        if (views[current].name == "lines" || views[current].name == "moving-lines")
        {
            lines.reset(new OrbitLines(camera->getSceneManager()));
            lines->create(bodyRegistry);
            return true;
        }
        if (views[current].name == "truescale")
        {
            viewer.setTrueScale(true);
            return true;
        }
        for (const auto& body : bodyRegistry)
            if (body->sectionName == views[current].name)
                jumpCameraToBody(camera->getParentSceneNode(), *body);
        return true;
    }

    double firstFrame = 0.0;
    double lastEnded = 0.0;
    double lastProcessor = 0.0;

private:
    static constexpr int settleFrames = 30;
    Ogre::Camera* camera;
    std::vector<View>& views;
    int framesPerView;
    OrbitViewer& viewer;
    size_t current = 0;
    int frame = 0;
    Ogre::Vector3 startPosition = Ogre::Vector3::ZERO;
    std::unique_ptr<OrbitLines> lines;
};

// Reads the system file again as the viewer does when it changes, and
// replaces every body, `count` times: the time of each and the memory after
// the first and the last.
struct Reloads
{
    std::vector<double> ms;
    std::vector<double> returnMs;  // handing the freed pages back, the frame after
    long afterFirstKiB = 0;
    long afterLastKiB = 0;
    long heapAfterFirstKiB = 0;   // bytes the allocator has handed out and not had back
    long heapAfterLastKiB = 0;
};

Reloads timeReloads(OrbitViewer& viewer, int count)
{
    Reloads reloads;
    const std::string file = appSettings.StaticSystem;
    for (int n = 0; n < count; ++n)
    {
        const double start = now();
        if (!viewer.reloadSystemFrom(file, readConfigText(file)))
            std::fprintf(stderr, "reload failed\n");
        reloads.ms.push_back((now() - start) * 1000.0);
        // What the next frame does after a reload, timed on its own.
        const double returning = now();
        viewer.returnOwedPages();
        reloads.returnMs.push_back((now() - returning) * 1000.0);
        (n == 0 ? reloads.afterFirstKiB : reloads.afterLastKiB) = residentKiB();
        const struct mallinfo2 heap = mallinfo2();
        (n == 0 ? reloads.heapAfterFirstKiB : reloads.heapAfterLastKiB) = long((heap.uordblks + heap.hblkhd) / 1024);
    }
    return reloads;
}

class ProbeApp : public OrvTestApp
{
public:
    ProbeApp(std::vector<View>& measuredViews, int framesPerView, int reloadCount)
        : views(measuredViews), frames(framesPerView), reloadTimes(reloadCount)
    {
    }
    ~ProbeApp() override
    {
        if (root && stopwatch)
            root->removeFrameListener(stopwatch);
        delete stopwatch;
    }

    double rootMade = 0, windowOpen = 0, resourcesReady = 0, sceneBuilt = 0, listenerMade = 0;
    Stopwatch* stopwatch = nullptr;
    Reloads reloads;

protected:
    // After the views, with the engine and the listener still there.
    void tearDownScene() override
    {
        if (reloadTimes > 0)
            reloads = timeReloads(static_cast<OrvTestFrameListener*>(frameListener)->orbitViewer(), reloadTimes);
    }

    void declareResourceLocations() override
    {
        rootMade = now();
        OrvTestApp::declareResourceLocations();
    }
    bool openRenderWindow() override
    {
        const bool open = OrvTestApp::openRenderWindow();
        windowOpen = now();
        return open;
    }
    void loadResourceGroups() override
    {
        OrvTestApp::loadResourceGroups();
        resourcesReady = now();
    }
    void buildScene() override
    {
        OrvTestApp::buildScene();
        sceneBuilt = now();
    }
    void makeFrameListener() override
    {
        OrvTestApp::makeFrameListener();
        stopwatch = new Stopwatch(camera, views, frames,
                                  static_cast<OrvTestFrameListener*>(frameListener)->orbitViewer());
        root->addFrameListener(stopwatch);
        listenerMade = now();
    }

private:
    std::vector<View>& views;
    int frames;
    int reloadTimes;
};

void printStats(const View& view, bool last)
{
    std::vector<double> ms = view.frameMs;
    std::sort(ms.begin(), ms.end());
    const double median = ms.empty() ? 0 : ms[ms.size() / 2];
    const double p95 = ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    std::vector<double> update = view.updateMs;
    std::sort(update.begin(), update.end());
    const auto medianOf = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    std::printf("    {\"view\": \"%s\", \"frames\": %zu, \"medianMs\": %.3f, \"p95Ms\": %.3f, \"updateMs\": %.3f, "
                "\"hiddenMedianMs\": %.3f, \"processorMs\": %.3f, \"hiddenProcessorMs\": %.3f}%s\n",
                view.name.c_str(), ms.size(), median, p95, update.empty() ? 0.0 : update[update.size() / 2],
                medianOf(view.hiddenMs), medianOf(view.processorMs), medianOf(view.hiddenProcessorMs),
                last ? "" : ",");
}
}

int main(int argc, char** argv)
{
    const double start = now();
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    const int reloads = argc > 2 ? std::atoi(argv[2]) : 0;
    std::vector<View> views{{"start", {}, {}, {}, {}, {}}};
    for (int i = 3; i < argc; ++i)
        views.push_back({argv[i], {}, {}, {}, {}, {}});

    loadSettings("OrvTest.cfg");
    const double settingsRead = now();
    loadSystemFile(appSettings.StaticSystem);
    const double systemRead = now();

    ProbeApp app(views, frames, reloads);
    app.run();
    std::printf("{\n  \"processStart\": %.6f,\n  \"settings\": %.6f,\n  \"system\": %.6f,\n", start, settingsRead,
                systemRead);
    std::printf("  \"rootMade\": %.6f,\n  \"windowOpen\": %.6f,\n  \"resourcesReady\": %.6f,\n", app.rootMade,
                app.windowOpen, app.resourcesReady);
    std::printf("  \"sceneBuilt\": %.6f,\n  \"listenerMade\": %.6f,\n  \"firstFrame\": %.6f,\n", app.sceneBuilt,
                app.listenerMade, app.stopwatch ? app.stopwatch->firstFrame : 0.0);
    const auto medianOf = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    std::printf("  \"returnPagesMs\": %.3f,\n", medianOf(app.reloads.returnMs));
    std::printf("  \"reloads\": %zu,\n  \"reloadMs\": %.3f,\n  \"rssAfterFirstReloadKiB\": %ld,\n"
                "  \"rssAfterLastReloadKiB\": %ld,\n  \"heapAfterFirstReloadKiB\": %ld,\n"
                "  \"heapAfterLastReloadKiB\": %ld,\n",
                app.reloads.ms.size(), medianOf(app.reloads.ms), app.reloads.afterFirstKiB,
                app.reloads.afterLastKiB, app.reloads.heapAfterFirstKiB, app.reloads.heapAfterLastKiB);
    std::printf("  \"bodies\": %zu,\n  \"views\": [\n", bodyRegistry.size());
    for (size_t i = 0; i < views.size(); ++i)
        printStats(views[i], i + 1 == views.size());
    std::printf("  ]\n}\n");
    bodyRegistry.clear();
    return 0;
}
