#include "viewer/OrvTestFrameListener.h"

#include "config/AppSettings.h"
#include "sim/BodyRegistry.h"
#include "sim/SceneNames.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreParticleSystem.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>

#include <OISKeyboard.h>
#include <OISMouse.h>

#include <cstdio>
#include <iostream>

#include <unistd.h>

OrvTestFrameListener::OrvTestFrameListener(Ogre::RenderWindow* renderWindow, Ogre::Camera* viewCamera,
                                           Ogre::SceneManager* sceneManager, const ViewerFiles& files, bool grabInput)
    : ExampleFrameListener(renderWindow, viewCamera, grabInput),
      viewer(viewCamera, sceneManager, renderWindow, debugOverlay, debugText, appSettings.MoveConstant,
             appSettings.StepsPerSecond)
{
    reportPresses();
    viewer.watchFiles(files.systemFile.empty() ? appSettings.StaticSystem : files.systemFile, files.settingsFile);
    viewer.setScreenshotFolder(files.screenshotFolder);
    viewer.keepViewsIn(files.viewsFile);
    viewer.showCatalogues(files.catalogueFiles, files.cataloguesFromSettings, files.findFile);
    screenshotFolder = files.screenshotFolder;
}

void OrvTestFrameListener::takeTour(int jumps)
{
    // The first ringed body of a dated system makes the last stop, close up.
    std::string ringed;
    for (const auto& body : bodyRegistry)
        if (ringed.empty() && viewer.clockShown() && body->definition.hasRing())
            ringed = body->definition.Name;
    touring = std::make_unique<Tour>(jumps, viewer.clockShown(), 10, ringed);
}

void OrvTestFrameListener::recordFilm(const FilmOrder& order)
{
    filmOrder = std::make_unique<FilmOrder>(order);
    // The sun glows from the first frame, as it does a few seconds into a session.
    Ogre::SceneManager* scene = camera->getSceneManager();
    if (scene->hasParticleSystem(sceneNames::sunParticle))
        scene->getParticleSystem(sceneNames::sunParticle)->fastForward(3.0f, float(1.0 / order.framesPerSecond));
    if (!order.views.empty())
        viewer.showView(order.views.front());
    if (order.views.size() > 1)
        filmPath = std::make_unique<FilmPath>(order.views, order.frames, order.framesPerSecond,
                                              viewer.controls().clockStartSpeed());
    const Result<> started =
        viewer.startFilm(order.folder, order.width, order.height, order.framesPerSecond, order.overlays);
    if (!started)
        OGRE_EXCEPT(Ogre::Exception::ERR_RENDERINGAPI_ERROR, "Cannot draw a film of " + std::to_string(order.width) +
                    " x " + std::to_string(order.height) + ": " + started.why(), "OrvTestFrameListener::recordFilm");
    filmStarted = lastReport = steadySeconds();
}

bool OrvTestFrameListener::frameStarted(const Ogre::FrameEvent& evt)
{
    // The devices may already be gone with the window.
    if (window->isClosed() || !keyboard)
        return false;
    if (touring && touring->finished())
        return false;
    // A film or a tour shows the catalogues from its first picture: it waits
    // for them, the frames going on meanwhile.
    const bool wasWaiting = waitingForCatalogues;
    waitingForCatalogues = (filmOrder || touring) && viewer.catalogues().busy();
    // The sun's glow stands still meanwhile: how many frames the reading
    // takes varies, and two recordings of a film must give the same frames.
    if (filmOrder && waitingForCatalogues != wasWaiting)
    {
        Ogre::SceneManager* scene = camera->getSceneManager();
        if (scene->hasParticleSystem(sceneNames::sunParticle))
            scene->getParticleSystem(sceneNames::sunParticle)->setSpeedFactor(waitingForCatalogues ? 0.0f : 1.0f);
    }
    if (waitingForCatalogues)
    {
        InputSnapshot nobody;
        viewer.handleInput(nobody);
        return true;
    }
    if (filmOrder)
        return runFilmFrame();

    const float dt = viewer.frameTime(evt.timeSinceLastFrame);
    viewer.runBodySteps(dt);
    mouse->capture();
    keyboard->capture();
    input = readDevices(dt);
    if (touring)
        touring->holdDown(input);
    const bool goOn = viewer.handleInput(input);
    if (touring)
        touring->observe(viewer);
    viewer.filmDrawingStarts();
    return goOn;
}

bool OrvTestFrameListener::runFilmFrame()
{
    // The first frame shows where the film starts; each after it is a frame's time on.
    const float dt = filmFrame == 0 ? 0.0f : float(1.0 / filmOrder->framesPerSecond);
    if (filmPath)
    {
        viewer.runBodySteps(0.0f);
        viewer.showPathFrame(*filmPath, filmFrame, dt);
    }
    else
        viewer.runBodySteps(dt);
    InputSnapshot nobody;
    nobody.dt = dt;
    viewer.handleInput(nobody);
    viewer.filmDrawingStarts();
    return true;
}

bool OrvTestFrameListener::frameEnded(const Ogre::FrameEvent& evt)
{
    ExampleFrameListener::frameEnded(evt);
    if (waitingForCatalogues)
        return true;
    if (const Result<> kept = viewer.keepFilmFrame(); !kept)
    {
        // A film of V's says so on the status line and the viewer goes on.
        if (!filmOrder)
            return true;
        reportFilm(true);
        std::cerr << "OrvTest: the film stopped after " << filmFrame << " frames: " << kept.why() << std::endl;
        return false;
    }
    if (!filmOrder)
        return true;
    filmDone = ++filmFrame >= filmOrder->frames;
    reportFilm(filmDone);
    if (filmDone)
        viewer.stopFilm();
    return !filmDone;
}

void OrvTestFrameListener::reportFilm(bool ended)
{
    const double seconds = steadySeconds() - filmStarted;
    const bool terminal = ::isatty(STDOUT_FILENO);
    if (ended || steadySeconds() - lastReport >= 0.5)
    {
        lastReport = steadySeconds();
        std::cout << (terminal ? "\r" : "") << filmProgress(filmFrame, filmOrder->frames, seconds)
                  << (terminal && !ended ? "   " : "\n") << std::flush;
    }
    if (!filmDone)
        return;
    const FilmRecorder& film = *viewer.film();
    const FilmTimes& times = film.times();
    const double frames = double(filmFrame);
    const double perFrame = 1000.0 * seconds / frames;
    char line[256];
    std::snprintf(line, sizeof line,
                  "OrvTest: a frame took %.1f ms: drawing %.1f, reading back %.1f, PNG encoding %.1f, writing %.1f, "
                  "the rest %.1f\n",
                  perFrame, 1000.0 * times.drawing / frames, 1000.0 * times.readingBack / frames,
                  1000.0 * times.encoding / frames, 1000.0 * times.writing / frames,
                  perFrame - 1000.0 * (times.drawing + times.readingBack + times.encoding + times.writing) / frames);
    std::cout << "OrvTest: " << filmFrame << " frames of " << film.width() << " x " << film.height() << " in "
              << film.folder() << "\n"
              << line << "OrvTest: join them into a video with:\n  "
              << joinCommand(film.folder(), filmOrder->framesPerSecond, film.width(), film.height()) << std::endl;
}
