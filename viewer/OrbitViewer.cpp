#include "viewer/OrbitViewer.h"

#include "config/Dates.h"
#include "catalogue/SmallBodies.h"
#include "scene/BodyRig.h"
#include "scene/CatalogueDots.h"
#include "scene/SkyBackground.h"
#include "scene/SunAndStars.h"
#include "scene/TrueScaleDepth.h"
#include "scene/TrueScaleOrbits.h"
#include "scene/TrueScaleWorld.h"
#include "sim/TrueScale.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/DisplayScale.h"
#include "sim/SceneNames.h"
#include "sim/WorldLimits.h"
#include "viewer/FilmFrames.h"
#include "viewer/InfoPanel.h"
#include "viewer/Picking.h"
#include "viewer/Screenshot.h"
#include "viewer/StatusText.h"
#include "viewer/TrueScalePath.h"

#include <OgreCamera.h>
#include <OgreRenderTarget.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>

Ogre::Vector3 arrivalSide(const Body& body, const Ogre::Vector3& centre)
{
    if (!body.followsClock())
        return Ogre::Vector3::NEGATIVE_UNIT_Z;
    return sunlitSide(centre);
}

Ogre::Vector3 sunlitSide(const Ogre::Vector3& centre)
{
    // Towards the Sun, then turned 45 degrees towards the ecliptic's north:
    // the disc shows gibbous, its terminator in view, the same way up at
    // every body.
    const Ogre::Vector3 toSun = -centre.normalisedCopy();
    Ogre::Vector3 north = Ogre::Vector3::UNIT_Y - toSun * toSun.dotProduct(Ogre::Vector3::UNIT_Y);
    if (north.squaredLength() < 1e-6f)
        north = Ogre::Vector3::UNIT_X - toSun * toSun.dotProduct(Ogre::Vector3::UNIT_X);
    if (!(centre.squaredLength() > 0.0f))
        return Ogre::Vector3::NEGATIVE_UNIT_Z;
    return (toSun + north.normalisedCopy()).normalisedCopy();
}

bool jumpCameraToPlace(Ogre::SceneNode* cameraNode, const Ogre::Vector3& centre, float distance)
{
    const Ogre::Vector3 eye = centre + sunlitSide(centre) * distance;
    if (!isFinite(centre) || !isFinite(eye) || !(distance > 0.0f))
        return false;
    cameraNode->setPosition(eye);
    cameraNode->lookAt(centre, Ogre::Node::TS_WORLD);
    return true;
}

bool jumpCameraToBody(Ogre::SceneNode* cameraNode, const Body& body)
{
    const Ogre::Vector3 target = bodyCentre(body);
    const Ogre::Vector3 eye = target + arrivalSide(body, target) * (5.0f * body.definition.Size);
    // A body out at the end of the float range has no place for the camera.
    if (!isFinite(target) || !isFinite(eye))
        return false;
    cameraNode->setPosition(eye);
    if (eye != target)
        cameraNode->lookAt(target, Ogre::Node::TS_WORLD);
    return true;
}

OrbitViewer::OrbitViewer(Ogre::Camera* viewCamera, Ogre::SceneManager* scene, Ogre::RenderTarget* target,
                         Ogre::Overlay* statistics, std::string& statusText, float moveSpeed, float motionStepsPerSecond)
    : camera(viewCamera), cameraNode(viewCamera->getParentSceneNode()), sceneManager(scene), window(target),
      status(statusText), decisions(moveSpeed), panels(scene, statistics), shownCatalogues(scene), focusOrbit(scene), cometTails(scene),
      stepsPerSecond(motionStepsPerSecond)
{
    lookAtBodies();
    if (!realSkyProblem().empty())
        say(realSkyProblem());
}

OrbitViewer::~OrbitViewer() = default;

void OrbitViewer::startClock(double days, double speed)
{
    skyClock = Clock(days, speed);
    decisions.startClock(speed);
    placeBodiesByTheClock();
    showClock();
    logViewerLine("the clock starts at " + dateText(skyClock.days()) + ", " + speedText(speed));
}

void OrbitViewer::lookAtBodies()
{
    // Catalogue bodies stand where the clock says, on the planets' scale.
    shownCatalogues.setMap(displayMapOf(bodyRegistry));
    clockInUse = !shownCatalogues.files().empty() || bodyRegistry.anyFollowsClock();
    decisions.setClockInUse(clockInUse);
    panels.showClock(clockInUse);
    if (clockInUse)
        placeBodiesByTheClock();
}

void OrbitViewer::placeBodiesByTheClock()
{
    if (trueScaleShown())
        placeAtTrueScale();
    else
        placeDatedBodies(skyClock.dynamicalDays());
    shownCatalogues.setTime(skyClock.dynamicalDays());
}

bool OrbitViewer::trueScaleShown() const
{
    return trueScale && trueScale->active();
}

std::size_t OrbitViewer::depthRangesDrawn() const
{
    return depth ? depth->drawn() : 1;
}

double OrbitViewer::pixelsPerRadian() const
{
    const Ogre::Viewport* viewport = camera->getViewport();
    const double pixels = viewport ? double(viewport->getActualHeight()) : 600.0;
    return pixels / (2.0 * std::tan(camera->getFOVy().valueRadians() / 2.0));
}

void OrbitViewer::placeAtTrueScale()
{
    // A followed body carries the camera with it, in double precision.
    if (decisions.following() && decisions.hasFocus() && trueScale->shows(std::size_t(decisions.focusIndex())))
    {
        const std::size_t focus = std::size_t(decisions.focusIndex());
        trueScale->place(bodyRegistry, skyClock.dynamicalDays(), cameraPlaceKm, pixelsPerRadian());
        cameraPlaceKm = cameraPlaceKm + (trueScale->placeOf(focus) - followedKm);
        followedKm = trueScale->placeOf(focus);
    }
    else if (decisions.following() && decisions.catalogueFocus())
    {
        const Vector3d now = catalogueKm(*decisions.catalogueFocus());
        cameraPlaceKm = cameraPlaceKm + (now - followedKm);
        followedKm = now;
    }
    // The catalogue's spheres near the camera, and the one in focus, have depth ranges too.
    if (CatalogueDots* dots = shownCatalogues.dots())
    {
        shownCatalogues.setTime(skyClock.dynamicalDays());
        dots->setTrueScale(true, cameraPlaceKm);
        std::vector<std::pair<Vector3d, double>>& spheres = trueScale->otherSpheres();
        spheres.clear();
        dots->addSpheresKm(spheres);
        if (const std::optional<CatalogueTarget>& target = decisions.catalogueFocus())
            if (const SmallBodies* bodies = shownCatalogues.bodiesIn(target->slot); bodies && target->index < bodies->size())
                spheres.emplace_back(catalogueKm(*target), dots->radiusOf(*bodies, target->index));
    }
    trueScale->place(bodyRegistry, skyClock.dynamicalDays(), cameraPlaceKm, pixelsPerRadian());
    trueScaleOrbits->setVisible(decisions.orbitLinesShown());
    trueScaleOrbits->update(bodyRegistry, *trueScale, skyClock.dynamicalDays(), cameraPlaceKm);
    if (filmDepth)
        filmDepth->setRanges(trueScale->depthRanges());
    if (depth)
        depth->setRanges(trueScale->depthRanges());
    else if (!filmDepth)
    {
        // No window's stretches to draw (a film from the command line): one
        // depth buffer from the nearest surface to the farthest.
        camera->setNearClipDistance(Ogre::Real(trueScale->depthRanges().back().nearKm));
        camera->setFarClipDistance(Ogre::Real(trueScale->depthRanges().front().farKm));
    }
}

void OrbitViewer::rebaseTrueScale()
{
    if (!trueScaleShown())
        return;
    cameraNode->setPosition(Ogre::Vector3::ZERO);
    placeAtTrueScale();
}

void OrbitViewer::setCameraKm(const Vector3d& place)
{
    cameraPlaceKm = place;
    if (decisions.following() && decisions.hasFocus() && trueScale && trueScale->shows(std::size_t(decisions.focusIndex())))
        followedKm = trueScale->placeOf(std::size_t(decisions.focusIndex()));
    rebaseTrueScale();
}

namespace
{
Vector3d doubled(const Ogre::Vector3& v)
{
    return {v.x, v.y, v.z};
}

Ogre::Vector3 toFloat(const Vector3d& v)
{
    return Ogre::Vector3(float(v.x), float(v.y), float(v.z));
}

// Whether the frame's actions take the camera to another body or view, in
// place of one that waits for the catalogues.
bool takesTheCameraElsewhere(const OrbitActions& actions)
{
    return actions.jumpTo >= 0 || actions.goToCatalogue || actions.pick || actions.recallView >= 0;
}

// At true scale world units are kilometres: the panel says so.
void unitsInKm(std::vector<Fact>& facts)
{
    for (Fact& fact : facts)
        if (fact.second.size() > 6 && fact.second.compare(fact.second.size() - 6, 6, " units") == 0)
            fact.second.replace(fact.second.size() - 6, 6, " km");
}
}

void OrbitViewer::setTrueScale(bool on)
{
    if (on == trueScaleShown())
        return;
    if (!trueScale)
    {
        trueScale = std::make_unique<TrueScaleWorld>(sceneManager);
        trueScaleOrbits = std::make_unique<TrueScaleOrbits>(sceneManager);
    }
    const double days = skyClock.dynamicalDays();
    // The body kept on screen: the one in focus, else the one nearest in its radii.
    // Switching back, the body the switch there kept: X twice leaves the camera where it was.
    int anchor = decisions.hasFocus() ? decisions.focusIndex() : on ? -1 : scaleAnchor;
    const Vector3d eye = on ? doubled(cameraNode->getPosition()) : cameraPlaceKm;
    const auto centreOf = [&](std::size_t i) {
        return on ? doubled(bodyCentre(bodyRegistry.at(i))) : trueScale->placeOf(i);
    };
    const auto radiusOf = [&](std::size_t i) { return double(bodyRegistry.at(i).drawnRadius); };
    if (anchor < 0 || std::size_t(anchor) >= bodyRegistry.size())
    {
        double nearest = INFINITY;
        for (std::size_t i = 0; i < bodyRegistry.size(); ++i)
        {
            if (!on && !trueScale->shows(i))
                continue;
            const double radii = (eye - centreOf(i)).length() / radiusOf(i);
            if (hasRealValues(bodyRegistry.at(i).definition) && radii < nearest)
            {
                nearest = radii;
                anchor = int(i);
            }
        }
    }
    scaleAnchor = anchor;
    Vector3d direction{0.0, 0.0, -1.0};
    double radii = 5.0;
    if (anchor >= 0)
    {
        const Vector3d from = eye - centreOf(std::size_t(anchor));
        if (from.length() > 0.0)
        {
            direction = from.normalised();
            radii = from.length() / radiusOf(std::size_t(anchor));
        }
    }
    if (on)
    {
        trueScale->enter(bodyRegistry);
        panels.allowOrbitLines(false);
        for (Ogre::MovableObject* object : sceneManager->getSceneNode(sceneNames::starField)->getAttachedObjects())
            object->setVisibilityFlags(DepthPartitions::backgroundFlag);
        cameraNode->setPosition(Ogre::Vector3::ZERO);
        trueScale->place(bodyRegistry, days, Vector3d{}, pixelsPerRadian());
        if (anchor >= 0 && trueScale->shows(std::size_t(anchor)))
            cameraPlaceKm = trueScale->placeOf(std::size_t(anchor)) +
                            direction * (radii * bodyRegistry.at(std::size_t(anchor)).definition.RadiusKm);
        else
            cameraPlaceKm = Vector3d{0.0, 0.0, -kilometresPerAU};
        Ogre::Viewport* viewport = camera->getViewport();
        if (window && viewport)
            depth = std::make_unique<DepthPartitions>(camera, window, viewport);
        partitionFilmDepth();
        if (decisions.following() && decisions.hasFocus() && trueScale->shows(std::size_t(decisions.focusIndex())))
            followedKm = trueScale->placeOf(std::size_t(decisions.focusIndex()));
        else if (decisions.following() && decisions.catalogueFocus())
            followedKm = catalogueKm(*decisions.catalogueFocus());
        placeAtTrueScale();
        say("True scale: " + std::to_string(bodyRegistry.size() - trueScale->leftOut()) + " bodies at their real "
            "sizes and distances" +
            (trueScale->leftOut() ? ", " + std::to_string(trueScale->leftOut()) + " left out without them" : ""));
    }
    else
    {
        // The film's first: each puts back the camera's clip it found.
        filmDepth.reset();
        depth.reset();
        trueScaleOrbits->setVisible(false);
        trueScale->leave(bodyRegistry);
        panels.allowOrbitLines(true);
        if (CatalogueDots* dots = shownCatalogues.dots())
            dots->setTrueScale(false);
        decisions.setMoveSpeed(appSettings.MoveConstant);
        placeDatedBodies(days);
        // The anchor's centre at the display scale, now the clock has placed it there.
        if (anchor >= 0)
            cameraNode->setPosition(bodyCentre(bodyRegistry.at(std::size_t(anchor))) +
                                    toFloat(direction * (radii * double(bodyRegistry.at(std::size_t(anchor)).drawnRadius))));
        camera->setNearClipDistance(appSettings.NearClipDistance);
        runDetailStep(camera->getRealPosition());
        say("Display scale");
    }
    if (decisions.following() && decisions.hasFocus())
        following.start(bodyRegistry.at(std::size_t(decisions.focusIndex())));
    logViewerLine(on ? "true scale" : "display scale");
}

bool OrbitViewer::jumpAtTrueScale(const Body& body)
{
    const int index = bodyRegistry.indexOf(body.sectionName);
    if (index < 0 || !trueScale->shows(std::size_t(index)))
        return false;
    const Vector3d centre = trueScale->placeOf(std::size_t(index));
    const Ogre::Vector3 side = arrivalSide(body, toFloat(centre));
    cameraPlaceKm = centre + doubled(side) * (5.0 * body.definition.RadiusKm);
    followedKm = centre;
    cameraNode->setPosition(Ogre::Vector3::ZERO);
    cameraNode->lookAt(toFloat(centre - cameraPlaceKm), Ogre::Node::TS_WORLD);
    rebaseTrueScale();
    return true;
}

void OrbitViewer::lookFromAbove()
{
    float widest = 0.0f;
    for (const auto& body : bodyRegistry)
        if (!body->parentBody)
        {
            const double eccentricity = body->keplerOrbit ? body->keplerOrbit->elements.eccentricity : 0.0;
            widest = std::max(widest, float(withinWorld(body->definition.OrbitRadius) * (1.0 + eccentricity)));
        }
    const Ogre::Radian halfView = camera->getFOVy() * 0.5f;
    const float height = std::max(widest, 1.0f) * 1.1f / Ogre::Math::Tan(halfView);
    cameraNode->setPosition(0.0f, std::min(height, maxWorldExtent), 0.0f);
    // Looking down -Y with the vernal equinox (+X) to the right.
    cameraNode->setOrientation(Ogre::Quaternion(Ogre::Degree(-90.0f), Ogre::Vector3::UNIT_X));
}

void OrbitViewer::showClock()
{
    const double days = skyClock.dynamicalDays();
    panels.setClock(days);
    if (!clockInUse)
        return;
    // Made anew only when the date crosses the theories' ends.
    if (beyondEveryTheory(bodyRegistry, days) != !theoriesNote.empty())
        theoriesNote = beyondTheoriesNote(bodyRegistry, days);
    panels.setClockText((theoriesNote.empty() ? "" : theoriesNote + "\n") + dateText(skyClock.days()) + "  " +
                        speedText(decisions.clockSpeed()) + (decisions.paused() ? "  paused" : ""));
}

void OrbitViewer::say(const std::string& text)
{
    // The log keeps what the status line said, but for what is being typed.
    status.say(text, !decisions.promptOpen());
}

namespace
{
// The frames a second of a film made with V.
constexpr double viewerFilmRate = 30.0;

// A problem as the status line says it: the file without its folder, which
// the log gives in full.
std::string statusWhere(const Problem& problem)
{
    return baseNameOf(problem.file) + ":" + std::to_string(problem.line) + ": " + problem.message;
}
}

void OrbitViewer::watchFiles(const std::string& systemFile, const std::string& settingsFile)
{
    reloading.watch(systemFile, settingsFile);
}

void OrbitViewer::showCatalogues(const std::vector<std::string>& files, bool fromSettings,
                                 std::function<std::string(const std::string&)> find)
{
    cataloguesFromSettings = fromSettings;
    findCatalogue = std::move(find);
    const bool shownBefore = !shownCatalogues.files().empty();
    shownCatalogues.show(files);
    if (shownBefore != !files.empty())
        lookAtBodies();
}

void OrbitViewer::logProblems(const std::vector<Problem>& problems) const
{
    for (const Problem& p : problems)
        logViewerLine(p.file + (p.line > 0 ? ":" + std::to_string(p.line) : "") + ": " +
                (p.section.empty() ? "" : "[" + p.section + "] ") + p.severityName() + ": " + p.message);
}

Result<> OrbitViewer::replaceBodies(BodyRegistry& bodies)
{
    const bool focusValid = decisions.hasFocus() && std::size_t(decisions.focusIndex()) < bodyRegistry.size();
    const std::string focusSection = focusValid ? bodyRegistry.at(std::size_t(decisions.focusIndex())).sectionName : "";
    panels.forgetBodies();
    // A reload keeps the scale: the new rigs are made at the display's and taken to true scale.
    const bool atTrueScale = trueScaleShown();
    if (atTrueScale)
        trueScale->leave(bodyRegistry);
    destroyBodyRigs(bodyRegistry, sceneManager);
    bodyRegistry.swapBodies(bodies);
    Result<> built;
    try
    {
        rigBodies(bodyRegistry, sceneManager);
    }
    catch (const Ogre::Exception& error)
    {
        // The old bodies were built before: build them again.
        built = Failure{error.getDescription()};
        destroyBodyRigs(bodyRegistry, sceneManager);
        bodyRegistry.swapBodies(bodies);
        rigBodies(bodyRegistry, sceneManager);
    }
    panels.takeBodies(bodyRegistry);
    lookAtBodies();
    // A dated system shows the real sky, another the random stars.
    matchStarFieldToBodies(sceneManager);
    if (atTrueScale)
    {
        trueScale->enter(bodyRegistry);
        placeAtTrueScale();
    }
    else
        // Near or far, before the next frame draws every near model.
        runDetailStep(camera->getRealPosition());
    if (focusValid)
    {
        const int focus = bodyRegistry.indexOf(focusSection);
        if (focus < 0 && decisions.following())
            following.stop();
        decisions.refocus(focus);
    }
    return built;
}

Result<> OrbitViewer::takeSystem(const std::string& file, SystemVerdict& verdict)
{
    logProblems(verdict.problems);
    if (const Problem* error = firstError(verdict.problems))
        return Failure{statusWhere(*error) + " (not reloaded)"};
    const Result<> replaced = replaceBodies(*verdict.bodies);
    if (!replaced)
    {
        logProblems({Problem{file, 0, "", "engine", replaced.why(), Problem::Error}});
        return Failure{baseNameOf(file) + ": " + replaced.why() + "; the bodies shown stay"};
    }
    // The old scene and the parse that judged the new one: tens of MiB
    // between blocks that live on.
    reloading.owePages();
    return {};
}

std::string OrbitViewer::takeSettings(const std::string& file, const SettingsVerdict& verdict, bool& refused)
{
    logProblems(verdict.problems);
    refused = !verdict.sound();
    if (refused)
        return statusWhere(*firstError(verdict.problems)) + " (not reloaded)";
    bool lights = false;
    bool stars = false;
    bool catalogueList = false;
    for (const SettingsKey* key : verdict.atOnce)
    {
        copyField(*key, verdict.read, appSettings);
        lights = lights || std::string(key->section) == "Light";
        stars = stars || std::string(key->section) == "StarField";
        catalogueList = catalogueList || std::string(key->section) == "Catalogues";
    }
    if (lights)
        updateLights(sceneManager);
    // The command line's catalogues stand over the settings'.
    if (catalogueList && cataloguesFromSettings)
    {
        std::vector<std::string> files;
        for (const std::string& name : catalogueNames(appSettings, bodyRegistry.anyFollowsClock()))
            files.push_back(findCatalogue ? findCatalogue(name) : name);
        showCatalogues(files, true, findCatalogue);
    }
    if (stars)
        recreateStarField(sceneManager);
    if (stars && !realSkyProblem().empty())
        return realSkyProblem();
    decisions.setMoveSpeed(appSettings.MoveConstant);
    stepsPerSecond = appSettings.StepsPerSecond;

    std::string later;
    for (const SettingsKey* key : verdict.atNextStart)
        later += (later.empty() ? "" : ", ") + std::string(key->name);
    if (!later.empty())
        return later + (verdict.atNextStart.size() == 1 ? " takes" : " take") + " effect at the next start";
    return "Reloaded " + baseNameOf(file);
}

bool OrbitViewer::applyReloads(Reloading::Due& due)
{
    bool systemTaken = false;
    if (!due.system && !due.settings)
        return systemTaken;
    // A refusal comes first: it is what a person must act on.
    std::string refusals;
    std::string taken;
    const auto tell = [](std::string& to, const std::string& text) { to += (to.empty() ? "" : "\n") + text; };
    if (due.system)
    {
        if (!due.systemVerdict)
        {
            const std::string& unreadable = due.systemVerdict.why();
            logProblems({Problem{due.systemFile, 0, "", "unreadable", unreadable, Problem::Error}});
            tell(refusals, baseNameOf(due.systemFile) + ": " + unreadable + "; the bodies shown stay");
        }
        else
        {
            const bool wasFollowing = decisions.following();
            const Result<> took = takeSystem(due.systemFile, due.systemVerdict.value());
            systemTaken = took.ok();
            if (systemTaken)
                tell(taken, "Reloaded " + baseNameOf(due.systemFile) + ": " + std::to_string(bodyRegistry.size()) +
                                (bodyRegistry.size() == 1 ? " body" : " bodies") +
                                (wasFollowing && !decisions.following() ? "; the body followed is gone" : ""));
            else
                tell(refusals, took.why());
        }
    }
    if (due.settings)
    {
        if (!due.settingsVerdict)
        {
            const std::string& unreadable = due.settingsVerdict.why();
            logProblems({Problem{due.settingsFile, 0, "", "unreadable", unreadable, Problem::Error}});
            tell(refusals, baseNameOf(due.settingsFile) + ": " + unreadable + "; the settings stay");
        }
        else
        {
            bool refused = false;
            const std::string outcome = takeSettings(due.settingsFile, *due.settingsVerdict, refused);
            tell(refused ? refusals : taken, outcome);
        }
    }
    say(refusals.empty() ? taken : refusals + (taken.empty() ? "" : "\n" + taken));
    logViewerLine(refusals.empty() ? taken : refusals + "; " + taken);
    return systemTaken;
}

bool OrbitViewer::reloadSystemFrom(const std::string& file, const std::string& text)
{
    Reloading::Due due;
    due.system = true;
    due.systemFile = file;
    due.systemVerdict = judgeSystemText(file, text, meshExists);
    return applyReloads(due);
}

bool OrbitViewer::reloadSettingsFrom(const std::string& file, const std::string& text)
{
    Reloading::Due due;
    due.settings = true;
    due.settingsFile = file;
    due.settingsVerdict = judgeSettingsText(file, text, appSettings);
    applyReloads(due);
    return due.settingsVerdict->sound();
}

double OrbitViewer::motionUpdates(double seconds) const
{
    if (stepsPerSecond > 0.0f)
        return double(stepsPerSecond) * seconds;
    return films.framesPerSecond() > 0.0 ? filmStepsPerSecond * seconds : 1.0;
}

void OrbitViewer::runMotion(double seconds, double rate)
{
    // The turns are remade only when this changes: at a fixed rate, once per
    // key press; with stepsPerSecond, every frame.
    bodyRegistry.setStepMultiplier(motionUpdates(seconds) * rate);
    runMotionStep();
}

void OrbitViewer::runBodySteps(float dt)
{
    const double seconds = films.frameSeconds(dt);
    if (motionCountdown >= 0.0f)
        motionCountdown -= dt;
    if (motionCountdown < 0.0f)
    {
        motionCountdown = motionInterval;
        if (!decisions.paused())
            runMotion(seconds, decisions.timeRate());
    }
    if (clockInUse)
    {
        if (!decisions.paused())
        {
            skyClock.setSpeed(decisions.clockSpeed());
            skyClock.advance(seconds);
        }
        placeBodiesByTheClock();
    }
    if (detailCountdown >= 0.0f)
        detailCountdown -= dt;
    if (detailCountdown < 0.0f && !trueScaleShown())
    {
        detailCountdown = detailInterval;
        runDetailStep(camera->getRealPosition());
    }
}

bool OrbitViewer::runFrame(const InputSnapshot& input)
{
    InputSnapshot timed = input;
    timed.dt = films.frameTime(input.dt);
    runBodySteps(timed.dt);
    return handleInput(timed);
}

void OrbitViewer::jumpTo(int index)
{
    const Body& body = bodyRegistry.at(std::size_t(index));
    if (trueScaleShown())
    {
        say(jumpAtTrueScale(body) ? body.definition.Name : body.definition.Name + " is left out at true scale");
        return;
    }
    say(jumpCameraToBody(cameraNode, body) ? body.definition.Name : body.definition.Name + " is out of reach");
}

Vector3d OrbitViewer::catalogueKm(const CatalogueTarget& target) const
{
    const SmallBodies* bodies = shownCatalogues.bodiesIn(target.slot);
    return bodies && target.index < bodies->size() ? trueScalePlace(*bodies, target.index, skyClock.dynamicalDays())
                                                   : Vector3d{};
}

void OrbitViewer::goToCatalogueBody(const CatalogueTarget& target)
{
    const SmallBodies* bodies = shownCatalogues.bodiesIn(target.slot);
    if (!bodies || target.index >= bodies->size())
        return;
    const double radius = shownCatalogues.dots()->radiusOf(*bodies, target.index);
    bool placed = true;
    if (trueScaleShown())
    {
        // Five real radii out on its day side, 45 degrees towards the ecliptic's north, as a planet's jump.
        const Vector3d centre = catalogueKm(target);
        const Vector3d side = ((-1.0 * centre).normalised() + Vector3d{0.0, 1.0, 0.0}).normalised();
        cameraPlaceKm = centre + side * (5.0 * radius);
        followedKm = centre;
        cameraNode->setPosition(Ogre::Vector3::ZERO);
        cameraNode->lookAt(toFloat(centre - cameraPlaceKm), Ogre::Node::TS_WORLD);
        rebaseTrueScale();
    }
    else
        // A body of H 18 is 7 thousandths of a unit across: not inside the near clipping distance.
        placed = jumpCameraToPlace(cameraNode, shownCatalogues.placeOf(target),
                                   std::max(float(5.0 * radius), 3.0f * camera->getNearClipDistance()));
    say(placed ? target.name : target.name + " is out of reach");
    logViewerLine("gone to the catalogue body " + target.name);
}

void OrbitViewer::goToAwaitedName(OrbitActions& actions)
{
    if (!actions.awaitName.empty())
    {
        awaitedName = actions.awaitName;
        return;
    }
    if (takesTheCameraElsewhere(actions))
        awaitedName.reset();
    if (!awaitedName || shownCatalogues.namesComing())
        return;
    // As the prompt finds it: the whole name, then a name beginning with it.
    for (const bool beginning : {false, true})
        if ((actions.goToCatalogue = shownCatalogues.findCatalogueBody(*awaitedName, beginning)))
            break;
    if (actions.goToCatalogue)
        decisions.focusOnCatalogue(*actions.goToCatalogue);
    else
    {
        actions.statusChanged = true;
        actions.status = "No body named '" + *awaitedName + "'";
    }
    awaitedName.reset();
}

void OrbitViewer::keepCatalogueFocus()
{
    const std::optional<CatalogueTarget>& focus = decisions.catalogueFocus();
    if (!focus)
        return;
    const std::optional<CatalogueTarget> now = shownCatalogues.current(*focus);
    if (!now)
    {
        const std::string name = focus->name;
        following.stop();
        decisions.dropCatalogueFocus();
        say(name + " is no longer in the catalogues shown");
        return;
    }
    if (now->index != focus->index)
        decisions.focusOnCatalogue(*now);
}

std::vector<Fact> OrbitViewer::catalogueFocusFacts() const
{
    const CatalogueTarget& target = *decisions.catalogueFocus();
    return catalogueBodyFacts(*shownCatalogues.bodiesIn(target.slot), target.index, shownCatalogues.placeOf(target),
                              cameraNode->_getDerivedPosition(), skyClock.dynamicalDays());
}

void OrbitViewer::followFocus(const OrbitActions& actions)
{
    const bool jumped = actions.jumpTo >= 0 || actions.pick || actions.goToCatalogue;
    if (!decisions.following())
    {
        following.stop();
        return;
    }
    if (const std::optional<CatalogueTarget>& target = decisions.catalogueFocus())
    {
        // The true scale's camera follows in double precision (placeAtTrueScale).
        if (trueScaleShown())
        {
            if (actions.followChanged || jumped)
                followedKm = catalogueKm(*target);
            return;
        }
        const Ogre::Vector3 place = shownCatalogues.placeOf(*target);
        if (actions.followChanged || jumped || !following.isActive())
            following.start(place);
        else if (!following.keepUp(cameraNode, place))
        {
            following.stop();
            decisions.stopFollowing();
            say("Stopped following " + target->name + ": out of reach");
        }
        return;
    }
    const Body& body = bodyRegistry.at(std::size_t(decisions.focusIndex()));
    if (trueScaleShown())
    {
        // The true scale's camera follows in double precision, as it places the bodies.
        if ((actions.followChanged || jumped) && trueScale->shows(std::size_t(decisions.focusIndex())))
            followedKm = trueScale->placeOf(std::size_t(decisions.focusIndex()));
        return;
    }
    // A jump while following follows the new body from where the jump put the camera.
    if (actions.followChanged || jumped || !following.isActive())
        following.start(body);
    else if (!following.keepUp(cameraNode, body))
    {
        following.stop();
        decisions.stopFollowing();
        say("Stopped following " + body.definition.Name + ": out of reach");
    }
}

void OrbitViewer::flyCamera(const OrbitActions& actions)
{
    const Ogre::Vector3 step = cameraNode->getOrientation() * actions.translation;
    if (trueScaleShown())
    {
        cameraPlaceKm = cameraPlaceKm + doubled(step);
        cameraNode->yaw(Ogre::Degree(actions.yawDegrees));
        cameraNode->pitch(Ogre::Degree(actions.pitchDegrees));
        return;
    }
    // Past the float range the camera would have no position at all.
    if (isFinite(cameraNode->getPosition() + step))
        cameraNode->translate(step, Ogre::Node::TS_WORLD);
    cameraNode->yaw(Ogre::Degree(actions.yawDegrees));
    cameraNode->pitch(Ogre::Degree(actions.pitchDegrees));
}

void OrbitViewer::pick()
{
    const Ogre::Viewport* viewport = camera->getViewport();
    const float pixels = viewport ? float(viewport->getActualHeight()) : 600.0f;
    const auto start = std::chrono::steady_clock::now();
    const Ogre::Vector3 eye = camera->getDerivedPosition(), forward = camera->getDerivedDirection();
    const float radiansPerPixel = camera->getFOVy().valueRadians() / pixels;
    double systemDepth = INFINITY;
    const int index = bodyAtCentre(bodyRegistry, eye, forward, radiansPerPixel, 4.0f, &systemDepth);
    // Of a million dots, only those the graphics card drew by the centre in
    // the last frame, and those it drew as spheres, are solved again here.
    if (const CatalogueDots* dots = shownCatalogues.dots())
    {
        std::vector<Sphere> spheres;
        std::vector<CatalogueTarget> targets;
        // Nearest first by the program's single-precision depth: once a dot
        // is met at the centre, a few more behind it settle the order, and
        // the thousands further back need not be solved.
        const std::vector<CatalogueDots::Candidate> candidates = dots->nearCentre();
        std::size_t dotsAfterFirstMet = 0;
        for (const CatalogueDots::Candidate& candidate : candidates)
        {
            if (candidate.bodies != shownCatalogues.bodiesIn(candidate.slot))
                continue;
            if (candidate.depth > 0 && dotsAfterFirstMet > 0 && ++dotsAfterFirstMet > 16)
                break;
            const SmallBodies& bodies = *candidate.bodies;
            std::string_view name = bodies.name(candidate.index);
            while (!name.empty() && name.front() == ' ')
                name.remove_prefix(1);
            targets.push_back({candidate.slot, candidate.index, std::string(name)});
            spheres.push_back({shownCatalogues.placeOf(targets.back()), float(dots->radiusOf(bodies, candidate.index))});
            if (candidate.depth > 0 && dotsAfterFirstMet == 0 &&
                std::isfinite(depthAtCentre(spheres.back(), eye, forward, 4.0f * radiansPerPixel)))
                dotsAfterFirstMet = 1;
        }
        double catalogueDepth = INFINITY;
        const int found = sphereAtCentre(spheres, eye, forward, radiansPerPixel, 4.0f, catalogueDepth);
        char line[120];
        std::snprintf(line, sizeof line, "a pick solved %zu catalogue bodies by the centre; it took %.3f ms",
                      spheres.size(),
                      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        logViewerLine(line);
        if (found >= 0 && catalogueDepth < systemDepth)
        {
            decisions.focusOnCatalogue(targets[std::size_t(found)]);
            say("Picked " + targets[std::size_t(found)].name);
            return;
        }
    }
    if (index < 0)
    {
        say("Nothing under the centre of the view");
        return;
    }
    decisions.focusOn(index);
    say("Picked " + bodyRegistry.at(std::size_t(index)).definition.Name);
}

void OrbitViewer::takeScreenshot()
{
    const Result<long> saved = saveScreenshot(window, screenshotFolder, shotNumber + 1);
    lastShotWasSaved = saved.ok();
    if (saved)
    {
        shotNumber = int(*saved);
        // The names as the picture shows them: this frame's are placed after it was drawn.
        const std::string names = panels.describeLabels(bodyRegistry);
        if (!names.empty())
            logViewerLine("names in " + screenshotName(*saved) + ": " + names);
    }
    ++shotsTried;
    say(screenshotStatus(screenshotFolder, saved));
}

bool OrbitViewer::handleInput(const InputSnapshot& input)
{
    reloading.returnOwedPages();
    Reloading::Due due = reloading.poll(input.dt, meshExists, appSettings);
    applyReloads(due);
    // The one place where what the catalogue worker read comes into the scene.
    const Catalogues::News catalogueNews = shownCatalogues.poll(input.dt, skyClock.dynamicalDays());
    for (const std::string& line : catalogueNews.log)
        logViewerLine(line);
    if (!catalogueNews.status.empty())
        say(catalogueNews.status);

    // At true scale a key press crosses a share of the distance to the nearest surface.
    if (trueScaleShown())
        decisions.setMoveSpeed(float(std::max(std::abs(trueScale->nearestSurfaceKm(cameraPlaceKm)), 1e-3) *
                                     flightPerSecond));
    OrbitActions actions = decisions.decide(input, bodyRegistry, &shownCatalogues);
    if (actions.quit)
        return false;
    goToAwaitedName(actions);
    // A view shown before its catalogue body was read comes again once it is, unless another took its place.
    if (takesTheCameraElsewhere(actions))
        awaitedView.reset();
    else if (awaitedView && !shownCatalogues.namesComing())
    {
        const SavedView view = *awaitedView;
        showView(view);
    }
    if (actions.scaleToggled)
        setTrueScale(!trueScaleShown());
    keepCatalogueFocus();
    if (actions.reload)
        reloading.requestNow();
    if (actions.statusChanged)
        say(actions.status);
    if (actions.dateSet)
    {
        skyClock.setDays(actions.date);
        placeBodiesByTheClock();
        logViewerLine("the clock set to " + dateText(skyClock.days()));
    }
    if (actions.recallView >= 0)
        recallView(actions.recallView);
    if (actions.recordingToggled)
        toggleFilm();
    if (actions.jumpTo >= 0)
        jumpTo(actions.jumpTo);
    if (actions.goToCatalogue)
        goToCatalogueBody(*actions.goToCatalogue);
    if (actions.pick)
        pick();
    followFocus(actions);
    flyCamera(actions);
    flyToView(actions, input.dt);
    // Kept as this frame shows it, the camera moved with the body it follows.
    if (actions.keepView)
        keepView(actions);
    if (actions.screenshot && window)
        takeScreenshot();
    if (actions.polygonModeChanged)
        camera->setPolygonMode(polygonModeAt(decisions.renderModeIndex()));
    if (actions.fieldOfViewChanged)
        showFieldOfView(decisions.fieldOfView());
    panels.apply(actions, decisions, bodyRegistry);
    if (actions.constellationsToggled)
        toggleConstellations();
    showClock();

    // The camera moved this frame: the bodies stand where it sees them from.
    rebaseTrueScale();
    sceneManager->getSceneNode(sceneNames::starField)->setPosition(cameraNode->_getDerivedPosition());
    panels.update(bodyRegistry, *camera, decisions.hasFocus() ? decisions.focusIndex() : -1);
    cometTails.setCatalogues(trueScaleShown() ? std::vector<std::shared_ptr<const SmallBodies>>()
                                              : shownCatalogues.shownBodies());
    cometTails.update(skyClock.dynamicalDays(), shownCatalogues.radialMap());
    // The catalogue body in focus shows its orbit, whether the others' show or not.
    // Its line is on the display's map: not at true scale.
    if (const std::optional<CatalogueTarget>& target = decisions.catalogueFocus(); target && !trueScaleShown())
        focusOrbit.show(shownCatalogues.bodiesIn(target->slot)->elements(target->index), shownCatalogues.radialMap());
    else
        focusOrbit.hide();
    if (!decisions.infoShown() || !decisions.catalogueFocus())
        infoLoggedFor.clear();
    if (decisions.infoShown() && decisions.hasFocus() && std::size_t(decisions.focusIndex()) < bodyRegistry.size())
    {
        const Body& body = bodyRegistry.at(std::size_t(decisions.focusIndex()));
        std::vector<Fact> facts = bodyFacts(bodyRegistry, body, cameraNode->_getDerivedPosition(), skyClock.dynamicalDays());
        // At true scale the places are km from the camera, and the sizes real.
        if (trueScaleShown())
        {
            for (Fact& fact : facts)
                if (fact.first == "radius")
                    fact.second = readableNumber(body.definition.RadiusKm) + " km";
                else if (fact.first == "semi-major axis")
                    fact.second = readableNumber(body.definition.SemiMajorAxisKm) + " km";
            unitsInKm(facts);
        }
        panels.showInfo(facts);
    }
    else if (decisions.infoShown() && decisions.catalogueFocus())
    {
        std::vector<Fact> facts = catalogueFocusFacts();
        if (trueScaleShown())
            unitsInKm(facts);
        panels.showInfo(facts);
        // Once a body, in the log as the panel first tells of it.
        if (infoLoggedFor != decisions.catalogueFocus()->name)
        {
            infoLoggedFor = decisions.catalogueFocus()->name;
            std::string line = "the info panel tells of " + infoLoggedFor + ":";
            for (const Fact& fact : facts)
                line += " " + fact.first + " " + fact.second + ";";
            logViewerLine(line);
        }
    }
    else if (decisions.infoShown())
        panels.showInfo({{"No body chosen", ""}, {"jump, go to", "or pick one (C)"}});
    generatePendingLod();
    return true;
}

SavedView OrbitViewer::currentView(const std::string& name) const
{
    SavedView view;
    view.name = name;
    view.Position = trueScaleShown() ? toFloat(cameraPlaceKm) : cameraNode->getPosition();
    view.TrueScale = trueScaleShown();
    if (view.TrueScale)
        view.PositionKm = cameraPlaceKm;
    setViewOrientation(view, cameraNode->getOrientation());
    const OrbitControls::ViewState state = decisions.viewState();
    if (state.focusIndex >= 0 && std::size_t(state.focusIndex) < bodyRegistry.size())
    {
        const Body& body = bodyRegistry.at(std::size_t(state.focusIndex));
        view.Focus = body.sectionName;
        view.Follow = state.following;
        if (view.Follow && view.TrueScale)
            view.OffsetKm = cameraPlaceKm - trueScale->placeOf(std::size_t(state.focusIndex));
        if (view.Follow)
            view.Offset = view.TrueScale ? toFloat(view.OffsetKm) : view.Position - bodyCentre(body);
    }
    else if (state.catalogueFocus)
    {
        view.CatalogueFocus.text = state.catalogueFocus->name;
        view.Follow = state.following;
        if (view.Follow && view.TrueScale)
            view.OffsetKm = cameraPlaceKm - catalogueKm(*state.catalogueFocus);
        if (view.Follow)
            view.Offset = view.TrueScale ? toFloat(view.OffsetKm)
                                         : view.Position - shownCatalogues.placeOf(*state.catalogueFocus);
    }
    view.Rate = state.timeRate;
    view.Paused = state.paused;
    view.Speed = state.clockSpeed;
    view.dated = clockInUse;
    view.Date.days = skyClock.days();
    view.OrbitLines = state.orbitLinesShown;
    view.Names = state.labelsShown;
    view.Statistics = state.statisticsShown;
    view.FieldOfView = state.fieldOfView;
    const SkyBackground* sky = realSky(sceneManager);
    view.Constellations = sky && sky->showsFigures();
    view.MilkyWay = !sky || sky->showsMilkyWay();
    return view;
}

std::optional<CatalogueTarget> OrbitViewer::followedCatalogueBody(const SavedView& view) const
{
    if (!view.Follow || !view.Focus.empty() || view.CatalogueFocus.text.empty())
        return std::nullopt;
    return shownCatalogues.findCatalogueBody(view.CatalogueFocus.text, false);
}

Vector3d OrbitViewer::viewPlaceKm(const SavedView& view) const
{
    if (const std::optional<CatalogueTarget> target = followedCatalogueBody(view))
        return catalogueKm(*target) + view.OffsetKm;
    const int body = view.Follow ? bodyRegistry.indexOf(view.Focus) : -1;
    if (body >= 0 && trueScale && trueScale->shows(std::size_t(body)))
        return trueScale->placeOf(std::size_t(body)) + view.OffsetKm;
    return view.PositionKm;
}

CameraPose OrbitViewer::viewPose(const SavedView& view) const
{
    CameraPose pose{view.Position, viewOrientation(view)};
    if (const std::optional<CatalogueTarget> target = followedCatalogueBody(view))
    {
        pose.position = trueScaleShown() ? toFloat(catalogueKm(*target) + doubled(view.Offset))
                                         : shownCatalogues.placeOf(*target) + view.Offset;
        return pose;
    }
    const int body = view.Follow ? bodyRegistry.indexOf(view.Focus) : -1;
    if (body >= 0 && trueScaleShown())
        pose.position = toFloat(trueScale->placeOf(std::size_t(body)) + doubled(view.Offset));
    else if (body >= 0)
        pose.position = bodyCentre(bodyRegistry.at(std::size_t(body))) + view.Offset;
    return pose;
}

void OrbitViewer::setFieldOfView(double degrees)
{
    decisions.setFieldOfView(degrees);
    showFieldOfView(decisions.fieldOfView());
}

void OrbitViewer::showFieldOfView(double degrees)
{
    camera->setFOVy(Ogre::Degree(Ogre::Real(degrees)));
}

void OrbitViewer::toggleConstellations()
{
    SkyBackground* sky = realSky(sceneManager);
    if (!sky)
    {
        say("No constellations: no body follows the clock");
        return;
    }
    sky->showFigures(!sky->showsFigures());
    logViewerLine(sky->showsFigures() ? "constellations shown" : "constellations hidden");
}

void OrbitViewer::placeCamera(const CameraPose& pose)
{
    cameraNode->setOrientation(pose.orientation);
    if (trueScaleShown())
    {
        setCameraKm(doubled(pose.position));
        return;
    }
    cameraNode->setPosition(pose.position);
}

void OrbitViewer::showView(const SavedView& view, float seconds)
{
    // A view is shown at the scale it was taken in.
    setTrueScale(view.TrueScale);
    const int body = view.Focus.empty() ? -1 : bodyRegistry.indexOf(view.Focus);
    OrbitControls::ViewState state;
    state.focusIndex = body;
    // A catalogue body is found by its name, once its catalogue has been read.
    if (body < 0 && !view.CatalogueFocus.text.empty())
        state.catalogueFocus = shownCatalogues.findCatalogueBody(view.CatalogueFocus.text, false);
    const bool awaited =
        !view.CatalogueFocus.text.empty() && !state.catalogueFocus && shownCatalogues.namesComing();
    awaitedView.reset();
    if (awaited)
        awaitedView = view;
    state.following = view.Follow;
    state.timeRate = view.Rate;
    state.clockSpeed = std::isnan(view.Speed) ? decisions.clockStartSpeed() : view.Speed;
    state.paused = view.Paused;
    state.statisticsShown = view.Statistics;
    state.orbitLinesShown = view.OrbitLines;
    state.labelsShown = view.Names;
    state.fieldOfView = view.FieldOfView;
    OrbitActions switched;
    switched.statisticsChanged = decisions.statisticsShown() != view.Statistics;
    switched.orbitLinesChanged = decisions.orbitLinesShown() != view.OrbitLines;
    switched.labelsChanged = decisions.labelsShown() != view.Names;
    decisions.recallViewState(state);
    showFieldOfView(decisions.fieldOfView());
    panels.apply(switched, decisions, bodyRegistry);
    if (SkyBackground* sky = realSky(sceneManager))
    {
        sky->showFigures(view.Constellations);
        sky->showMilkyWay(view.MilkyWay);
    }
    if (view.dated && clockInUse)
    {
        skyClock.setDays(view.Date.days);
        placeBodiesByTheClock();
    }
    showClock();

    // A body that is gone leaves the camera alone: where the view stood, not following.
    SavedView destination = view;
    destination.Follow = decisions.following();
    following.stop();
    // At true scale the flight is worked out from its destination, so the
    // camera's place is as precise as its distance to it.
    keptViews.startFlight(destination,
                          CameraPose{trueScaleShown() ? toFloat(cameraPlaceKm - viewPlaceKm(destination))
                                                      : cameraNode->getPosition(),
                                     cameraNode->getOrientation()},
                          seconds);
    if (!(seconds > 0.0f))
    {
        keptViews.endFlight();
        if (trueScaleShown())
        {
            cameraNode->setOrientation(viewOrientation(destination));
            setCameraKm(viewPlaceKm(destination));
        }
        else
            placeCamera(viewPose(destination));
        // Near or far from here, before a frame is drawn.
        runDetailStep(camera->getRealPosition());
    }
    if (decisions.following() && body >= 0)
        following.start(bodyRegistry.at(std::size_t(body)));
    const std::string& named = view.Focus.empty() ? view.CatalogueFocus.text : view.Focus;
    const bool gone = !named.empty() && body < 0 && !state.catalogueFocus && !awaited;
    say("View '" + view.name + "'" + (gone ? ": its body " + named + " is gone, so the camera alone comes back" : ""));
    logViewerLine("view '" + view.name + "'" + (gone ? " without its body " + named + ", which is gone" : "") +
                  (awaited ? ", its body " + named + " when its catalogue is read" : ""));
}

void OrbitViewer::flyToView(const OrbitActions& actions, float dt)
{
    if (!keptViews.flying())
        return;
    // The person takes the camera back.
    if (actions.jumpTo >= 0 || actions.translation != Ogre::Vector3::ZERO || actions.yawDegrees != 0.0f ||
        actions.pitchDegrees != 0.0f)
    {
        keptViews.endFlight();
        return;
    }
    const bool km = trueScaleShown();
    const SavedView& to = keptViews.destination();
    const CameraPose pose = keptViews.fly(dt, km ? CameraPose{Ogre::Vector3::ZERO, viewOrientation(to)} : viewPose(to));
    if (!isFinite(pose.position))
    {
        keptViews.endFlight();
        return;
    }
    if (km)
    {
        cameraNode->setOrientation(pose.orientation);
        setCameraKm(viewPlaceKm(to) + doubled(pose.position));
        return;
    }
    placeCamera(pose);
}

void OrbitViewer::keepView(const OrbitActions& actions)
{
    if (actions.viewName.empty())
        return;
    const KeptViews::Outcome kept = keptViews.keep(currentView(actions.viewName), actions.replaceView);
    if (kept.nameTaken)
    {
        decisions.askToReplace(actions.viewName);
        say(decisions.promptLine());
        return;
    }
    say(kept.status);
}

void OrbitViewer::recallView(int index)
{
    const Result<SavedView> view = keptViews.numbered(index);
    if (view)
        showView(*view, recallSeconds);
    else
        say(view.why());
}

Result<> OrbitViewer::startFilm(const std::string& folder, unsigned width, unsigned height, double framesPerSecond,
                                bool overlays)
{
    const Result<> started = films.start(camera, folder, width, height, framesPerSecond, overlays);
    if (started)
    {
        status.setBanner(films.banner());
        if (trueScaleShown())
        {
            partitionFilmDepth();
            placeAtTrueScale();
        }
    }
    return started;
}

void OrbitViewer::partitionFilmDepth()
{
    // The film's target is drawn with the camera the window's partitions
    // leave clipped from the nearest stretch to the farthest: one depth
    // buffer over all of it would lose every body. It gets stretches of its own.
    if (const FilmRecorder* film = films.film(); film && !filmDepth)
        filmDepth = std::make_unique<DepthPartitions>(camera, film->renderTarget(), film->frameViewport());
}

void OrbitViewer::stopFilm()
{
    filmDepth.reset();
    const std::string recorded = films.stop();
    status.setBanner("");
    if (!recorded.empty())
        say(recorded);
}

void OrbitViewer::toggleFilm()
{
    if (films.recording())
    {
        stopFilm();
        return;
    }
    if (!window)
        return;
    const Result<std::string> folder = makeFilmFolder(screenshotFolder);
    const Result<> started =
        folder ? startFilm(*folder, window->getWidth(), window->getHeight(), viewerFilmRate, false) : Failure{folder.why()};
    if (!started)
        say("Could not record: " + started.why());
}

Result<> OrbitViewer::keepFilmFrame()
{
    const Result<> kept = films.keepFrame();
    if (!kept)
    {
        stopFilm();
        say("Recording stopped: " + kept.why());
        logViewerLine("recording stopped: " + kept.why());
        return kept;
    }
    status.setBanner(films.banner());
    return kept;
}

void OrbitViewer::showPathFrame(const FilmPath& path, long index, float dt)
{
    const PathFrame frame = path.frame(index);
    const double seconds = films.frameSeconds(dt);
    if (seconds > 0.0 && frame.rate != 0.0)
        runMotion(seconds, frame.rate);
    if (clockInUse)
    {
        if (frame.dated)
            skyClock.setDays(frame.date);
        else
        {
            skyClock.setSpeed(frame.speed);
            skyClock.advance(seconds);
        }
        placeBodiesByTheClock();
    }
    // The path has the camera: following a body would move it on top.
    following.stop();
    decisions.stopFollowing();
    if (trueScaleShown() && path.views().size() > 1)
    {
        // In double precision, the pace eased in the log of the distance (viewer/TrueScalePath.h).
        const auto stop = [&](const SavedView& view) {
            const Vector3d place = viewPlaceKm(view);
            return TrueScaleStop{place, viewOrientation(view), std::abs(trueScale->nearestSurfaceKm(place))};
        };
        const std::size_t last = path.views().size() - 1;
        const TrueScaleStop from = stop(path.views()[std::min(frame.segment, last)]);
        const TrueScaleStop to = stop(path.views()[std::min(frame.segment + 1, last)]);
        cameraNode->setOrientation(trueScalePathTurn(from, to, frame.along));
        setCameraKm(trueScalePathPlace(from, to, frame.along));
        showFieldOfView(frame.fieldOfView);
        return;
    }
    std::vector<CameraPose> stops;
    for (const SavedView& view : path.views())
        stops.push_back(viewPose(view));
    placeCamera(CameraPath(stops).at(frame.segment, frame.along));
    showFieldOfView(frame.fieldOfView);
    if (!trueScaleShown())
        runDetailStep(camera->getRealPosition());
}
