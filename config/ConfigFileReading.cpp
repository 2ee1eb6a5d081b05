#include "config/ConfigFileReading.h"

#include "config/Files.h"

#include <OgreDataStream.h>
#include <OgreException.h>

#include <algorithm>

namespace
{
const char byteOrderMark[] = "\xEF\xBB\xBF";

std::string cannotOpen(const std::string& fileName, const std::string& why)
{
    return "Cannot open file: " + fileName + " (" + why + ")";
}
}

Result<std::string> readConfigFile(const std::string& fileName)
{
    const Result<std::string> text = readWholeFile(fileName);
    if (!text)
        return Failure{cannotOpen(fileName, text.why())};
    if (const Result<> checked = checkConfigText(fileName, *text); !checked)
        return Failure{checked.why()};
    return text;
}

std::string readConfigText(const std::string& fileName)
{
    Result<std::string> text = readWholeFile(fileName);
    if (!text)
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, cannotOpen(fileName, text.why()), "readConfigText");
    if (const Result<> checked = checkConfigText(fileName, *text); !checked)
        OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, checked.why(), "readConfigText");
    return std::move(text.value());
}

Result<> checkConfigText(const std::string& name, const std::string& text)
{
    const auto startsWith = [&](const char* bytes, std::size_t count) {
        return text.size() >= count && text.compare(0, count, bytes, count) == 0;
    };
    const auto refused = [&](long line, const char* why) {
        return Failure{name + ":" + std::to_string(line) + ": " + why};
    };
    // Checked before UTF-16's: a UTF-32 little-endian mark begins as UTF-16's does.
    if (startsWith("\xFF\xFE\0\0", 4) || startsWith("\0\0\xFE\xFF", 4))
        return refused(1, "the file is UTF-32 text, which OrvTest cannot read: save it as UTF-8");
    if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2))
        return refused(1, "the file is UTF-16 text, which OrvTest cannot read: save it as UTF-8");
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos)
        return {};
    const long line = 1 + long(std::count(text.begin(), text.begin() + long(nul), '\n'));
    // ASCII in UTF-16 is every other byte NUL.
    const std::size_t sample = std::min<std::size_t>(text.size(), 64);
    const std::size_t nuls = std::size_t(std::count(text.begin(), text.begin() + long(sample), '\0'));
    if (sample >= 8 && nuls * 2 >= sample - 1)
        return refused(line, "the file looks like UTF-16 text without a byte-order mark, which OrvTest cannot "
                             "read: save it as UTF-8");
    return refused(line, "the file holds a NUL byte, which no text file holds: save it as UTF-8 text");
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
