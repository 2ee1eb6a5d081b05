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

int parseVector(const std::string& text, Ogre::Vector3& value)
{
    std::istringstream stream(text);
    int count = 0;
    for (; count < 3; ++count)
    {
        float component;
        if (!(stream >> component))
            break;
        value[count] = component;
    }
    return count;
}

int parseColour(const std::string& text, Ogre::ColourValue& value)
{
    std::istringstream stream(text);
    int count = 0;
    for (; count < 3; ++count)
    {
        float component;
        if (!(stream >> component))
            break;
        value[count] = component;
    }
    value.a = 1.0f;
    return count;
}
