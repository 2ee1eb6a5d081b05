#ifndef ORVTEST_CONFIG_VALUEPARSING_H
#define ORVTEST_CONFIG_VALUEPARSING_H

#include <OgreColourValue.h>
#include <OgreCommon.h>
#include <OgreVector.h>

#include <string>

// Formatted extraction from the start of a value text, shared by both file
// readers: what a std::istream in the "C" locale reads (leading blanks
// skipped, a word up to the next blank, a number as long as it goes), without
// the cost of a stream for every value of a large file. Each returns whether
// it read a value; on failure the target keeps what it held, so a bad value
// never overwrites a good one.

// A number from `at` (blanks first skipped), as `stream >> value` reads it:
// false when there is none or it is out of range. `at` moves past what was
// read, where the stream would stand.
bool readNumber(const std::string& text, std::size_t& at, float& value);
bool readNumber(const std::string& text, std::size_t& at, int& value);
bool readNumber(const std::string& text, std::size_t& at, double& value);

// A word from `at` (blanks first skipped) up to the next blank; false when
// only blanks are left.
bool readWord(const std::string& text, std::size_t& at, std::string& word);
// Whether nothing but blanks stands from `at` on: the whole value was read.
bool onlyBlanksFrom(const std::string& text, std::size_t at);

bool parseWord(const std::string& text, std::string& word);
bool parseFloat(const std::string& text, float& value);
bool parseInt(const std::string& text, int& value);
// Accepts the numbers 0 and 1 only.
bool parseFlag(const std::string& text, bool& value);
// Reads up to three floats; stops at the first that does not parse, leaving it
// and the ones after it unchanged. Returns the number of components read.
int parseVector(const std::string& text, Ogre::Vector3& value);
// Reads red, green and blue; alpha is always 1. Components that do not parse
// keep their old values. Returns the number of components read.
int parseColour(const std::string& text, Ogre::ColourValue& value);
// Reads one of the names of shadowTechniqueNames.
bool parseShadowTechnique(const std::string& text, Ogre::ShadowTechnique& value);

// The names a settings file may give a shadow technique, with their values.
struct ShadowTechniqueName
{
    const char* name;
    Ogre::ShadowTechnique technique;
};
extern const ShadowTechniqueName shadowTechniqueNames[3];
// The name of a technique of that list; empty for any other.
std::string shadowTechniqueName(Ogre::ShadowTechnique technique);

#endif
