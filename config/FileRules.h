#ifndef ORVTEST_CONFIG_FILERULES_H
#define ORVTEST_CONFIG_FILERULES_H

#include "config/AppSettings.h"
#include "config/ConfigLines.h"
#include "config/SettingsKeys.h"
#include "sim/BodyRegistry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One finding, tied to a line of a file. These are the verdicts of
// orvtest-check, and of the viewer when it reads a file.
struct Problem
{
    enum Severity
    {
        Error,      // a body will not show, or the viewer will not run with the file
        Warning,    // read otherwise than probably meant
        Note,       // read as meant, but worth knowing
    };
    std::string file;
    int line = 0;
    std::string section;
    std::string kind;      // short machine name, such as "skipped-section"
    std::string message;   // what the viewer will do and how to fix it
    Severity severity = Warning;
    // The viewer does not start with a file that has this problem: the
    // engine could not take it.
    bool refusedAtStart = false;

    bool isError() const { return severity == Error; }
    // "error", "warning" or "note".
    const char* severityName() const;
    // "FILE:LINE: message", as the viewer's status line says it.
    std::string where() const;
};

// The first error of a list; null when there is none.
const Problem* firstError(const std::vector<Problem>& problems);
// The first problem the viewer does not start with; null when there is none.
const Problem* firstRefusedAtStart(const std::vector<Problem>& problems);

// Findings in a settings file, from its lines and the settings reader's rules.
std::vector<Problem> checkSettingsLines(const std::string& file, const std::vector<ConfigLine>& lines);

// Whether a mesh of that name (a Model with ".Mesh") can be loaded: the
// viewer asks the engine, orvtest-check the resource locations.
using MeshExists = std::function<bool(const std::string& meshName)>;

// Findings in a system file: `lines` for where things stand, `registry` (filled
// by the viewer's own reader from the same file) for what the viewer accepted.
// Models are checked only when `meshExists` is given.
std::vector<Problem> checkSystemLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                      const BodyRegistry& registry, const MeshExists& meshExists = {});

// Findings in a views file (config/Views.h), against the bodies of the
// system it is used with.
std::vector<Problem> checkViewLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                    const BodyRegistry& registry);

// A system file's text judged: the bodies the viewer's reader makes of it and
// the findings on it.
struct SystemVerdict
{
    std::unique_ptr<BodyRegistry> bodies = std::make_unique<BodyRegistry>();
    std::vector<Problem> problems;

    // Whether the bodies can replace the shown ones: no error found.
    bool sound() const { return firstError(problems) == nullptr; }
};
SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text, const MeshExists& meshExists);

// A settings file's text judged, against the settings in force.
struct SettingsVerdict
{
    AppSettings read;
    std::vector<Problem> problems;
    std::vector<const SettingsKey*> atOnce;        // changed, and taken now
    std::vector<const SettingsKey*> atNextStart;   // changed, and taken at the next start

    bool sound() const { return firstError(problems) == nullptr; }
};
SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current);

// How many levels below the sun the deepest moon of the registry hangs: 1
// for a planet, 0 for no bodies. Bodies whose parents come after them, or
// name no body, count from where their chain breaks off.
int deepestMoon(const BodyRegistry& registry);

// The known key closest to `key`: the same but for case, or at most two
// letters off. Empty when none is that close.
std::string likelyKey(const std::string& key, const std::vector<std::string>& known);

#endif
