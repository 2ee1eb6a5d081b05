#include "checker/CatalogueReport.h"

#include "checker/JsonText.h"
#include "config/Dates.h"
#include "sky/Frames.h"
#include "sky/TimeScales.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

namespace
{
// Bodies placed and written at a time: their text is one write.
constexpr std::size_t share = 4096;

// Each body's heliocentric longitude, latitude and distance, a share at a
// time, handed to `write` with its index.
template <typename Write>
void forEachPlace(const SmallBodies& bodies, double utcDays, Write write)
{
    // Elements are dated in dynamical time; the date asked is UTC.
    const double days = dynamicalFromUtc(utcDays);
    std::vector<Vector3d> places(std::min(share, bodies.size()));
    for (std::size_t first = 0; first < bodies.size(); first += share)
    {
        const std::size_t count = std::min(share, bodies.size() - first);
        bodies.positionsAt(days, first, count, places.data());
        for (std::size_t i = 0; i < count; ++i)
            write(first + i, spherical(places[i]));
    }
}

void writeSummary(std::ostream& out, const std::string& file, const Catalogue& catalogue)
{
    for (const CatalogueProblem& p : catalogue.problems)
        out << p.file << ":" << p.line << ": warning: " << p.message << "\n";
    const std::size_t bodies = catalogue.bodies.size(), warnings = problemCount(catalogue);
    out << file << ": " << bodies << (bodies == 1 ? " body, " : " bodies, ") << warnings
        << (warnings == 1 ? " warning" : " warnings");
    if (catalogue.problemsNotKept > 0)
        out << " (" << catalogue.problemsNotKept << " not listed)";
    out << "\n";
}
}

std::size_t problemCount(const Catalogue& catalogue)
{
    return catalogue.problems.size() + catalogue.problemsNotKept;
}

void writeCatalogueText(std::ostream& out, const std::string& file, const Catalogue& catalogue)
{
    const std::size_t bodies = catalogue.bodies.size();
    out << file << ": " << formatName(catalogue.format) << ", " << bodies << (bodies == 1 ? " body\n" : " bodies\n");
    writeSummary(out, file, catalogue);
}

void writeCataloguePositions(std::ostream& out, const std::string& file, const Catalogue& catalogue, double utcDays)
{
    out << file << " (" << formatName(catalogue.format) << ") at " << dateText(utcDays)
        << ": each body from the Sun, J2000 ecliptic\n";
    char row[160];
    std::snprintf(row, sizeof row, "%-32s %10s %9s %14s\n", "body", "longitude", "latitude", "distance AU");
    out << row;
    std::string text;
    forEachPlace(catalogue.bodies, utcDays, [&](std::size_t index, const Vector3d& place) {
        std::string name(catalogue.bodies.name(index));
        if (name.size() > 32)
            name = name.substr(0, 31) + "~";
        std::snprintf(row, sizeof row, "%-32s %9.3f° %8.3f° %14.6f\n", name.c_str(), place.x, place.y, place.z);
        text += row;
        if (text.size() > (1u << 16))
        {
            out << text;
            text.clear();
        }
    });
    out << text;
    writeSummary(out, file, catalogue);
}

void writeCatalogueJson(std::ostream& out, const std::string& file, const Catalogue& catalogue, const double* utcDays)
{
    out << "    {\"file\": " << jsonString(file) << ", \"format\": " << jsonString(formatName(catalogue.format))
        << ", \"bodyCount\": " << catalogue.bodies.size() << ",\n     \"problems\": [";
    for (std::size_t i = 0; i < catalogue.problems.size(); ++i)
    {
        const CatalogueProblem& p = catalogue.problems[i];
        out << (i ? ",\n" : "\n") << "       {\"file\": " << jsonString(p.file) << ", \"line\": " << p.line
            << ", \"kind\": " << jsonString(p.kind) << ", \"severity\": \"warning\", \"message\": "
            << jsonString(p.message) << "}";
    }
    out << (catalogue.problems.empty() ? "]" : "\n     ]") << ", \"problemsNotListed\": " << catalogue.problemsNotKept;
    if (utcDays)
    {
        out << ",\n     \"positions\": [";
        std::string text;
        forEachPlace(catalogue.bodies, *utcDays, [&](std::size_t index, const Vector3d& place) {
            text += index ? ",\n       {\"name\": " : "\n       {\"name\": ";
            text += jsonString(std::string(catalogue.bodies.name(index)));
            text += ", \"longitude\": " + jsonNumber(place.x) + ", \"latitude\": " + jsonNumber(place.y) +
                    ", \"distanceAU\": " + jsonNumber(place.z) + "}";
            if (text.size() > (1u << 16))
            {
                out << text;
                text.clear();
            }
        });
        out << text << (catalogue.bodies.size() ? "\n     ]" : "]");
    }
    out << "}";
}
