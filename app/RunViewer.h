#ifndef ORVTEST_APP_RUNVIEWER_H
#define ORVTEST_APP_RUNVIEWER_H

class OrvTestApp;

// Exit statuses of the viewer.
constexpr int exitSuccess = 0;   // quit, window closed or dialog cancelled
constexpr int exitFailure = 1;   // a file could not be read, or an error ended the run

// The whole life of the viewer with `app`, which must be fresh (no engine yet):
// reads the settings and the system file, runs the application, frees the
// bodies while the engine still exists. Every error is shown in the error
// box, after the keyboard and pointer are given back so that the box can be
// dismissed. The caller destroys the application afterwards.
int runViewer(OrvTestApp& app);

#endif
