// libFuzzer target: any bytes as a settings file.

#include "config/AppSettings.h"
#include "config/ConfigFileReading.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ogre::ConfigFile file;
    parseConfigText(file, std::string(reinterpret_cast<const char*>(data), size));
    appSettings = AppSettings();
    applySettings(file);
    return 0;
}
