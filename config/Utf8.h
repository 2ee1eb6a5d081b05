#ifndef ORVTEST_CONFIG_UTF8_H
#define ORVTEST_CONFIG_UTF8_H

#include <cstddef>
#include <cstdint>
#include <string>

// Names in the files are UTF-8; these are the few things the viewer does with
// such text by character rather than by byte.

// The first `bytes` bytes of the text, less a character cut in two.
std::string cutUtf8(const std::string& text, std::size_t bytes);

// Appends one character, given as a Unicode code point.
void appendUtf8(std::string& text, std::uint32_t codePoint);
// Removes the last character; nothing when the text is empty.
void eraseLastUtf8(std::string& text);

// The code point that starts at `at`, and `at` moved past it; a byte that
// starts no well-formed character counts as one character of its own.
std::uint32_t nextCodePoint(const std::string& text, std::size_t& at);

// The lower-case letter of an upper-case one of the Latin, Greek and
// Cyrillic alphabets; any other code point as it is. Enough to match a name
// typed in either case.
std::uint32_t lowerCase(std::uint32_t codePoint);

// Whether `text` begins with `prefix`, letters compared in either case.
bool beginsWithIgnoringCase(const std::string& text, const std::string& prefix);
bool equalIgnoringCase(const std::string& a, const std::string& b);
// How many bytes of `a` begin both, in either case, ending on a whole character.
std::size_t commonPrefixIgnoringCase(const std::string& a, const std::string& b);

#endif
