#ifndef ORVTEST_CHECKER_CHECKER_H
#define ORVTEST_CHECKER_CHECKER_H

#include <iosfwd>
#include <string>
#include <vector>

// orvtest-check: reads a settings file and the system file it names (or one
// given system file) through the viewer's own readers, and explains what the
// viewer will do with them.
//
//   orvtest-check [--json] [SYSTEM_FILE]
//
// Returns the exit status: 0 when no problem was found, 1 when problems were
// found, 2 when a file cannot be read or the arguments are wrong.
int runChecker(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

#endif
