#ifndef ORVTEST_APP_FILMRUN_H
#define ORVTEST_APP_FILMRUN_H

#include "config/Result.h"

#include <string>

class OrvTestApp;
struct CommandLine;

// Whether the film the command line asks for can be drawn: an X display to
// draw with, and its folder free of the frames it will write. A Failure,
// for a person, when not.
Result<> filmCanStart(const CommandLine& commandLine);

// Reads the kept views the command line names (--view, --path) from
// `viewsFile` and has the application start at one, or record the film
// (--record) into its folder, made here. A Failure, for a person, when a
// view is not kept, the file cannot be read or the folder cannot be made.
// Tells on stderr when a film's clock starts now, so that the film differs
// from run to run.
Result<> prepareViewsAndFilm(OrvTestApp& app, const CommandLine& commandLine, const std::string& viewsFile);

#endif
