#include "config/ConfigFileReading.h"

#include <OgreDataStream.h>
#include <OgreException.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace
{
const char byteOrderMark[] = "\xEF\xBB\xBF";
}

std::string readConfigText(const std::string& fileName)
{
    struct stat status;
    if (::stat(fileName.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND,
                    "Cannot open file: " + fileName + " (it is not a regular file)", "readConfigText");
    std::ifstream stream(fileName, std::ios::binary);
    if (!stream)
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "Cannot open file: " + fileName, "readConfigText");
    std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad())
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "Cannot read file: " + fileName, "readConfigText");
    return text;
}

bool startsWithByteOrderMark(const std::string& text)
{
    return text.compare(0, 3, byteOrderMark) == 0;
}

void parseConfigText(Ogre::ConfigFile& file, const std::string& text)
{
    const size_t start = startsWithByteOrderMark(text) ? 3 : 0;
    // The engine's own reader, on a read-only view of the text: it sees
    // exactly what it would read from the file.
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(
        const_cast<char*>(text.data()) + start, text.size() - start, false, true));
    file.load(stream, "\t:=", true);
}

void loadConfigFile(Ogre::ConfigFile& file, const std::string& fileName)
{
    parseConfigText(file, readConfigText(fileName));
}
