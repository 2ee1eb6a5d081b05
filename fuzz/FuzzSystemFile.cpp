// libFuzzer target: any bytes as a system file, read into the registry.

#include "config/ConfigFileReading.h"
#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ogre::ConfigFile file;
    parseConfigText(file, std::string(reinterpret_cast<const char*>(data), size));
    registerBodies(file, bodyRegistry);
    for (const auto& body : bodyRegistry)
    {
        // Every registered body was a named section with ten required settings.
        if (body->sectionName.empty())
            __builtin_trap();
    }
    bodyRegistry.clear();
    return 0;
}
