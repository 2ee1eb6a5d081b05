#ifndef ORVTEST_CONFIG_CONFIGFILEREADING_H
#define ORVTEST_CONFIG_CONFIGFILEREADING_H

#include "config/Result.h"

#include <OgreConfigFile.h>

#include <string>

// Reads the whole file at once, so that the reader works on one consistent
// copy. A Failure "Cannot open file: NAME (why)" when the file cannot be
// opened or is no regular file (the engine's reader would spin for ever on a
// folder and block on a pipe), and "NAME:LINE: why" when it is no UTF-8 text
// (checkConfigText).
Result<std::string> readConfigFile(const std::string& fileName);
// The same for the engine's readers, which report by exception: throws
// Ogre::FileNotFoundException or Ogre::InvalidParametersException with those
// words.
std::string readConfigText(const std::string& fileName);

// Whether `text` can be a configuration file, which is UTF-8 (or ASCII)
// text: not UTF-16 or UTF-32 (which the reader would take for a file of no
// settings at all), and no NUL bytes, which no text holds. A Failure
// "NAME:LINE: why" when not, at the line where the trouble starts.
Result<> checkConfigText(const std::string& name, const std::string& text);

// Whether the text begins with the UTF-8 byte-order mark that some editors write.
bool startsWithByteOrderMark(const std::string& text);

// Parses configuration text with the separators tab, colon and equals sign
// and whitespace trimmed, as the engine reads its own files. A leading
// byte-order mark is skipped: the text reads as it would without it.
void parseConfigText(Ogre::ConfigFile& file, const std::string& text);

// readConfigText, then parseConfigText.
void loadConfigFile(Ogre::ConfigFile& file, const std::string& fileName);

#endif
