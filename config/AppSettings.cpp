#include "config/AppSettings.h"

#include "config/ConfigFileReading.h"
#include "config/ValueParsing.h"

#include <OgreConfigFile.h>

#include <cstring>

AppSettings appSettings;

const ShadowTechniqueName shadowTechniqueNames[3] = {
    {"SHADOWTYPE_TEXTURE_MODULATIVE", Ogre::SHADOWTYPE_TEXTURE_MODULATIVE},
    {"SHADOWTYPE_STENCIL_MODULATIVE", Ogre::SHADOWTYPE_STENCIL_MODULATIVE},
    {"SHADOWTYPE_STENCIL_ADDITIVE", Ogre::SHADOWTYPE_STENCIL_ADDITIVE},
};

namespace
{
void applySystemSetting(const Ogre::String& key, const Ogre::String& value)
{
    if (key == "StaticSystem")
        parseWord(value, appSettings.StaticSystem);
}

void applyPerformanceSetting(const Ogre::String& key, const Ogre::String& value)
{
    if (key == "MeshLod")
        parseFlag(value, appSettings.MeshLod);
    else if (key == "Reduction")
        parseFloat(value, appSettings.Reduction);
    else if (key == "MoveConstant")
        parseFloat(value, appSettings.MoveConstant);
    else if (key == "NearClipDistance")
        parseFloat(value, appSettings.NearClipDistance);
}

void applyShadowTechnique(const Ogre::String& value)
{
    std::string word;
    if (!parseWord(value, word))
        return;
    for (const ShadowTechniqueName& entry : shadowTechniqueNames)
    {
        if (word == entry.name)
        {
            appSettings.ShadowTechnique = entry.technique;
            return;
        }
    }
}

void applyLightSetting(const Ogre::String& key, const Ogre::String& value)
{
    if (key == "ShadowTechnique")
        applyShadowTechnique(value);
    else if (key == "AmbientLight")
        parseColour(value, appSettings.AmbientLight);
    else if (key == "DiffuseLight")
        parseColour(value, appSettings.DiffuseLight);
    else if (key == "SpecularLight")
        parseColour(value, appSettings.SpecularLight);
    else if (key == "Range")
        parseFloat(value, appSettings.Range);
    else if (key == "Constant")
        parseFloat(value, appSettings.Constant);
    else if (key == "Linear")
        parseFloat(value, appSettings.Linear);
    else if (key == "Quadratic")
        parseFloat(value, appSettings.Quadratic);
}

void applyStarFieldSetting(const Ogre::String& key, const Ogre::String& value)
{
    if (key == "Distance")
        parseFloat(value, appSettings.Distance);
    else if (key == "Density")
        parseInt(value, appSettings.Density);
}
}

void loadSettings(const Ogre::String& fileName)
{
    Ogre::ConfigFile file;
    loadConfigFile(file, fileName);
    applySettings(file);
}

void applySettings(const Ogre::ConfigFile& file)
{
    for (const auto& section : file.getSettingsBySection())
    {
        void (*apply)(const Ogre::String&, const Ogre::String&) = nullptr;
        if (section.first == "System")
            apply = applySystemSetting;
        else if (section.first == "Performance")
            apply = applyPerformanceSetting;
        else if (section.first == "Light")
            apply = applyLightSetting;
        else if (section.first == "StarField")
            apply = applyStarFieldSetting;
        else
            continue;

        // Equal keys come in file order, so the last occurrence wins.
        for (const auto& setting : section.second)
            apply(setting.first, setting.second);
    }
}
