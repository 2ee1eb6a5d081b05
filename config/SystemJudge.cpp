#include "config/SystemJudge.h"

#include "config/ConfigFileReading.h"
#include "config/SystemFile.h"
#include "config/SystemFileKeys.h"
#include "config/ValueChecks.h"
#include "sim/SceneNames.h"
#include "sim/TrueScale.h"
#include "sim/WorldLimits.h"
#include "sky/Theories.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

namespace
{
std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Where each section and each of its settings stand, in file order.
struct SectionLines
{
    int firstHeader = 0;
    int headers = 0;
    std::vector<std::pair<std::size_t, int>> settings;   // the key's index in bodyKeys(), the line

    int lastLineOf(std::size_t key) const
    {
        for (auto setting = settings.rbegin(); setting != settings.rend(); ++setting)
            if (setting->first == key)
                return setting->second;
        return 0;
    }
    std::size_t timesOf(std::size_t key) const
    {
        return std::size_t(std::count_if(settings.begin(), settings.end(),
                                         [key](const std::pair<std::size_t, int>& setting) { return setting.first == key; }));
    }
};

std::size_t keyIndex(const BodyKey* key)
{
    return std::size_t(key - bodyKeys().data());
}

// What the system rules look at: the file's lines, indexed once, and the
// bodies the reader made of them.
class SystemFacts
{
public:
    SystemFacts(const std::vector<ConfigLine>& fileLines, const BodyRegistry& bodies)
        : lines(fileLines), registry(bodies)
    {
        sections.reserve(lines.size() / 8);
        SectionLines* current = nullptr;
        for (const ConfigLine& line : lines)
        {
            if (line.kind == ConfigLine::SectionHeader)
            {
                const auto placed = sections.try_emplace(line.section);
                current = &placed.first->second;
                if (placed.second)
                {
                    inOrder.push_back(&*placed.first);
                    current->firstHeader = line.number;
                }
                ++current->headers;
            }
            else if (line.kind == ConfigLine::Setting && !line.section.empty())
                if (const BodyKey* key = findBodyKey(line.key))
                    current->settings.emplace_back(keyIndex(key), line.number);
        }
        registryIndex.reserve(registry.size());
        for (std::size_t i = 0; i < registry.size(); ++i)
            registryIndex[registry.at(i).sectionName] = i;
    }

    // The line of the key's last setting in the section, else of the section line.
    int lineOf(const std::string& section, const char* keyName) const
    {
        const auto found = sections.find(section);
        if (found == sections.end())
            return 0;
        const int line = found->second.lastLineOf(keyIndex(findBodyKey(keyName)));
        return line > 0 ? line : found->second.firstHeader;
    }
    // The registry index of the body of that section, or -1.
    long bodyIndex(const std::string& section) const
    {
        const auto found = registryIndex.find(section);
        return found == registryIndex.end() ? -1 : long(found->second);
    }

    const std::vector<ConfigLine>& lines;
    const BodyRegistry& registry;
    std::unordered_map<std::string, SectionLines> sections;
    std::vector<const std::pair<const std::string, SectionLines>*> inOrder;
    std::unordered_map<std::string, std::size_t> registryIndex;
    std::vector<int> cycleOf;   // for each body, the ring of parents it is in, or -1
};

// How every setting of a body section reads, and the values the viewer
// runs with (the last of each key in a section that reads) against their
// keys' limits.
void checkBodySettings(const std::vector<ConfigLine>& lines, Findings& findings)
{
    std::vector<std::string> knownKeys;
    for (const BodyKey& key : bodyKeys())
        knownKeys.push_back(key.name);
    std::map<std::pair<std::string, const BodyKey*>, const ConfigLine*> used;
    for (const ConfigLine& line : lines)
    {
        if (line.kind != ConfigLine::Setting || line.section.empty())
            continue;
        const BodyKey* key = findBodyKey(line.key);
        if (!key)
        {
            findings.unknownKey(line, knownKeys, "of a body");
            continue;
        }
        // A body dated otherwise than written would stand somewhere else entirely.
        if (checkSetting<BodyDefinition>(findings, line, *key, true))
            used[{line.section, key}] = &line;
    }
    for (const auto& [where, line] : used)
        checkKeyLimits<BodyDefinition>(findings, *line, *where.second);
}

// Sections the reader skipped, and why.
void ruleSkippedSections(const SystemFacts& facts, Findings& findings)
{
    const std::size_t required = requiredBodyKeyCount();
    for (const auto* placed : facts.inOrder)
    {
        const std::string& section = placed->first;
        if (section.empty() || facts.bodyIndex(section) >= 0)
            continue;
        std::string missing;
        std::string repeated;
        std::size_t counted = 0;
        for (const BodyKey& key : bodyKeys())
        {
            if (!key.required)
                continue;
            const std::size_t times = placed->second.timesOf(keyIndex(&key));
            counted += times;
            if (times == 0)
                missing += std::string(missing.empty() ? "" : ", ") + key.name;
            else if (times > 1)
                repeated += std::string(repeated.empty() ? "" : ", ") + key.name + " " + std::to_string(times) +
                            " times";
        }
        std::string message = "section skipped: a body needs each of the " + std::to_string(required) +
                              " required keys exactly once; it has " +
                              plural(counted, "required setting", "required settings");
        if (!missing.empty())
            message += "; missing " + missing;
        if (!repeated.empty())
            message += "; repeated " + repeated;
        findings.add(placed->second.firstHeader, section, "skipped-section", message, Problem::Error);
    }
}

// Rings of bodies that name each other as parents: no order of the sections
// can build them, so renaming one would not help.
void ruleParentCycles(SystemFacts& facts, Findings& findings)
{
    const BodyRegistry& registry = facts.registry;
    facts.cycleOf.assign(registry.size(), -1);
    std::vector<int> state(registry.size(), 0);   // 0 not seen, 1 on the current path, 2 done
    std::vector<std::size_t> path;
    int cycles = 0;
    for (std::size_t start = 0; start < registry.size(); ++start)
    {
        path.clear();
        std::size_t at = start;
        bool cameBack = false;
        while (state[at] != 2)
        {
            if (state[at] == 1)
            {
                cameBack = true;
                break;
            }
            state[at] = 1;
            path.push_back(at);
            const long parent = facts.bodyIndex(registry.at(at).definition.Parent);
            if (parent < 0)
                break;
            at = std::size_t(parent);
        }
        // A body that orbits itself is told of with the parents' order.
        if (cameBack && registry.at(at).definition.Parent != registry.at(at).sectionName)
        {
            // The ring is the path from where it came back round.
            const auto first = std::find(path.begin(), path.end(), at);
            const std::vector<std::size_t> ring(first, path.end());
            std::string names;
            std::string arrows;
            for (std::size_t member : ring)
            {
                facts.cycleOf[member] = cycles;
                const std::string& name = registry.at(member).sectionName;
                names += (names.empty() ? "" : member == ring.back() ? " and " : ", ") + name;
                arrows += name + " \xE2\x86\x92 ";
            }
            const std::string& section = registry.at(*std::min_element(ring.begin(), ring.end())).sectionName;
            findings.add(facts.lineOf(section, "Parent"), section, "parent-cycle",
                         names + " name each other as parents (" + arrows + registry.at(ring.front()).sectionName +
                             "): none of them can be built and the viewer stops with an engine error; one of "
                             "them must orbit Sun or a body outside the ring",
                         Problem::Error);
            ++cycles;
        }
        for (std::size_t member : path)
            state[member] = 2;
    }
}

// Sections whose nodes would be named as the viewer's own.
void ruleNameCollisions(const SystemFacts& facts, Findings& findings)
{
    const auto nodeNames = {sceneNames::orbitNode, sceneNames::positionNode, sceneNames::nearNode, sceneNames::farNode};
    for (const std::string& reserved : sceneNames::reservedNodes)
    {
        for (auto nodeOf : nodeNames)
        {
            const std::string suffix = nodeOf("");
            if (reserved.size() < suffix.size() ||
                reserved.compare(reserved.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string section = reserved.substr(0, reserved.size() - suffix.size());
            if (facts.bodyIndex(section) >= 0)
                findings.add(facts.lineOf(section, "Name"), section, "name-collision",
                             "a body's scene node '" + reserved + "' is taken by the viewer itself; "
                             "the viewer stops with an engine error: rename the section",
                             Problem::Error);
        }
    }
}

void ruleParents(const SystemFacts& facts, Findings& findings)
{
    for (std::size_t i = 0; i < facts.registry.size(); ++i)
    {
        const Body& body = facts.registry.at(i);
        const std::string& section = body.sectionName;
        const std::string& parent = body.definition.Parent;
        const long parentIndex = facts.bodyIndex(parent);
        // The sun's node exists before any body; a ring is told of once, as a ring.
        if (parent == sceneNames::sun || facts.cycleOf[i] >= 0)
            continue;
        if (parentIndex < 0)
            findings.add(facts.lineOf(section, "Parent"), section, "unknown-parent",
                         "Parent '" + parent + "' names no body" +
                             (facts.sections.count(parent) ? " (its section is skipped)" : "") +
                             " and is not Sun: the viewer stops with an engine error",
                         Problem::Error);
        else if (std::size_t(parentIndex) == i)
            findings.add(facts.lineOf(section, "Parent"), section, "parent-order",
                         "a body cannot orbit itself: the viewer stops with an engine error", Problem::Error);
        else if (std::size_t(parentIndex) > i)
            findings.add(facts.lineOf(section, "Parent"), section, "parent-order",
                         "section '" + section + "' sorts before its parent '" + parent +
                             "', which is built later: the viewer stops with an engine error; rename it "
                             "so that it sorts after '" + parent + "', for example '" + parent + "." + section + "'",
                         Problem::Error);
    }
}

// Levels below the sun of each body, in registry order. Parents come first
// in a file that can be built at all; a body after its parent, or under no
// body, is at level 0.
std::vector<int> moonDepths(const BodyRegistry& registry)
{
    std::unordered_map<std::string, std::size_t> index;
    index.reserve(registry.size());
    std::vector<int> depth(registry.size(), 0);
    for (std::size_t i = 0; i < registry.size(); ++i)
    {
        const std::string& parent = registry.at(i).definition.Parent;
        const auto found = index.find(parent);
        if (parent == sceneNames::sun)
            depth[i] = 1;
        else if (found != index.end() && depth[found->second] > 0)
            depth[i] = depth[found->second] + 1;
        index.emplace(registry.at(i).sectionName, i);
    }
    return depth;
}

// Chains of moons deeper than the engine can walk. Told once, at the first
// body too deep: a chain of thousands would otherwise fill the report.
void ruleDepth(const SystemFacts& facts, Findings& findings)
{
    const BodyRegistry& registry = facts.registry;
    const std::vector<int> depth = moonDepths(registry);
    std::size_t tooDeep = 0;
    long first = -1;
    for (std::size_t i = 0; i < registry.size(); ++i)
    {
        if (depth[i] > maxMoonDepth)
        {
            ++tooDeep;
            if (first < 0)
                first = long(i);
        }
    }
    if (first < 0)
        return;
    const std::string& section = registry.at(std::size_t(first)).sectionName;
    Problem& problem = findings.add(
        facts.lineOf(section, "Parent"), section, "too-deep",
        "this body is a moon " + std::to_string(maxMoonDepth + 1) + " levels below the sun" +
            (tooDeep > 1 ? " (and " + plural(tooDeep - 1, "more body is", "more bodies are") + " deeper still)" : "") +
            ": the viewer does not start with moons more than " + std::to_string(maxMoonDepth) +
            " levels deep, where the engine's walk of the scene would overflow its stack",
        Problem::Error);
    problem.refusedAtStart = true;
}

void ruleModels(const SystemFacts& facts, const MeshExists& meshExists, Findings& findings)
{
    // Thousands of bodies share a handful of models: each is asked about once.
    std::unordered_map<std::string, bool> known;
    for (const auto& body : facts.registry)
    {
        const std::string& model = body->definition.Model;
        const auto asked = known.try_emplace(model, false);
        if (asked.second)
            asked.first->second = meshExists(model + sceneNames::meshSuffix);
        if (asked.first->second)
            continue;
        findings.add(facts.lineOf(body->sectionName, "Model"), body->sectionName, "unknown-model",
                     "Model '" + model + "' names no mesh: there is no '" + model + sceneNames::meshSuffix +
                         "' among the generated spheres and the meshes of resources.cfg's locations, and the "
                         "viewer stops with an engine error",
                     Problem::Error);
    }
}

bool differsFromDefault(const BodyKey& key, const BodyDefinition& definition)
{
    return std::visit([&](auto member) { return !(definition.*member == defaultBodyDefinition().*member); },
                      key.field);
}

// Bodies that follow the clock: elements no orbit has, theories that do
// not exist, and keys left idle by the clock or idle without it. One rule
// for each element, whether or not the body is dated: an element of an
// undated body is idle, never wrong. The eccentricity's: an ellipse's with
// OrbitDays, any conic's with PerihelionDistance, idle without either.
void ruleDatedBodies(const SystemFacts& facts, Findings& findings)
{
    static const char* const orbitElements[] = {"Eccentricity", "Inclination", "AscendingNode", "Periapsis",
                                                "MeanAnomaly",  "NodeDays",    "PeriapsisDays", "LaplacePoleRA",
                                                "LaplacePoleDec", "Theory",    "PerihelionAU",  "PerihelionDate"};
    static const char* const perihelionKeys[] = {"PerihelionDistance", "PerihelionAU", "PerihelionDate"};
    // An orbit by its perihelion is about the Sun, fixed in the J2000 ecliptic.
    static const char* const notOfAConic[] = {"MeanAnomaly",   "NodeDays",       "PeriapsisDays",
                                              "LaplacePoleRA", "LaplacePoleDec", "Theory"};
    static const char* const rotationModel[] = {"Meridian", "PoleRA", "PoleDec", "PoleRARate", "PoleDecRate"};
    static const char* const spinElements[] = {"Meridian",   "PoleRA",      "PoleDec",
                                               "PoleRARate", "PoleDecRate", "FacesParent"};
    static const char* const frameLockedOrbit[] = {"OrbitPeriod", "OrbitCompleted", "OrbitAxis"};
    static const char* const frameLockedSpin[] = {"PitchPeriod",    "YawPeriod",    "RollPeriod",
                                                  "PitchAxis",      "YawAxis",      "RollAxis",
                                                  "PitchCompleted", "YawCompleted", "RollCompleted"};
    for (const auto& owned : facts.registry)
    {
        const BodyDefinition& d = owned->definition;
        const std::string& section = owned->sectionName;
        const SectionLines& lines = facts.sections.at(section);
        const auto given = [&](const char* key) { return lines.timesOf(keyIndex(findBodyKey(key))) > 0; };
        const auto refuseNumber = [&](const char* key, double value, const ValueLimits& limits) {
            if (!limits.allows(value))
                findings.refuse(facts.lineOf(section, key), section, "bad-element",
                                std::string(key) + " " + formatNumber(value) + " is not " + limits.text() + ": " +
                                    limits.why + ", and the viewer does not start with it");
        };
        const bool byPerihelion = d.orbitByPerihelion();
        if (given("OrbitDays") && !(d.OrbitDays > 0.0))
            findings.refuse(facts.lineOf(section, "OrbitDays"), section, "bad-element",
                            "OrbitDays " + formatNumber(d.OrbitDays) +
                                " is not above 0: no orbit takes no time, and the viewer does not start with it");
        if (!d.orbitFollowsClock() && given("PerihelionDistance") && !byPerihelion)
            findings.refuse(facts.lineOf(section, "PerihelionDistance"), section, "bad-element",
                            "PerihelionDistance " + formatNumber(d.PerihelionDistance) +
                                " is not above 0: no orbit passes through the Sun, and the viewer does not start "
                                "with it");
        if (d.orbitFollowsClock())
            refuseNumber("Eccentricity", d.Eccentricity, orbitEccentricityLimits());
        if (byPerihelion)
        {
            refuseNumber("Eccentricity", d.Eccentricity, perihelionEccentricityLimits());
            if (!given("PerihelionAU"))
                findings.refuse(facts.lineOf(section, "PerihelionDistance"), section, "bad-element",
                                "PerihelionDistance without PerihelionAU: the Sun's gravity paces the body by its "
                                "real perihelion distance, in AU, which the display's scale does not give; the "
                                "viewer does not start without it");
            else
                refuseNumber("PerihelionAU", d.PerihelionAU, perihelionAULimits());
            if (d.Parent != sceneNames::sun)
                findings.refuse(facts.lineOf(section, "Parent"), section, "moon-by-perihelion",
                                "an orbit by its perihelion goes round the Sun, paced by the Sun's gravity, and the "
                                "file gives no mass of '" + d.Parent + "' to pace a moon by: give the moon "
                                "OrbitDays and an ellipse instead; the viewer does not start with it");
        }
        if (d.orbitFollowsClock() && !d.Theory.empty() && !findTheory(d.Theory))
        {
            std::string known;
            for (const Theory& theory : theories())
                known += std::string(known.empty() ? "" : ", ") + theory.name;
            findings.add(facts.lineOf(section, "Theory"), section, "unknown-theory",
                         "Theory '" + d.Theory + "' names no theory (" + known +
                             "): the body follows its elements",
                         Problem::Warning);
        }

        const auto tellIdle = [&](const char* key, const std::string& why) {
            findings.add(facts.lineOf(section, key), section, "idle-key", std::string(key) + " is ignored: " + why,
                         Problem::Warning);
        };
        const auto idleIfSet = [&](const auto& keys, const std::string& why) {
            for (const char* key : keys)
                if (differsFromDefault(*findBodyKey(key), d))
                    tellIdle(key, why);
        };
        const auto idleIfGiven = [&](const auto& keys, const std::string& why) {
            for (const char* key : keys)
                if (given(key))
                    tellIdle(key, why);
        };
        if (d.orbitFollowsClock())
        {
            idleIfSet(frameLockedOrbit, "the body goes round its orbit by the clock (OrbitDays)");
            idleIfGiven(perihelionKeys, "the body goes round its orbit by OrbitDays");
        }
        else if (byPerihelion)
        {
            idleIfSet(frameLockedOrbit, "the body goes round its orbit by the clock (PerihelionDistance)");
            idleIfSet(std::array<const char*, 1>{"OrbitRadius"},
                      "the body's distance is PerihelionDistance's at perihelion");
            idleIfGiven(notOfAConic, "an orbit by its perihelion is fixed in the J2000 ecliptic and placed on it by "
                                     "PerihelionDate");
        }
        else
            idleIfGiven(orbitElements, "without OrbitDays or PerihelionDistance the body's orbit does not follow the "
                                       "clock");
        if (!d.spinFollowsClock())
            idleIfGiven(spinElements, "without RotationHours the body's spin does not follow the clock");
        else
        {
            idleIfSet(frameLockedSpin, "the body turns by the clock (RotationHours)");
            if (d.FacesParent && d.orbitFollowsClock())
                idleIfGiven(rotationModel, "the body faces its parent (FacesParent): its orbit turns it");
            else if (d.FacesParent)
                tellIdle("FacesParent", "without OrbitDays the body has no orbit to face its parent along");
        }
        if (!owned->orbitDated())
            idleIfGiven(std::array<const char*, 2>{"RadiusKm", "SemiMajorAxisKm"},
                        "a body whose orbit does not follow the clock has no real place, and true scale leaves it "
                        "out");
        else if (byPerihelion)
            idleIfGiven(std::array<const char*, 1>{"SemiMajorAxisKm"},
                        "an orbit by its perihelion takes its real size from PerihelionAU");
        if (!d.orbitFollowsClock() && !d.spinFollowsClock())
            idleIfGiven(std::array<const char*, 1>{"Epoch"}, byPerihelion ? "an orbit by its perihelion is dated by "
                                                                            "PerihelionDate"
                                                                          : "the body follows no clock");
    }
}

// Rings and clouds: keys that draw nothing, a ring with no pole to lie
// about, and moons whose orbits reach into their planet's ring.
void ruleRingsAndClouds(const SystemFacts& facts, Findings& findings)
{
    for (const auto& owned : facts.registry)
    {
        const BodyDefinition& d = owned->definition;
        const std::string& section = owned->sectionName;
        const SectionLines& lines = facts.sections.at(section);
        const auto given = [&](const char* key) { return lines.timesOf(keyIndex(findBodyKey(key))) > 0; };
        const auto warn = [&](const char* key, const char* kind, const std::string& message) {
            findings.add(facts.lineOf(section, key), section, kind, message, Problem::Warning);
        };
        if (given("RingInner") || given("RingOuter") || given("RingMap"))
        {
            if (!(d.RingOuter > d.RingInner))
                warn("RingOuter", "ring-radii",
                     "RingInner " + formatNumber(d.RingInner) + " is not below RingOuter " + formatNumber(d.RingOuter) +
                         ": no ring is drawn");
            else if (d.RingMap.empty())
                warn("RingOuter", "idle-key", "RingInner and RingOuter are ignored: without a RingMap no ring is drawn");
            else
            {
                if (!d.spinFollowsClock())
                    warn("RingMap", "ring-without-pole",
                         "without RotationHours the ring has no pole: it lies in the model's own X-Z plane and "
                         "turns with the frame-locked spin");
                if (d.RingInner < d.Size)
                    warn("RingInner", "ring-inside-body",
                         "RingInner " + formatNumber(d.RingInner) + " is below Size " + formatNumber(d.Size) +
                             ": the ring's inner part lies inside the body");
            }
        }
        if (!d.hasClouds())
        {
            for (const char* key : {"CloudHeight", "CloudRotationHours"})
                if (given(key))
                    warn(key, "idle-key", std::string(key) + " is ignored: without a CloudMap there are no clouds");
        }
        else if (given("CloudRotationHours") && !d.spinFollowsClock())
            warn("CloudRotationHours", "idle-key",
                 "CloudRotationHours is ignored: without RotationHours the clouds turn with the body");

        // An orbit that comes within the ring's radii crosses the ring's plane
        // there, whatever its tilt.
        const long parent = facts.bodyIndex(d.Parent);
        if (parent < 0 || !facts.registry.at(std::size_t(parent)).definition.hasRing())
            continue;
        const BodyDefinition& planet = facts.registry.at(std::size_t(parent)).definition;
        const double e = d.orbitFollowsClock() ? d.Eccentricity : 0.0;
        const double nearest = double(d.OrbitRadius) * (1.0 - e) - d.Size;
        const double farthest = double(d.OrbitRadius) * (1.0 + e) + d.Size;
        if (nearest < planet.RingOuter && farthest > planet.RingInner)
            warn("OrbitRadius", "orbit-through-ring",
                 "the orbit, with the body's Size, reaches from " + formatNumber(nearest) + " to " +
                     formatNumber(farthest) + " from its planet's centre, into the ring of '" + d.Parent + "' (" +
                     formatNumber(planet.RingInner) + " to " + formatNumber(planet.RingOuter) +
                     "): the body passes through the ring");
    }
}

// Accepted bodies that will show otherwise than written.
void ruleBodyValues(const SystemFacts& facts, Findings& findings)
{
    for (const auto& owned : facts.registry)
    {
        const Body& body = *owned;
        const BodyDefinition& d = body.definition;
        const std::string& section = body.sectionName;
        if (!(d.Size > 0.0f))
            findings.add(facts.lineOf(section, "Size"), section, "bad-size",
                         "Size " + formatNumber(d.Size) + " is not above 0: the body is drawn with no size",
                         Problem::Error);
        if (d.NearDistance > d.FarDistance)
            findings.add(facts.lineOf(section, "NearDistance"), section, "near-beyond-far",
                         "NearDistance is greater than FarDistance: the coarse sphere is never drawn", Problem::Warning);
        const struct
        {
            const char* axisKey;
            const Ogre::Vector3& axis;
            float period;
        } motions[] = {{"OrbitAxis", d.OrbitAxis, d.OrbitPeriod},
                       {"PitchAxis", d.PitchAxis, d.PitchPeriod},
                       {"YawAxis", d.YawAxis, d.YawPeriod},
                       {"RollAxis", d.RollAxis, d.RollPeriod}};
        for (const auto& motion : motions)
            if (motion.axis == Ogre::Vector3::ZERO && motion.period != 0.0f)
                findings.add(facts.lineOf(section, motion.axisKey), section, "zero-axis",
                             std::string(motion.axisKey) +
                                 " is 0 0 0: the body does not turn although its period is not 0",
                             Problem::Warning);
    }
}

// At true scale: the bodies the viewer leaves out, each named once.
void ruleTrueScale(const SystemFacts& facts, Findings& findings)
{
    for (const auto& owned : facts.registry)
    {
        const BodyDefinition& d = owned->definition;
        if (hasRealValues(d))
            continue;
        std::string why;
        if (!owned->orbitDated())
            why = "its orbit does not follow the clock, so it has no real place";
        else if (!(d.RadiusKm > 0.0) && d.orbitFollowsClock() && !(d.SemiMajorAxisKm > 0.0))
            why = "it gives no RadiusKm and no SemiMajorAxisKm";
        else if (!(d.RadiusKm > 0.0))
            why = "it gives no RadiusKm";
        else
            why = "it gives no SemiMajorAxisKm";
        findings.add(facts.lineOf(owned->sectionName, "Name"), owned->sectionName, "not-at-true-scale",
                     "'" + d.Name + "' is left out at true scale: " + why, Problem::Warning);
    }
}

// Names longer than the viewer shows.
void ruleLongNames(const SystemFacts& facts, Findings& findings)
{
    for (const auto& body : facts.registry)
    {
        const int line = facts.lineOf(body->sectionName, "Name");
        if (line <= 0 || std::size_t(line) > facts.lines.size())
            continue;
        std::string word;
        parseWord(facts.lines[std::size_t(line) - 1].value, word);
        if (word.size() > longestName)
            findings.add(line, body->sectionName, "long-name",
                         "Name is " + std::to_string(word.size()) + " bytes long: the viewer shows its first " +
                             std::to_string(longestName) + ", '" + body->definition.Name + "'",
                         Problem::Warning);
    }
}

}

int deepestMoon(const BodyRegistry& registry)
{
    const std::vector<int> depth = moonDepths(registry);
    return depth.empty() ? 0 : *std::max_element(depth.begin(), depth.end());
}

SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text, const MeshExists& meshExists,
                              bool trueScale)
{
    SystemVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    registerBodies(file, *verdict.bodies);

    const std::vector<ConfigLine> lines = splitConfigLines(text);
    Findings findings(fileName);
    findings.checkLayout(lines, "never make a body", true);
    checkBodySettings(lines, findings);
    SystemFacts facts(lines, *verdict.bodies);
    ruleSkippedSections(facts, findings);
    ruleParentCycles(facts, findings);
    ruleNameCollisions(facts, findings);
    ruleParents(facts, findings);
    ruleDepth(facts, findings);
    if (meshExists)
        ruleModels(facts, meshExists, findings);
    ruleBodyValues(facts, findings);
    ruleDatedBodies(facts, findings);
    ruleRingsAndClouds(facts, findings);
    ruleLongNames(facts, findings);
    if (trueScale)
        ruleTrueScale(facts, findings);
    verdict.problems = findings.sortedByLine();
    return verdict;
}
