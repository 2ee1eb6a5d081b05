#include "scene/SunAndStars.h"

#include "config/AppSettings.h"
#include "config/Files.h"
#include "config/ValueChecks.h"
#include "scene/SkyAtlas.h"
#include "scene/SkyBackground.h"
#include "sim/BodyRegistry.h"
#include "sim/SceneNames.h"

#include <OgreBillboardSet.h>
#include <OgreDataStream.h>
#include <OgreResourceGroupManager.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMath.h>
#include <OgreParticleSystem.h>
#include <OgreParticleEmitter.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

float randomAngle()
{
    // rand() reaches 2^31 - 1 here, so the product needs more than an int.
    return float(static_cast<long long>(std::rand()) * 360);
}

void createSun(Ogre::SceneManager* sceneManager)
{
    Ogre::SceneNode* sunNode = sceneManager->getRootSceneNode()->createChildSceneNode(
        sceneNames::sunNode, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    Ogre::ParticleSystem* particles =
        sceneManager->createParticleSystem(sceneNames::sunParticle, sceneNames::sunParticleTemplate);
    Ogre::SceneNode* particleNode =
        sunNode->createChildSceneNode(sceneNames::sunParticle, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    particleNode->setPosition(0, 0, 0);
    particleNode->attachObject(particles);
}

namespace
{
// The sun's glow under the real sky: a tenth of the particles, each four
// times as bright (its material), so that it looks the same; blending 120
// discs over a close-up of a planet before the Sun took the software
// renderer 80 ms a frame.
void matchSunGlowToSky(Ogre::SceneManager* sceneManager, bool realSkyShown)
{
    if (!sceneManager->hasParticleSystem(sceneNames::sunParticle))
        return;
    Ogre::ParticleSystem* glow = sceneManager->getParticleSystem(sceneNames::sunParticle);
    if ((glow->getMaterialName() == sceneNames::realSkySunGlow) == realSkyShown)
        return;
    Ogre::SceneNode* node = glow->getParentSceneNode();
    sceneManager->destroyParticleSystem(glow);
    glow = sceneManager->createParticleSystem(sceneNames::sunParticle, sceneNames::sunParticleTemplate);
    node->attachObject(glow);
    if (!realSkyShown)
        return;
    constexpr int share = 10;
    glow->setParticleQuota(glow->getParticleQuota() / share);
    for (unsigned short i = 0; i < glow->getNumEmitters(); ++i)
        glow->getEmitter(i)->setEmissionRate(glow->getEmitter(i)->getEmissionRate() / share);
    glow->setMaterialName(sceneNames::realSkySunGlow);
}
}

namespace
{
void colourSunLight(Ogre::Light* light)
{
    light->setDiffuseColour(appSettings.DiffuseLight);
    light->setSpecularColour(appSettings.SpecularLight);
    light->setAttenuation(appSettings.Range, appSettings.Constant, appSettings.Linear,
                          appSettings.Quadratic);
}

void fillStarField(Ogre::BillboardSet* stars);
}

void createSunLight(Ogre::SceneManager* sceneManager)
{
    Ogre::Light* light = sceneManager->createLight(sceneNames::sunLight);
    light->setType(Ogre::Light::LT_POINT);
    // A light attached to no node stands at the world origin, where the sun is.
    colourSunLight(light);
}

void updateLights(Ogre::SceneManager* sceneManager)
{
    sceneManager->setAmbientLight(appSettings.AmbientLight);
    colourSunLight(sceneManager->getLight(sceneNames::sunLight));
}

namespace
{
std::string problem;

// The sky files as read, kept for the next scene made from the same ones.
struct SkyFiles
{
    std::string catalogue;
    float magnitudeLimit = 0.0f;
    std::vector<CatalogueStar> stars;
    std::vector<FigureSegment> figures;
    MilkyWayGrid milkyWay;
};

// A sky file's bytes: a path from the working folder (or absolute), else a
// file of that name among the engine's resources, where media/sky/ is.
Result<std::string> skyFileBytes(const std::string& name)
{
    if (isRegularFile(name))
    {
        const Result<std::string> bytes = readWholeFile(name);
        return bytes ? bytes : Result<std::string>(Failure{name + ": " + bytes.why()});
    }
    Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
    if (name.find('/') == std::string::npos && resources.resourceExistsInAnyGroup(name))
    {
        try
        {
            return resources.openResource(name, resources.findGroupContainingResource(name))->getAsString();
        }
        catch (const Ogre::Exception& error)
        {
            return Failure{name + ": " + error.getDescription()};
        }
    }
    return Failure{name + ": no such file here or among the sky data"};
}

Result<std::string> skyFileText(const std::string& name)
{
    const Result<std::string> bytes = skyFileBytes(name);
    return bytes ? unpackedText(name, *bytes) : bytes;
}

Result<std::shared_ptr<const SkyFiles>> loadSkyFiles(const std::string& catalogue, float magnitudeLimit)
{
    static std::shared_ptr<const SkyFiles> last;
    if (last && last->catalogue == catalogue && last->magnitudeLimit == magnitudeLimit)
        return last;
    auto files = std::make_shared<SkyFiles>();
    files->catalogue = catalogue;
    files->magnitudeLimit = magnitudeLimit;
    Result<std::string> text = skyFileText(catalogue);
    if (!text)
        return Failure{text.why()};
    Result<std::vector<CatalogueStar>> stars = readStarCatalogue(catalogue, *text, magnitudeLimit);
    if (!stars)
        return Failure{stars.why()};
    files->stars = std::move(stars.value());
    text = skyFileText(constellationFigures);
    Result<std::vector<FigureSegment>> figures =
        text ? readConstellationFigures(constellationFigures, *text) : Failure{text.why()};
    if (!figures)
        return Failure{figures.why()};
    files->figures = std::move(figures.value());
    text = skyFileText(milkyWayGrid);
    Result<MilkyWayGrid> grid = text ? readMilkyWay(milkyWayGrid, *text) : Failure{text.why()};
    if (!grid)
        return Failure{grid.why()};
    files->milkyWay = std::move(grid.value());
    last = files;
    return last;
}

Ogre::SceneNode* starFieldNode(Ogre::SceneManager* sceneManager)
{
    if (sceneManager->hasSceneNode(sceneNames::starField))
        return sceneManager->getSceneNode(sceneNames::starField);
    return sceneManager->getRootSceneNode()->createChildSceneNode(sceneNames::starField, Ogre::Vector3::ZERO,
                                                                  Ogre::Quaternion::IDENTITY);
}

// The real sky on the node; false, with `problem` set, when its files do not read.
bool createRealSky(Ogre::SceneManager* sceneManager, Ogre::SceneNode* node)
{
    const std::string catalogue = appSettings.Catalogue.empty() ? shippedCatalogue : appSettings.Catalogue;
    const Result<std::shared_ptr<const SkyFiles>> files = loadSkyFiles(catalogue, appSettings.MagnitudeLimit);
    if (!files)
    {
        problem = files.why() + "; the random stars stay";
        Ogre::LogManager::getSingleton().logWarning("OrvTest: the real sky: " + problem);
        return false;
    }
    SkyBackground::registerFactory();
    auto* sky = static_cast<SkyBackground*>(
        sceneManager->createMovableObject(sceneNames::starField, SkyBackground::typeName));
    const SkyFiles& sources = **files;
    sky->setStars(sources.stars, appSettings.MagnitudeLimit, appSettings.Brightness);
    sky->setFigures(sources.figures);
    sky->setMilkyWay(sources.milkyWay, appSettings.Brightness);
    sky->showFigures(appSettings.Constellations);
    sky->showMilkyWay(appSettings.MilkyWay);
    node->attachObject(sky);
    Ogre::LogManager::getSingleton().logMessage(
        "OrvTest: the real sky: " + std::to_string(sky->starCount()) + " stars of " + catalogue +
        " to magnitude " + formatNumber(appSettings.MagnitudeLimit) + ", " + std::to_string(sky->segmentCount()) +
        " constellation lines, the Milky Way");
    return true;
}

void createRandomField(Ogre::SceneManager* sceneManager, Ogre::SceneNode* node)
{
    Ogre::BillboardSet* stars = sceneManager->createBillboardSet(sceneNames::starField, 20);
    node->attachObject(stars);
    stars->setMaterialName(sceneNames::starMaterial);
    fillStarField(stars);
}

void destroyStarField(Ogre::SceneManager* sceneManager)
{
    if (sceneManager->hasMovableObject(sceneNames::starField, SkyBackground::typeName))
        sceneManager->destroyMovableObject(sceneNames::starField, SkyBackground::typeName);
    if (sceneManager->hasBillboardSet(sceneNames::starField))
        sceneManager->destroyBillboardSet(sceneNames::starField);
}
}

bool wantsRealSky()
{
    return !appSettings.Catalogue.empty() || bodyRegistry.anyFollowsClock();
}

SkyBackground* realSky(Ogre::SceneManager* sceneManager)
{
    if (!sceneManager->hasMovableObject(sceneNames::starField, SkyBackground::typeName))
        return nullptr;
    return static_cast<SkyBackground*>(sceneManager->getMovableObject(sceneNames::starField, SkyBackground::typeName));
}

const std::string& realSkyProblem()
{
    return problem;
}

void createStarField(Ogre::SceneManager* sceneManager)
{
    problem.clear();
    Ogre::SceneNode* node = starFieldNode(sceneManager);
    const bool realSkyShown = wantsRealSky() && createRealSky(sceneManager, node);
    if (!realSkyShown)
        createRandomField(sceneManager, node);
    matchSunGlowToSky(sceneManager, realSkyShown);
}

void recreateStarField(Ogre::SceneManager* sceneManager)
{
    destroyStarField(sceneManager);
    // The C runtime's sequence from its start, as at start-up.
    std::srand(1);
    createStarField(sceneManager);
}

bool matchStarFieldToBodies(Ogre::SceneManager* sceneManager)
{
    // A real sky wanted and refused stays refused until the settings change.
    const bool shown = realSky(sceneManager) != nullptr || !problem.empty();
    if (wantsRealSky() == shown)
        return false;
    recreateStarField(sceneManager);
    return true;
}

namespace
{
void fillStarField(Ogre::BillboardSet* stars)
{
    int count = appSettings.Density;
    if (count > maxStarCount)
    {
        Ogre::LogManager::getSingleton().logWarning(
            "StarField: Density " + std::to_string(count) + " capped at " +
            std::to_string(maxStarCount) + " stars");
        count = maxStarCount;
    }

    const float distance = appSettings.Distance;
    for (int n = 0; n < count; ++n)
    {
        // z first, then y, then x: the draw order fixes the sky.
        const float z = Ogre::Math::Sin(randomAngle(), false) * distance;
        const float y = Ogre::Math::Cos(randomAngle(), false) * distance;
        const float x = Ogre::Math::Cos(randomAngle(), false) * distance;
        stars->createBillboard(Ogre::Vector3(x, y, z), Ogre::ColourValue::White);
    }
}
}
