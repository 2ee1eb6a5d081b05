#ifndef ORVTEST_CATALOGUE_CATALOGUEREADING_H
#define ORVTEST_CATALOGUE_CATALOGUEREADING_H

#include "catalogue/CatalogueFormats.h"
#include "catalogue/SmallBodies.h"
#include "config/Result.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reading a published catalogue of asteroids or comets into SmallBodies.
//
// The format is recognised from the content, never the file's name: gzip
// (by its magic bytes) is read through zlib, then MPCORB (its header up to
// the dashed line skipped), CometEls or JPL's JSON. UTF-16 and UTF-32 text
// and files of none of these formats are refused, saying what was seen. A
// line that does not read is a warning with FILE:LINE and is skipped.
//
// Reading streams the file once and keeps no global state: it may run on a
// worker thread, one catalogue per call, while the caller shows progress and
// may stop it.

// A line that did not read, in the shape of the checker's Problem
// (config/Findings.h): all of them are warnings.
struct CatalogueProblem
{
    std::string file;
    int line = 0;
    std::string kind;      // "malformed-line" or "damaged-gzip"
    std::string message;   // what did not read; the line was skipped
    // "FILE:LINE: message".
    std::string where() const;
};

// How far a reading has come.
struct ReadProgress
{
    std::size_t bodies = 0;
    double share = 0.0;   // of the file's bytes, 0 to 1 (of the compressed bytes for gzip)
};

struct ReadOptions
{
    // Called on the reading thread every few thousand lines and at the end;
    // giving back false stops the reading (Catalogue::cancelled). Empty:
    // read to the end.
    std::function<bool(const ReadProgress&)> progress;
    // Problems kept; those beyond are only counted.
    std::size_t problemLimit = 1000;
};

struct Catalogue
{
    CatalogueFormat format = CatalogueFormat::MpcOrbits;
    SmallBodies bodies;
    std::vector<CatalogueProblem> problems;
    std::size_t problemsNotKept = 0;
    bool cancelled = false;   // stopped by the progress callback: the bodies read so far
};

// Reads a catalogue file. Fails only when the file cannot be read at all or
// is of no known format; the failure says what was recognised.
Result<Catalogue> readCatalogueFile(const std::string& path, const ReadOptions& options = {});

// The same for bytes in memory; `name` stands for the file in problems.
Result<Catalogue> readCatalogueBytes(const std::string& name, std::string_view bytes,
                                     const ReadOptions& options = {});

#endif
