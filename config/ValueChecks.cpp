#include "config/ValueChecks.h"

#include "config/Dates.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace
{
std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
}

std::string formatNumber(float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string formatNumber(double value)
{
    std::ostringstream text;
    text.precision(10);
    text << value;
    return text.str();
}

std::string valueTrouble(const std::string& key, const std::string& value, ValueType type)
{
    std::size_t at = 0;
    switch (type)
    {
    case ValueType::Word:
    {
        std::string word;
        if (!readWord(value, at, word))
            return "no value: " + key + " stays empty";
        if (!onlyBlanksFrom(value, at))
            return "only '" + word + "' is used: a " + key + " is one word";
        return "";
    }
    case ValueType::ShadowTechnique:
    {
        std::string word;
        readWord(value, at, word);
        for (const ShadowTechniqueName& name : shadowTechniqueNames)
            if (word == name.name)
                return onlyBlanksFrom(value, at) ? "" : "only '" + word + "' is used";
        return "'" + value + "' is not a shadow technique: use SHADOWTYPE_TEXTURE_MODULATIVE, "
               "SHADOWTYPE_STENCIL_MODULATIVE or SHADOWTYPE_STENCIL_ADDITIVE";
    }
    case ValueType::Flag:
    {
        // As the reader takes a flag: a whole number, 0 or 1.
        int flag;
        if (!readNumber(value, at, flag) || (flag != 0 && flag != 1))
            return "'" + value + "' is not 0 or 1: " + key + " keeps its earlier value";
        return onlyBlanksFrom(value, at) ? "" : "only the leading " + std::to_string(flag) + " of '" + value + "' is read";
    }
    case ValueType::Date:
    case ValueType::DynamicalDate:
    case ValueType::DateText:
    {
        std::string word;
        if (!readWord(value, at, word))
            return "no value: " + key + " keeps its earlier value";
        const Result<double> date = type == ValueType::DynamicalDate ? parseDynamicalDate(word) : parseDate(word);
        if (!date)
            return date.why();
        return onlyBlanksFrom(value, at) ? "" : "only '" + word + "' is used: a date is one word";
    }
    case ValueType::Number:
    case ValueType::Integer:
    case ValueType::Precise:
    {
        double number;
        int integer;
        const bool read = type == ValueType::Integer ? readNumber(value, at, integer) : readNumber(value, at, number);
        if (!read || (type == ValueType::Number && std::abs(number) > 3.4028234e38))
            return "'" + value + "' is not " + (type == ValueType::Integer ? "a whole number" : "a number") +
                   " (or is out of range): " + key + " keeps its earlier value";
        if (onlyBlanksFrom(value, at))
            return "";
        return "'" + value + "' is read only in part, as " +
               (type == ValueType::Integer ? std::to_string(integer)
                : type == ValueType::Precise ? formatNumber(number)
                                             : formatNumber(float(number)));
    }
    case ValueType::Text:
        return value.find_first_not_of(" \t") == std::string::npos ? "no value: " + key + " stays empty" : "";
    case ValueType::List:
    {
        // Two commas with nothing between them name nothing.
        std::vector<std::string> names;
        parseValue(value, names);
        const std::size_t commas = std::size_t(std::count(value.begin(), value.end(), ','));
        const bool blank = value.find_first_not_of(" \t") == std::string::npos;
        if (!blank && names.size() != commas + 1)
            return "'" + value + "' has an empty name between commas, which is skipped";
        return "";
    }
    case ValueType::Vector:
    case ValueType::Colour:
    {
        int count = 0;
        for (float component; count < 3 && readNumber(value, at, component);)
            ++count;
        const char* what = type == ValueType::Vector ? "three numbers x y z" : "three numbers red green blue";
        if (count < 3)
            return "'" + value + "' has " + plural(std::size_t(count), "readable number", "readable numbers") +
                   " of " + what + ": the rest keep their earlier values";
        if (!onlyBlanksFrom(value, at))
            return type == ValueType::Colour ? "only three numbers are read; alpha is always 1"
                                             : "only the first three numbers are read";
        return "";
    }
    }
    return "";
}

bool ValueLimits::allows(double value) const
{
    if (orExactly && value == *orExactly)
        return true;
    return (value > lowest || (lowestAllowed && value == lowest)) &&
           (value < highest || (highestAllowed && value == highest));
}

double ValueLimits::held(double value) const
{
    if (allows(value) || std::isnan(value))
        return value;
    return value < lowest ? lowest : highest;
}

std::string ValueLimits::text() const
{
    const std::string also = orExactly ? formatNumber(*orExactly) + " or " : "";
    const std::string high = (highestAllowed ? "at most " : "below ") + formatNumber(highest);
    if (highest == INFINITY)
        return also + (lowestAllowed ? formatNumber(lowest) + " or more" : "above " + formatNumber(lowest));
    if (lowest == -INFINITY)
        return also + high;
    if (lowestAllowed && highestAllowed)
        return also + "from " + formatNumber(lowest) + " to " + formatNumber(highest);
    return also + (lowestAllowed ? "from " + formatNumber(lowest) : "above " + formatNumber(lowest)) + " and " + high;
}

void checkLimits(Findings& findings, const ConfigLine& line, const std::string& key, const double* values, int count,
                 const ValueLimits& limits)
{
    for (int i = 0; i < count; ++i)
    {
        const double value = values[i];
        if (limits.allows(value))
            continue;
        std::string message = key + " " + formatNumber(value) + " is not " + limits.text() + ": " + limits.why;
        if (limits.kind == ValueLimits::Held)
            message += "; the viewer takes " + formatNumber(limits.held(value)) + (count > 1 ? " for it" : "");
        if (limits.kind == ValueLimits::Refused)
            findings.refuse(line.number, line.section, limits.findingKind, message + ", and the viewer does not start with it");
        else
            findings.add(line.number, line.section, limits.findingKind, message, Problem::Warning);
        return;
    }
}

int numbersOf(const float& value, double* numbers)
{
    numbers[0] = value;
    return 1;
}
int numbersOf(const double& value, double* numbers)
{
    numbers[0] = value;
    return 1;
}
int numbersOf(const int& value, double* numbers)
{
    numbers[0] = value;
    return 1;
}
int numbersOf(const Ogre::Vector3& value, double* numbers)
{
    for (int i = 0; i < 3; ++i)
        numbers[i] = value[i];
    return 3;
}
int numbersOf(const Ogre::ColourValue& value, double* numbers)
{
    for (int i = 0; i < 3; ++i)
        numbers[i] = value[i];
    return 3;
}

void holdWithin(float& value, const ValueLimits& limits)
{
    value = float(limits.held(value));
}
void holdWithin(double& value, const ValueLimits& limits)
{
    value = limits.held(value);
}
void holdWithin(int& value, const ValueLimits& limits)
{
    value = int(limits.held(value));
}
void holdWithin(Ogre::Vector3& value, const ValueLimits& limits)
{
    for (int i = 0; i < 3; ++i)
        value[i] = float(limits.held(value[i]));
}
void holdWithin(Ogre::ColourValue& value, const ValueLimits& limits)
{
    for (int i = 0; i < 3; ++i)
        value[i] = float(limits.held(value[i]));
}
