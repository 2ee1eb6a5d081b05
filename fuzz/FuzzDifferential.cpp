// libFuzzer target: the checker's word against the viewer's deeds, on any
// settings and system file (see Differential.h). A disagreement traps.

#include "fuzz/Differential.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string settings;
    std::string system;
    splitFiles(std::string(reinterpret_cast<const char*>(data), size), settings, system);
    const DifferentialRun run = runDifferential(settings, system, ORVTEST_DATA_DIR, ORVTEST_OGRE_PLUGIN_DIR);
    if (!run.findings.empty())
    {
        for (const std::string& finding : run.findings)
            std::fprintf(stderr, "finding: %s\n", finding.c_str());
        __builtin_trap();
    }
    return 0;
}
