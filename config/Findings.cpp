#include "config/Findings.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace
{
std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
    {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
}

const char* Problem::severityName() const
{
    return severity == Error ? "error" : severity == Warning ? "warning" : "note";
}

std::string Problem::where() const
{
    return file + ":" + std::to_string(line) + ": " + message;
}

const Problem* firstError(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems)
        if (problem.isError())
            return &problem;
    return nullptr;
}

const Problem* firstRefusedAtStart(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems)
        if (problem.refusedAtStart)
            return &problem;
    return nullptr;
}

std::string likelyKey(const std::string& key, const std::vector<std::string>& known)
{
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& candidate : known)
    {
        const std::size_t distance = editDistance(lowered(key), lowered(candidate));
        if (distance < bestDistance)
        {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best == key ? "" : best;
}

Problem& Findings::add(int line, const std::string& section, const std::string& kind, const std::string& message,
                       Problem::Severity severity)
{
    problems.push_back(Problem{file, line, section, kind, message, severity});
    return problems.back();
}

Problem& Findings::refuse(int line, const std::string& section, const std::string& kind, const std::string& message)
{
    Problem& problem = add(line, section, kind, message, Problem::Error);
    problem.refusedAtStart = true;
    return problem;
}

void Findings::unknownKey(const ConfigLine& line, const std::vector<std::string>& known, const std::string& where)
{
    const std::string meant = likelyKey(line.key, known);
    add(line.number, line.section, "unknown-key",
        "'" + line.key + "' is not a key " + where + " and is ignored" +
            (meant.empty() ? "" : "; did you mean '" + meant + "'?"),
        Problem::Warning);
}

std::vector<Problem> Findings::sortedByLine()
{
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return std::move(problems);
}

void Findings::checkLayout(const std::vector<ConfigLine>& lines, const char* consequence, bool reportRepeatedSections)
{
    if (!lines.empty() && lines.front().afterByteOrderMark)
        add(1, lines.front().section, "byte-order-mark",
            "the file starts with a UTF-8 byte-order mark, which some editors write; it is skipped and "
            "the file reads as it would without it",
            Problem::Note);

    for (const ConfigLine& line : lines)
        if (line.kind == ConfigLine::NoSeparator)
            add(line.number, line.section, "no-separator",
                "'" + line.text + "' has no '=', ':' or tab between key and value and is ignored", Problem::Warning);

    // Settings that belong to no section: above the first section line, or
    // under a section line with no name. One finding for each such run of lines.
    int headerLine = 0;        // of the "[]" line the run stands under; 0 above the first section
    int firstLine = 0;         // of the run's first setting
    std::size_t settings = 0;
    const auto report = [&] {
        if (settings == 0)
            return;
        const std::string where = headerLine > 0 ? "under the section line [] on line " + std::to_string(headerLine) +
                                                       ", which gives no section name,"
                                                 : "above the first section line";
        add(headerLine > 0 ? headerLine : firstLine, "", "outside-section",
            plural(settings, "setting", "settings") + " " + where + " " + consequence, Problem::Warning);
        settings = 0;
    };
    for (const ConfigLine& line : lines)
    {
        if (line.kind == ConfigLine::SectionHeader)
        {
            report();
            headerLine = line.section.empty() ? line.number : -1;
        }
        else if (line.kind == ConfigLine::Setting && line.section.empty() && headerLine >= 0)
        {
            if (settings++ == 0)
                firstLine = line.number;
        }
    }
    report();

    if (!reportRepeatedSections)
        return;
    std::unordered_map<std::string, int> first;
    for (const ConfigLine& line : lines)
    {
        if (line.kind != ConfigLine::SectionHeader)
            continue;
        const auto placed = first.try_emplace(line.section, line.number);
        if (!placed.second && placed.first->second > 0)
        {
            add(line.number, line.section, "repeated-section",
                "[" + line.section + "] appears again (first on line " + std::to_string(placed.first->second) +
                    "): both parts are read as one section",
                Problem::Warning);
            placed.first->second = 0;   // told once
        }
    }
}
