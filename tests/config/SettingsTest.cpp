#include "HeadlessEngine.h"
#include "config/AppSettings.h"

#include <OgreException.h>

#include <functional>

namespace
{
struct SettingsCase
{
    const char* name;
    const char* text;
    std::function<void(const AppSettings&)> check;

    friend void PrintTo(const SettingsCase& row, std::ostream* out) { *out << row.name; }
};

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
};

TEST_F(SettingsTest, NoEntriesKeepsEveryDefault)
{
    loadSettings(writeTempFile("OrvTest.cfg", "# nothing but a comment\n[System]\n"));
    const AppSettings defaults;
    EXPECT_EQ("1.cfg", appSettings.StaticSystem);
    EXPECT_FALSE(appSettings.MeshLod);
    EXPECT_EQ(0.5f, appSettings.Reduction);
    EXPECT_EQ(10.0f, appSettings.MoveConstant);
    EXPECT_EQ(1.0f, appSettings.NearClipDistance);
    EXPECT_EQ(Ogre::SHADOWTYPE_TEXTURE_MODULATIVE, appSettings.ShadowTechnique);
    EXPECT_TRUE(coloursEqual(Ogre::ColourValue(0.025f, 0.025f, 0.025f, 1.0f), appSettings.AmbientLight));
    EXPECT_TRUE(coloursEqual(Ogre::ColourValue::White, appSettings.DiffuseLight));
    EXPECT_TRUE(coloursEqual(Ogre::ColourValue::White, appSettings.SpecularLight));
    EXPECT_EQ(100000.0f, appSettings.Range);
    EXPECT_EQ(0.5f, appSettings.Constant);
    EXPECT_EQ(0.0f, appSettings.Linear);
    EXPECT_EQ(0.0f, appSettings.Quadratic);
    EXPECT_EQ(0.0f, appSettings.Distance);
    EXPECT_EQ(0, appSettings.Density);
}

const SettingsCase settingsCases[] = {
        {"EveryKeyInItsSection",
         "[System]\nStaticSystem=solar.cfg\n[Performance]\nMeshLod=1\nReduction=0.25\n"
         "MoveConstant=25\nNearClipDistance=0.5\n[Light]\nShadowTechnique=SHADOWTYPE_STENCIL_ADDITIVE\n"
         "AmbientLight=0.1 0.2 0.3\nDiffuseLight=0.5 0.6 0.7\nSpecularLight=0 0 1\nRange=5000\n"
         "Constant=1\nLinear=0.01\nQuadratic=0.001\n[StarField]\nDistance=3000\nDensity=250\n",
         [](const AppSettings& s) {
             EXPECT_EQ("solar.cfg", s.StaticSystem);
             EXPECT_TRUE(s.MeshLod);
             EXPECT_EQ(0.25f, s.Reduction);
             EXPECT_EQ(25.0f, s.MoveConstant);
             EXPECT_EQ(0.5f, s.NearClipDistance);
             EXPECT_EQ(Ogre::SHADOWTYPE_STENCIL_ADDITIVE, s.ShadowTechnique);
             EXPECT_TRUE(coloursEqual(Ogre::ColourValue(0.1f, 0.2f, 0.3f, 1.0f), s.AmbientLight));
             EXPECT_TRUE(coloursEqual(Ogre::ColourValue(0.5f, 0.6f, 0.7f, 1.0f), s.DiffuseLight));
             EXPECT_TRUE(coloursEqual(Ogre::ColourValue(0.0f, 0.0f, 1.0f, 1.0f), s.SpecularLight));
             EXPECT_EQ(5000.0f, s.Range);
             EXPECT_EQ(1.0f, s.Constant);
             EXPECT_EQ(0.01f, s.Linear);
             EXPECT_EQ(0.001f, s.Quadratic);
             EXPECT_EQ(3000.0f, s.Distance);
             EXPECT_EQ(250, s.Density);
         }},
        {"TabColonAndEqualsSeparate",
         "[Performance]\nMoveConstant\t20\n  Reduction :  0.75  \nNearClipDistance = 2\n",
         [](const AppSettings& s) {
             EXPECT_EQ(20.0f, s.MoveConstant);
             EXPECT_EQ(0.75f, s.Reduction);
             EXPECT_EQ(2.0f, s.NearClipDistance);
         }},
        {"ABlankAloneSeparatesNothing", "[Performance]\nMoveConstant 20\n",
         [](const AppSettings& s) { EXPECT_EQ(10.0f, s.MoveConstant); }},
        {"AKeyInTheWrongSectionIsSkipped", "[Performance]\nRange=5\n",
         [](const AppSettings& s) { EXPECT_EQ(100000.0f, s.Range); }},
        {"NamesAreCaseSensitive", "[light]\nRange=5\n[Light]\nrange=6\n",
         [](const AppSettings& s) { EXPECT_EQ(100000.0f, s.Range); }},
        {"AnUnknownShadowTechniqueKeepsTheOldOne",
         "[Light]\nShadowTechnique=SHADOWTYPE_STENCIL_MODULATIVE\nShadowTechnique=SHADOWTYPE_NONE\n",
         [](const AppSettings& s) { EXPECT_EQ(Ogre::SHADOWTYPE_STENCIL_MODULATIVE, s.ShadowTechnique); }},
        {"AFourthColourNumberLeavesAlphaAtOne", "[Light]\nAmbientLight=0.1 0.2 0.3 0.5\n",
         [](const AppSettings& s) {
             EXPECT_TRUE(coloursEqual(Ogre::ColourValue(0.1f, 0.2f, 0.3f, 1.0f), s.AmbientLight));
         }},
        {"MeshLodTakesZeroOrOneOnly", "[Performance]\nMeshLod=true\n",
         [](const AppSettings& s) { EXPECT_FALSE(s.MeshLod); }},
        {"MeshLodTwoIsNoFlag", "[Performance]\nMeshLod=2\n",
         [](const AppSettings& s) { EXPECT_FALSE(s.MeshLod); }},
        {"AFileNameIsCutAtItsFirstBlank", "[System]\nStaticSystem=my system.cfg\n",
         [](const AppSettings& s) { EXPECT_EQ("my", s.StaticSystem); }},
        {"ANegativeDensityIsKept", "[StarField]\nDensity=-5\n",
         [](const AppSettings& s) { EXPECT_EQ(-5, s.Density); }},
        {"ABadValueKeepsTheDefault", "[Performance]\nReduction=abc\nMoveConstant=\n",
         [](const AppSettings& s) {
             EXPECT_EQ(0.5f, s.Reduction);
             EXPECT_EQ(10.0f, s.MoveConstant);
         }},
        {"ABadValueKeepsTheEarlierValue", "[Light]\nRange=7\nRange=x\n",
         [](const AppSettings& s) { EXPECT_EQ(7.0f, s.Range); }},
        {"ARepeatedKeyTakesItsLastValue", "[Light]\nRange=7\nRange=9\n",
         [](const AppSettings& s) { EXPECT_EQ(9.0f, s.Range); }},
        {"ANumberIsReadFromTheStart", "[StarField]\nDensity=12abc\nDistance=1e3 units\n",
         [](const AppSettings& s) {
             EXPECT_EQ(12, s.Density);
             EXPECT_EQ(1000.0f, s.Distance);
         }},
        {"AByteOrderMarkIsSkipped", "\xEF\xBB\xBF[Performance]\nMoveConstant=25\n",
         [](const AppSettings& s) { EXPECT_EQ(25.0f, s.MoveConstant); }},
        {"OutOfRangeNumbersKeepTheDefault", "[StarField]\nDensity=99999999999\nDistance=1e39\n",
         [](const AppSettings& s) {
             EXPECT_EQ(0, s.Density);
             EXPECT_EQ(0.0f, s.Distance);
         }},
    };

class SettingsRuleTest : public ::testing::TestWithParam<SettingsCase>
{
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
};

TEST_P(SettingsRuleTest, ReadsTheKeyByItsRules)
{
    loadSettings(writeTempFile("OrvTest.cfg", GetParam().text));
    GetParam().check(appSettings);
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsRuleTest, ::testing::ValuesIn(settingsCases), RowName());

TEST_F(SettingsTest, MissingFileRaisesTheEnginesNotFoundError)
{
    try
    {
        loadSettings("no-such-settings.cfg");
        FAIL() << "no exception";
    }
    catch (const Ogre::FileNotFoundException& error)
    {
        EXPECT_NE(std::string::npos, error.getDescription().find("no-such-settings.cfg"));
    }
    EXPECT_EQ("1.cfg", appSettings.StaticSystem);
}
}
