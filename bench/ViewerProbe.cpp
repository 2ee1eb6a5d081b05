// The viewer with a stopwatch: the real start-up sequence, application and
// frame listener, timed phase by phase, then frame times at fixed views
// (the start view, and close-ups after the same jump a mouse click makes).
// Prints one JSON object and ends by itself. Run it in a working folder and
// accept the dialog; scripts/bench does both.
//
//   orvtest-probe [frames per view] [section ...]

#include "app/OrvTestApp.h"
#include "config/AppSettings.h"
#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"
#include "viewer/OrvTestFrameListener.h"

#include <OgreCamera.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
double now()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

struct View
{
    std::string name;     // "start" or a section name to jump to
    std::vector<double> frameMs;
};

// Steps through the views: settles, measures, jumps to the next, ends the loop.
class Stopwatch : public Ogre::FrameListener
{
public:
    Stopwatch(Ogre::Camera* viewCamera, std::vector<View>& measuredViews, int frames)
        : camera(viewCamera), views(measuredViews), framesPerView(frames)
    {
    }

    bool frameEnded(const Ogre::FrameEvent& evt) override
    {
        if (firstFrame == 0.0)
            firstFrame = now();
        if (current >= views.size())
            return false;
        if (++frame > settleFrames)
            views[current].frameMs.push_back(evt.timeSinceLastFrame * 1000.0);
        if (frame < settleFrames + framesPerView)
            return true;
        frame = 0;
        if (++current >= views.size())
            return false;
        for (const auto& body : bodyRegistry)
            if (body->sectionName == views[current].name)
                jumpCameraToBody(camera->getParentSceneNode(), *body);
        return true;
    }

    double firstFrame = 0.0;

private:
    static constexpr int settleFrames = 30;
    Ogre::Camera* camera;
    std::vector<View>& views;
    int framesPerView;
    size_t current = 0;
    int frame = 0;
};

class ProbeApp : public OrvTestApp
{
public:
    ProbeApp(std::vector<View>& measuredViews, int framesPerView) : views(measuredViews), frames(framesPerView) {}
    ~ProbeApp() override
    {
        if (root && stopwatch)
            root->removeFrameListener(stopwatch);
        delete stopwatch;
    }

    double rootMade = 0, windowOpen = 0, resourcesReady = 0, sceneBuilt = 0, listenerMade = 0;
    Stopwatch* stopwatch = nullptr;

protected:
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
        stopwatch = new Stopwatch(camera, views, frames);
        root->addFrameListener(stopwatch);
        listenerMade = now();
    }

private:
    std::vector<View>& views;
    int frames;
};

void printStats(const View& view, bool last)
{
    std::vector<double> ms = view.frameMs;
    std::sort(ms.begin(), ms.end());
    const double median = ms.empty() ? 0 : ms[ms.size() / 2];
    const double p95 = ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    std::printf("    {\"view\": \"%s\", \"frames\": %zu, \"medianMs\": %.3f, \"p95Ms\": %.3f}%s\n", view.name.c_str(),
                ms.size(), median, p95, last ? "" : ",");
}
}

int main(int argc, char** argv)
{
    const double start = now();
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    std::vector<View> views{{"start", {}}};
    for (int i = 2; i < argc; ++i)
        views.push_back({argv[i], {}});

    loadSettings("OrvTest.cfg");
    const double settingsRead = now();
    loadSystemFile(appSettings.StaticSystem);
    const double systemRead = now();

    ProbeApp app(views, frames);
    app.run();
    std::printf("{\n  \"processStart\": %.6f,\n  \"settings\": %.6f,\n  \"system\": %.6f,\n", start, settingsRead,
                systemRead);
    std::printf("  \"rootMade\": %.6f,\n  \"windowOpen\": %.6f,\n  \"resourcesReady\": %.6f,\n", app.rootMade,
                app.windowOpen, app.resourcesReady);
    std::printf("  \"sceneBuilt\": %.6f,\n  \"listenerMade\": %.6f,\n  \"firstFrame\": %.6f,\n", app.sceneBuilt,
                app.listenerMade, app.stopwatch ? app.stopwatch->firstFrame : 0.0);
    std::printf("  \"bodies\": %zu,\n  \"views\": [\n", bodyRegistry.size());
    for (size_t i = 0; i < views.size(); ++i)
        printStats(views[i], i + 1 == views.size());
    std::printf("  ]\n}\n");
    bodyRegistry.clear();
    return 0;
}
