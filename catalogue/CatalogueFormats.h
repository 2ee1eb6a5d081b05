#ifndef ORVTEST_CATALOGUE_CATALOGUEFORMATS_H
#define ORVTEST_CATALOGUE_CATALOGUEFORMATS_H

#include "catalogue/SmallBodies.h"

#include <string>
#include <string_view>
#include <vector>

// The published formats, one table of columns or fields each, shared by the
// readers, the checker and the tests.

enum class CatalogueFormat
{
    MpcOrbits,     // MPCORB.DAT: the MPC's "Export Format for Minor-Planet Orbits"
    MpcComets,     // CometEls.txt: the MPC's "Export Format for Comet Orbits" (its
                   // "Ephemerides and Orbital Elements" form)
    JplQuery,      // JPL's SBDB query API: {"fields": [...], "data": [[...], ...]}
    JplObject,     // JPL's SBDB API for one body: {"object": ..., "orbit": {"elements": [...]}}
};

// "MPCORB", "MPC comets", "JPL SBDB query" or "JPL SBDB object".
const char* formatName(CatalogueFormat format);

// A field of a fixed-column line: columns first to last, counted from 1 as
// the MPC counts them.
struct Column
{
    const char* key;
    int first;
    int last;
    const char* meaning;
};

// The MPC's columns for MPCORB.DAT (minorplanetcenter.net/iau/info/MPOrbitFormat.html).
enum MpcOrbitField
{
    OrbitDesignation, OrbitH, OrbitG, OrbitEpoch, OrbitMeanAnomaly, OrbitPeriapsis, OrbitNode, OrbitInclination,
    OrbitEccentricity, OrbitMeanMotion, OrbitSemiMajorAxis, OrbitReadableName, MpcOrbitFieldCount
};
const std::vector<Column>& mpcOrbitColumns();

// The MPC's columns for CometEls.txt (minorplanetcenter.net/iau/info/CometOrbitFormat.html).
enum MpcCometField
{
    CometNumber, CometType, CometProvisional, CometYear, CometMonth, CometDay, CometPerihelionDistance,
    CometEccentricity, CometPeriapsis, CometNode, CometInclination, CometEpochYear, CometEpochMonth, CometEpochDay,
    CometMagnitude, CometSlope, CometName, MpcCometFieldCount
};
const std::vector<Column>& mpcCometColumns();

// A column's text, or empty where the line is shorter.
std::string_view columnText(std::string_view line, const Column& column);

// What reading one line or row gives: a body, or why not.
struct LineReading
{
    bool ok = false;
    SmallBody body;
    std::string why;   // when not ok: what did not read, in words
};

// One MPCORB data line (without its line end).
LineReading readMpcOrbitLine(std::string_view line);
// One CometEls line.
LineReading readMpcCometLine(std::string_view line);

// Whether a line has the shape of each format, for recognising a file: its
// length and the decimal points where the columns put them.
bool looksLikeMpcOrbitLine(std::string_view line);
bool looksLikeMpcCometLine(std::string_view line);

// The JPL SBDB fields a reader understands, by their API names; a query may
// give any subset in any order, and these the reader needs:
//   a name: full_name, name or pdes;
//   e, i, om, w;
//   q or a;
//   tp (JD, TDB), or ma with epoch (JD) or epoch_mjd / epoch.mjd (MJD) and a or q.
// H and G, or M1 and K1 for comets, are kept when given.
struct JplField
{
    const char* name;
    const char* meaning;
};
const std::vector<JplField>& jplFields();

// One body from JPL's fields by name, values as the API gives them (text;
// empty for null).
LineReading readJplBody(const std::vector<std::string_view>& names, const std::vector<std::string>& values);

#endif
