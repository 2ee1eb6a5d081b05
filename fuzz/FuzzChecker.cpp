// libFuzzer target: orvtest-check on any bytes as a system file, both reports.

#include "checker/Checker.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/orvtest-fuzz-checker-" + std::to_string(::getpid()) + ".cfg";
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    std::ostringstream out;
    std::ostringstream err;
    for (const char* mode : {"--json", "--text"})
    {
        const std::vector<std::string> arguments =
            std::string(mode) == "--json" ? std::vector<std::string>{mode, path} : std::vector<std::string>{path};
        const int status = runChecker(arguments, out, err);
        if (status < 0 || status > 2)
            __builtin_trap();
    }
    // Gone after each input: a run ended by its time limit leaves nothing in /tmp.
    std::remove(path.c_str());
    return 0;
}
