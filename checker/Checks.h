#ifndef ORVTEST_CHECKER_CHECKS_H
#define ORVTEST_CHECKER_CHECKS_H

#include "checker/ConfigText.h"

#include <string>
#include <vector>

class BodyRegistry;

// One finding, tied to a line of a file. These are the verdicts of
// orvtest-check, and of the viewer when it reloads a file.
struct Problem
{
    enum Severity
    {
        Error,      // a body will not show or the viewer will stop
        Warning,    // read otherwise than probably meant
        Note,       // read as meant, but worth knowing
    };
    std::string file;
    int line = 0;
    std::string section;
    std::string kind;      // short machine name, such as "skipped-section"
    std::string message;   // what the viewer will do and how to fix it
    Severity severity = Warning;

    bool isError() const { return severity == Error; }
    // "error", "warning" or "note".
    const char* severityName() const;
    // "FILE:LINE: message", as the viewer's status line says it.
    std::string where() const;
};

// Findings in a settings file, from its lines and the settings reader's rules.
std::vector<Problem> checkSettingsLines(const std::string& file, const std::vector<ConfigLine>& lines);

// Findings in a system file: `lines` for where things stand, `registry` (filled
// by the viewer's own reader from the same file) for what the viewer accepted.
std::vector<Problem> checkSystemLines(const std::string& file, const std::vector<ConfigLine>& lines,
                                      const BodyRegistry& registry);

// The known key closest to `key`: the same but for case, or at most two
// letters off. Empty when none is that close.
std::string likelyKey(const std::string& key, const std::vector<std::string>& known);

#endif
