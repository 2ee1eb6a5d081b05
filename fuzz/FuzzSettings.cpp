// libFuzzer target: any bytes as a settings file.

#include "config/AppSettings.h"

#include <OgreDataStream.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<uint8_t*>(data), size, false, true));
    Ogre::ConfigFile file;
    file.load(stream, "\t:=", true);
    appSettings = AppSettings();
    applySettings(file);
    return 0;
}
