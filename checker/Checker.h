#ifndef ORVTEST_CHECKER_CHECKER_H
#define ORVTEST_CHECKER_CHECKER_H

#include <iosfwd>
#include <string>
#include <vector>

// orvtest-check: reads a settings file and the system file it names (or one
// given system file) through the viewer's own readers, and explains what the
// viewer will do with them.
//
//   orvtest-check [--json] [--at DATE] [--catalogue FILE]... [SYSTEM_FILE]
//
// Catalogues of asteroids and comets are judged by the viewer's own reader
// (catalogue/CatalogueReading.h). Returns the exit status: 0 when no problem
// was found, 1 when problems were found, 2 when a file cannot be read (a
// catalogue of no known format too) or the arguments are wrong.
int runChecker(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

#endif
