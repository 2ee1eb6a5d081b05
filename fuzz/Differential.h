#ifndef ORVTEST_FUZZ_DIFFERENTIAL_H
#define ORVTEST_FUZZ_DIFFERENTIAL_H

#include <string>
#include <vector>

// The checker's word against the viewer's deeds. A run judges a settings
// file and a system file as orvtest-check does, then does with them what
// the viewer would, on the real engine without a window: starts (or refuses
// to start), builds the scene, runs frames at several time rates, jumps to
// the bodies and reads both files again. Every frame the engine brings its
// scene tree, the camera's and the shadow camera's frustums up to date and
// the run checks that every body, the camera and the stars still have a
// place in the world.
//
// A finding is a disagreement: the checker calls the files sound and the
// viewer refuses them, stops with an engine error, loses a body's place or
// takes over a second for a frame; or the checker says the viewer stops
// and it does not. An abort or crash is a finding too, of course, and is
// left to end the process, where a fuzzer or a test sees it.

struct DifferentialRun
{
    bool refused = false;            // the viewer would not start with the files
    bool stopped = false;            // the engine refused to build the scene
    std::string engineError;         // why
    std::vector<std::string> findings;
    int frames = 0;
    double slowestFrameSeconds = 0.0;
};

// The files as one text: the settings, a line "----- system -----", then the
// system file. Without that line the whole text is the system file and the
// settings are the defaults.
extern const char* const systemSeparator;
void splitFiles(const std::string& text, std::string& settings, std::string& system);

// One run. The engine is made on the first call (from the program's data
// folder and the engine's plug-in folder) and kept for the next.
DifferentialRun runDifferential(const std::string& settingsText, const std::string& systemText,
                                const std::string& dataFolder, const std::string& pluginFolder);

#endif
