#ifndef ORVTEST_CONFIG_APPSETTINGS_H
#define ORVTEST_CONFIG_APPSETTINGS_H

#include <OgreColourValue.h>
#include <OgreCommon.h>
#include <OgreConfigFile.h>
#include <OgrePrerequisites.h>

// The viewer's own settings, read from "OrvTest.cfg". Each field carries the
// name of its key; the defaults hold wherever the file is silent.
struct AppSettings
{
    // [System]
    Ogre::String StaticSystem = "1.cfg";   // system file, relative to the working folder

    // [Performance]
    bool MeshLod = false;                  // generate a reduced level of detail for near meshes
    float Reduction = 0.5f;                // proportion of vertices that level removes
    float MoveConstant = 10.0f;            // camera speed, world units per second
    float NearClipDistance = 1.0f;         // world units

    // [Light]
    Ogre::ShadowTechnique ShadowTechnique = Ogre::SHADOWTYPE_TEXTURE_MODULATIVE;
    Ogre::ColourValue AmbientLight = Ogre::ColourValue(0.025f, 0.025f, 0.025f, 1.0f);
    Ogre::ColourValue DiffuseLight = Ogre::ColourValue::White;
    Ogre::ColourValue SpecularLight = Ogre::ColourValue::White;
    float Range = 100000.0f;               // attenuation range, world units
    float Constant = 0.5f;
    float Linear = 0.0f;
    float Quadratic = 0.0f;

    // [StarField]
    float Distance = 0.0f;                 // half-edge of the star cube, world units
    int Density = 0;                       // number of stars; none when 0 or negative
};

// The process-wide settings: defaults until loadSettings runs, read-only after.
extern AppSettings appSettings;

// Reads the named settings file into appSettings. Values that do not parse,
// unknown sections and unknown keys leave the settings as they were.
// Throws Ogre::FileNotFoundException when the file cannot be opened.
void loadSettings(const Ogre::String& fileName);

// Applies a settings file that is already read, section by section.
void applySettings(const Ogre::ConfigFile& file);

// The names the settings file may give a shadow technique, with their values.
struct ShadowTechniqueName
{
    const char* name;
    Ogre::ShadowTechnique technique;
};
extern const ShadowTechniqueName shadowTechniqueNames[3];

#endif
