#include "config/AppSettings.h"

#include "config/ConfigFileReading.h"
#include "config/SettingsKeys.h"

#include <algorithm>

AppSettings appSettings;

AppSettings::AppSettings()
{
    for (const SettingsKey& key : settingsKeys())
        readKey(*this, key, key.defaultValue);
}

void loadSettings(const Ogre::String& fileName)
{
    Ogre::ConfigFile file;
    loadConfigFile(file, fileName);
    applySettings(file, appSettings);
}

void applySettings(const Ogre::ConfigFile& file, AppSettings& settings)
{
    const std::vector<SettingsKey>& keys = settingsKeys();
    for (const auto& section : file.getSettingsBySection())
    {
        // Equal keys come in file order, so the last value that parses wins.
        for (const auto& setting : section.second)
        {
            for (const SettingsKey& key : keys)
            {
                if (section.first == key.section && setting.first == key.name)
                {
                    readKey(settings, key, setting.second);
                    break;
                }
            }
        }
    }
}

std::vector<std::string> catalogueNames(const AppSettings& settings, bool datedSystem)
{
    std::vector<std::string> names;
    if (settings.Shipped && datedSystem)
        names = shippedCatalogues;
    for (const std::string& name : settings.Files)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}
