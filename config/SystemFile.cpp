#include "config/SystemFile.h"

#include "config/ConfigFileReading.h"
#include "config/SystemFileKeys.h"
#include "config/Utf8.h"
#include "sim/BodyRegistry.h"
#include "sim/WorldLimits.h"

BodySection readBodySection(const Ogre::ConfigFile::SettingsMultiMap& settings)
{
    BodySection section{defaultBodyDefinition(), 0};
    for (const auto& setting : settings)
    {
        const BodyKey* key = findBodyKey(setting.first);
        if (!key)
            continue;
        readKey(section.definition, *key, setting.second);
        if (key->required)
            ++section.requiredSettings;
    }
    section.definition.Name = cutUtf8(section.definition.Name, longestName);
    return section;
}

bool isAcceptedSection(const std::string& sectionName, const BodySection& section)
{
    return !sectionName.empty() && std::size_t(section.requiredSettings) == requiredBodyKeyCount();
}

void loadSystemFile(std::string fileName)
{
    Ogre::ConfigFile file;
    loadConfigFile(file, fileName);
    registerBodies(file, bodyRegistry);
}

void registerBodies(const Ogre::ConfigFile& file, BodyRegistry& registry)
{
    for (const auto& section : file.getSettingsBySection())
    {
        const BodySection read = readBodySection(section.second);
        if (isAcceptedSection(section.first, read))
            registry.add(new Body(section.first, read.definition));
    }
}
