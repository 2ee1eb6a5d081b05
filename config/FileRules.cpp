#include "config/FileRules.h"

#include "config/ConfigFileReading.h"
#include "config/SystemFile.h"
#include "config/SystemFileKeys.h"
#include "config/Views.h"
#include "sim/SceneNames.h"
#include "sim/WorldLimits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>
#include <unordered_map>

namespace
{
std::string formatNumber(float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string formatNumber(double value)
{
    std::ostringstream text;
    text.precision(10);
    text << value;
    return text.str();
}

std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
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
    case ValueType::Date:
    case ValueType::DynamicalDate:
    {
        std::string word;
        if (!readWord(value, at, word))
            return "no value: " + key + " keeps its earlier value";
        const Result<double> date = type == ValueType::Date ? parseDate(word) : parseDynamicalDate(word);
        if (!date)
            return date.why();
        return onlyBlanksFrom(value, at) ? "" : "only '" + word + "' is used: a date is one word";
    }
    case ValueType::Number:
    case ValueType::Integer:
    case ValueType::Precise:
    {
        double number;
        int integer;
        const bool read = type == ValueType::Integer ? readNumber(value, at, integer) : readNumber(value, at, number);
        if (!read || (type == ValueType::Number && std::abs(number) > 3.4028234e38))
            return "'" + value + "' is not " + (type == ValueType::Integer ? "a whole number" : "a number") +
                   " (or is out of range): " + key + " keeps its earlier value";
        if (onlyBlanksFrom(value, at))
            return "";
        return "'" + value + "' is read only in part, as " +
               (type == ValueType::Integer ? std::to_string(integer)
                : type == ValueType::Precise ? formatNumber(number)
                                             : formatNumber(float(number)));
    }
    case ValueType::Vector:
    case ValueType::Colour:
    {
        int count = 0;
        for (float component; count < 3 && readNumber(value, at, component);)
            ++count;
        const char* what = type == ValueType::Vector ? "three numbers x y z" : "three numbers red green blue";
        if (count < 3)
            return "'" + value + "' has " + plural(std::size_t(count), "readable number", "readable numbers") +
                   " of " + what + ": the rest keep their earlier values";
        if (!onlyBlanksFrom(value, at))
            return type == ValueType::Colour ? "only three numbers are read; alpha is always 1"
                                             : "only the first three numbers are read";
        return "";
    }
    }
    return "";
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
    {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const std::size_t above = row[j];
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

    Problem& add(int line, const std::string& section, const std::string& kind, const std::string& message,
                 Problem::Severity severity)
    {
        problems.push_back(Problem{file, line, section, kind, message, severity});
        return problems.back();
    }

    void unknownKey(const ConfigLine& line, const std::vector<std::string>& known, const std::string& where)
    {
        const std::string meant = likelyKey(line.key, known);
        add(line.number, line.section, "unknown-key",
            "'" + line.key + "' is not a key " + where + " and is ignored" +
                (meant.empty() ? "" : "; did you mean '" + meant + "'?"),
            Problem::Warning);
    }

    std::vector<Problem> sortedByLine()
    {
        std::stable_sort(problems.begin(), problems.end(),
                         [](const Problem& a, const Problem& b) { return a.line < b.line; });
        return std::move(problems);
    }

    std::vector<Problem> problems;

private:
    std::string file;
};

// ---------------------------------------------------------------- lines of either file

void ruleByteOrderMark(const std::vector<ConfigLine>& lines, Findings& findings)
{
    if (!lines.empty() && lines.front().afterByteOrderMark)
        findings.add(1, lines.front().section, "byte-order-mark",
                     "the file starts with a UTF-8 byte-order mark, which some editors write; it is skipped and "
                     "the file reads as it would without it",
                     Problem::Note);
}

void ruleLinesWithoutSeparator(const std::vector<ConfigLine>& lines, Findings& findings)
{
    for (const ConfigLine& line : lines)
        if (line.kind == ConfigLine::NoSeparator)
            findings.add(line.number, line.section, "no-separator",
                         "'" + line.text + "' has no '=', ':' or tab between key and value and is ignored",
                         Problem::Warning);
}

// Settings that belong to no section: above the first section line, or
// under a section line with no name. One finding for each such run of lines.
void ruleSettingsOutsideSections(const std::vector<ConfigLine>& lines, const char* consequence, Findings& findings)
{
    int headerLine = 0;        // of the "[]" line the run stands under; 0 above the first section
    int firstLine = 0;         // of the run's first setting
    std::size_t settings = 0;
    const auto report = [&] {
        if (settings == 0)
            return;
        const std::string where = headerLine > 0 ? "under the section line [] on line " + std::to_string(headerLine) +
                                                       ", which gives no section name,"
                                                 : "above the first section line";
        findings.add(headerLine > 0 ? headerLine : firstLine, "", "outside-section",
                     plural(settings, "setting", "settings") + " " + where + " " + consequence, Problem::Warning);
        settings = 0;
    };
    for (const ConfigLine& line : lines)
    {
        if (line.kind == ConfigLine::SectionHeader)
        {
            report();
            headerLine = line.section.empty() ? line.number : -1;
        }
        else if (line.kind == ConfigLine::Setting && line.section.empty() && headerLine >= 0)
        {
            if (settings++ == 0)
                firstLine = line.number;
        }
    }
    report();
}

// ---------------------------------------------------------------- the settings file

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

bool isSettingsSection(const std::string& section)
{
    const std::vector<std::string>& sections = settingsSections();
    return std::find(sections.begin(), sections.end(), section) != sections.end();
}

void ruleUnknownSections(const std::vector<ConfigLine>& lines, Findings& findings)
{
    for (const ConfigLine& line : lines)
    {
        // A section with no name is told of with its settings.
        if (line.kind != ConfigLine::SectionHeader || line.section.empty() || isSettingsSection(line.section))
            continue;
        const std::string meant = likelyKey(line.section, settingsSections());
        findings.add(line.number, line.section, "unknown-section",
                     "[" + line.section + "] is not a section of the settings file and is ignored" +
                         (meant.empty() ? "" : "; did you mean [" + meant + "]?"),
                     Problem::Warning);
    }
}

// Every line the reader takes as a setting of a known section: its key and
// how its value reads. `used` receives, for each key, the last line whose
// value the reader takes: the value the viewer runs with.
void ruleSettingKeys(const std::vector<ConfigLine>& lines, Findings& findings,
                     std::map<const SettingsKey*, const ConfigLine*>& used)
{
    std::map<const SettingsKey*, int> seen;
    for (const ConfigLine& line : lines)
    {
        if (line.kind != ConfigLine::Setting || line.section.empty() || !isSettingsSection(line.section))
            continue;
        const SettingsKey* key = findSettingsKey(line.section, line.key);
        if (!key)
        {
            // A key of another section reads as unknown here: say where it belongs.
            for (const std::string& section : settingsSections())
                if (!key)
                    key = findSettingsKey(section, line.key);
            if (key)
                findings.add(line.number, line.section, "wrong-section",
                             line.key + " belongs in [" + key->section + "]; here it is ignored", Problem::Warning);
            else
                findings.unknownKey(line, settingsKeysOf(line.section), "of [" + line.section + "]");
            continue;
        }
        const std::string trouble = valueTrouble(line.key, line.value, valueTypeOf(key->field));
        if (!trouble.empty())
            findings.add(line.number, line.section, "bad-value", trouble, Problem::Warning);
        AppSettings scratch;
        if (readKeyValue(scratch, key->field, line.value))
            used[key] = &line;
        if (++seen[key] == 2)
            findings.add(line.number, line.section, "repeated-key",
                         line.key + " is given again: the last value that parses is used", Problem::Warning);
    }
}

// The range a number of the settings file must keep to.
struct SettingRange
{
    const char* key;
    float lowest;
    bool lowestAllowed;     // whether `lowest` itself may be given
    float highest;
    Problem::Severity severity;
    const char* consequence;
};

const SettingRange settingRanges[] = {
    {"NearClipDistance", 0.0f, false, maxWorldExtent, Problem::Error,
     "the camera cannot clip there, and the viewer does not start with it"},
    {"Range", 0.0f, true, maxWorldExtent, Problem::Error,
     "the engine cannot shadow a light of that range, and the viewer does not start with it"},
    {"Distance", -maxWorldExtent, true, maxWorldExtent, Problem::Error,
     "the engine cannot bound stars that far out, and the viewer does not start with it"},
    {"Constant", 0.0f, true, INFINITY, Problem::Warning, "a negative factor makes the light stronger with distance"},
    {"Linear", 0.0f, true, INFINITY, Problem::Warning, "a negative factor makes the light stronger with distance"},
    {"Quadratic", 0.0f, true, INFINITY, Problem::Warning, "a negative factor makes the light stronger with distance"},
    {"Reduction", 0.0f, true, 1.0f, Problem::Warning, "it is a proportion of the vertices, from 0 to 1"},
    {"UiScale", 0.0f, true, 8.0f, Problem::Warning, "0 takes the display's scale; text runs from 0.5 to 8 times its size"},
    {"Speed", -31557600.0f, true, 31557600.0f, Problem::Warning,
     "the time keys step between a second and a year a second, either way"},
    {"AmbientLight", 0.0f, true, 1.0f, Problem::Warning, "colour components run from 0 to 1"},
    {"DiffuseLight", 0.0f, true, 1.0f, Problem::Warning, "colour components run from 0 to 1"},
    {"SpecularLight", 0.0f, true, 1.0f, Problem::Warning, "colour components run from 0 to 1"},
};

std::string rangeText(const SettingRange& range)
{
    if (range.highest == INFINITY)
        return range.lowestAllowed ? "0 or more" : "above 0";
    return std::string(range.lowestAllowed ? "from " : "above ") + formatNumber(range.lowest) +
           (range.lowestAllowed ? " to " : " and at most ") + formatNumber(range.highest);
}

// The values the viewer runs with, against what the engine and the eye can take.
void ruleSettingRanges(const std::map<const SettingsKey*, const ConfigLine*>& used, Findings& findings)
{
    for (const auto& [key, line] : used)
    {
        AppSettings read;
        readKeyValue(read, key->field, line->value);
        if (std::string(key->name) == "Density" && read.Density > maxStarCount)
            findings.add(line->number, line->section, "capped",
                         "Density " + std::to_string(read.Density) + " is more stars than the sky needs: the viewer "
                         "draws " + std::to_string(maxStarCount),
                         Problem::Warning);
        const Result<double> start = parseDate(read.Start);
        if (std::string(key->name) == "Start" && !start)
            findings.add(line->number, line->section, "bad-date", "Start: " + start.why() + ", and the viewer does not start with it",
                         Problem::Error)
                .refusedAtStart = true;
        for (const SettingRange& range : settingRanges)
        {
            if (key->name != std::string(range.key))
                continue;
            const float* values = nullptr;
            int count = 1;
            std::visit(
                [&](auto member) {
                    using Field = std::decay_t<decltype(read.*member)>;
                    if constexpr (std::is_same_v<Field, float>)
                        values = &(read.*member);
                    else if constexpr (std::is_same_v<Field, Ogre::ColourValue>)
                    {
                        values = (read.*member).ptr();
                        count = 3;
                    }
                },
                key->field);
            for (int i = 0; values && i < count; ++i)
            {
                const float value = values[i];
                const bool inside =
                    (value > range.lowest || (range.lowestAllowed && value == range.lowest)) && value <= range.highest;
                if (inside)
                    continue;
                Problem& problem = findings.add(line->number, line->section, "out-of-range",
                                                std::string(key->name) + " " + formatNumber(value) + " is not " +
                                                    rangeText(range) + ": " + range.consequence,
                                                range.severity);
                problem.refusedAtStart = range.severity == Problem::Error;
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- the system file

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

void ruleRepeatedSections(const std::vector<ConfigLine>& lines, Findings& findings)
{
    std::unordered_map<std::string, int> first;
    for (const ConfigLine& line : lines)
    {
        if (line.kind != ConfigLine::SectionHeader)
            continue;
        const auto placed = first.try_emplace(line.section, line.number);
        if (!placed.second && placed.first->second > 0)
        {
            findings.add(line.number, line.section, "repeated-section",
                         "[" + line.section + "] appears again (first on line " + std::to_string(placed.first->second) +
                             "): both parts are read as one section",
                         Problem::Warning);
            placed.first->second = 0;   // told once
        }
    }
}

void ruleBodyKeysAndValues(const std::vector<ConfigLine>& lines, Findings& findings)
{
    std::vector<std::string> knownKeys;
    for (const BodyKey& key : bodyKeys())
        knownKeys.push_back(key.name);
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
        const std::string trouble = valueTrouble(line.key, line.value, valueTypeOf(key->field));
        if (trouble.empty())
            continue;
        // A body dated otherwise than written would stand somewhere else entirely.
        if (valueTypeOf(key->field) == ValueType::Date || valueTypeOf(key->field) == ValueType::DynamicalDate)
            findings.add(line.number, line.section, "bad-date", key->name + std::string(": ") + trouble +
                         ", and the viewer does not start with it", Problem::Error).refusedAtStart = true;
        else
            findings.add(line.number, line.section, "bad-value", trouble, Problem::Warning);
    }
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

// Bodies that follow the clock: elements no orbit has, and keys left idle
// by the clock or idle without it.
void ruleDatedBodies(const SystemFacts& facts, Findings& findings)
{
    static const char* const orbitElements[] = {"Eccentricity", "Inclination", "AscendingNode", "Periapsis",
                                                "MeanAnomaly",  "NodeDays",    "PeriapsisDays"};
    static const char* const spinElements[] = {"Meridian", "PoleRA", "PoleDec"};
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
        const auto refuse = [&](const char* key, const std::string& why) {
            findings.add(facts.lineOf(section, key), section, "bad-element",
                         why + ", and the viewer does not start with it", Problem::Error)
                .refusedAtStart = true;
        };
        if (given("OrbitDays") && !(d.OrbitDays > 0.0))
            refuse("OrbitDays", "OrbitDays " + formatNumber(d.OrbitDays) + " is not above 0: no orbit takes no time");
        if (!(d.Eccentricity >= 0.0 && d.Eccentricity < 1.0))
            refuse("Eccentricity", "Eccentricity " + formatNumber(d.Eccentricity) +
                                       " is not from 0 to below 1: the orbit would be no ellipse");

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
            idleIfSet(frameLockedOrbit, "the body goes round its orbit by the clock (OrbitDays)");
        else
            idleIfGiven(orbitElements, "without OrbitDays the body's orbit does not follow the clock");
        if (d.spinFollowsClock())
            idleIfSet(frameLockedSpin, "the body turns by the clock (RotationHours)");
        else
            idleIfGiven(spinElements, "without RotationHours the body's spin does not follow the clock");
        if (!d.orbitFollowsClock() && !d.spinFollowsClock())
            idleIfGiven(std::array<const char*, 1>{"Epoch"}, "the body follows no clock");
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
        for (const auto& [key, length] : {std::make_pair("Size", d.Size), std::make_pair("OrbitRadius", d.OrbitRadius)})
            if (std::abs(length) > maxWorldExtent)
                findings.add(facts.lineOf(section, key), section, "beyond-the-world",
                             std::string(key) + " " + formatNumber(length) + " is beyond what the engine can draw: "
                                 "it is drawn as " + formatNumber(std::copysign(maxWorldExtent, length)),
                             Problem::Warning);
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

// ---------------------------------------------------------------- the views file

void ruleViewKeysAndValues(const std::vector<ConfigLine>& lines, const BodyRegistry& registry, Findings& findings)
{
    std::vector<std::string> knownKeys;
    for (const ViewKey& key : viewKeys())
        knownKeys.push_back(key.name);
    struct ViewLines
    {
        int header = 0;
        SavedView view;
        std::map<std::string, int> lineOf;   // of each key read, the last line
    };
    std::vector<ViewLines> views;
    std::map<std::string, std::size_t> indexOf;
    for (const ConfigLine& line : lines)
    {
        if (line.kind == ConfigLine::SectionHeader && !line.section.empty() &&
            indexOf.try_emplace(line.section, views.size()).second)
            views.push_back(ViewLines{line.number, SavedView(), {}});
        if (line.kind != ConfigLine::Setting || line.section.empty())
            continue;
        const ViewKey* key = findViewKey(line.key);
        if (!key)
        {
            findings.unknownKey(line, knownKeys, "of a view");
            continue;
        }
        const std::string trouble = valueTrouble(line.key, line.value, valueTypeOf(key->field));
        if (!trouble.empty())
            findings.add(line.number, line.section, "bad-value", trouble, Problem::Warning);
        ViewLines& read = views[indexOf.at(line.section)];
        if (readKeyValue(read.view, key->field, line.value))
            read.lineOf[key->name] = line.number;
    }
    for (const auto& [section, index] : indexOf)
    {
        const ViewLines& read = views[index];
        const auto lineOf = [&](const char* key) {
            const auto found = read.lineOf.find(key);
            return found == read.lineOf.end() ? 0 : found->second;
        };
        for (const ViewKey& key : viewKeys())
            if (key.required && !lineOf(key.name))
                findings.add(read.header, section, "missing-key",
                             std::string("the view has no ") + key.name + " that reads: it is left out, and 1 to 9 "
                             "count the views after it one earlier",
                             Problem::Error);
        const SavedView& view = read.view;
        if (lineOf("Direction") && !(view.Direction.squaredLength() > 0.0f))
            findings.add(lineOf("Direction"), section, "bad-direction",
                         "Direction is 0 0 0: the camera would look nowhere, and the view is left out", Problem::Error);
        else if (lineOf("Up") && view.Up.crossProduct(view.Direction).squaredLength() <= 1e-12f)
            findings.add(lineOf("Up"), section, "bad-up",
                         "Up runs along Direction: the world's up stands in for it", Problem::Warning);
        if (lineOf("Focus") && registry.indexOf(view.Focus) < 0)
            findings.add(lineOf("Focus"), section, "unknown-body",
                         "Focus '" + view.Focus + "' names no body of the system: the view recalls the camera alone",
                         Problem::Warning);
        if (lineOf("Follow") && view.Follow && view.Focus.empty())
            findings.add(lineOf("Follow"), section, "nothing-to-follow",
                         "Follow is 1 but no Focus names a body: nothing is followed", Problem::Warning);
    }
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

const Problem* firstError(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems)
        if (problem.isError())
            return &problem;
    return nullptr;
}

const Problem* firstRefusedAtStart(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems)
        if (problem.refusedAtStart)
            return &problem;
    return nullptr;
}

int deepestMoon(const BodyRegistry& registry)
{
    const std::vector<int> depth = moonDepths(registry);
    return depth.empty() ? 0 : *std::max_element(depth.begin(), depth.end());
}

std::string likelyKey(const std::string& key, const std::vector<std::string>& known)
{
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& candidate : known)
    {
        const std::size_t distance = editDistance(lowered(key), lowered(candidate));
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
    ruleByteOrderMark(lines, findings);
    ruleLinesWithoutSeparator(lines, findings);
    ruleSettingsOutsideSections(lines, "are ignored", findings);
    ruleUnknownSections(lines, findings);
    std::map<const SettingsKey*, const ConfigLine*> used;
    ruleSettingKeys(lines, findings, used);
    ruleSettingRanges(used, findings);
    return findings.sortedByLine();
}

std::vector<Problem> checkSystemLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                      const BodyRegistry& registry, const MeshExists& meshExists)
{
    Findings findings(file);
    ruleByteOrderMark(lines, findings);
    ruleLinesWithoutSeparator(lines, findings);
    ruleSettingsOutsideSections(lines, "never make a body", findings);
    ruleRepeatedSections(lines, findings);
    ruleBodyKeysAndValues(lines, findings);

    SystemFacts facts(lines, registry);
    ruleSkippedSections(facts, findings);
    ruleParentCycles(facts, findings);
    ruleNameCollisions(facts, findings);
    ruleParents(facts, findings);
    ruleDepth(facts, findings);
    if (meshExists)
        ruleModels(facts, meshExists, findings);
    ruleBodyValues(facts, findings);
    ruleDatedBodies(facts, findings);
    ruleLongNames(facts, findings);
    return findings.sortedByLine();
}

std::vector<Problem> checkViewLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                    const BodyRegistry& registry)
{
    Findings findings(file);
    ruleByteOrderMark(lines, findings);
    ruleLinesWithoutSeparator(lines, findings);
    ruleSettingsOutsideSections(lines, "belong to no view and are ignored", findings);
    ruleRepeatedSections(lines, findings);
    ruleViewKeysAndValues(lines, registry, findings);
    return findings.sortedByLine();
}

SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text, const MeshExists& meshExists)
{
    SystemVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    registerBodies(file, *verdict.bodies);
    verdict.problems = checkSystemLines(fileName, splitConfigLines(text), *verdict.bodies, meshExists);
    return verdict;
}

SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current)
{
    SettingsVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    applySettings(file, verdict.read);
    verdict.problems = checkSettingsLines(fileName, splitConfigLines(text));
    for (const SettingsKey& key : settingsKeys())
    {
        if (!differs(key, verdict.read, current))
            continue;
        (key.takesEffectAtOnce ? verdict.atOnce : verdict.atNextStart).push_back(&key);
    }
    return verdict;
}
