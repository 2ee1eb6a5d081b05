#include "config/SettingsJudge.h"

#include "config/ConfigFileReading.h"

#include <algorithm>
#include <map>

namespace
{
std::vector<std::string> settingsKeysOf(const std::string& section)
{
    std::vector<std::string> keys;
    for (const SettingsKey& key : settingsKeys())
        if (section == key.section)
            keys.push_back(key.name);
    return keys;
}

bool isSettingsSection(const std::string& section)
{
    const std::vector<std::string>& sections = settingsSections();
    return std::find(sections.begin(), sections.end(), section) != sections.end();
}

void checkSections(const std::vector<ConfigLine>& lines, Findings& findings)
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

// Every line the reader takes as a setting of a known section: its key, how
// its value reads and whether it keeps to the key's limits.
void checkSettings(const std::vector<ConfigLine>& lines, Findings& findings)
{
    std::map<const SettingsKey*, int> seen;
    std::map<const SettingsKey*, const ConfigLine*> used;
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
        if (checkSetting<AppSettings>(findings, line, *key, true))
            used[key] = &line;
        if (++seen[key] == 2)
            findings.add(line.number, line.section, "repeated-key",
                         line.key + " is given again: the last value that parses is used", Problem::Warning);
    }
    for (const auto& [key, line] : used)
        checkKeyLimits<AppSettings>(findings, *line, *key);
}
}

SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current)
{
    SettingsVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    applySettings(file, verdict.read);

    const std::vector<ConfigLine> lines = splitConfigLines(text);
    Findings findings(fileName);
    findings.checkLayout(lines, "are ignored", false);
    checkSections(lines, findings);
    checkSettings(lines, findings);
    verdict.problems = findings.sortedByLine();

    for (const SettingsKey& key : settingsKeys())
    {
        if (!differs(key, verdict.read, current))
            continue;
        (key.takesEffectAtOnce ? verdict.atOnce : verdict.atNextStart).push_back(&key);
    }
    return verdict;
}
