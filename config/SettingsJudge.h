#ifndef ORVTEST_CONFIG_SETTINGSJUDGE_H
#define ORVTEST_CONFIG_SETTINGSJUDGE_H

#include "config/AppSettings.h"
#include "config/Findings.h"
#include "config/SettingsKeys.h"

#include <string>
#include <vector>

// A settings file's text judged, against the settings in force: what the
// reader makes of it and the findings on it.
struct SettingsVerdict
{
    AppSettings read;
    std::vector<Problem> problems;
    std::vector<const SettingsKey*> atOnce;        // changed, and taken now
    std::vector<const SettingsKey*> atNextStart;   // changed, and taken at the next start

    bool sound() const { return firstError(problems) == nullptr; }
};
SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current);

#endif
