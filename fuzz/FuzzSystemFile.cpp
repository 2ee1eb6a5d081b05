// libFuzzer target: any bytes as a system file, read into the registry.

#include "config/SystemFile.h"
#include "sim/BodyRegistry.h"

#include <OgreDataStream.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<uint8_t*>(data), size, false, true));
    Ogre::ConfigFile file;
    file.load(stream, "\t:=", true);
    registerBodies(file);
    for (const auto& body : bodyRegistry)
    {
        // Every registered body was a named section with ten required settings.
        if (body->sectionName.empty())
            __builtin_trap();
    }
    bodyRegistry.clear();
    return 0;
}
