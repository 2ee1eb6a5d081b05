#include "checker/Checks.h"

#include "config/SettingsKeys.h"
#include "config/SystemFileKeys.h"
#include "scene/SceneNames.h"
#include "sim/BodyRegistry.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>
#include <set>
#include <sstream>

namespace
{
std::string formatNumber(float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// Describes how the reader takes `value` for a key of `type`; empty when it
// takes all of it as meant.
std::string valueTrouble(const std::string& key, const std::string& value, ValueType type)
{
    std::size_t at = 0;
    switch (type)
    {
    case ValueType::Word:
    {
        std::string word;
        if (!readWord(value, at, word))
            return "no value: " + key + " stays empty";
        if (!onlyBlanksFrom(value, at))
            return "only '" + word + "' is used: a " + key + " is one word";
        return "";
    }
    case ValueType::ShadowTechnique:
    {
        std::string word;
        readWord(value, at, word);
        for (const ShadowTechniqueName& name : shadowTechniqueNames)
            if (word == name.name)
                return onlyBlanksFrom(value, at) ? "" : "only '" + word + "' is used";
        return "'" + value + "' is not a shadow technique: use SHADOWTYPE_TEXTURE_MODULATIVE, "
               "SHADOWTYPE_STENCIL_MODULATIVE or SHADOWTYPE_STENCIL_ADDITIVE";
    }
    case ValueType::Flag:
    {
        // As the reader takes a flag: a whole number, 0 or 1.
        int flag;
        if (!readNumber(value, at, flag) || (flag != 0 && flag != 1))
            return "'" + value + "' is not 0 or 1: " + key + " keeps its earlier value";
        return onlyBlanksFrom(value, at) ? "" : "only the leading " + std::to_string(flag) + " of '" + value + "' is read";
    }
    case ValueType::Number:
    case ValueType::Integer:
    {
        float number;
        int integer;
        const bool read = type == ValueType::Number ? readNumber(value, at, number) : readNumber(value, at, integer);
        if (!read)
            return "'" + value + "' is not " + (type == ValueType::Number ? "a number" : "a whole number") +
                   " (or is out of range): " + key + " keeps its earlier value";
        if (onlyBlanksFrom(value, at))
            return "";
        return "'" + value + "' is read only in part, as " +
               (type == ValueType::Number ? formatNumber(number) : std::to_string(integer));
    }
    case ValueType::Vector:
    case ValueType::Colour:
    {
        int count = 0;
        for (float component; count < 3 && readNumber(value, at, component);)
            ++count;
        const char* what = type == ValueType::Vector ? "three numbers x y z" : "three numbers red green blue";
        if (count < 3)
            return "'" + value + "' has " + std::to_string(count) + " readable number" +
                   (count == 1 ? "" : "s") + " of " + what + ": the rest keep their earlier values";
        if (!onlyBlanksFrom(value, at))
            return type == ValueType::Colour ? "only three numbers are read; alpha is always 1"
                                             : "only the first three numbers are read";
        return "";
    }
    }
    return "";
}

size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
    {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j)
        {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class Findings
{
public:
    explicit Findings(const std::string& fileName) : file(fileName) {}

    void add(int line, const std::string& section, const std::string& kind, const std::string& message,
             bool error)
    {
        add(line, section, kind, message, error ? Problem::Error : Problem::Warning);
    }

    void add(int line, const std::string& section, const std::string& kind, const std::string& message,
             Problem::Severity severity)
    {
        problems.push_back(Problem{file, line, section, kind, message, severity});
    }

    void unknownKey(const ConfigLine& line, const std::vector<std::string>& known, const std::string& where)
    {
        const std::string meant = likelyKey(line.key, known);
        add(line.number, line.section, "unknown-key",
            "'" + line.key + "' is not a key " + where + " and is ignored" +
                (meant.empty() ? "" : "; did you mean '" + meant + "'?"),
            false);
    }

    void commonLineProblems(const ConfigLine& line, const char* aboveFirstSection)
    {
        if (line.afterByteOrderMark)
            add(line.number, line.section, "byte-order-mark",
                "the file starts with a UTF-8 byte-order mark, which some editors write; it is skipped and "
                "the file reads as it would without it",
                Problem::Note);
        if (line.kind == ConfigLine::NoSeparator)
            add(line.number, line.section, "no-separator",
                "'" + line.text + "' has no '=', ':' or tab between key and value and is ignored", false);
        else if (line.kind == ConfigLine::Setting && line.section.empty())
            add(line.number, "", "outside-section", aboveFirstSection, false);
    }

    std::vector<Problem> problems;

private:
    std::string file;
};

// A section whose body would name one of its nodes as one of the viewer's own.
struct TakenNode
{
    std::string section;
    std::string node;
};

std::vector<TakenNode> nodesTakenByTheViewer()
{
    std::vector<TakenNode> taken;
    for (auto nodeOf : {sceneNames::orbitNode, sceneNames::positionNode, sceneNames::nearNode, sceneNames::farNode})
    {
        const std::string suffix = nodeOf("");
        for (const std::string& reserved : sceneNames::reservedNodes)
            if (reserved.size() >= suffix.size() && reserved.compare(reserved.size() - suffix.size(), suffix.size(), suffix) == 0)
                taken.push_back({reserved.substr(0, reserved.size() - suffix.size()), reserved});
    }
    return taken;
}

std::vector<std::string> settingsKeysOf(const std::string& section)
{
    std::vector<std::string> keys;
    for (const SettingsKey& key : settingsKeys())
        if (section.empty() || section == key.section)
            keys.push_back(key.name);
    return keys;
}

const SettingsKey* findSettingsKey(const std::string& section, const std::string& name)
{
    for (const SettingsKey& key : settingsKeys())
        if (section == key.section && name == key.name)
            return &key;
    return nullptr;
}
}

const char* Problem::severityName() const
{
    return severity == Error ? "error" : severity == Warning ? "warning" : "note";
}

std::string Problem::where() const
{
    return file + ":" + std::to_string(line) + ": " + message;
}

std::string likelyKey(const std::string& key, const std::vector<std::string>& known)
{
    std::string best;
    size_t bestDistance = 3;
    for (const std::string& candidate : known)
    {
        const size_t distance = editDistance(lowered(key), lowered(candidate));
        if (distance < bestDistance)
        {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best == key ? "" : best;
}

std::vector<Problem> checkSettingsLines(const std::string& file, const std::vector<ConfigLine>& lines)
{
    Findings findings(file);
    const std::vector<std::string>& sections = settingsSections();
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const ConfigLine& line : lines)
    {
        findings.commonLineProblems(line, "settings above the first section line are ignored");
        if (line.kind == ConfigLine::SectionHeader &&
            std::find(sections.begin(), sections.end(), line.section) == sections.end())
        {
            const std::string meant = likelyKey(line.section, sections);
            findings.add(line.number, line.section, "unknown-section",
                         "[" + line.section + "] is not a section of the settings file and is ignored" +
                             (meant.empty() ? "" : "; did you mean [" + meant + "]?"),
                         false);
        }
        if (line.kind != ConfigLine::Setting || line.section.empty() ||
            std::find(sections.begin(), sections.end(), line.section) == sections.end())
            continue;

        const SettingsKey* key = findSettingsKey(line.section, line.key);
        if (!key)
        {
            // A key of another section reads as unknown here: say where it belongs.
            for (const std::string& section : sections)
                if (!key)
                    key = findSettingsKey(section, line.key);
            if (key)
                findings.add(line.number, line.section, "wrong-section",
                             line.key + " belongs in [" + key->section + "]; here it is ignored", false);
            else
                findings.unknownKey(line, settingsKeysOf(line.section), "of [" + line.section + "]");
            continue;
        }
        const std::string trouble = valueTrouble(line.key, line.value, valueTypeOf(key->field));
        if (!trouble.empty())
            findings.add(line.number, line.section, "bad-value", trouble, false);
        if (++seen[{line.section, line.key}] == 2)
            findings.add(line.number, line.section, "repeated-key",
                         line.key + " is given again: the last value that parses is used", false);
    }
    return findings.problems;
}

std::vector<Problem> checkSystemLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                      const BodyRegistry& registry)
{
    Findings findings(file);
    const std::vector<BodyKey>& keys = bodyKeys();
    std::vector<std::string> knownKeys;
    for (const BodyKey& key : keys)
        knownKeys.push_back(key.name);
    auto keyIndex = [&](const BodyKey* key) { return size_t(key - keys.data()); };

    // Where each section and each of its settings stand, in file order.
    struct SectionLines
    {
        int firstHeader = 0;
        int headers = 0;
        std::vector<std::pair<size_t, int>> settings;   // the key's index in bodyKeys(), the line

        int lastLineOf(size_t key) const
        {
            for (auto setting = settings.rbegin(); setting != settings.rend(); ++setting)
                if (setting->first == key)
                    return setting->second;
            return 0;
        }
        size_t timesOf(size_t key) const
        {
            return size_t(std::count_if(settings.begin(), settings.end(),
                                        [key](const std::pair<size_t, int>& setting) { return setting.first == key; }));
        }
    };
    std::unordered_map<std::string, SectionLines> sections;
    sections.reserve(lines.size() / 8);
    std::vector<const std::pair<const std::string, SectionLines>*> sectionsInOrder;
    SectionLines* current = nullptr;
    for (const ConfigLine& line : lines)
    {
        findings.commonLineProblems(line, "settings above the first section line never make a body");
        if (line.kind == ConfigLine::SectionHeader)
        {
            const auto placed = sections.try_emplace(line.section);
            current = &placed.first->second;
            if (placed.second)
            {
                sectionsInOrder.push_back(&*placed.first);
                current->firstHeader = line.number;
            }
            if (++current->headers == 2)
                findings.add(line.number, line.section, "repeated-section",
                             "[" + line.section + "] appears again (first on line " +
                                 std::to_string(current->firstHeader) + "): both parts are read as one section",
                             false);
        }
        if (line.kind != ConfigLine::Setting || line.section.empty())
            continue;
        const BodyKey* key = findBodyKey(line.key);
        if (!key)
        {
            findings.unknownKey(line, knownKeys, "of a body");
            continue;
        }
        current->settings.emplace_back(keyIndex(key), line.number);
        const std::string trouble = valueTrouble(line.key, line.value, valueTypeOf(key->field));
        if (!trouble.empty())
            findings.add(line.number, line.section, "bad-value", trouble, false);
    }

    auto lineOf = [&](const std::string& section, const std::string& keyName) {
        const auto found = sections.find(section);
        if (found == sections.end())
            return 0;
        const int line = found->second.lastLineOf(keyIndex(findBodyKey(keyName)));
        return line > 0 ? line : found->second.firstHeader;
    };

    // Sections the reader skipped, and why.
    std::unordered_map<std::string, size_t> registryIndex;
    registryIndex.reserve(registry.size());
    for (size_t i = 0; i < registry.size(); ++i)
        registryIndex[registry.at(i).sectionName] = i;
    for (const auto* placed : sectionsInOrder)
    {
        const std::string& section = placed->first;
        if (section.empty() || registryIndex.count(section))
            continue;
        std::string missing;
        std::string repeated;
        int counted = 0;
        for (const BodyKey& key : keys)
        {
            if (!key.required)
                continue;
            const size_t times = placed->second.timesOf(keyIndex(&key));
            counted += int(times);
            if (times == 0)
                missing += std::string(missing.empty() ? "" : ", ") + key.name;
            else if (times > 1)
                repeated += std::string(repeated.empty() ? "" : ", ") + key.name + " " +
                            std::to_string(times) + " times";
        }
        std::string message = "section skipped: a body needs each of the ten required keys exactly once; "
                              "it has " + std::to_string(counted) + " required settings";
        if (!missing.empty())
            message += "; missing " + missing;
        if (!repeated.empty())
            message += "; repeated " + repeated;
        findings.add(placed->second.firstHeader, section, "skipped-section", message, true);
    }

    // Rings of bodies that name each other as parents: no order of the
    // sections can build them, so renaming one would not help.
    std::vector<int> cycleOf(registry.size(), -1);
    {
        std::vector<int> state(registry.size(), 0);   // 0 not seen, 1 on the current path, 2 done
        std::vector<size_t> path;
        int cycles = 0;
        for (size_t start = 0; start < registry.size(); ++start)
        {
            path.clear();
            size_t at = start;
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
                const auto parent = registryIndex.find(registry.at(at).definition.Parent);
                if (parent == registryIndex.end())
                    break;
                at = parent->second;
            }
            // A body that orbits itself is reported on its own, below.
            if (cameBack && registry.at(at).definition.Parent != registry.at(at).sectionName)
            {
                // The ring is the path from where it came back round.
                const auto first = std::find(path.begin(), path.end(), at);
                std::vector<size_t> ring(first, path.end());
                std::string names;
                std::string arrows;
                for (size_t member : ring)
                {
                    cycleOf[member] = cycles;
                    const std::string& name = registry.at(member).sectionName;
                    names += (names.empty() ? "" : member == ring.back() ? " and " : ", ") + name;
                    arrows += name + " \xE2\x86\x92 ";
                }
                const size_t reported = *std::min_element(ring.begin(), ring.end());
                const std::string& section = registry.at(reported).sectionName;
                findings.add(lineOf(section, "Parent"), section, "parent-cycle",
                             names + " name each other as parents (" + arrows + registry.at(ring.front()).sectionName +
                                 "): none of them can be built and the viewer stops with an engine error; one of "
                                 "them must orbit Sun or a body outside the ring",
                             true);
                ++cycles;
            }
            for (size_t member : path)
                state[member] = 2;
        }
    }

    // Accepted bodies that will fail or show badly.
    const std::vector<TakenNode> takenNodes = nodesTakenByTheViewer();
    for (size_t i = 0; i < registry.size(); ++i)
    {
        const Body& body = registry.at(i);
        const std::string& section = body.sectionName;
        for (const TakenNode& taken : takenNodes)
            if (section == taken.section)
                findings.add(lineOf(section, "Name"), section, "name-collision",
                             "a body's scene node '" + taken.node + "' is taken by the viewer itself; "
                             "the viewer stops with an engine error: rename the section",
                             true);

        const std::string& parent = body.definition.Parent;
        const auto parentIndex = registryIndex.find(parent);
        if (parent == sceneNames::sun || cycleOf[i] >= 0)
            ;   // the sun's node exists before any body; a ring is reported once, above
        else if (parentIndex == registryIndex.end())
            findings.add(lineOf(section, "Parent"), section, "unknown-parent",
                         "Parent '" + parent + "' names no body" +
                             (sections.count(parent) ? " (its section is skipped)" : "") +
                             " and is not Sun: the viewer stops with an engine error",
                         true);
        else if (parentIndex->second == i)
            findings.add(lineOf(section, "Parent"), section, "parent-order",
                         "a body cannot orbit itself: the viewer stops with an engine error", true);
        else if (parentIndex->second > i)
            findings.add(lineOf(section, "Parent"), section, "parent-order",
                         "section '" + section + "' sorts before its parent '" + parent +
                             "', which is built later: the viewer stops with an engine error; rename it "
                             "so that it sorts after '" + parent + "', for example '" + parent + "." +
                             section + "'",
                         true);

        if (!(body.definition.Size > 0.0f))
            findings.add(lineOf(section, "Size"), section, "bad-size",
                         "Size " + formatNumber(body.definition.Size) + " is not above 0: the body is drawn with no size",
                         true);
        if (body.definition.NearDistance > body.definition.FarDistance)
            findings.add(lineOf(section, "NearDistance"), section, "near-beyond-far",
                         "NearDistance is greater than FarDistance: the coarse sphere is never drawn", false);
        const struct
        {
            const char* axisKey;
            const Ogre::Vector3& axis;
            float period;
        } motions[] = {{"OrbitAxis", body.definition.OrbitAxis, body.definition.OrbitPeriod},
                       {"PitchAxis", body.definition.PitchAxis, body.definition.PitchPeriod},
                       {"YawAxis", body.definition.YawAxis, body.definition.YawPeriod},
                       {"RollAxis", body.definition.RollAxis, body.definition.RollPeriod}};
        for (const auto& motion : motions)
        {
            if (motion.axis == Ogre::Vector3::ZERO && motion.period != 0.0f)
                findings.add(lineOf(section, motion.axisKey), section, "zero-axis",
                             std::string(motion.axisKey) + " is 0 0 0: the body does not turn although its period is not 0",
                             false);
        }
    }

    std::stable_sort(findings.problems.begin(), findings.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return findings.problems;
}
