#include "config/ValueParsing.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

const ShadowTechniqueName shadowTechniqueNames[3] = {
    {"SHADOWTYPE_TEXTURE_MODULATIVE", Ogre::SHADOWTYPE_TEXTURE_MODULATIVE},
    {"SHADOWTYPE_STENCIL_MODULATIVE", Ogre::SHADOWTYPE_STENCIL_MODULATIVE},
    {"SHADOWTYPE_STENCIL_ADDITIVE", Ogre::SHADOWTYPE_STENCIL_ADDITIVE},
};

namespace
{
bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Numbers in files are written the "C" way whatever the desktop's language:
// the input library sets the process's locale from the environment.
locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(const std::string& text, std::size_t at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// The characters a stream gathers for a number, as std::num_get does in the
// "C" locale: a sign, digits and, for a real number, a point, more digits
// and an exponent. Empty when it has no digit; `at` moves past what it took.
std::string gatherNumber(const std::string& text, std::size_t& at, bool real)
{
    std::string gathered;
    std::size_t i = at;
    auto take = [&] { gathered += text[i++]; };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        take();
    bool digits = false;
    while (i < text.size() && isDigit(text[i]))
    {
        take();
        digits = true;
    }
    if (real && i < text.size() && text[i] == '.')
    {
        take();
        while (i < text.size() && isDigit(text[i]))
        {
            take();
            digits = true;
        }
    }
    if (real && digits && i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    {
        take();
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            take();
        while (i < text.size() && isDigit(text[i]))
            take();
    }
    at = i;
    return digits ? gathered : std::string();
}

// The number's characters from `at`, blanks first skipped; `at` moves past them.
std::string takeNumber(const std::string& text, std::size_t& at, bool real)
{
    at = skipBlanks(text, at);
    return gatherNumber(text, at, real);
}
}

namespace
{
// A real number converted in its own precision, so that what overflows it is refused.
template <typename Real>
bool readReal(const std::string& text, std::size_t& at, Real& value,
              Real (*convert)(const char*, char**, locale_t))
{
    const std::string gathered = takeNumber(text, at, true);
    if (gathered.empty())
        return false;
    // All of it must convert ("1e" does not), and to a finite number.
    char* end = nullptr;
    const Real read = convert(gathered.c_str(), &end, cLocale());
    if (*end != '\0' || std::isinf(read))
        return false;
    value = read;
    return true;
}
}

bool readNumber(const std::string& text, std::size_t& at, float& value)
{
    return readReal(text, at, value, strtof_l);
}

bool readNumber(const std::string& text, std::size_t& at, double& value)
{
    return readReal(text, at, value, strtod_l);
}

bool readNumber(const std::string& text, std::size_t& at, int& value)
{
    const std::string gathered = takeNumber(text, at, false);
    if (gathered.empty())
        return false;
    errno = 0;
    const long read = strtol_l(gathered.c_str(), nullptr, 10, cLocale());
    if (errno == ERANGE || read < std::numeric_limits<int>::min() || read > std::numeric_limits<int>::max())
        return false;
    value = int(read);
    return true;
}

bool readWord(const std::string& text, std::size_t& at, std::string& word)
{
    const std::size_t start = skipBlanks(text, at);
    std::size_t end = start;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    at = end;
    if (end == start)
        return false;
    word = text.substr(start, end - start);
    return true;
}

bool onlyBlanksFrom(const std::string& text, std::size_t at)
{
    return skipBlanks(text, at) >= text.size();
}

bool parseWord(const std::string& text, std::string& word)
{
    std::size_t at = 0;
    return readWord(text, at, word);
}

bool parseFloat(const std::string& text, float& value)
{
    std::size_t at = 0;
    return readNumber(text, at, value);
}

bool parseInt(const std::string& text, int& value)
{
    std::size_t at = 0;
    return readNumber(text, at, value);
}

bool parseFlag(const std::string& text, bool& value)
{
    // As stream extraction into bool: a whole number, and only 0 or 1.
    std::size_t at = 0;
    int number;
    if (!readNumber(text, at, number) || (number != 0 && number != 1))
        return false;
    value = number == 1;
    return true;
}

namespace
{
// Reads up to `count` floats into `components`, stopping at the first that
// does not parse; returns how many were read.
int parseFloats(const std::string& text, float* components, int count)
{
    std::size_t at = 0;
    int read = 0;
    for (float component; read < count && readNumber(text, at, component); ++read)
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
