#ifndef ORVTEST_CONFIG_CONFIGFILEREADING_H
#define ORVTEST_CONFIG_CONFIGFILEREADING_H

#include <OgreConfigFile.h>

#include <string>

// Loads a configuration file with the separators tab, colon and equals sign and
// whitespace trimmed. Throws Ogre::FileNotFoundException when the file cannot
// be opened or is no regular file: the engine's reader would spin for ever on
// a folder and block on a pipe.
void loadConfigFile(Ogre::ConfigFile& file, const std::string& fileName);

#endif
