#include "bench/ResidentMemory.h"

#include <cstdlib>
#include <fstream>
#include <string>

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}
