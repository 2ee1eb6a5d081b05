#ifndef ORVTEST_CONFIG_APPSETTINGS_H
#define ORVTEST_CONFIG_APPSETTINGS_H

#include <OgreColourValue.h>
#include <OgreCommon.h>
#include <OgreConfigFile.h>
#include <OgrePrerequisites.h>

#include "sim/BodyDefinition.h"

#include <string>
#include <vector>

// The viewer's own settings, read from "OrvTest.cfg". Each field carries the
// name of its key. Which keys exist, in which section, with which default, is
// written once, in settingsKeys() (config/SettingsKeys.h); a new record holds
// every default.
struct AppSettings
{
    AppSettings();

    // [System]
    Ogre::String StaticSystem{};        // system file, relative to the working folder

    // [Performance]
    bool MeshLod{};                     // generate a reduced level of detail for near meshes
    float Reduction{};                  // proportion of vertices that level removes
    float MoveConstant{};               // camera speed, world units per second
    float NearClipDistance{};           // world units
    float StepsPerSecond{};             // motion steps a second of real time; 0: one a frame

    // [Light]
    Ogre::ShadowTechnique ShadowTechnique{};
    Ogre::ColourValue AmbientLight{};
    Ogre::ColourValue DiffuseLight{};
    Ogre::ColourValue SpecularLight{};
    float Range{};                      // attenuation range, world units
    float Constant{};
    float Linear{};
    float Quadratic{};

    // [StarField]
    float Distance{};                   // half-edge of the star cube, world units
    int Density{};                      // number of stars; none when 0 or negative
    Ogre::String Catalogue{};           // the real sky's stars; "" for the shipped one, in a dated system only
    float MagnitudeLimit{};             // the faintest stars drawn, V
    float Brightness{};                 // the real sky's light, a factor
    bool Constellations{};              // the constellation figures shown at start
    bool MilkyWay{};                    // the Milky Way shown

    // [Screen]
    float UiScale{};                    // size of what is written on screen; 0 for the display's own
    bool TrueScale{};                   // start at true scale (viewer/TrueScaleWorld.h)

    // [Clock]
    DateText Start{};                   // where the clock starts: "now" or a date
    float Speed{};                      // the clock's start speed, sky seconds a second

    // [Catalogues]
    std::vector<std::string> Files{};   // asteroid and comet catalogues shown, found as the system file is
    bool Shipped{};                     // the catalogues that come with the viewer, where bodies follow the clock
};

// The asteroids and comets that come with the viewer, in its data folder.
inline const std::vector<std::string> shippedCatalogues{
    "catalogues/jpl-asteroids.json.gz", "catalogues/jpl-comets.json.gz", "catalogues/mpc-interstellar.txt"};

// The catalogues the settings ask for: the shipped ones first, but only in a
// system whose bodies follow the clock (elsewhere no map from true distances
// to the system's scale stands for them), then Files, in any system.
std::vector<std::string> catalogueNames(const AppSettings& settings, bool datedSystem);

// The process-wide settings: defaults until loadSettings runs, read-only after.
extern AppSettings appSettings;

// Reads the named settings file into appSettings. Values that do not parse,
// unknown sections and unknown keys leave the settings as they were.
// Throws Ogre::FileNotFoundException when the file cannot be opened.
void loadSettings(const Ogre::String& fileName);

// Applies a settings file that is already read to `settings`, section by section.
void applySettings(const Ogre::ConfigFile& file, AppSettings& settings = appSettings);

#endif
