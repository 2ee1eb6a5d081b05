#ifndef ORVTEST_APP_FILMRUN_H
#define ORVTEST_APP_FILMRUN_H

#include <string>

class OrvTestApp;
struct CommandLine;

// Whether the film the command line asks for can be drawn: an X display to
// draw with, and its folder made and free of the frames it will write.
// False, with `why` for a person, when not.
bool filmCanStart(const CommandLine& commandLine, std::string& why);

// Reads the kept views the command line names (--view, --path) from
// `viewsFile` and has the application start at one, or record the film
// (--record). False, with `why` for a person, when a view is not kept or the
// file cannot be read. Tells on stderr when a film's clock starts now, so
// that the film differs from run to run.
bool prepareViewsAndFilm(OrvTestApp& app, const CommandLine& commandLine, const std::string& viewsFile,
                         std::string& why);

#endif
