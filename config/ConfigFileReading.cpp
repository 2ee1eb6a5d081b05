#include "config/ConfigFileReading.h"

#include "config/Files.h"

#include <OgreDataStream.h>
#include <OgreException.h>

#include <algorithm>

namespace
{
const char byteOrderMark[] = "\xEF\xBB\xBF";
}

std::string readConfigText(const std::string& fileName)
{
    std::string text;
    std::string why;
    if (!readWholeFile(fileName, text, why))
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "Cannot open file: " + fileName + " (" + why + ")",
                    "readConfigText");
    int line = 0;
    const std::string problem = textProblem(text, line);
    if (!problem.empty())
        OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, fileName + ":" + std::to_string(line) + ": " + problem,
                    "readConfigText");
    return text;
}

std::string textProblem(const std::string& text, int& line)
{
    line = 1;
    const auto startsWith = [&](const char* bytes, std::size_t count) {
        return text.size() >= count && text.compare(0, count, bytes, count) == 0;
    };
    // Checked before UTF-16's: a UTF-32 little-endian mark begins as UTF-16's does.
    if (startsWith("\xFF\xFE\0\0", 4) || startsWith("\0\0\xFE\xFF", 4))
        return "the file is UTF-32 text, which OrvTest cannot read: save it as UTF-8";
    if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2))
        return "the file is UTF-16 text, which OrvTest cannot read: save it as UTF-8";
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos)
        return "";
    line = 1 + int(std::count(text.begin(), text.begin() + long(nul), '\n'));
    // ASCII in UTF-16 is every other byte NUL.
    const std::size_t sample = std::min<std::size_t>(text.size(), 64);
    const std::size_t nuls = std::size_t(std::count(text.begin(), text.begin() + long(sample), '\0'));
    if (sample >= 8 && nuls * 2 >= sample - 1)
        return "the file looks like UTF-16 text without a byte-order mark, which OrvTest cannot read: save it "
               "as UTF-8";
    return "the file holds a NUL byte, which no text file holds: save it as UTF-8 text";
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
