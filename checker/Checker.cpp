#include "checker/Checker.h"

#include "OrvTestVersion.h"
#include "checker/Checks.h"
#include "config/Places.h"
#include "config/SettingsKeys.h"
#include "config/SystemFile.h"
#include "config/SystemFileKeys.h"
#include "scene/SceneNames.h"
#include "sim/BodyRegistry.h"

#include <OgreException.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>

namespace
{
const char* const usage =
    "usage: orvtest-check [--json] [SYSTEM_FILE]\n"
    "Explains what OrvTest will do with its settings and system files, line by line.\n"
    "\n"
    "  SYSTEM_FILE   check this system file only\n"
    "  --json        print the findings as JSON\n"
    "  --help        print this help and end\n"
    "  --version     print the version and end\n"
    "\n"
    "Without SYSTEM_FILE, checks the settings file the viewer would read from this\n"
    "folder (OrvTest.cfg here, else ~/.config/orvtest/OrvTest.cfg) and the system\n"
    "file it names. Exit status: 0 sound, 1 errors or warnings, 2 unreadable.\n"
    "See orvtest-check(1).\n";

// ---------------------------------------------------------------- JSON output

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
            out += std::string("\\") + char(c);
        else if (c < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
        else if (c < 0x80)
            out += char(c);
        else
        {
            // Pass well-formed UTF-8 through; anything else becomes U+FFFD.
            const size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
            bool valid = length > 0 && i + length <= text.size();
            for (size_t k = 1; valid && k < length; ++k)
                valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (valid)
            {
                out += text.substr(i, length);
                i += length - 1;
            }
            else
                out += "\\ufffd";
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string jsonVector(const float* components, int count)
{
    std::string out = "[";
    for (int i = 0; i < count; ++i)
        out += (i ? ", " : "") + jsonNumber(components[i]);
    return out + "]";
}

std::string jsonOf(const std::string& text)
{
    return jsonString(text);
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

void writeJson(std::ostream& out, bool settingsRead, const std::vector<Problem>& problems)
{
    out << "{\n";
    if (settingsRead)
    {
        std::vector<std::pair<std::string, std::string>> fields;
        for (const SettingsKey& key : settingsKeys())
            fields.emplace_back(key.name, jsonValue(appSettings, key.field));
        out << "  \"settings\": {\n    ";
        writeJsonFields(out, fields, ",\n    ");
        out << "\n  },\n";
    }

    out << "  \"bodies\": [";
    for (size_t i = 0; i < bodyRegistry.size(); ++i)
    {
        const Body& b = bodyRegistry.at(i);
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
    out << (bodyRegistry.empty() ? "],\n" : "\n  ],\n");

    out << "  \"problems\": [";
    for (size_t i = 0; i < problems.size(); ++i)
    {
        const Problem& p = problems[i];
        out << (i ? ",\n" : "\n") << "    {\"file\": " << jsonString(p.file) << ", \"line\": " << p.line
            << ", \"section\": " << jsonString(p.section) << ", \"kind\": " << jsonString(p.kind)
            << ", \"severity\": " << jsonString(p.severityName())
            << ", \"message\": " << jsonString(p.message) << "}";
    }
    out << (problems.empty() ? "]\n" : "\n  ]\n") << "}\n";
}

// ---------------------------------------------------------------- text output

// Bodies keyed by their parent's section; the sun's own satellites under the
// empty name, which no body can have (so a body named "Sun" stays apart).
using Satellites = std::map<std::string, std::vector<const Body*>>;

void writeTree(std::ostream& out, const Satellites& satellites, const std::vector<const Body*>& bodies,
               const std::string& indent, std::set<const Body*>& written)
{
    for (size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& b = *bodies[i];
        const bool last = i + 1 == bodies.size();
        out << indent << (last ? "└─ " : "├─ ") << "[" << b.sectionName << "] " << b.definition.Name << "  " << b.definition.Model
            << ", size " << b.definition.Size << ", orbit " << b.definition.OrbitRadius << ", periods " << b.definition.OrbitPeriod << " / "
            << b.definition.PitchPeriod << " / " << b.definition.YawPeriod << " / " << b.definition.RollPeriod << "\n";
        const auto moons = satellites.find(b.sectionName);
        // Each body once, whatever loops its Parent keys make.
        if (written.insert(&b).second && moons != satellites.end())
            writeTree(out, satellites, moons->second, indent + (last ? "   " : "│  "), written);
    }
}

void writeText(std::ostream& out, const std::string& systemFile, const std::vector<Problem>& problems)
{
    Satellites satellites;
    std::set<std::string> sections;
    for (const auto& body : bodyRegistry)
        sections.insert(body->sectionName);
    std::vector<const Body*> orphans;
    for (const auto& body : bodyRegistry)
    {
        const std::string& parent = body->definition.Parent;
        if (parent == sceneNames::sun)
            satellites[""].push_back(body.get());
        else if (sections.count(parent))
            satellites[parent].push_back(body.get());
        else
            orphans.push_back(body.get());
    }
    out << systemFile << ": " << bodyRegistry.size() << (bodyRegistry.size() == 1 ? " body" : " bodies") << "\n";
    out << "Sun\n";
    std::set<const Body*> written;
    writeTree(out, satellites, satellites[""], "", written);
    if (!orphans.empty())
    {
        out << "(bodies whose Parent is no body)\n";
        writeTree(out, satellites, orphans, "", written);
    }

    size_t errors = 0;
    size_t warnings = 0;
    for (const Problem& p : problems)
    {
        errors += p.isError();
        warnings += p.severity == Problem::Warning;
        out << p.file << ":" << p.line << ": [" << p.section << "] " << p.severityName() << ": "
            << p.message << "\n";
    }
    out << bodyRegistry.size() << (bodyRegistry.size() == 1 ? " body, " : " bodies, ") << errors
        << (errors == 1 ? " error, " : " errors, ") << warnings << (warnings == 1 ? " warning" : " warnings") << "\n";
}

bool isReadableFile(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// Reads a file through `reader`; on failure tells `err` in one line and returns false.
template <typename Reader>
bool readWith(const std::string& path, const char* what, Reader reader, std::ostream& err)
{
    try
    {
        if (!isReadableFile(path))
            throw std::runtime_error("not a readable file");
        reader();
        return true;
    }
    catch (const Ogre::Exception& error)
    {
        err << "orvtest-check: cannot read the " << what << " \"" << path << "\": " << error.getDescription() << "\n";
    }
    catch (const std::exception& error)
    {
        err << "orvtest-check: cannot read the " << what << " \"" << path << "\": " << error.what() << "\n";
    }
    return false;
}
}

int runChecker(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    bool json = false;
    std::string systemFile;
    for (const std::string& argument : arguments)
    {
        if (argument == "--json")
            json = true;
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

    std::vector<Problem> problems;
    const bool settingsRead = systemFile.empty();
    if (settingsRead)
    {
        const Places places = locatePlaces(programFolder(), PlaceChoices());
        const std::string& settingsFile = places.settingsFile;
        std::vector<ConfigLine> lines;
        if (!readWith(settingsFile, "settings file", [&] {
                loadSettings(settingsFile);
                lines = readConfigLines(settingsFile);
            }, err))
            return 2;
        problems = checkSettingsLines(settingsFile, lines);
        systemFile = places.find(appSettings.StaticSystem);
    }

    std::vector<ConfigLine> lines;
    if (!readWith(systemFile, "system file", [&] {
            loadSystemFile(systemFile);
            lines = readConfigLines(systemFile);
        }, err))
        return 2;
    const std::vector<Problem> systemProblems = checkSystemLines(systemFile, lines, bodyRegistry);
    problems.insert(problems.end(), systemProblems.begin(), systemProblems.end());

    if (json)
        writeJson(out, settingsRead, problems);
    else
        writeText(out, systemFile, problems);
    bodyRegistry.clear();
    for (const Problem& p : problems)
        if (p.severity != Problem::Note)
            return 1;
    return 0;
}
