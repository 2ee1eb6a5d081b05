// Catalogue bodies on the default system's display scale: real asteroids
// from JPL's small-body database stand between Mars and Jupiter, and real
// Jupiter Trojans on Jupiter's orbit, at any date of the catalogue's decades.

#include "DefaultSystem.h"
#include "HeadlessEngine.h"
#include "catalogue/CatalogueReading.h"
#include "sim/DisplayScale.h"
#include "sim/SkyToWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
// TT days from J2000 of 1990, 2010, 2022 (the excerpt's epoch) and 2040.
const double dates[] = {-3652.5, 3652.5, 8255.5, 14610.0};

class DisplayScaleTest : public DefaultSystem
{
protected:
    void SetUp() override
    {
        DefaultSystem::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        map = displayMapOf(*verdict.bodies);
        // JPL's SBDB query answer as Debian's kstars-data carries it: Ceres,
        // Pallas, Vesta and the 497 bodies of class TJN (README.md there).
        Result<Catalogue> read =
            readCatalogueFile(std::string(ORVTEST_TEST_DATA_DIR) + "/catalogue/trojans-and-belt.json");
        ASSERT_TRUE(read.ok()) << read.why();
        catalogue = std::move(*read);
        ASSERT_EQ(500u, catalogue.bodies.size());
    }

    // The three largest of the main belt; the other 497 are Jupiter Trojans.
    bool inTheBelt(std::size_t index) const
    {
        const std::string_view name = catalogue.bodies.name(index);
        return name.find("Ceres") != name.npos || name.find("Pallas") != name.npos || name.find("Vesta") != name.npos;
    }

    // The world distance from the Sun of a catalogue body at a date.
    double worldDistanceOf(std::size_t index, double days) const
    {
        return displayPlace(catalogue.bodies.positionAt(index, days), map).length();
    }

    RadialMap map;
    Catalogue catalogue;
};

TEST_F(DisplayScaleTest, ThePlanetsSetTheScaleByTheirTheoriesReferenceDistances)
{
    ASSERT_EQ(8u, map.knots().size());
    // Standish's semi-major axis of Jupiter, as VSOP87-Jupiter's reference.
    EXPECT_EQ(5.20288700, map.knots()[4].au);
    EXPECT_EQ(4000.0, map.knots()[4].world);
}

TEST_F(DisplayScaleTest, TheBeltStandsBetweenMarsAndJupiterAndTheTrojansOnJupitersOrbit)
{
    const double mars = body("Mars").definition.OrbitRadius, jupiter = body("Jupiter").definition.OrbitRadius;
    for (double days : dates)
    {
        std::vector<double> offsets;
        for (std::size_t index = 0; index < catalogue.bodies.size(); ++index)
        {
            const std::string name(catalogue.bodies.name(index));
            const double distance = worldDistanceOf(index, days);
            if (inTheBelt(index))
            {
                EXPECT_GT(distance, mars) << name << " at " << days;
                EXPECT_LT(distance, jupiter) << name << " at " << days;
                continue;
            }
            const double offset = distance / jupiter - 1.0;
            offsets.push_back(std::abs(offset));
            // (624) Hektor, of eccentricity 0.02, keeps to Jupiter's orbit closely.
            if (name.find("Hektor") != std::string::npos)
            {
                EXPECT_NEAR(0.0, offset, 0.015) << days;
            }
            // Every one within an eighth, as far as eccentricities up to 0.29 take them.
            EXPECT_LT(std::abs(offset), 0.125) << name << " at " << days;
        }
        ASSERT_EQ(497u, offsets.size());
        std::sort(offsets.begin(), offsets.end());
        EXPECT_LT(offsets[offsets.size() / 2], 0.025) << "the median at " << days;
        EXPECT_LT(offsets[offsets.size() * 9 / 10], 0.05) << "nine tenths at " << days;
    }
}

TEST_F(DisplayScaleTest, ABodyKeepsItsDirectionFromTheSun)
{
    for (std::size_t index : {std::size_t(0), std::size_t(250)})
    {
        const Vector3d place = catalogue.bodies.positionAt(index, 9000.0);
        const Ogre::Vector3 shown = displayPlace(place, map);
        const Ogre::Vector3 direction = worldFromEcliptic(place.normalised());
        EXPECT_TRUE(vectorsNear(direction, shown.normalisedCopy(), 1e-6f));
        EXPECT_NEAR(map.worldDistance(place.length()), shown.length(), 1e-3);
    }
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, displayPlace({}, map)));
}

TEST(DisplayScaleRegistryTest, AGeneratedBeltBesideThePlanetsLeavesThemTheScale)
{
    // The planets of a system, then twenty dated asteroids whose radii would
    // turn the map back if they were knots: only the sixteen largest count.
    BodyRegistry bodies;
    const double planetDays[] = {88.0, 225.0, 365.25, 687.0, 4333.0, 10759.0, 30687.0, 60190.0};
    for (int i = 0; i < 8; ++i)
    {
        BodyDefinition planet = bodyDefinition("Sun", "Planet" + std::to_string(i));
        planet.Size = 100.0f + float(i);
        planet.OrbitRadius = 1000.0f + 1000.0f * float(i);
        planet.OrbitDays = planetDays[i];
        bodies.add(new Body("P" + std::to_string(i), planet));
    }
    for (int i = 0; i < 20; ++i)
    {
        BodyDefinition asteroid = bodyDefinition("Sun", "Asteroid" + std::to_string(i));
        asteroid.Size = 2.0f;
        asteroid.OrbitRadius = 20000.0f - 500.0f * float(i);
        asteroid.OrbitDays = 1200.0 + 10.0 * i;
        bodies.add(new Body("A" + std::to_string(i), asteroid));
    }
    // A moon and a frame-locked planet set nothing.
    BodyDefinition moon = bodyDefinition("P2", "Moon");
    moon.Size = 500.0f;
    moon.OrbitDays = 27.3;
    bodies.add(new Body("P2.Moon", moon));
    BodyDefinition locked = bodyDefinition("Sun", "Locked");
    locked.Size = 600.0f;
    bodies.add(new Body("L", locked));

    const std::vector<DistancePair> pairs = planetDistances(bodies);
    ASSERT_EQ(16u, pairs.size());
    const RadialMap map(pairs);
    ASSERT_EQ(8u, map.knots().size());
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(1000.0 + 1000.0 * i, map.worldDistance(semiMajorAxisOfPeriod(planetDays[i])), 1e-6);
}
}
