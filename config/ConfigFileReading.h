#ifndef ORVTEST_CONFIG_CONFIGFILEREADING_H
#define ORVTEST_CONFIG_CONFIGFILEREADING_H

#include <OgreConfigFile.h>

#include <string>

// Reads the whole file at once, so that the reader works on one consistent
// copy. Throws Ogre::FileNotFoundException ("Cannot open file: NAME") when
// the file cannot be opened or is no regular file (the engine's reader would
// spin for ever on a folder and block on a pipe), and
// Ogre::InvalidParametersException when it is no UTF-8 text (textProblem).
std::string readConfigText(const std::string& fileName);

// Why `text` cannot be a configuration file, which is UTF-8 (or ASCII) text:
// UTF-16 or UTF-32 (which the reader would take for a file of no settings at
// all), or NUL bytes, which no text holds. Empty when it can be; `line`
// becomes the line where the trouble starts.
std::string textProblem(const std::string& text, int& line);

// Whether the text begins with the UTF-8 byte-order mark that some editors write.
bool startsWithByteOrderMark(const std::string& text);

// Parses configuration text with the separators tab, colon and equals sign
// and whitespace trimmed, as the engine reads its own files. A leading
// byte-order mark is skipped: the text reads as it would without it.
void parseConfigText(Ogre::ConfigFile& file, const std::string& text);

// readConfigText, then parseConfigText.
void loadConfigFile(Ogre::ConfigFile& file, const std::string& fileName);

#endif
