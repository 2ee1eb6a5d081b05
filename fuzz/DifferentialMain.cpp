// orvtest-differential: the differential run on files, for the corpus test
// and for a finding of the fuzzer.
//
//   orvtest-differential DATA_FOLDER PLUGIN_FOLDER FILE...
//
// Each FILE holds a settings file and a system file (see Differential.h).
// Prints what became of each; the exit status is 1 when any run found a
// disagreement.

#include "config/ConfigFileReading.h"
#include "fuzz/Differential.h"

#include <OgreException.h>

#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::cerr << "usage: orvtest-differential DATA_FOLDER PLUGIN_FOLDER FILE...\n";
        return 2;
    }
    int status = 0;
    for (int i = 3; i < argc; ++i)
    {
        std::string text;
        try
        {
            text = readConfigText(argv[i]);
        }
        catch (const Ogre::Exception& error)
        {
            // The viewer refuses what it cannot read: no run to make.
            std::cout << argv[i] << ": unreadable (" << error.getDescription() << ")\n";
            continue;
        }
        std::string settings;
        std::string system;
        splitFiles(text, settings, system);
        const DifferentialRun run = runDifferential(settings, system, argv[1], argv[2]);
        std::cout << argv[i] << ": "
                  << (run.refused ? "refused at start" : run.stopped ? "stopped by the engine" : "ran") << ", "
                  << run.frames << " frames, slowest " << run.slowestFrameSeconds * 1000.0 << " ms"
                  << (run.engineError.empty() ? "" : ": " + run.engineError) << "\n";
        for (const std::string& finding : run.findings)
        {
            std::cout << "  finding: " << finding << "\n";
            status = 1;
        }
    }
    return status;
}
