#ifndef ORVTEST_APP_RUNVIEWER_H
#define ORVTEST_APP_RUNVIEWER_H

class OrvTestApp;
struct CommandLine;

// Exit statuses of the viewer.
constexpr int exitSuccess = 0;   // quit, window closed, dialog cancelled or the tour done
constexpr int exitFailure = 1;   // a file could not be read, an error ended the run, or the tour failed
// Plus the number of the signal (SIGINT, SIGTERM) that ended the run, as a
// shell reports a program ended by it: 130 and 143.
constexpr int exitSignalled = 128;

// The whole life of the viewer with `app`, which must be fresh (no engine yet):
// finds its files (see Places), reads the settings and the system file, runs
// the application, frees the bodies while the engine still exists. Every
// error is shown in the error box, after the keyboard and pointer are given
// back so that the box can be dismissed; a tour, which has no one to read a
// box, only prints it. The caller destroys the application afterwards.
int runViewer(OrvTestApp& app, const CommandLine& commandLine);

#endif
