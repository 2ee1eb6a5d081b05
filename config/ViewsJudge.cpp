#include "config/ViewsJudge.h"

#include "config/ValueParsing.h"
#include "sim/BodyRegistry.h"

#include <map>

namespace
{
// A view as its lines gave it: the last line of each key that read.
struct ViewLines
{
    SavedView view;
    std::map<std::string, int> lineOf;
    std::map<const ViewKey*, const ConfigLine*> used;   // the line each key's value comes from

    int lineOfKey(const char* key) const
    {
        const auto found = lineOf.find(key);
        return found == lineOf.end() ? 0 : found->second;
    }
};

// A place's numbers in double precision; one missing keeps its value, as parseVector reads it.
void readKilometres(const std::string& text, Vector3d& km)
{
    std::size_t at = 0;
    for (double* number : {&km.x, &km.y, &km.z})
        if (!readNumber(text, at, *number))
            break;
}

// Whether the view can be shown; its findings added.
bool judgeView(const ViewLines& read, const BodyRegistry* registry, Findings& findings)
{
    const SavedView& view = read.view;
    bool shown = true;
    for (const ViewKey& key : viewKeys())
        if (key.required && !read.lineOfKey(key.name))
        {
            findings.add(view.line, view.name, "missing-key",
                         std::string("the view has no ") + key.name + " that reads: it is left out, and 1 to 9 "
                         "count the views after it one earlier",
                         Problem::Error);
            shown = false;
        }
    const Vector3d direction{view.Direction.x, view.Direction.y, view.Direction.z};
    if (read.lineOfKey("Direction") && direction.normalised() == Vector3d{})
    {
        findings.add(read.lineOfKey("Direction"), view.name, "bad-direction",
                     "Direction is 0 0 0: the camera would look nowhere, and the view is left out", Problem::Error);
        shown = false;
    }
    else if (read.lineOfKey("Up") && upAlongDirection(view))
        findings.add(read.lineOfKey("Up"), view.name, "bad-up",
                     "Up runs along Direction: the world's up stands in for it", Problem::Warning);
    if (registry && read.lineOfKey("Focus") && registry->indexOf(view.Focus) < 0)
        findings.add(read.lineOfKey("Focus"), view.name, "unknown-body",
                     "Focus '" + view.Focus + "' names no body of the system: the view recalls the camera alone",
                     Problem::Warning);
    if (read.lineOfKey("Follow") && view.Follow && view.Focus.empty() && view.CatalogueFocus.text.empty())
        findings.add(read.lineOfKey("Follow"), view.name, "nothing-to-follow",
                     "Follow is 1 but no Focus names a body: nothing is followed", Problem::Warning);
    return shown;
}
}

ViewsVerdict judgeViewsText(const std::string& fileName, const std::string& text, const BodyRegistry* registry)
{
    const std::vector<ConfigLine> lines = splitConfigLines(text);
    Findings findings(fileName);
    findings.checkLayout(lines, "belong to no view and are ignored", true);

    std::vector<std::string> knownKeys;
    for (const ViewKey& key : viewKeys())
        knownKeys.push_back(key.name);
    // A repeated section adds to its first part.
    std::vector<ViewLines> views;
    std::map<std::string, std::size_t> indexOf;
    for (const ConfigLine& line : lines)
    {
        if (line.kind == ConfigLine::SectionHeader && !line.section.empty() &&
            indexOf.try_emplace(line.section, views.size()).second)
        {
            views.emplace_back();
            views.back().view.name = line.section;
            views.back().view.line = line.number;
        }
        if (line.kind != ConfigLine::Setting || line.section.empty())
            continue;
        const ViewKey* key = findViewKey(line.key);
        if (!key)
        {
            findings.unknownKey(line, knownKeys, "of a view");
            continue;
        }
        checkSetting<SavedView>(findings, line, *key, false);
        ViewLines& read = views[indexOf.at(line.section)];
        if (!readKey(read.view, *key, line.value))
            continue;
        read.lineOf[key->name] = line.number;
        read.used[key] = &line;
        read.view.dated = read.view.dated || valueTypeOf(key->field) == ValueType::Date;
        // Read again in double precision, for a view at true scale (whose TrueScale may come later).
        if (key->name == std::string("Position") || key->name == std::string("Offset"))
            readKilometres(line.value, key->name == std::string("Position") ? read.view.PositionKm : read.view.OffsetKm);
    }

    ViewsVerdict verdict;
    for (const ViewLines& read : views)
        for (const auto& [key, line] : read.used)
            checkKeyLimits<SavedView>(findings, *line, *key);
    for (const ViewLines& read : views)
        if (judgeView(read, registry, findings))
            verdict.views.push_back(read.view);
    verdict.problems = findings.sortedByLine();
    return verdict;
}
