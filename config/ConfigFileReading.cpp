#include "config/ConfigFileReading.h"

#include <OgreException.h>

#include <sys/stat.h>

void loadConfigFile(Ogre::ConfigFile& file, const std::string& fileName)
{
    struct stat status;
    if (::stat(fileName.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND,
                    "Cannot open file: " + fileName + " (it is not a regular file)", "loadConfigFile");
    file.load(fileName, "\t:=", true);
}
