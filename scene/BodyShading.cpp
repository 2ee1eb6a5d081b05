#include "scene/BodyShading.h"

#include "config/AppSettings.h"
#include "scene/Rings.h"
#include "scene/ShadowGeometry.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"

#include <OgreEntity.h>
#include <OgreGpuProgramParams.h>
#include <OgreHighLevelGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystem.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_map>
#include <vector>

namespace
{
const char* const bodyTemplate = "OrvTest/Body";
const char* const baseFragment = "OrvTest/BodyFragment";

// Custom parameters: the casters' slots, then the ring's two and the clouds'.
constexpr std::size_t ringCentreSlot = casterSlots;
constexpr std::size_t ringNormalSlot = casterSlots + 1;
constexpr std::size_t cloudSlot = casterSlots + 2;
constexpr std::size_t slotCount = casterSlots + 3;

// What of Body.frag a body needs.
struct Needs
{
    std::size_t casters;
    bool ring;
    bool clouds;
};

struct ShadedBody
{
    Body* body;
    Ogre::Entity* model;
    std::vector<const Body*> candidates;   // the spheres that can shadow it
    const Body* ringHolder;                // itself or its parent; null for none
    double cloudTurnsPerDay;               // the clouds' turns a day on the surface; 0 for none
    Ogre::Vector4 slots[slotCount];        // as last written
    // Its materials by the casters in reach and whether the ring is; null
    // where it cannot come to that, or without the shading's template.
    Ogre::MaterialPtr variants[casterSlots + 1][2];
    const Ogre::Material* shown;
};

std::vector<ShadedBody> shaded;
float shadedSunRadius = 0.0f;
Ogre::Vector3 shadedSunCentre = Ogre::Vector3::ZERO;

class ShadingListener : public Ogre::SceneManager::Listener
{
public:
    void postUpdateSceneGraph(Ogre::SceneManager*, Ogre::Camera*) override { writeShadowCasters(); }
    void sceneManagerDestroyed(Ogre::SceneManager* source) override
    {
        if (source == scene)
        {
            shaded.clear();
            scene = nullptr;
        }
    }

    void listenTo(Ogre::SceneManager* sceneManager)
    {
        if (scene == sceneManager)
            return;
        if (scene)
            scene->removeListener(this);
        scene = sceneManager;
        if (scene)
            scene->addListener(this);
    }

private:
    Ogre::SceneManager* scene = nullptr;
};

ShadingListener listener;

// Where the body's centre stands: its orbit node is always in the scene
// graph, brought up to date before the casters are written.
Ogre::Vector3 centreOf(const Body& body)
{
    const Ogre::SceneNode* orbit = body.orbitNode;
    return orbit->_getDerivedPosition() + orbit->_getDerivedOrientation() * body.nearOffset;
}

Ogre::Entity* nearEntityOf(const Body& body)
{
    if (body.nearNode->numAttachedObjects() == 0)
        return nullptr;
    return dynamic_cast<Ogre::Entity*>(body.nearNode->getAttachedObject(0));
}

// The map of a material's first pass, or "".
std::string mapOf(const Ogre::MaterialPtr& material)
{
    if (!material || material->getNumTechniques() == 0 || material->getTechnique(0)->getNumPasses() == 0)
        return "";
    const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    return pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0)->getTextureName() : "";
}

// Body.frag compiled for those needs, made on first use: the base program's
// parameters, and the custom parameters and maps of what it adds.
std::string fragmentProgramFor(const Needs& needs)
{
    if (needs.casters == 0 && !needs.ring && !needs.clouds)
        return baseFragment;
    const std::string name = std::string(baseFragment) + "+" + std::to_string(needs.casters) + "casters" +
                             (needs.ring ? "+RingShadow" : "") + (needs.clouds ? "+Clouds" : "");
    Ogre::HighLevelGpuProgramManager& programs = Ogre::HighLevelGpuProgramManager::getSingleton();
    if (programs.resourceExists(name))
        return name;
    const Ogre::HighLevelGpuProgramPtr base = programs.getByName(baseFragment);
    Ogre::HighLevelGpuProgramPtr program =
        programs.createProgram(name, base->getGroup(), "glsl", Ogre::GPT_FRAGMENT_PROGRAM);
    program->setSourceFile(base->getSourceFile());
    program->setParameter("preprocessor_defines", "CASTERS=" + std::to_string(needs.casters) +
                                                      (needs.ring ? ",RING_SHADOW" : "") +
                                                      (needs.clouds ? ",CLOUDS" : ""));
    program->load();
    const Ogre::GpuProgramParametersSharedPtr params = program->getDefaultParameters();
    params->setIgnoreMissingParams(true);
    params->copyMatchingNamedConstantsFrom(*base->getDefaultParameters());
    int unit = 1;
    for (std::size_t i = 0; i < needs.casters; ++i)
        params->setNamedAutoConstant("caster" + std::to_string(i), Ogre::GpuProgramParameters::ACT_CUSTOM, i);
    if (needs.ring)
    {
        params->setNamedConstant("ringMap", unit++);
        params->setNamedAutoConstant("ringCentre", Ogre::GpuProgramParameters::ACT_CUSTOM, ringCentreSlot);
        params->setNamedAutoConstant("ringNormal", Ogre::GpuProgramParameters::ACT_CUSTOM, ringNormalSlot);
    }
    if (needs.clouds)
        params->setNamedConstant("cloudMap", unit++);
    return name;
}

void setSunRadius(Ogre::Pass* pass, float sunRadius)
{
    const Ogre::GpuProgramParametersSharedPtr params = pass->getFragmentProgramParameters();
    if (params->_findNamedConstantDefinition("sunRadius"))
        params->setNamedConstant("sunRadius", sunRadius);
}

// The clone of OrvTest/Body that draws `source`'s map in its colours with
// what the body needs; null without the template (a scene with no render
// system) or a map.
Ogre::MaterialPtr shadingMaterial(const Ogre::MaterialPtr& source, const Needs& needs, const std::string& ringMap,
                            const std::string& cloudMap, float sunRadius)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    const Ogre::MaterialPtr base = materials.getByName(bodyTemplate);
    const std::string map = mapOf(source);
    if (!base || map.empty())
        return Ogre::MaterialPtr();
    const std::string name = std::string(bodyTemplate) + "/" + source->getName() + "/" +
                             std::to_string(needs.casters) + " casters" + (needs.ring ? "/ring " + ringMap : "") +
                             (needs.clouds ? "/clouds " + cloudMap : "");
    if (const Ogre::MaterialPtr made = materials.getByName(name))
        return made;
    const Ogre::MaterialPtr made = base->clone(name);
    Ogre::Pass* pass = made->getTechnique(0)->getPass(0);
    pass->setFragmentProgram(fragmentProgramFor(needs));
    const Ogre::Pass* from = source->getTechnique(0)->getPass(0);
    pass->setAmbient(from->getAmbient());
    pass->setDiffuse(from->getDiffuse());
    pass->setSpecular(from->getSpecular());
    pass->setShininess(from->getShininess());
    Ogre::TextureUnitState* unit = pass->getTextureUnitState(0);
    unit->setTextureName(map);
    unit->setTextureAddressingMode(from->getTextureUnitState(0)->getTextureAddressingMode());
    if (needs.ring)
        pass->createTextureUnitState(ringMap)->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    if (needs.clouds)
        pass->createTextureUnitState(cloudMap)->setTextureAddressingMode(Ogre::TextureUnitState::TAM_WRAP,
                                                                        Ogre::TextureUnitState::TAM_CLAMP,
                                                                        Ogre::TextureUnitState::TAM_WRAP);
    setSunRadius(pass, sunRadius);
    made->load();
    return made;
}

void showMaterial(ShadedBody& entry, const Ogre::MaterialPtr& material)
{
    if (!material || material.get() == entry.shown)
        return;
    for (std::size_t i = 0; i < entry.model->getNumSubEntities(); ++i)
        entry.model->getSubEntity(i)->setMaterial(material);
    entry.shown = material.get();
}

void setCustomParameters(Ogre::Entity* entity, const Ogre::Vector4* values)
{
    for (std::size_t i = 0; i < entity->getNumSubEntities(); ++i)
    {
        Ogre::SubEntity* part = entity->getSubEntity(i);
        for (std::size_t slot = 0; slot < slotCount; ++slot)
            part->setCustomParameter(slot, values[slot]);
    }
}

// The bodies under each body.
std::unordered_map<const Body*, std::vector<const Body*>> moonsOf(const BodyRegistry& bodies)
{
    std::unordered_map<const Body*, std::vector<const Body*>> moons;
    for (const auto& body : bodies)
        if (body->parentBody)
            moons[body->parentBody].push_back(body.get());
    return moons;
}
}

Ogre::ShadowTechnique shadowTechniqueFor(const BodyRegistry& bodies)
{
    return bodies.anyFollowsClock() ? Ogre::SHADOWTYPE_NONE : appSettings.ShadowTechnique;
}

float sunRadiusOf(Ogre::SceneManager* sceneManager)
{
    if (!sceneManager->hasParticleSystem(sceneNames::sunParticle))
        return 0.0f;
    return sceneManager->getParticleSystem(sceneNames::sunParticle)->getDefaultWidth() / 2.0f;
}

void shadeBodies(const BodyRegistry& bodies, Ogre::SceneManager* sceneManager)
{
    forgetBodyShading();
    sceneManager->setShadowTechnique(shadowTechniqueFor(bodies));
    const bool dated = bodies.anyFollowsClock();
    shadedSunRadius = sunRadiusOf(sceneManager);
    const auto moons = moonsOf(bodies);
    const std::vector<const Body*> none;
    const auto moonsUnder = [&](const Body* body) -> const std::vector<const Body*>& {
        const auto found = moons.find(body);
        return found == moons.end() ? none : found->second;
    };
    for (const auto& owned : bodies)
    {
        Body& body = *owned;
        const BodyDefinition& d = body.definition;
        if (Ogre::ManualObject* ring = ringOf(body, sceneManager))
        {
            const Ogre::MaterialPtr material = ring->getSections().front()->getMaterial();
            if (material && material->getTechnique(0)->getPass(0)->hasFragmentProgram())
                setSunRadius(material->getTechnique(0)->getPass(0), shadedSunRadius);
        }
        Ogre::Entity* model = nearEntityOf(body);
        if (!model || (!dated && !d.hasClouds()))
            continue;
        ShadedBody entry{&body, model, {}, nullptr, 0.0, {}, {}, nullptr};
        if (dated)
        {
            if (const Body* parent = body.parentBody)
            {
                entry.candidates.push_back(parent);
                for (const Body* sibling : moonsUnder(parent))
                    if (sibling != &body)
                        entry.candidates.push_back(sibling);
                if (parent->definition.hasRing())
                    entry.ringHolder = parent;
            }
            const std::vector<const Body*>& own = moonsUnder(&body);
            entry.candidates.insert(entry.candidates.end(), own.begin(), own.end());
            if (d.hasRing())
                entry.ringHolder = &body;
        }
        // Every material it may come to need, made now: not while it is drawn.
        const Ogre::MaterialPtr source = model->getSubEntity(0)->getMaterial();
        const std::string ringMap = entry.ringHolder ? entry.ringHolder->definition.RingMap : "";
        const std::size_t most = std::min(entry.candidates.size(), casterSlots);
        for (std::size_t casters = 0; casters <= most; ++casters)
            for (int ring = 0; ring <= (entry.ringHolder ? 1 : 0); ++ring)
                entry.variants[casters][ring] = shadingMaterial(source, Needs{casters, ring == 1, d.hasClouds()},
                                                                ringMap, d.CloudMap, shadedSunRadius);
        entry.shown = nullptr;
        showMaterial(entry, entry.variants[0][0]);
        const Needs needs{most, entry.ringHolder != nullptr, d.hasClouds()};
        if (needs.clouds && body.datedSpin && d.CloudRotationHours != 0.0 && d.CloudRotationHours != d.RotationHours)
            entry.cloudTurnsPerDay = 24.0 / d.CloudRotationHours - 24.0 / d.RotationHours;
        if (needs.casters == 0 && !needs.ring && !needs.clouds)
            continue;   // as the thousands of a belt: nothing to hand its program
        // Every slot set once, so that writing them each frame only assigns.
        std::fill(std::begin(entry.slots), std::end(entry.slots), Ogre::Vector4::ZERO);
        entry.slots[cloudSlot] = Ogre::Vector4(0.0f, d.CloudHeight * body.drawnRadius, 0.0f, 0.0f);
        setCustomParameters(model, entry.slots);
        if (needs.casters > 0 || needs.ring || entry.cloudTurnsPerDay != 0.0)
            shaded.push_back(std::move(entry));
    }
    if (!shaded.empty())
        listener.listenTo(sceneManager);
}

void moveShadingSun(const Ogre::Vector3& centre, float radius, Ogre::SceneManager* sceneManager,
                    const BodyRegistry& bodies)
{
    shadedSunCentre = centre;
    if (radius == shadedSunRadius)
        return;
    shadedSunRadius = radius;
    for (ShadedBody& entry : shaded)
        for (auto& byCasters : entry.variants)
            for (const Ogre::MaterialPtr& material : byCasters)
                if (material)
                    setSunRadius(material->getTechnique(0)->getPass(0), radius);
    for (const auto& body : bodies)
    {
        if (Ogre::ManualObject* ring = ringOf(*body, sceneManager))
        {
            const Ogre::MaterialPtr material = ring->getSections().front()->getMaterial();
            if (material && material->getTechnique(0)->getPass(0)->hasFragmentProgram())
                setSunRadius(material->getTechnique(0)->getPass(0), radius);
        }
        for (ShadedBody& entry : shaded)
            if (entry.body == body.get())
            {
                entry.slots[cloudSlot].y = body->definition.CloudHeight * body->drawnRadius;
                setCustomParameters(entry.model, entry.slots);
            }
    }
}

void forgetBodyShading()
{
    shaded.clear();
    listener.listenTo(nullptr);
}

void forgetBodyShading(const Body& body)
{
    shaded.erase(std::remove_if(shaded.begin(), shaded.end(),
                                [&](const ShadedBody& entry) {
                                    return entry.body == &body || entry.ringHolder == &body ||
                                           std::find(entry.candidates.begin(), entry.candidates.end(), &body) !=
                                               entry.candidates.end();
                                }),
                 shaded.end());
}

std::size_t shadedBodyCount()
{
    return shaded.size();
}

void writeShadowCasters()
{
    const double days = datedBodiesPlacedAt();
    const Ogre::Vector3 sun = shadedSunCentre;
    for (ShadedBody& entry : shaded)
    {
        const Body& body = *entry.body;
        if (!body.nearShown)
            continue;
        const Ogre::Vector3 centre = centreOf(body);
        const float size = body.drawnRadius;
        Ogre::Vector4* slots = entry.slots;

        // The nearest few whose penumbra can reach the body, in order as found.
        float distances[casterSlots];
        std::size_t filled = 0;
        for (const Body* candidate : entry.candidates)
        {
            const Ogre::Vector3 at = centreOf(*candidate);
            const float radius = candidate->drawnRadius;
            if (!canShadow(sun, shadedSunRadius, at, radius, centre, size))
                continue;
            const float distance = at.squaredDistance(centre);
            std::size_t place = filled;
            while (place > 0 && distances[place - 1] > distance)
                --place;
            if (place >= casterSlots)
                continue;
            for (std::size_t i = std::min(filled, casterSlots - 1); i > place; --i)
            {
                distances[i] = distances[i - 1];
                slots[i] = slots[i - 1];
            }
            distances[place] = distance;
            slots[place] = Ogre::Vector4(at.x, at.y, at.z, radius);
            filled = std::min(filled + 1, casterSlots);
        }
        for (std::size_t i = filled; i < casterSlots; ++i)
            slots[i] = Ogre::Vector4::ZERO;
        bool ringInReach = false;
        if (const Body* holder = entry.ringHolder)
        {
            // The pole is the near model's +Y, whether or not it is shown: a
            // hidden one keeps the turn it had, and a pole moves by hundredths
            // of a degree a century.
            const Ogre::Vector3 at = centreOf(*holder);
            const Ogre::Vector3 pole = holder->orbitNode->_getDerivedOrientation() *
                                       (holder->nearNode->getOrientation() * Ogre::Vector3::UNIT_Y);
            // The ring's radii as drawn: at true scale in the body's real radii.
            const BodyDefinition& ring = holder->definition;
            const float scale = holder->drawnRadius / ring.Size;
            const float inner = holder->atTrueScale ? ring.RingInner * scale : ring.RingInner;
            const float outer = holder->atTrueScale ? ring.RingOuter * scale : ring.RingOuter;
            slots[ringCentreSlot] = Ogre::Vector4(at.x, at.y, at.z, inner);
            slots[ringNormalSlot] = Ogre::Vector4(pole.x, pole.y, pole.z, outer);
            ringInReach = ringCanShadow(sun, at, pole, inner, outer, centre, size);
        }
        if (entry.cloudTurnsPerDay != 0.0)
        {
            const double turns = (days - body.datedSpin->elements.epochDays) * entry.cloudTurnsPerDay;
            slots[cloudSlot].x = float(turns - std::floor(turns));
        }
        setCustomParameters(entry.model, slots);
        showMaterial(entry, entry.variants[filled][ringInReach ? 1 : 0]);
    }
}
