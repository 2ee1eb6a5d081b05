#include "config/Views.h"

#include "config/ConfigFileReading.h"
#include "config/ConfigLines.h"
#include "config/Files.h"
#include "config/ViewsJudge.h"
#include "sim/WorldLimits.h"
#include "sky/Clock.h"
#include "sky/Vector.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

const char* const viewsFileName = "views.cfg";

namespace
{
const char* const newFileHeader =
    "# Views kept with K in OrvTest, one section each; keys 1 to 9 go to the first nine.\n"
    "# orvtest-check explains every line.\n";

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
    else if constexpr (std::is_same_v<Value, LineText>)
        return value.text;
    else if constexpr (std::is_same_v<Value, ::Date>)
        return exactIsoDate(value.days);
    else if constexpr (std::is_arithmetic_v<Value>)
        return number(double(value), 9);
    else
        return "";   // no key of a view is of the other kinds
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
    using L = ValueLimits;
    const double world = worldExtent;
    const L withinTheWorld{-world, true, world, true, L::Held, "the camera has no place beyond it"};
    const double fastestRate = frameRateLadder().back();
    const double fastestClock = clockSpeedLadder().back();
    static const std::vector<ViewKey> keys{
        {"Position", true, "", &V::Position, withinTheWorld},
        {"Direction", true, "", &V::Direction},
        {"Up", false, "0 1 0", &V::Up},
        {"Focus", false, "", &V::Focus},
        {"CatalogueFocus", false, "", &V::CatalogueFocus},
        {"Follow", false, "0", &V::Follow},
        {"Offset", false, "0 0 0", &V::Offset, withinTheWorld},
        {"Rate", false, "1", &V::Rate,
         L{-fastestRate, true, fastestRate, true, L::Held, "the time keys go no faster than 1024 either way"}},
        {"Paused", false, "0", &V::Paused},
        {"Date", false, "", &V::Date},
        // Without a Speed, the clock's start speed.
        {"Speed", false, "", &V::Speed,
         L{-fastestClock, true, fastestClock, true, L::Held, "the clock runs at most a year a second, either way"}},
        {"OrbitLines", false, "0", &V::OrbitLines},
        {"Names", false, "0", &V::Names},
        {"Statistics", false, "1", &V::Statistics},
        {"FieldOfView", false, "45", &V::FieldOfView,
         L{narrowestFieldOfView, true, widestFieldOfView, true, L::Held, "the camera sees from 1 to 120 degrees"}},
        {"Constellations", false, "0", &V::Constellations},
        {"MilkyWay", false, "1", &V::MilkyWay},
        {"TrueScale", false, "0", &V::TrueScale},
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

namespace
{
Vector3d doubled(const Ogre::Vector3& v)
{
    return {v.x, v.y, v.z};
}

// The right-hand side of a camera looking back along `back` (a unit vector)
// with `up` above it; zero where they give none. In double precision: the
// components of a file's vectors may be as large as floats go.
Vector3d rightOf(const Vector3d& up, const Vector3d& back)
{
    const Vector3d right = up.normalised().cross(back);
    return right.length() > 1e-6 ? right.normalised() : Vector3d{};
}
}

bool upAlongDirection(const SavedView& view)
{
    return rightOf(doubled(view.Up), -doubled(view.Direction).normalised()) == Vector3d{};
}

Ogre::Quaternion viewOrientation(const SavedView& view)
{
    const Vector3d back = -doubled(view.Direction).normalised();
    Vector3d right = rightOf(doubled(view.Up), back);
    for (const Vector3d& up : {Vector3d{0.0, 1.0, 0.0}, Vector3d{1.0, 0.0, 0.0}})
        if (right == Vector3d{})
            right = rightOf(up, back);
    const Vector3d top = back.cross(right);
    const Quaterniond turn = Quaterniond::fromAxes(right, top, back);
    return Ogre::Quaternion(float(turn.w), float(turn.x), float(turn.y), float(turn.z));
}

void setViewOrientation(SavedView& view, const Ogre::Quaternion& orientation)
{
    view.Direction = orientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
    view.Up = orientation * Ogre::Vector3::UNIT_Y;
}

std::vector<SavedView> readViews(const std::string& text)
{
    return judgeViewsText("", text, nullptr).views;
}

Result<std::vector<SavedView>> loadViews(const std::string& file)
{
    if (!statusOf(file).exists)
        return std::vector<SavedView>();
    const Result<std::string> text = readWholeFile(file);
    if (!text)
        return Failure{text.why()};
    if (const Result<> checked = checkConfigText(baseNameOf(file), *text); !checked)
        return Failure{checked.why()};
    return readViews(*text);
}

std::string viewSection(const SavedView& view)
{
    std::string text = "[" + view.name + "]\n";
    for (const ViewKey& key : viewKeys())
    {
        const std::string name = key.name;
        // Only what the view has: no body, no offset from one, no date.
        if ((name == "Focus" && view.Focus.empty()) || (name == "CatalogueFocus" && view.CatalogueFocus.text.empty()) || ((name == "Follow" || name == "Offset") && !view.Follow) ||
            (name == "Date" && !view.dated) || (name == "Speed" && std::isnan(view.Speed)) ||
            (name == "TrueScale" && !view.TrueScale))
            continue;
        // At true scale the places are kilometres, in every digit a double holds.
        if (view.TrueScale && (name == "Position" || name == "Offset"))
        {
            const Vector3d& km = name == "Position" ? view.PositionKm : view.OffsetKm;
            text += name + "=" + number(km.x, 17) + " " + number(km.y, 17) + " " + number(km.z, 17) + "\n";
            continue;
        }
        text += name + "=" + std::visit([&](auto member) { return valueText(view.*member); }, key.field) + "\n";
    }
    return text;
}

Result<Kept> keepView(const std::string& file, const SavedView& view, bool replace)
{
    std::string text;
    if (statusOf(file).exists)
    {
        const Result<std::string> read = readWholeFile(file);
        if (!read)
            return Failure{read.why()};
        if (const Result<> checked = checkConfigText(baseNameOf(file), *read); !checked)
            return Failure{checked.why() + "; it is left as it is"};
        text = *read;
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
        return Kept::NameTaken;

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
    if (const Result<> replaced = replaceFileContents(file, kept); !replaced)
        return Failure{replaced.why()};
    return first >= 0 ? Kept::Replaced : Kept::Added;
}

const SavedView* findView(const std::vector<SavedView>& views, const std::string& name)
{
    for (const SavedView& view : views)
        if (view.name == name)
            return &view;
    return nullptr;
}
