#ifndef ORVTEST_CONFIG_FINDINGS_H
#define ORVTEST_CONFIG_FINDINGS_H

#include "config/ConfigLines.h"

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

// The findings on one file as its judge gathers them, and the rules every
// configuration file keeps to, whatever its format.
class Findings
{
public:
    explicit Findings(const std::string& fileName) : file(fileName) {}

    Problem& add(int line, const std::string& section, const std::string& kind, const std::string& message,
                 Problem::Severity severity);
    // An error the viewer does not start with.
    Problem& refuse(int line, const std::string& section, const std::string& kind, const std::string& message);
    // A key of no table: where it stands, and the known key it probably means.
    void unknownKey(const ConfigLine& line, const std::vector<std::string>& known, const std::string& where);

    // The file's own shape: a byte-order mark, lines without a separator,
    // settings above the first section or under a nameless one (`consequence`
    // says what becomes of them) and sections given twice.
    void checkLayout(const std::vector<ConfigLine>& lines, const char* consequence, bool reportRepeatedSections);

    // Everything found, in line order.
    std::vector<Problem> sortedByLine();

private:
    std::string file;
    std::vector<Problem> problems;
};

// The known key closest to `key`: the same but for case, or at most two
// letters off. Empty when none is that close.
std::string likelyKey(const std::string& key, const std::vector<std::string>& known);

#endif
