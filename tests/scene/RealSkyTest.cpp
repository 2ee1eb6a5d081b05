// The real sky: its files read or refused with FILE:LINE, its stars placed
// in the world's axes and drawn in their colours and brightness, against
// published values.

#include "HeadlessEngine.h"
#include "TestPaths.h"
#include "config/AppSettings.h"
#include "config/Files.h"
#include "scene/SkyAtlas.h"
#include "scene/SkyBackground.h"
#include "scene/StarLight.h"
#include "scene/SunAndStars.h"

#include <OgreBillboardSet.h>
#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>

#include <cmath>

namespace
{

// said: the start of the Failure; lines are counted past comments and blank ones.
const struct { const char* text, *said; } refusedCatalogues[] = {
    {"1,88.79,7.4\n", "bad.csv:1: expected 5 comma-separated fields (HIP,RA,Dec,V,B-V), found 3"},
    {"# HIP,RA,Dec,V,B-V\n\n1,10,95,5,0.1\n", "bad.csv:3: the declination 95 is outside -90 to 90"},
    {"1,10,5,5,0.1\n2,ten,5,5,0.1\n", "bad.csv:2: the right ascension 'ten' is no number"},
    {"1,361,5,5,0.1\n", "bad.csv:1: the right ascension 361 is outside 0 to 360"},
    {"1,10,5,5mag,0.1\n", "bad.csv:1: the magnitude '5mag' is no number"},
    {"1,10,5,5,9\n", "bad.csv:1: the B-V index 9 is outside -1 to 7"},
    {"1.5,10,5,5,0.1\n", "bad.csv:1: the star number 1.5 is no whole number"},
    {"1,10,5,9.5,0.1\n", "bad.csv: no star as bright as magnitude 8"},
    {"\x1f\x8b\x08\x00garbage", "bad.csv: not a readable gzip file"}};

TEST(SkyFilesTest, ACatalogueIsRefusedAtTheLineThatDoesNotRead)
{
    for (const auto& row : refusedCatalogues)
    {
        const Result<std::string> text = unpackedText("bad.csv", row.text);
        const Result<std::vector<CatalogueStar>> stars =
            text ? readStarCatalogue("bad.csv", *text, 8.0f) : Failure{text.why()};
        ASSERT_FALSE(stars) << row.said;
        EXPECT_EQ(0u, stars.why().find(row.said)) << stars.why();
    }
}

TEST(SkyFilesTest, TheFiguresAndTheMilkyWayAreRefusedAtTheirBadLine)
{
    const Result<std::vector<FigureSegment>> figures =
        readConstellationFigures("figures.csv", "Ori,88.79,7.41,81.28,6.35\nOri,88.79,7.41,81.28\n");
    EXPECT_EQ("figures.csv:2: expected 5 comma-separated fields (Abbr,RA1,Dec1,RA2,Dec2), found 4", figures.why());
    const Result<MilkyWayGrid> grid = readMilkyWay("band.txt", "# grid\n" + std::string(360, '0') + "\n0123\n");
    EXPECT_EQ("band.txt:3: a row of 4 cells, not 360", grid.why());
    const Result<MilkyWayGrid> bright = readMilkyWay("band.txt", std::string(359, '0') + "6\n");
    EXPECT_EQ("band.txt:1: the cell '6' is no level from 0 to 5", bright.why());
}

std::string shipped(const std::string& name)
{
    const Result<std::string> bytes = readWholeFile(std::string(ORVTEST_DATA_DIR) + "/media/sky/" + name);
    const Result<std::string> text = bytes ? unpackedText(name, *bytes) : bytes;
    EXPECT_TRUE(text) << text.why();
    return text ? *text : "";
}

TEST(SkyFilesTest, TheShippedBandIsBrightestInSagittarius)
{
    // The band's light within 20 degrees of the galactic centre (Sagittarius)
    // and of the anticentre (Auriga), as a sum of levels on the grid.
    const MilkyWayGrid grid = *readMilkyWay("milky-way.txt.gz", shipped("milky-way.txt.gz"));
    long centre = 0, anticentre = 0;
    for (int row = 70; row < 110; ++row)
        for (int column = 0; column < 20; ++column)
        {
            centre += grid.level(row, column) + grid.level(row, 359 - column);
            anticentre += grid.level(row, 160 + column) + grid.level(row, 199 - column);
        }
    EXPECT_GT(centre, 2 * anticentre);
    EXPECT_EQ(0, grid.level(0, 0));   // the south galactic pole is dark
}


TEST(StarColourTest, BlackBodiesFallOnThePlanckianLocusAndTheSunsIndexGivesItsTemperature)
{
    // CIE 1931 chromaticities of black bodies, as tabulated by A. W. Paeth
    // (comp.graphics, 30 May 1987, "CIE chromaticity coordinates for a
    // black-body at T").
    const struct { double kelvin, x, y; } locus[] = {
        {3000.0, 0.437, 0.404}, {4000.0, 0.380, 0.377}, {6000.0, 0.322, 0.332}, {10000.0, 0.281, 0.288}};
    for (const auto& point : locus)
    {
        const Xyz c = blackbodyXyz(point.kelvin);
        const double sum = c.X + c.Y + c.Z;
        EXPECT_NEAR(point.x, c.X / sum, 0.004) << point.kelvin;
        EXPECT_NEAR(point.y, c.Y / sum, 0.004) << point.kelvin;
    }
    // The Sun: B-V 0.65, effective temperature 5772 K (IAU 2015 Resolution B3).
    EXPECT_NEAR(5772.0, temperatureFromColourIndex(0.65), 0.01 * 5772.0);
    // 6500 K is close to the display's white; cooler is redder, hotter bluer.
    const Rgb white = blackbodyColour(6500.0);
    EXPECT_GT(std::min({white.r, white.g, white.b}), 0.95f);
    EXPECT_GT(blackbodyColour(3500.0).r - blackbodyColour(3500.0).b, 0.3f);
    EXPECT_GT(blackbodyColour(12000.0).b - blackbodyColour(12000.0).r, 0.1f);
}


// A J2000 equatorial direction in the world's axes, worked out here on its
// own: turned about the equinox by the obliquity of the ecliptic (23°26'21.448",
// IAU 1976), then X to the equinox, Y to the north ecliptic pole and Z to
// ecliptic longitude 270°.
Ogre::Vector3 worldOf(double rightAscension, double declination)
{
    const double d2r = std::acos(-1.0) / 180.0;
    const double e = (23.0 + 26.0 / 60.0 + 21.448 / 3600.0) * d2r;
    const double a = rightAscension * d2r, d = declination * d2r;
    const double x = std::cos(d) * std::cos(a), y = std::cos(d) * std::sin(a), z = std::sin(d);
    const double eclipticY = y * std::cos(e) + z * std::sin(e), eclipticZ = -y * std::sin(e) + z * std::cos(e);
    return Ogre::Vector3(float(x), float(eclipticZ), float(-eclipticY));
}

// In double precision: a float's arc cosine cannot tell 0.02 degrees from 0.
double degreesApart(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    const Ogre::Vector3 u = a.normalisedCopy(), v = b.normalisedCopy();
    const double dx = double(u.x) - v.x, dy = double(u.y) - v.y, dz = double(u.z) - v.z;
    return 2.0 * std::asin(std::min(1.0, std::sqrt(dx * dx + dy * dy + dz * dz) / 2.0)) * 180.0 / std::acos(-1.0);
}

class RealSkyTest : public HeadlessEngine
{
protected:
    SkyBackground* buildSky()
    {
        createStarField(sceneManager);
        SkyBackground* sky = realSky(sceneManager);
        EXPECT_NE(nullptr, sky) << realSkyProblem();
        return sky;
    }

    // The drawn vertex of the catalogue star with that HIP number.
    SkyBackground::StarVertex star(const SkyBackground& sky, long hip)
    {
        static const std::vector<CatalogueStar> stars =
            *readStarCatalogue("hipparcos-8.csv.gz", shipped("hipparcos-8.csv.gz"), 8.0f);
        for (std::size_t i = 0; i < stars.size(); ++i)
            if (stars[i].number == hip)
                return sky.starVertex(i);
        ADD_FAILURE() << "no HIP " << hip;
        return {};
    }
};

TEST_F(RealSkyTest, StarsStandAtTheirJ2000PlacesInTheWorldsAxesInTheirBrightnessAndTheSunGlowsLess)
{
    createSun(sceneManager);
    const auto glow = [&] { return sceneManager->getParticleSystem("SunParticle"); };
    const auto emitted = [&] {
        float perSecond = 0.0f;
        for (unsigned short i = 0; i < glow()->getNumEmitters(); ++i)
            perSecond += glow()->getEmitter(i)->getEmissionRate();
        return perSecond;
    };
    EXPECT_TRUE(glow()->getParticleQuota() == 120u && emitted() == 60.0f);
    appSettings.Catalogue = shippedCatalogue;
    const SkyBackground* sky = buildSky();
    ASSERT_NE(nullptr, sky);
    // Under the real sky the Sun's glow has a tenth of its particles, each brighter.
    EXPECT_TRUE(glow()->getParticleQuota() == 12u && emitted() == 6.0f) << glow()->getParticleQuota();
    EXPECT_EQ("Stars/SunGlowBright", glow()->getMaterialName());
    EXPECT_EQ(sceneManager->getSceneNode("SunParticle"), glow()->getParentSceneNode());
    // The whole catalogue, and Betelgeuse's and Rigel's colours and Orion's
    // figure in the picture, are tests/e2e/sky.py's.
    // Polaris (HIP 11767) lies 0.74° from the celestial pole.
    EXPECT_NEAR(0.75, degreesApart(worldOf(0.0, 90.0), star(*sky, 11767).direction), 0.15);
    // Betelgeuse HIP 27989 and Rigel HIP 24436, at their J2000 places as
    // d3-celestial 0.7.35 gives them from XHIP.
    EXPECT_LT(degreesApart(worldOf(88.7929, 7.4071), star(*sky, 27989).direction), 0.001);
    EXPECT_LT(degreesApart(worldOf(78.6345, -8.2016), star(*sky, 24436).direction), 0.001);

    // Sirius (V -1.44) outshines Bellatrix (V 1.64): a wider core at full
    // intensity, and a glow; a star of V 7.5 (HIP 3) is a dim dot.
    const SkyBackground::StarVertex sirius = star(*sky, 32349), bellatrix = star(*sky, 25336);
    EXPECT_GT(sirius.shape.y, 1.5f * bellatrix.shape.y);
    EXPECT_GT(sirius.shape.x, bellatrix.shape.x);
    EXPECT_GT(sirius.shape.w, bellatrix.shape.w);
    EXPECT_NEAR(1.0f, std::max({sirius.colour.x, sirius.colour.y, sirius.colour.z}), 0.01f);
    const SkyBackground::StarVertex faint = star(*sky, 11);   // V 7.34
    EXPECT_LT(std::max({faint.colour.x, faint.colour.y, faint.colour.z}), 0.2f);
    EXPECT_GE(faint.shape.x, starLight::smallestSize);

    // A halo never outgrows the view.
    for (std::size_t i = 0; i < sky->starCount(); i += 97)
        ASSERT_LE(sky->starVertex(i).shape.x, 40.0f);

    // The random field again: the whole glow.
    appSettings.Catalogue = "";
    EXPECT_TRUE(matchStarFieldToBodies(sceneManager));
    EXPECT_EQ(120u, glow()->getParticleQuota());
    EXPECT_EQ("Stars/SunGlow", glow()->getMaterialName());
}

TEST_F(RealSkyTest, TheSettingsSayWhatIsShownAndHowBright)
{
    appSettings.Catalogue = shippedCatalogue;
    appSettings.MagnitudeLimit = 6.0f;
    appSettings.Brightness = 2.0f;
    const SkyBackground* sky = buildSky();
    ASSERT_NE(nullptr, sky);
    EXPECT_NEAR(5000.0, double(sky->starCount()), 1000.0);
    // The band's light doubles with Brightness.
    float brightest = 0.0f;
    for (const SkyBackground::PlainVertex& vertex : sky->milkyWayVertices())
        brightest = std::max(brightest, vertex.colour.z);
    EXPECT_NEAR(2.0f * milkyWayColour(5.0f).z, brightest, 1e-4f);

    sceneManager->clearScene();
    appSettings.Constellations = true;
    appSettings.MilkyWay = false;
    sky = buildSky();
    ASSERT_NE(nullptr, sky);
    EXPECT_TRUE(sky->showsFigures() && !sky->showsMilkyWay());
}

TEST_F(RealSkyTest, ACatalogueThatDoesNotReadLeavesTheRandomStarsAndSaysWhy)
{
    appSettings.Catalogue = writeTempFile("mine.csv", "# my stars\n1,10,5,5,0.1\n2,20,-91,4,0.2\n");
    appSettings.Density = 100;
    createStarField(sceneManager);
    EXPECT_EQ(nullptr, realSky(sceneManager));
    EXPECT_EQ(100u, sceneManager->getBillboardSet("StarField")->getNumBillboards());
    EXPECT_EQ(appSettings.Catalogue + ":3: the declination -91 is outside -90 to 90; the random stars stay",
              realSkyProblem());

    // Without a catalogue named and with no dated body, the random field is what is wanted.
    appSettings.Catalogue = "";
    EXPECT_TRUE(matchStarFieldToBodies(sceneManager));
    EXPECT_EQ(nullptr, realSky(sceneManager));
    EXPECT_EQ("", realSkyProblem());
    EXPECT_FALSE(matchStarFieldToBodies(sceneManager));
    appSettings.Catalogue = "nowhere.csv";
    recreateStarField(sceneManager);
    EXPECT_EQ("nowhere.csv: no such file here or among the sky data; the random stars stay", realSkyProblem());
}
}
