#include "config/Views.h"

#include "config/ConfigFileReading.h"
#include "config/ConfigLines.h"
#include "config/Files.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

const char* const viewsFileName = "views.cfg";

namespace
{
const char* const newFileHeader =
    "# Views kept with K in OrvTest, one section each; keys 1 to 9 go to the first nine.\n"
    "# orvtest-check explains every line.\n";

// Bits of `given`: the keys a view needs.
constexpr unsigned positionGiven = 1;
constexpr unsigned directionGiven = 2;

std::string number(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

// A value as the file writes it: floats in nine digits and doubles in
// seventeen, which read back exactly.
template <typename Value>
std::string valueText(const Value& value)
{
    if constexpr (std::is_same_v<Value, Ogre::Vector3>)
        return number(value.x, 9) + " " + number(value.y, 9) + " " + number(value.z, 9);
    else if constexpr (std::is_same_v<Value, double>)
        return number(value, 17);
    else if constexpr (std::is_same_v<Value, bool>)
        return value ? "1" : "0";
    else if constexpr (std::is_same_v<Value, std::string>)
        return value;
    else if constexpr (std::is_same_v<Value, ::Date>)
        return exactIsoDate(value.days);
    else if constexpr (std::is_arithmetic_v<Value>)
        return number(double(value), 9);
    else
        return "";   // no key of a view is of the other kinds
}

// Why the file's text is no text a views file can be, at FILE:LINE; empty when it can.
std::string textFault(const std::string& file, const std::string& text)
{
    int line = 0;
    const std::string problem = textProblem(text, line);
    return problem.empty() ? "" : baseNameOf(file) + ":" + std::to_string(line) + ": " + problem;
}

// The text's lines, as splitConfigLines numbers them, without their newlines.
std::vector<std::string> rawLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}
}

const std::vector<ViewKey>& viewKeys()
{
    using V = SavedView;
    static const std::vector<ViewKey> keys{
        {"Position", true, "", &V::Position},
        {"Direction", true, "", &V::Direction},
        {"Up", false, "0 1 0", &V::Up},
        {"Focus", false, "", &V::Focus},
        {"Follow", false, "0", &V::Follow},
        {"Offset", false, "0 0 0", &V::Offset},
        {"Rate", false, "1", &V::Rate},
        {"Paused", false, "0", &V::Paused},
        {"Date", false, "", &V::Date},
        {"Speed", false, "21600", &V::Speed},
        {"OrbitLines", false, "0", &V::OrbitLines},
        {"Names", false, "0", &V::Names},
        {"Statistics", false, "1", &V::Statistics},
    };
    return keys;
}

const ViewKey* findViewKey(const std::string& name)
{
    for (const ViewKey& key : viewKeys())
        if (name == key.name)
            return &key;
    return nullptr;
}

Ogre::Quaternion viewOrientation(const SavedView& view)
{
    const Ogre::Vector3 back = -view.Direction.normalisedCopy();
    Ogre::Vector3 right = view.Up.crossProduct(back);
    for (const Ogre::Vector3& up : {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X})
        if (right.squaredLength() < 1e-12f)
            right = up.crossProduct(back);
    right.normalise();
    return Ogre::Quaternion(right, back.crossProduct(right), back);
}

void setViewOrientation(SavedView& view, const Ogre::Quaternion& orientation)
{
    view.Direction = orientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
    view.Up = orientation * Ogre::Vector3::UNIT_Y;
}

std::vector<SavedView> readViews(const std::string& text)
{
    std::vector<SavedView> views;
    std::vector<unsigned> given;
    std::unordered_map<std::string, std::size_t> indexOf;
    long current = -1;
    for (const ConfigLine& line : splitConfigLines(text))
    {
        if (line.kind == ConfigLine::SectionHeader)
        {
            current = -1;
            if (line.section.empty())
                continue;
            const auto placed = indexOf.try_emplace(line.section, views.size());
            if (placed.second)
            {
                views.emplace_back();
                views.back().name = line.section;
                views.back().line = line.number;
                given.push_back(0);
            }
            current = long(placed.first->second);
        }
        else if (line.kind == ConfigLine::Setting && current >= 0)
        {
            const ViewKey* key = findViewKey(line.key);
            SavedView& view = views[std::size_t(current)];
            if (!key || !readKeyValue(view, key->field, line.value))
                continue;
            const std::string name = key->name;
            given[std::size_t(current)] |= name == "Position" ? positionGiven : name == "Direction" ? directionGiven : 0;
            view.dated = view.dated || name == "Date";
        }
    }
    std::vector<SavedView> complete;
    for (std::size_t i = 0; i < views.size(); ++i)
        if (given[i] == (positionGiven | directionGiven) && views[i].Direction.squaredLength() > 0.0f &&
            std::isfinite(views[i].Direction.squaredLength()))
            complete.push_back(views[i]);
    return complete;
}

bool loadViews(const std::string& file, std::vector<SavedView>& views, std::string& why)
{
    views.clear();
    if (!statusOf(file).exists)
        return true;
    std::string text;
    if (!readWholeFile(file, text, why))
        return false;
    why = textFault(file, text);
    if (!why.empty())
        return false;
    views = readViews(text);
    return true;
}

std::string viewSection(const SavedView& view)
{
    std::string text = "[" + view.name + "]\n";
    for (const ViewKey& key : viewKeys())
    {
        const std::string name = key.name;
        // Only what the view has: no body, no offset from one, no date.
        if ((name == "Focus" && view.Focus.empty()) || ((name == "Follow" || name == "Offset") && !view.Follow) ||
            (name == "Date" && !view.dated))
            continue;
        text += name + "=" + std::visit([&](auto member) { return valueText(view.*member); }, key.field) + "\n";
    }
    return text;
}

KeepResult keepView(const std::string& file, const SavedView& view, bool replace, std::string& why)
{
    std::string text;
    if (statusOf(file).exists)
    {
        if (!readWholeFile(file, text, why))
            return KeepResult::Failed;
        why = textFault(file, text);
        if (!why.empty())
        {
            why += "; it is left as it is";
            return KeepResult::Failed;
        }
    }
    const std::vector<std::string> lines = rawLines(text);
    // Each part of the section of that name runs from its section line to its
    // last setting: comments after it belong to what follows.
    std::vector<bool> inSection(lines.size(), false);
    long first = -1;
    long unmarked = -1;   // the first line of the part not yet marked; -1 outside the section
    for (const ConfigLine& line : splitConfigLines(text))
    {
        const long at = line.number - 1;
        if (line.kind == ConfigLine::SectionHeader)
        {
            unmarked = line.section == view.name ? at : -1;
            if (unmarked >= 0 && first < 0)
                first = at;
        }
        if (unmarked < 0 || line.kind == ConfigLine::Blank || line.kind == ConfigLine::Comment)
            continue;
        for (; unmarked <= at; ++unmarked)
            inSection[std::size_t(unmarked)] = true;
    }
    if (first >= 0 && !replace)
        return KeepResult::NameTaken;

    std::string kept;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (long(i) == first)
            kept += viewSection(view);
        if (!inSection[i])
            kept += lines[i] + "\n";
    }
    if (first < 0)
        kept = (kept.empty() ? std::string(newFileHeader) : kept) + "\n" + viewSection(view);
    if (!replaceFileContents(file, kept, why))
        return KeepResult::Failed;
    return first >= 0 ? KeepResult::Replaced : KeepResult::Added;
}

const SavedView* findView(const std::vector<SavedView>& views, const std::string& name)
{
    for (const SavedView& view : views)
        if (view.name == name)
            return &view;
    return nullptr;
}
