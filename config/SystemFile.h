#ifndef ORVTEST_CONFIG_SYSTEMFILE_H
#define ORVTEST_CONFIG_SYSTEMFILE_H

#include "sim/BodyDefinition.h"

#include <OgreConfigFile.h>

#include <string>

class BodyRegistry;

// Reads the named system file and registers one Body per accepted section in
// bodyRegistry, in ascending byte-wise order of section names. A section is
// accepted when its name is not empty and it gives each of the required keys
// exactly once. Throws Ogre::FileNotFoundException when the file cannot
// be opened.
void loadSystemFile(std::string fileName);

// Registers the bodies of a system file that is already read.
void registerBodies(const Ogre::ConfigFile& file, BodyRegistry& registry);

// A body section as the reader sees it before the body is made.
struct BodySection
{
    BodyDefinition definition;
    int requiredSettings = 0;    // occurrences of required keys, parsed or not
};

// Applies one section's settings, in file order, to the defaults.
BodySection readBodySection(const Ogre::ConfigFile::SettingsMultiMap& settings);

// Whether a section becomes a body.
bool isAcceptedSection(const std::string& sectionName, const BodySection& section);

#endif
