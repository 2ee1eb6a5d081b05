#include "config/ValueParsing.h"

#include <sstream>

const ShadowTechniqueName shadowTechniqueNames[3] = {
    {"SHADOWTYPE_TEXTURE_MODULATIVE", Ogre::SHADOWTYPE_TEXTURE_MODULATIVE},
    {"SHADOWTYPE_STENCIL_MODULATIVE", Ogre::SHADOWTYPE_STENCIL_MODULATIVE},
    {"SHADOWTYPE_STENCIL_ADDITIVE", Ogre::SHADOWTYPE_STENCIL_ADDITIVE},
};

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

bool parseWord(const std::string& text, std::string& word)
{
    return extract(text, word);
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
    return parseFloats(text, value.ptr(), 3);
}

int parseColour(const std::string& text, Ogre::ColourValue& value)
{
    const int read = parseFloats(text, value.ptr(), 3);
    value.a = 1.0f;
    return read;
}

bool parseShadowTechnique(const std::string& text, Ogre::ShadowTechnique& value)
{
    std::string word;
    if (!parseWord(text, word))
        return false;
    for (const ShadowTechniqueName& entry : shadowTechniqueNames)
    {
        if (word == entry.name)
        {
            value = entry.technique;
            return true;
        }
    }
    return false;
}

std::string shadowTechniqueName(Ogre::ShadowTechnique technique)
{
    for (const ShadowTechniqueName& entry : shadowTechniqueNames)
        if (entry.technique == technique)
            return entry.name;
    return "";
}
