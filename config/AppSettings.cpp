#include "config/AppSettings.h"

#include "config/ConfigFileReading.h"
#include "config/SettingsKeys.h"

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
