// True scale, headless, on the real engine's scene graph and camera:
//  - placing 10,000 dated bodies in double precision relative to the camera
//    each frame (sky maths and rebasing together, TrueScaleWorld::place),
//    against the display scale's dated placing and the engine's update of
//    the same tree;
//  - jitter over 600 frames hovering 1 km above Triton and 10 m above a
//    made-up 10 km moonlet at 30 AU, the clock at a second a second: where
//    the engine's float camera-relative place projects (its own view and
//    projection matrices) against the double-precision truth, in pixels of
//    an 800 x 600 window; and what the same frames would show had the places
//    been composed in floats from the Sun.
//
//   orvtest-bench-truescale [FRAMES (600)]   (scripts/bench --only-true-scale runs it)

#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SystemJudge.h"
#include "fuzz/HeadlessRoot.h"
#include "scene/BodyRig.h"
#include "scene/OrbitalScene.h"
#include "scene/TrueScaleWorld.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/TrueScale.h"
#include "sky/Clock.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
using Stopwatch = std::chrono::steady_clock;

double msSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Bodies going round the Sun on tilted, eccentric orbits from 2 to 40 AU,
// each with a real radius: a belt at true scale. Not published elements:
// only the number of bodies and the work each asks for matter here.
std::string beltSystem(int count)
{
    std::string text;
    char section[640];
    for (int i = 0; i < count; ++i)
    {
        const double au = 2.0 + 38.0 * double((i * 7919) % count) / count;
        std::snprintf(section, sizeof section,
                      "[B%05d]\nName=B%05d\nParent=Sun\nModel=SphereMesh_32x64\nMaterial=Planets/Moon\nSize=12\n"
                      "OrbitRadius=%d\nOrbitPeriod=0\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n"
                      "OrbitDays=%.3f\nEccentricity=%.3f\nInclination=%d\nAscendingNode=%d\nPeriapsis=%d\n"
                      "MeanAnomaly=%d\nRadiusKm=%d\nSemiMajorAxisKm=%.0f\n",
                      i, i, 1000 + i % 7000, 365.25 * std::pow(au, 1.5), 0.01 * (i % 30), i % 20, (i * 37) % 360,
                      (i * 53) % 360, (i * 137) % 360, 1 + i % 300, au * kilometresPerAU);
        text += section;
    }
    return text;
}

bool loadSystem(const std::string& name, const std::string& text)
{
    SystemVerdict verdict = judgeSystemText(name, text, meshExists);
    if (!verdict.bodies)
    {
        std::fprintf(stderr, "%s: not read\n", name.c_str());
        return false;
    }
    bodyRegistry.swapBodies(*verdict.bodies);
    return true;
}

void benchPlacing(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, int frames, double days)
{
    Ogre::SceneNode* root = sceneManager->getRootSceneNode();
    std::vector<double> dated, update, trueScale, trueUpdate;
    for (int frame = -10; frame < frames; ++frame)
    {
        const double now = days + frame / 86400.0;
        auto start = Stopwatch::now();
        placeDatedBodies(now);
        const double placing = msSince(start);
        start = Stopwatch::now();
        root->_update(true, false);
        if (frame >= 0)
        {
            dated.push_back(placing);
            update.push_back(msSince(start));
        }
    }
    TrueScaleWorld world(sceneManager);
    world.enter(bodyRegistry);
    const Vector3d eye{0.0, 0.0, -5.0 * kilometresPerAU};
    const double pixelsPerRadian = 600.0 / (2.0 * std::tan(camera->getFOVy().valueRadians() / 2.0));
    for (int frame = -10; frame < frames; ++frame)
    {
        auto start = Stopwatch::now();
        world.place(bodyRegistry, days + frame / 86400.0, eye, pixelsPerRadian);
        const double placing = msSince(start);
        start = Stopwatch::now();
        root->_update(true, false);
        if (frame >= 0)
        {
            trueScale.push_back(placing);
            trueUpdate.push_back(msSince(start));
        }
    }
    world.leave(bodyRegistry);
    const double engine = median(update);
    std::printf("| %zu dated bodies, a frame | ms |\n|---|---:|\n", bodyRegistry.size());
    std::printf("| display scale: dated places (float tree) | %.3f |\n", median(dated));
    std::printf("| display scale: the engine's update of the tree | %.3f |\n", engine);
    std::printf("| true scale: places in double, rebased on the camera | %.3f |\n", median(trueScale));
    std::printf("| true scale: the engine's update of the flat rig | %.3f |\n", median(trueUpdate));
    std::printf("| rebasing's own share (true scale's placing less the display's) | %.3f |\n\n",
                median(trueScale) - median(dated));
    std::printf("placing %.3f update %.3f rebasing %.3f\n\n", median(trueScale), engine,
                median(trueScale) - median(dated));
}

// Where a camera-relative place lands in the window, pixels from its top left.
struct Pixel
{
    double x, y;
};

Pixel projected(const Ogre::Camera* camera, const Ogre::Vector3& place)
{
    const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * place);
    return {400.0 * (1.0 + double(clip.x)), 300.0 * (1.0 - double(clip.y))};
}

// The same in double precision, from the camera's turn.
Pixel projectedTruth(const Ogre::Camera* camera, const Vector3d& place)
{
    const Ogre::Quaternion turn = camera->getDerivedOrientation();
    const auto axis = [&](const Ogre::Vector3& v) {
        const Ogre::Vector3 a = turn * v;
        return Vector3d{a.x, a.y, a.z};
    };
    const Vector3d right = axis(Ogre::Vector3::UNIT_X), up = axis(Ogre::Vector3::UNIT_Y),
                   back = axis(Ogre::Vector3::UNIT_Z);
    const double half = std::tan(camera->getFOVy().valueRadians() / 2.0);
    const double depth = -place.dot(back);
    return {400.0 * (1.0 + place.dot(right) / depth / (half * 800.0 / 600.0)),
            300.0 * (1.0 - place.dot(up) / depth / half)};
}

void benchJitter(TrueScaleWorld& world, Ogre::Camera* camera, int frames, double days, const std::string& name,
                 double heightKm)
{
    const int index = bodyRegistry.indexOf(name);
    if (index < 0)
        return;
    const Body& body = bodyRegistry.at(std::size_t(index));
    world.enter(bodyRegistry);
    Ogre::SceneNode* cameraNode = camera->getParentSceneNode();
    cameraNode->setPosition(Ogre::Vector3::ZERO);
    // Above the body, looking at its centre past the edge of the view's middle:
    // a body filling the view still has its centre on screen.
    const Vector3d offset = Vector3d{0.3, 1.0, 0.2}.normalised() * (body.definition.RadiusKm + heightKm);
    cameraNode->setOrientation(Ogre::Quaternion::IDENTITY);
    cameraNode->lookAt(Ogre::Vector3(float(-offset.x), float(-offset.y), float(-offset.z)), Ogre::Node::TS_WORLD);
    const double pixelsPerRadian = 600.0 / (2.0 * std::tan(camera->getFOVy().valueRadians() / 2.0));
    Vector3d eye{};
    double worst = 0.0, worstStep = 0.0, naiveWorst = 0.0;
    Pixel last{}, lastNaive{};
    // From the first frames on the theories are interpolated between samples,
    // where the first call after a jump evaluates them directly: kilometres
    // apart at Neptune. Hovering starts after them.
    for (int frame = -10; frame < frames; ++frame)
    {
        // The clock at a second a second, 60 frames a second; the camera keeps its place above the body.
        const double now = days + frame / 60.0 / 86400.0;
        world.place(bodyRegistry, now, eye, pixelsPerRadian);
        eye = world.placeOf(std::size_t(index)) + offset;
        world.place(bodyRegistry, now, eye, pixelsPerRadian);
        const Vector3d truthPlace = world.placeOf(std::size_t(index)) - eye;
        const Pixel truth = projectedTruth(camera, truthPlace);
        const Pixel drawn = projected(camera, body.orbitNode->getPosition());
        const Vector3d& from = world.placeOf(std::size_t(index));
        // Composed in floats from the Sun: the body's place less the camera's, each a float.
        const Ogre::Vector3 composed = Ogre::Vector3(float(from.x), float(from.y), float(from.z)) -
                                       Ogre::Vector3(float(eye.x), float(eye.y), float(eye.z));
        const Pixel naive = projected(camera, composed);
        if (frame < 0)
        {
            last = drawn;
            lastNaive = naive;
            continue;
        }
        worst = std::max(worst, std::hypot(drawn.x - truth.x, drawn.y - truth.y));
        {
            worstStep = std::max(worstStep, std::hypot(drawn.x - last.x, drawn.y - last.y));
            naiveWorst = std::max(naiveWorst, std::hypot(naive.x - lastNaive.x, naive.y - lastNaive.y));
        }
        last = drawn;
        lastNaive = naive;
    }
    world.leave(bodyRegistry);
    std::printf("| %s, %g km above, %.2f AU from the Sun | %.2g | %.2g | %.3g |\n", body.definition.Name.c_str(),
                heightKm, world.placeOf(std::size_t(index)).length() / kilometresPerAU, worst, worstStep, naiveWorst);
    std::printf("jitter %s %.6g\n", name.c_str(), worstStep);
}
}

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
    if (frames < 2)
    {
        std::fprintf(stderr, "usage: orvtest-bench-truescale [FRAMES (600)]\n");
        return 2;
    }
    HeadlessRoot engine(ORVTEST_DATA_DIR, ORVTEST_OGRE_PLUGIN_DIR, "bench-truescale.log");
    const double days = Clock(*parseDate("2026-03-20")).dynamicalDays();

    {
        Ogre::SceneManager* sceneManager = engine.createSceneManager();
        if (!loadSystem("belt", beltSystem(10000)))
            return 1;
        Ogre::Camera* camera = createStartCamera(sceneManager);
        buildOrbitalScene(sceneManager, camera->getRealPosition());
        benchPlacing(sceneManager, camera, std::min(frames, 100), days);
        destroyBodyRigs(bodyRegistry, sceneManager);
        bodyRegistry.clear();
        engine.destroySceneManager(sceneManager);
    }

    Ogre::SceneManager* sceneManager = engine.createSceneManager();
    // The default system and a made-up moonlet 10 km across near Neptune's distance.
    const std::string moonlet = "\n[Moonlet]\nName=Moonlet\nParent=Sun\nModel=SphereMesh_32x64\nMaterial=Planets/Moon\n"
                                "Size=1\nOrbitRadius=9000\nOrbitPeriod=0\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n"
                                "OrbitDays=60190\nEccentricity=0.01\nInclination=2\nAscendingNode=130\n"
                                "Periapsis=40\nMeanAnomaly=300\nRadiusKm=5\nSemiMajorAxisKm=4.5e9\n";
    if (!loadSystem("1.cfg", readConfigText(std::string(ORVTEST_DATA_DIR) + "/1.cfg") + moonlet))
        return 1;
    Ogre::Camera* camera = createStartCamera(sceneManager);
    camera->setAspectRatio(800.0f / 600.0f);
    buildOrbitalScene(sceneManager, camera->getRealPosition());
    std::printf("| hovering, %d frames, 800 x 600 | worst off the truth, px | worst frame to frame, px | "
                "frame to frame composed in floats, px |\n|---|---:|---:|---:|\n",
                frames);
    {
        TrueScaleWorld world(sceneManager);
        benchJitter(world, camera, frames, days, "8.Neptune.Triton", 1.0);
        benchJitter(world, camera, frames, days, "Moonlet", 0.01);
    }
    std::printf("\n");
    destroyBodyRigs(bodyRegistry, sceneManager);
    bodyRegistry.clear();
    engine.destroySceneManager(sceneManager);
    return 0;
}
