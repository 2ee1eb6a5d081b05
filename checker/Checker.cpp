#include "checker/Checker.h"

#include "OrvTestVersion.h"
#include "catalogue/CatalogueReading.h"
#include "checker/CatalogueReport.h"
#include "checker/JsonText.h"
#include "config/ConfigFileReading.h"
#include "config/Dates.h"
#include "config/SettingsJudge.h"
#include "config/ViewsJudge.h"
#include "config/SystemJudge.h"
#include "config/Files.h"
#include "config/Places.h"
#include "config/SettingsKeys.h"
#include "config/SystemFileKeys.h"
#include "sim/BodyRegistry.h"
#include "sim/TrueScale.h"
#include "sky/Theories.h"
#include "sky/TimeScales.h"
#include "sim/SceneNames.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <set>
#include <unordered_map>

namespace
{
const char* const usage =
    "usage: orvtest-check [--json] [--at DATE] [--true-scale] [--catalogue FILE]... [SYSTEM_FILE]\n"
    "Explains what OrvTest will do with its settings and system files, line by line.\n"
    "\n"
    "  SYSTEM_FILE       check this system file only\n"
    "  --catalogue FILE  check a catalogue of asteroids or comets too (MPCORB,\n"
    "                    MPC comets or JPL SBDB JSON, gzipped or not); repeatable\n"
    "  --json            print the findings as JSON\n"
    "  --at DATE         say where each body stands at DATE, UTC (2030-01-01,\n"
    "                    2030-01-01T12:00 or now), instead of the tree of bodies\n"
    "  --true-scale      judge the bodies as true scale shows them: name each one it\n"
    "                    leaves out; with --at, each body's real distance too\n"
    "  --help            print this help and end\n"
    "  --version         print the version and end\n"
    "\n"
    "Without SYSTEM_FILE, checks the settings file the viewer would read from this\n"
    "folder (OrvTest.cfg here, else ~/.config/orvtest/OrvTest.cfg), the system\n"
    "file it names and the views kept beside it (views.cfg). Exit status: 0 sound,\n"
    "1 errors or warnings, 2 unreadable (a catalogue of no known format too).\n"
    "See orvtest-check(1).\n";

// Where a body stands at a date, relative to its parent: J2000 ecliptic
// longitude and latitude (degrees) and distance (world units), its distance
// from the Sun in AU where the real size of its orbit is known, and its
// prime meridian's angle (degrees), for the parts that follow the clock.
struct Whereabouts
{
    bool orbitDated = false;
    Vector3d spherical;       // longitude, latitude, distance
    std::optional<double> distanceAU;
    std::optional<double> distanceKm;   // at true scale, from the parent
    bool spinDated = false;
    double meridian = 0.0;
};

// At a UTC date, as the clock shows it; at true scale the real distance
// from the parent, in km and AU, where the body has real values.
Whereabouts whereabouts(const Body& body, double utcDays, bool trueScale)
{
    const double days = dynamicalFromUtc(utcDays);
    Whereabouts where;
    if (body.orbitDated())
    {
        where.orbitDated = true;
        where.spherical = spherical(datedPlace(body, days));
        if (trueScale)
        {
            if (const std::optional<Vector3d> real = realPlaceFromParentKm(body, days))
            {
                where.distanceKm = real->length();
                where.distanceAU = *where.distanceKm / kilometresPerAU;
            }
        }
        else if (const std::optional<Vector3d> real = realPlaceAU(body, days))
            where.distanceAU = real->length();
    }
    if (body.datedSpin)
    {
        where.spinDated = true;
        where.meridian = meridianOf(datedOrientation(body, days));
    }
    return where;
}

// ---------------------------------------------------------------- JSON output

std::string jsonVector(const float* components, int count)
{
    std::string out = "[";
    for (int i = 0; i < count; ++i)
        out += (i ? ", " : "") + jsonNumber(components[i]);
    return out + "]";
}

std::string jsonOf(const DateText& date)
{
    return jsonString(date.text);
}
std::string jsonOf(const LineText& line)
{
    return jsonString(line.text);
}
std::string jsonOf(const std::string& text)
{
    return jsonString(text);
}
std::string jsonOf(const std::vector<std::string>& names)
{
    std::string out = "[";
    for (std::size_t i = 0; i < names.size(); ++i)
        out += (i ? ", " : "") + jsonString(names[i]);
    return out + "]";
}
std::string jsonOf(bool flag)
{
    return flag ? "true" : "false";
}
std::string jsonOf(float number)
{
    return jsonNumber(number);
}
std::string jsonOf(int number)
{
    return std::to_string(number);
}
std::string jsonOf(double number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", number);
    return std::isfinite(number) ? text : "null";
}
std::string jsonOf(const Date& date)
{
    return jsonString(isoDate(date.days));
}
// An epoch is TT, and says so.
std::string jsonOf(const DynamicalDate& date)
{
    return jsonString(isoDate(date.days).substr(0, 19) + " TT");
}
std::string jsonOf(const Ogre::Vector3& vector)
{
    return jsonVector(vector.ptr(), 3);
}
std::string jsonOf(const Ogre::ColourValue& colour)
{
    return jsonVector(colour.ptr(), 4);
}
std::string jsonOf(Ogre::ShadowTechnique technique)
{
    return jsonString(shadowTechniqueName(technique));
}

template <typename Record>
std::string jsonValue(const Record& record, const KeyField<Record>& field)
{
    return std::visit([&](auto member) { return jsonOf(record.*member); }, field);
}

// "key": value pairs, separated as `separator` says.
void writeJsonFields(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& fields,
                     const char* separator)
{
    for (size_t i = 0; i < fields.size(); ++i)
        out << (i ? separator : "") << jsonString(fields[i].first) << ": " << fields[i].second;
}

// "null" for a part that does not follow the clock.
std::string jsonIf(bool given, double number)
{
    return given ? jsonNumber(number) : "null";
}

// A catalogue read, by the name it was given.
struct CatalogueRead
{
    std::string file;
    Catalogue catalogue;
};

// `at`: UTC days to say where the bodies stand, or null.
void writeJson(std::ostream& out, const AppSettings* settings, const BodyRegistry& bodies,
               const std::vector<Problem>& problems, const std::vector<CatalogueRead>& catalogues, const double* at,
               bool trueScale)
{
    out << "{\n";
    if (at)
    {
        out << "  \"at\": " << jsonString(isoDate(*at)) << ",\n  \"positions\": [";
        for (std::size_t i = 0; i < bodies.size(); ++i)
        {
            const Body& b = bodies.at(i);
            const Whereabouts where = whereabouts(b, *at, trueScale);
            out << (i ? ",\n" : "\n") << "    {";
            std::vector<std::pair<std::string, std::string>> fields{
                {"section", jsonString(b.sectionName)},
                {"Name", jsonString(b.definition.Name)},
                {"Parent", jsonString(b.definition.Parent)},
                {"longitude", jsonIf(where.orbitDated, where.spherical.x)},
                {"latitude", jsonIf(where.orbitDated, where.spherical.y)},
                {"distance", jsonIf(where.orbitDated, where.spherical.z)}};
            // Kilometres to the metre at Neptune's distance: more than nine digits.
            if (trueScale)
                fields.emplace_back("distanceKm", where.distanceKm ? jsonOf(*where.distanceKm) : "null");
            fields.emplace_back("distanceAU", jsonIf(where.distanceAU.has_value(), where.distanceAU.value_or(0.0)));
            fields.emplace_back("meridian", jsonIf(where.spinDated, where.meridian));
            writeJsonFields(out, fields, ", ");
            out << "}";
        }
        out << (bodies.empty() ? "],\n" : "\n  ],\n");
    }
    if (settings)
    {
        std::vector<std::pair<std::string, std::string>> fields;
        for (const SettingsKey& key : settingsKeys())
            fields.emplace_back(key.name, jsonValue(*settings, key.field));
        out << "  \"settings\": {\n    ";
        writeJsonFields(out, fields, ",\n    ");
        out << "\n  },\n";
    }

    out << "  \"bodies\": [";
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& b = bodies.at(i);
        std::vector<std::pair<std::string, std::string>> fields{
            {"section", jsonString(b.sectionName)},
            {"parentNode", jsonString(sceneNames::positionNode(b.definition.Parent))}};
        for (const BodyKey& key : bodyKeys())
            fields.emplace_back(key.name, jsonValue(b.definition, key.field));
        for (const auto& derived : {std::make_pair("orbitStep", b.orbitStep), std::make_pair("pitchStep", b.pitchStep),
                                    std::make_pair("yawStep", b.yawStep), std::make_pair("rollStep", b.rollStep),
                                    std::make_pair("nearDistanceSquared", b.nearDistanceSquared)})
            fields.emplace_back(derived.first, jsonNumber(derived.second));
        out << (i ? ",\n" : "\n") << "    {";
        writeJsonFields(out, fields, ", ");
        out << "}";
    }
    out << (bodies.empty() ? "],\n" : "\n  ],\n");

    out << "  \"problems\": [";
    for (std::size_t i = 0; i < problems.size(); ++i)
    {
        const Problem& p = problems[i];
        out << (i ? ",\n" : "\n") << "    {\"file\": " << jsonString(p.file) << ", \"line\": " << p.line
            << ", \"section\": " << jsonString(p.section) << ", \"kind\": " << jsonString(p.kind)
            << ", \"severity\": " << jsonString(p.severityName())
            << ", \"message\": " << jsonString(p.message) << "}";
    }
    out << (problems.empty() ? "]" : "\n  ]");
    if (!catalogues.empty())
    {
        out << ",\n  \"catalogues\": [";
        for (std::size_t i = 0; i < catalogues.size(); ++i)
        {
            out << (i ? ",\n" : "\n");
            writeCatalogueJson(out, catalogues[i].file, catalogues[i].catalogue, at);
        }
        out << "\n  ]";
    }
    out << "\n}\n";
}

// A file that cannot be read, for a reader of the JSON.
void writeJsonError(std::ostream& out, const std::string& file, const std::string& why)
{
    out << "{\n  \"error\": {\"file\": " << jsonString(file) << ", \"message\": " << jsonString(why) << "}\n}\n";
}

// ---------------------------------------------------------------- text output

// Levels of the tree drawn as indentation; deeper bodies say their level
// instead, so that a chain of thousands of moons prints in lines of one width.
constexpr std::size_t drawnLevels = 16;

// What moves the body: its orbit's days and its spin's hours where it
// follows the clock (and the theory that places it), its frame-locked
// periods where it does not.
void writeBody(std::ostream& out, const Body& b)
{
    const BodyDefinition& d = b.definition;
    out << "[" << b.sectionName << "] " << d.Name << "  " << d.Model << ", size " << d.Size << ", orbit "
        << d.OrbitRadius;
    if (!b.followsClock())
    {
        out << ", periods " << d.OrbitPeriod << " / " << d.PitchPeriod << " / " << d.YawPeriod << " / "
            << d.RollPeriod << "\n";
        return;
    }
    if (b.keplerOrbit)
        out << ", round in " << d.OrbitDays << " days" << (b.theory ? std::string(" by ") + b.theory->name : "");
    else if (b.conicOrbit)
        out << ", perihelion " << d.PerihelionDistance << " (" << d.PerihelionAU << " AU) on "
            << isoDate(d.PerihelionDate.days).substr(0, 16) << " TT, e " << d.Eccentricity;
    else
        out << ", orbit period " << d.OrbitPeriod;
    if (b.datedSpin)
        out << ", turns in " << d.RotationHours << " hours";
    else
        out << ", spin periods " << d.PitchPeriod << " / " << d.YawPeriod << " / " << d.RollPeriod;
    out << "\n";
}

// The bodies as a tree under `roots`, each body once whatever loops their
// Parent keys make. Walked with a stack of its own: a chain of moons may be
// deeper than the program's stack.
void writeTree(std::ostream& out, const BodyRegistry& bodies, const std::vector<std::size_t>& roots,
               const std::vector<std::vector<std::size_t>>& moonsOf, std::vector<bool>& written)
{
    struct Level
    {
        const std::vector<std::size_t>* siblings;
        std::size_t next;
        std::size_t indentBefore;   // the indent's length when the level began
    };
    std::vector<Level> stack{{&roots, 0, 0}};
    std::string indent;
    while (!stack.empty())
    {
        Level& level = stack.back();
        if (level.next == level.siblings->size())
        {
            indent.resize(level.indentBefore);
            stack.pop_back();
            continue;
        }
        const std::size_t index = (*level.siblings)[level.next++];
        const bool last = level.next == level.siblings->size();
        const std::size_t depth = stack.size();
        out << indent;
        if (depth > drawnLevels)
            out << "(level " << depth << ") ";
        out << (last ? "└─ " : "├─ ");
        writeBody(out, bodies.at(index));
        const bool descend = !written[index] && !moonsOf[index].empty();
        written[index] = true;
        if (!descend)
            continue;
        const std::size_t before = indent.size();
        if (depth <= drawnLevels)
            indent += last ? "   " : "│  ";
        stack.push_back({&moonsOf[index], 0, before});
    }
}

void writeProblems(std::ostream& out, const BodyRegistry& bodies, const std::vector<Problem>& problems)
{
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const Problem& p : problems)
    {
        errors += p.isError();
        warnings += p.severity == Problem::Warning;
        out << p.file << ":" << p.line << ": [" << p.section << "] " << p.severityName() << ": " << p.message << "\n";
    }
    out << bodies.size() << (bodies.size() == 1 ? " body, " : " bodies, ") << errors
        << (errors == 1 ? " error, " : " errors, ") << warnings << (warnings == 1 ? " warning" : " warnings") << "\n";
}

// Where each body stands at a date, as a table; at true scale with the
// real distance from the parent in km.
void writePositions(std::ostream& out, const std::string& systemFile, const BodyRegistry& bodies, double days,
                    bool trueScale)
{
    out << systemFile << " at " << dateText(days) << ": each body from its parent, J2000 ecliptic\n";
    char row[256];
    if (trueScale)
        std::snprintf(row, sizeof row, "%-24s %-16s %10s %9s %14s %16s %11s %9s\n", "body", "parent", "longitude",
                      "latitude", "distance", "km", "AU", "meridian");
    else
        std::snprintf(row, sizeof row, "%-24s %-16s %10s %9s %14s %11s %9s\n", "body", "parent", "longitude",
                      "latitude", "distance", "AU", "meridian");
    out << row;
    for (const auto& owned : bodies)
    {
        const Body& b = *owned;
        const Whereabouts where = whereabouts(b, days, trueScale);
        const auto shown = [](std::string text) { return text.size() > 24 ? text.substr(0, 23) + "~" : text; };
        std::string orbit = "   (by frames, not by the clock)";
        if (where.orbitDated)
        {
            // The distance in AU, from the Sun, where the real size of the orbit is known.
            char au[16] = "";
            if (where.distanceAU)
                std::snprintf(au, sizeof au, "%11.6f", *where.distanceAU);
            char km[24] = "";
            if (where.distanceKm)
                std::snprintf(km, sizeof km, "%16.1f", *where.distanceKm);
            char numbers[96];
            if (trueScale)
                std::snprintf(numbers, sizeof numbers, "%9.3f° %8.3f° %14.6g %16s %11s", where.spherical.x,
                              where.spherical.y, where.spherical.z, km, au);
            else
                std::snprintf(numbers, sizeof numbers, "%9.3f° %8.3f° %14.6g %11s", where.spherical.x,
                              where.spherical.y, where.spherical.z, au);
            orbit = numbers;
        }
        char meridian[32] = "";
        if (where.spinDated)
            std::snprintf(meridian, sizeof meridian, " %8.3f°", where.meridian);
        std::snprintf(row, sizeof row, "%-24s %-16s %s%s\n", shown(b.definition.Name).c_str(),
                      shown(b.definition.Parent).c_str(), orbit.c_str(), meridian);
        out << row;
    }
}

void writeText(std::ostream& out, const std::string& systemFile, const BodyRegistry& bodies,
               const std::vector<Problem>& problems)
{
    // Moons by their parent's index; the sun's own satellites and the bodies
    // whose Parent names no body apart.
    std::vector<std::vector<std::size_t>> moonsOf(bodies.size());
    std::vector<std::size_t> planets;
    std::vector<std::size_t> orphans;
    std::unordered_map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        indexOf.emplace(bodies.at(i).sectionName, i);
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const std::string& parent = bodies.at(i).definition.Parent;
        const auto found = indexOf.find(parent);
        if (parent == sceneNames::sun)
            planets.push_back(i);
        else if (found != indexOf.end())
            moonsOf[found->second].push_back(i);
        else
            orphans.push_back(i);
    }
    out << systemFile << ": " << bodies.size() << (bodies.size() == 1 ? " body" : " bodies") << "\n";
    out << "Sun\n";
    std::vector<bool> written(bodies.size(), false);
    writeTree(out, bodies, planets, moonsOf, written);
    if (!orphans.empty())
    {
        out << "(bodies whose Parent is no body)\n";
        writeTree(out, bodies, orphans, moonsOf, written);
    }
    writeProblems(out, bodies, problems);
}

// The meshes the viewer would find by a Model's name: the spheres it makes,
// and the mesh files in resources.cfg's locations (as the engine looks them
// up: by exact file name, directly in the folder). Archives of other kinds
// than folders cannot be looked into here: a mesh not found may be in one.
class MeshCatalogue
{
public:
    explicit MeshCatalogue(const std::string& resourcesFile)
    {
        for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
            names.insert(sphere.name);
        const Result<std::string> text = readWholeFile(resourcesFile);
        if (!text)
            return;
        const std::string folder = folderOf(resourcesFile);
        for (const ConfigLine& line : splitConfigLines(*text))
        {
            if (line.kind != ConfigLine::Setting)
                continue;
            if (line.key != "FileSystem")
            {
                otherArchives = true;
                continue;
            }
            const std::string location =
                line.value.empty() || line.value.front() == '/' ? line.value : folder + line.value;
            for (const std::string& name : filesIn(location))
                names.insert(name);
        }
    }

    bool holds(const std::string& mesh) const { return names.count(mesh) > 0; }
    // Whether resources.cfg names archives this cannot look into.
    bool hasOtherArchives() const { return otherArchives; }

private:
    std::set<std::string> names;
    bool otherArchives = false;
};

// Reads and judges one file; false, after saying why on `err` (and as JSON
// on `out`), when it cannot be read.
template <typename Judge>
bool judgeFile(const std::string& path, const char* what, bool json, Judge judge, std::ostream& out,
               std::ostream& err)
{
    const Result<std::string> text = readConfigFile(path);
    if (!text)
    {
        err << "orvtest-check: cannot read the " << what << " \"" << path << "\": " << text.why() << "\n";
        if (json)
            writeJsonError(out, path, text.why());
        return false;
    }
    judge(*text);
    return true;
}
}

int runChecker(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    bool json = false;
    bool trueScale = false;
    std::string systemFile;
    std::vector<std::string> catalogueFiles;
    bool dated = false;
    double at = 0.0;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        // The value of an option given as "--name VALUE" or "--name=VALUE";
        // false, once said why, when it has none.
        std::string value;
        const auto valueOf = [&](const std::string& name, const char* what) {
            if (argument.rfind(name + "=", 0) == 0)
                value = argument.substr(name.size() + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
            {
                err << "orvtest-check: " << name << " needs a " << what << "\n" << usage;
                return false;
            }
            return true;
        };
        const auto named = [&](const std::string& name) {
            return argument == name || argument.rfind(name + "=", 0) == 0;
        };
        if (argument == "--json")
            json = true;
        else if (argument == "--true-scale")
            trueScale = true;
        else if (named("--at"))
        {
            if (!valueOf("--at", "DATE"))
                return 2;
            const Result<double> read = parseDate(value);
            if (!read)
            {
                err << "orvtest-check: --at " << value << ": " << read.why() << "\n";
                return 2;
            }
            at = *read;
            dated = true;
        }
        else if (named("--catalogue"))
        {
            if (!valueOf("--catalogue", "FILE"))
                return 2;
            catalogueFiles.push_back(value);
        }
        else if (argument == "--help" || argument == "-h")
        {
            out << usage;
            return 0;
        }
        else if (argument == "--version")
        {
            out << "orvtest-check " << orvtestVersion << "\n";
            return 0;
        }
        else if (!argument.empty() && argument[0] == '-' && argument != "-")
        {
            err << "orvtest-check: unknown option " << argument << "\n" << usage;
            return 2;
        }
        else if (systemFile.empty())
            systemFile = argument;
        else
        {
            err << usage;
            return 2;
        }
    }

    const Places places = locatePlaces(programFolder(), PlaceChoices());
    std::vector<Problem> problems;
    SettingsVerdict settings;
    const bool settingsRead = systemFile.empty();
    if (settingsRead)
    {
        if (!judgeFile(places.settingsFile, "settings file", json, [&](const std::string& text) {
                settings = judgeSettingsText(places.settingsFile, text, AppSettings());
            }, out, err))
            return 2;
        problems = settings.problems;
        systemFile = places.find(settings.read.StaticSystem);
    }

    const MeshCatalogue meshes(places.resourcesFile);
    SystemVerdict system;
    if (!judgeFile(systemFile, "system file", json, [&](const std::string& text) {
            system = judgeSystemText(systemFile, text, [&](const std::string& mesh) { return meshes.holds(mesh); },
                                     trueScale);
        }, out, err))
        return 2;
    for (Problem& p : system.problems)
    {
        // A mesh may be in an archive not looked into: said, not claimed.
        if (p.kind == "unknown-model" && meshes.hasOtherArchives())
        {
            p.severity = Problem::Warning;
            p.message += " (unless it is in one of resources.cfg's archives, which orvtest-check cannot look into)";
        }
        problems.push_back(p);
    }
    // The views kept beside the settings, against the system they are recalled in.
    if (settingsRead && statusOf(places.viewsFile).exists &&
        !judgeFile(places.viewsFile, "views file", json, [&](const std::string& text) {
            const std::vector<Problem> found = judgeViewsText(places.viewsFile, text, system.bodies.get()).problems;
            problems.insert(problems.end(), found.begin(), found.end());
        }, out, err))
        return 2;

    // Every catalogue is read before anything is written: one that cannot be
    // read is said alone, as a file that cannot be read always is.
    std::vector<CatalogueRead> catalogues;
    catalogues.reserve(catalogueFiles.size());
    for (const std::string& file : catalogueFiles)
    {
        Result<Catalogue> read = readCatalogueFile(file);
        if (!read)
        {
            err << "orvtest-check: cannot read the catalogue: " << read.why() << "\n";
            if (json)
                writeJsonError(out, file, read.why());
            return 2;
        }
        catalogues.push_back({file, std::move(read.value())});
    }

    if (json)
        writeJson(out, settingsRead ? &settings.read : nullptr, *system.bodies, problems, catalogues,
                  dated ? &at : nullptr, trueScale);
    else if (dated)
    {
        writePositions(out, systemFile, *system.bodies, at, trueScale);
        writeProblems(out, *system.bodies, problems);
        for (const CatalogueRead& read : catalogues)
            writeCataloguePositions(out, read.file, read.catalogue, at);
    }
    else
    {
        writeText(out, systemFile, *system.bodies, problems);
        for (const CatalogueRead& read : catalogues)
            writeCatalogueText(out, read.file, read.catalogue);
    }
    for (const CatalogueRead& read : catalogues)
        if (problemCount(read.catalogue) > 0)
            return 1;
    for (const Problem& p : problems)
        if (p.severity != Problem::Note)
            return 1;
    return 0;
}
