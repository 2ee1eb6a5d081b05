#include "config/ValueParsing.h"

#include <sstream>

bool parseWord(const std::string& text, std::string& word)
{
    std::istringstream stream(text);
    std::string read;
    if (!(stream >> read))
        return false;
    word = read;
    return true;
}

namespace
{
template <typename T>
bool extract(const std::string& text, T& value)
{
    std::istringstream stream(text);
    T read;
    if (!(stream >> read))
        return false;
    value = read;
    return true;
}
}

bool parseFloat(const std::string& text, float& value)
{
    return extract(text, value);
}

bool parseInt(const std::string& text, int& value)
{
    return extract(text, value);
}

bool parseFlag(const std::string& text, bool& value)
{
    // Stream extraction into bool takes exactly 0 or 1 and fails on anything else.
    return extract(text, value);
}

namespace
{
// Reads up to `count` floats into `components`, stopping at the first that
// does not parse; returns how many were read.
int parseFloats(const std::string& text, float* components, int count)
{
    std::istringstream stream(text);
    int read = 0;
    for (float component; read < count && stream >> component; ++read)
        components[read] = component;
    return read;
}
}

int parseVector(const std::string& text, Ogre::Vector3& value)
{
    return parseFloats(text, value.ptr(), 3);
}

int parseColour(const std::string& text, Ogre::ColourValue& value)
{
    const int read = parseFloats(text, value.ptr(), 3);
    value.a = 1.0f;
    return read;
}
