// orvtest-differential: the differential run on files, for the corpus test
// and for a finding of the fuzzer.
//
//   orvtest-differential DATA_FOLDER PLUGIN_FOLDER FILE...
//
// Each FILE holds a settings file and a system file (see Differential.h).
// Prints what became of each; the exit status is 1 when any run found a
// disagreement.

#include "fuzz/Differential.h"

#include <fstream>
#include <iostream>
#include <iterator>

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
        // The bytes as they are, as the fuzzer hands them over.
        std::ifstream file(argv[i], std::ios::binary);
        if (!file)
        {
            std::cout << argv[i] << ": unreadable\n";
            status = 1;
            continue;
        }
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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
