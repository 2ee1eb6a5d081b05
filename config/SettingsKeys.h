#ifndef ORVTEST_CONFIG_SETTINGSKEYS_H
#define ORVTEST_CONFIG_SETTINGSKEYS_H

#include "config/AppSettings.h"
#include "config/ValueChecks.h"

#include <optional>
#include <string>
#include <vector>

// One key of the settings file.
struct SettingsKey
{
    const char* section;
    const char* name;
    std::string defaultValue;        // written as the file would write it
    KeyField<AppSettings> field;     // where it is stored
    bool takesEffectAtOnce;          // when the file is read again while the viewer runs
    std::optional<ValueLimits> limits = std::nullopt;
};

// Every key of "OrvTest.cfg", in the order of docs/SETTINGS.md's table. The
// reader, orvtest-check and that page follow this table.
const std::vector<SettingsKey>& settingsKeys();

// The sections of the settings file, in the order of the table.
const std::vector<std::string>& settingsSections();

// The key of that section and name, or null.
const SettingsKey* findSettingsKey(const std::string& section, const std::string& name);

// Whether the key's field differs between two records.
bool differs(const SettingsKey& key, const AppSettings& a, const AppSettings& b);

// Copies the key's field from one record to the other.
void copyField(const SettingsKey& key, const AppSettings& from, AppSettings& to);

// What is written on screen is drawn from this many to this many times its
// size at 96 dpi; the settings, the command line and the display keep to it.
constexpr float smallestUiScale = 0.5f;
constexpr float largestUiScale = 8.0f;

#endif
