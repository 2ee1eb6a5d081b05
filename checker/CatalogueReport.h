#ifndef ORVTEST_CHECKER_CATALOGUEREPORT_H
#define ORVTEST_CHECKER_CATALOGUEREPORT_H

#include "catalogue/CatalogueReading.h"

#include <cstddef>
#include <iosfwd>
#include <string>

// orvtest-check's word on a catalogue of asteroids or comets, as the
// viewer's own reader (catalogue/) reads it: its format, its bodies and the
// lines it skipped, each a warning with FILE:LINE. Where the bodies stand is
// worked one share at a time and written as it goes, so that a catalogue of
// millions costs time in proportion and no memory beyond the catalogue's.

// The lines skipped: those listed and those only counted.
std::size_t problemCount(const Catalogue& catalogue);

// "FILE: FORMAT, N bodies", each problem as "FILE:LINE: warning: message"
// and "FILE: N bodies, M warnings".
void writeCatalogueText(std::ostream& out, const std::string& file, const Catalogue& catalogue);

// At `utcDays` (UTC days from 2000-01-01T12:00), a table of each body's
// heliocentric J2000 ecliptic longitude and latitude (degrees) and distance
// (AU), then the problems and the summary as writeCatalogueText says them.
void writeCataloguePositions(std::ostream& out, const std::string& file, const Catalogue& catalogue, double utcDays);

// The catalogue as one JSON object, indented for a place in a list:
// "file", "format", "bodyCount", "problems" (file, line, kind, severity,
// message) and "problemsNotListed"; with `utcDays`, "positions" too: for
// each body in the file's order its "name", "longitude", "latitude" and
// "distanceAU", as above.
void writeCatalogueJson(std::ostream& out, const std::string& file, const Catalogue& catalogue,
                        const double* utcDays);

#endif
