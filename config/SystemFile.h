#ifndef ORVTEST_CONFIG_SYSTEMFILE_H
#define ORVTEST_CONFIG_SYSTEMFILE_H

#include <OgreConfigFile.h>
#include <OgreVector.h>

#include <string>

// Reads the named system file and registers one Body per accepted section in
// bodyRegistry, in ascending byte-wise order of section names. A section is
// accepted when its name is not empty and it holds exactly ten settings with
// counted keys. Throws Ogre::FileNotFoundException when the file cannot be opened.
void loadSystemFile(std::string fileName);

// Registers the bodies of a system file that is already read.
void registerBodies(const Ogre::ConfigFile& file);

// The keys of a body section, in the order the reader compares them.
struct SystemFileKey
{
    const char* name;
    bool counted;   // one of the ten required keys
};
extern const SystemFileKey systemFileKeys[21];
constexpr int requiredKeyCount = 10;

// A body section as the reader sees it before the body is made.
struct BodyDefinition
{
    std::string Name;
    std::string parentNodeName;   // Parent + ".Position"
    std::string Model;
    std::string Material;
    float Size = 0.0f;
    float OrbitRadius = 0.0f;
    float OrbitPeriod = 0.0f;
    float PitchPeriod = 0.0f;
    float YawPeriod = 0.0f;
    float RollPeriod = 0.0f;
    float OrbitCompleted = 0.0f;
    float PitchCompleted = 0.0f;
    float YawCompleted = 0.0f;
    float RollCompleted = 0.0f;
    Ogre::Vector3 OrbitAxis = Ogre::Vector3::UNIT_Y;
    Ogre::Vector3 PitchAxis = Ogre::Vector3::UNIT_X;
    Ogre::Vector3 YawAxis = Ogre::Vector3::UNIT_Y;
    Ogre::Vector3 RollAxis = Ogre::Vector3::UNIT_Z;
    bool Far = true;
    float NearDistance = 10000.0f;
    float FarDistance = 200000.0f;
    int countedSettings = 0;      // occurrences of counted keys, parsed or not
};

// Applies one section's settings, in the reader's order, to fresh defaults.
BodyDefinition readBodyDefinition(const Ogre::ConfigFile::SettingsMultiMap& settings);

// Whether a section becomes a body.
bool isAcceptedSection(const std::string& sectionName, const BodyDefinition& definition);

#endif
