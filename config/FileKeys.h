#ifndef ORVTEST_CONFIG_FILEKEYS_H
#define ORVTEST_CONFIG_FILEKEYS_H

#include "config/Dates.h"
#include "config/ValueParsing.h"
#include "sim/BodyDefinition.h"

#include <string>
#include <variant>
#include <vector>

// A key of a configuration file names a field of a record; the field's type
// says how the key's value is read. The key tables of both files
// (SettingsKeys.h, SystemFileKeys.h) are built from these.

// In the order of the alternatives of KeyField.
enum class ValueType
{
    Word,
    Flag,
    Number,
    Integer,
    Vector,
    Colour,
    ShadowTechnique,
    Precise,     // a number kept in double precision
    Date,        // as parseDate reads it: UTC
    DynamicalDate,   // as parseDynamicalDate reads it: TT
    DateText,        // a date kept as written, which parseDate must read
    List,            // names separated by commas, each without the blanks around it
    Text,            // the whole value, blanks inside kept: a name as a catalogue writes it
};

template <typename Record>
using KeyField = std::variant<std::string Record::*, bool Record::*, float Record::*, int Record::*,
                              Ogre::Vector3 Record::*, Ogre::ColourValue Record::*,
                              Ogre::ShadowTechnique Record::*, double Record::*, ::Date Record::*,
                              DynamicalDate Record::*, DateText Record::*, std::vector<std::string> Record::*,
                              LineText Record::*>;

template <typename Record>
ValueType valueTypeOf(const KeyField<Record>& field)
{
    return ValueType(field.index());
}

inline bool parseValue(const std::string& text, std::string& value) { return parseWord(text, value); }
inline bool parseValue(const std::string& text, bool& value) { return parseFlag(text, value); }
inline bool parseValue(const std::string& text, float& value) { return parseFloat(text, value); }
inline bool parseValue(const std::string& text, int& value) { return parseInt(text, value); }
inline bool parseValue(const std::string& text, Ogre::Vector3& value) { return parseVector(text, value) > 0; }
inline bool parseValue(const std::string& text, Ogre::ColourValue& value) { return parseColour(text, value) > 0; }
inline bool parseValue(const std::string& text, Ogre::ShadowTechnique& value)
{
    return parseShadowTechnique(text, value);
}
inline bool parseValue(const std::string& text, double& value)
{
    std::size_t at = 0;
    return readNumber(text, at, value);
}
// A date is one word; what follows it is ignored.
inline bool parseValue(const std::string& text, ::Date& value)
{
    std::string word;
    if (!parseWord(text, word))
        return false;
    const Result<double> days = parseDate(word);
    if (days)
        value.days = *days;
    return days.ok();
}
inline bool parseValue(const std::string& text, LineText& value)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    value.text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    return true;
}
inline bool parseValue(const std::string& text, DateText& value)
{
    std::string word;
    if (!parseWord(text, word) || !parseDate(word))
        return false;
    value.text = word;
    return true;
}
inline bool parseValue(const std::string& text, DynamicalDate& value)
{
    std::string word;
    if (!parseWord(text, word))
        return false;
    const Result<double> days = parseDynamicalDate(word);
    if (days)
        value.days = *days;
    return days.ok();
}

// A list: every name between commas, blanks around it dropped; an empty
// value is an empty list.
inline bool parseValue(const std::string& text, std::vector<std::string>& value)
{
    value.clear();
    std::size_t at = 0;
    while (at <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::size_t first = text.find_first_not_of(" \t", at);
        if (first < comma)
            value.push_back(text.substr(first, text.find_last_not_of(" \t", comma - 1) + 1 - first));
        at = comma + 1;
    }
    return true;
}

// Reads `text` into the record's field by the field's rules; false when
// nothing could be read, and the field then keeps its value.
template <typename Record>
bool readKeyValue(Record& record, const KeyField<Record>& field, const std::string& text)
{
    return std::visit([&](auto member) { return parseValue(text, record.*member); }, field);
}

#endif
