#ifndef ORVTEST_CONFIG_VALUECHECKS_H
#define ORVTEST_CONFIG_VALUECHECKS_H

#include "config/FileKeys.h"
#include "config/Findings.h"

#include <optional>
#include <string>

// The checks every file's judge makes of a value: how the reader takes its
// text, and whether the number read keeps to its key's limits.

// How the reader takes `value` for a key of `type`, as a person would want to
// know it; empty when it takes all of it as meant.
std::string valueTrouble(const std::string& key, const std::string& value, ValueType type);

// A number as the messages write it: floats in their own precision, doubles in ten digits.
std::string formatNumber(float value);
std::string formatNumber(double value);

// The range a number of a file keeps to, and what the viewer does with one
// beyond it.
struct ValueLimits
{
    enum Kind
    {
        Refused,   // the viewer does not start with it (an error)
        Held,      // the viewer takes the nearest end of the range instead (a warning)
        Advised,   // the viewer takes it as it is, to odd effect (a warning)
    };
    double lowest;
    bool lowestAllowed;              // whether `lowest` itself may be given
    double highest;
    bool highestAllowed;
    Kind kind;
    const char* why;                 // what the range is, or what the viewer cannot do beyond it
    std::optional<double> orExactly = std::nullopt;   // one value outside the range that is meant too
    const char* findingKind = "out-of-range";

    bool allows(double value) const;
    // The value within the range, as the viewer takes it; itself when allowed.
    double held(double value) const;
    // "from 0 to 1", "above 0", "0 or more"...
    std::string text() const;
};

// Checks the `count` numbers of a key's value against its limits, with one
// finding for the first that does not keep to them.
void checkLimits(Findings& findings, const ConfigLine& line, const std::string& key, const double* values, int count,
                 const ValueLimits& limits);

// The numbers of a field, as doubles: one for a number, three for a vector
// or a colour; none for the other kinds.
int numbersOf(const float& value, double* numbers);
int numbersOf(const double& value, double* numbers);
int numbersOf(const int& value, double* numbers);
int numbersOf(const Ogre::Vector3& value, double* numbers);
int numbersOf(const Ogre::ColourValue& value, double* numbers);
template <typename Other>
int numbersOf(const Other&, double*)
{
    return 0;
}

// A field held within its limits, component by component, as the viewer takes it.
void holdWithin(float& value, const ValueLimits& limits);
void holdWithin(double& value, const ValueLimits& limits);
void holdWithin(int& value, const ValueLimits& limits);
void holdWithin(Ogre::Vector3& value, const ValueLimits& limits);
void holdWithin(Ogre::ColourValue& value, const ValueLimits& limits);
template <typename Other>
void holdWithin(Other&, const ValueLimits&)
{
}

// Reads a key's value into its field, as the viewer takes it: a value
// beyond held limits becomes the nearest end of them. False when nothing
// could be read, and the field then keeps its value. `Key` is a row of a key
// table: a `field` and optional `limits`.
template <typename Record, typename Key>
bool readKey(Record& record, const Key& key, const std::string& text)
{
    if (!readKeyValue(record, key.field, text))
        return false;
    if (key.limits && key.limits->kind == ValueLimits::Held)
        std::visit([&](auto member) { holdWithin(record.*member, *key.limits); }, key.field);
    return true;
}

// The findings on how one setting of a known key reads. A date that does
// not read is an error the viewer does not start with where
// `datesMustRead`, else a warning. True when the value reads.
template <typename Record, typename Key>
bool checkSetting(Findings& findings, const ConfigLine& line, const Key& key, bool datesMustRead)
{
    const ValueType type = valueTypeOf(key.field);
    const std::string trouble = valueTrouble(line.key, line.value, type);
    const bool date = type == ValueType::Date || type == ValueType::DynamicalDate || type == ValueType::DateText;
    Record read;
    const bool readable = readKeyValue(read, key.field, line.value);
    if (!trouble.empty() && date && datesMustRead && !readable)
        findings.refuse(line.number, line.section, "bad-date",
                        line.key + ": " + trouble + ", and the viewer does not start with it");
    else if (!trouble.empty())
        findings.add(line.number, line.section, "bad-value", trouble, Problem::Warning);
    return readable;
}

// The numbers of the setting the viewer runs with (the last of its key that
// reads) against the key's limits.
template <typename Record, typename Key>
void checkKeyLimits(Findings& findings, const ConfigLine& line, const Key& key)
{
    Record read;
    if (!key.limits || !readKeyValue(read, key.field, line.value))
        return;
    double numbers[3];
    const int count = std::visit([&](auto member) { return numbersOf(read.*member, numbers); }, key.field);
    checkLimits(findings, line, line.key, numbers, count, *key.limits);
}

#endif
