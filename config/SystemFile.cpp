#include "config/SystemFile.h"

#include "config/ConfigFileReading.h"
#include "config/ValueParsing.h"
#include "sim/BodyRegistry.h"

const SystemFileKey systemFileKeys[21] = {
    {"Name", true},           {"Parent", true},         {"Model", true},
    {"Material", true},       {"Size", true},           {"OrbitRadius", true},
    {"OrbitPeriod", true},    {"PitchPeriod", true},    {"YawPeriod", true},
    {"RollPeriod", true},     {"OrbitCompleted", false}, {"PitchCompleted", false},
    {"YawCompleted", false},  {"RollCompleted", false}, {"OrbitAxis", false},
    {"PitchAxis", false},     {"YawAxis", false},       {"RollAxis", false},
    {"Far", false},           {"NearDistance", false},  {"FarDistance", false},
};

namespace
{
// Parses one setting into the definition; returns false for a key that is not a body key.
bool applyBodySetting(BodyDefinition& body, const std::string& key, const std::string& value)
{
    if (key == "Name")
        parseWord(value, body.Name);
    else if (key == "Parent")
    {
        std::string parent;
        parseWord(value, parent);
        body.parentNodeName = parent + ".Position";
    }
    else if (key == "Model")
        parseWord(value, body.Model);
    else if (key == "Material")
        parseWord(value, body.Material);
    else if (key == "Size")
        parseFloat(value, body.Size);
    else if (key == "OrbitRadius")
        parseFloat(value, body.OrbitRadius);
    else if (key == "OrbitPeriod")
        parseFloat(value, body.OrbitPeriod);
    else if (key == "PitchPeriod")
        parseFloat(value, body.PitchPeriod);
    else if (key == "YawPeriod")
        parseFloat(value, body.YawPeriod);
    else if (key == "RollPeriod")
        parseFloat(value, body.RollPeriod);
    else if (key == "OrbitCompleted")
        parseFloat(value, body.OrbitCompleted);
    else if (key == "PitchCompleted")
        parseFloat(value, body.PitchCompleted);
    else if (key == "YawCompleted")
        parseFloat(value, body.YawCompleted);
    else if (key == "RollCompleted")
        parseFloat(value, body.RollCompleted);
    else if (key == "OrbitAxis")
        parseVector(value, body.OrbitAxis);
    else if (key == "PitchAxis")
        parseVector(value, body.PitchAxis);
    else if (key == "YawAxis")
        parseVector(value, body.YawAxis);
    else if (key == "RollAxis")
        parseVector(value, body.RollAxis);
    else if (key == "Far")
        parseFlag(value, body.Far);
    else if (key == "NearDistance")
        parseFloat(value, body.NearDistance);
    else if (key == "FarDistance")
        parseFloat(value, body.FarDistance);
    else
        return false;
    return true;
}

bool isCountedKey(const std::string& key)
{
    for (const SystemFileKey& entry : systemFileKeys)
        if (entry.counted && key == entry.name)
            return true;
    return false;
}
}

BodyDefinition readBodyDefinition(const Ogre::ConfigFile::SettingsMultiMap& settings)
{
    BodyDefinition body;
    for (const auto& setting : settings)
    {
        if (applyBodySetting(body, setting.first, setting.second) && isCountedKey(setting.first))
            ++body.countedSettings;
    }
    return body;
}

bool isAcceptedSection(const std::string& sectionName, const BodyDefinition& definition)
{
    return !sectionName.empty() && definition.countedSettings == requiredKeyCount;
}

void loadSystemFile(std::string fileName)
{
    Ogre::ConfigFile file;
    loadConfigFile(file, fileName);
    registerBodies(file);
}

void registerBodies(const Ogre::ConfigFile& file)
{
    for (const auto& section : file.getSettingsBySection())
    {
        const BodyDefinition d = readBodyDefinition(section.second);
        if (!isAcceptedSection(section.first, d))
            continue;
        bodyRegistry.add(new Body(section.first, d.Name, d.Size, d.OrbitRadius, d.OrbitAxis,
                                  d.OrbitPeriod, d.PitchAxis, d.PitchPeriod, d.YawAxis,
                                  d.YawPeriod, d.RollAxis, d.RollPeriod, d.OrbitCompleted,
                                  d.PitchCompleted, d.YawCompleted, d.RollCompleted, d.Model,
                                  d.Material, d.Far, d.NearDistance, d.FarDistance,
                                  d.parentNodeName));
    }
}
