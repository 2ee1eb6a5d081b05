// The shadows' geometry: where a sphere in front of the sun leaves a point in
// its umbra, its penumbra or in full light, and how a ring's opacity grows
// along a slant.

#include "scene/ShadowGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The sun at the origin, 10 units across its radius; the caster 100 out on X.
const Ogre::Vector3 sun(0.0f, 0.0f, 0.0f);
constexpr float sunRadius = 10.0f;
const Ogre::Vector3 caster(100.0f, 0.0f, 0.0f);

// Seen from a point, radians: the sun's and the caster's centres apart, and
// their angular radii (the discs touch at the sum, one holds the other at the difference).
struct Seen { float apart, sunAngle, casterAngle; };
Seen seenFrom(const Ogre::Vector3& point, float casterRadius)
{
    const Ogre::Vector3 toSun = (sun - point).normalisedCopy();
    const Ogre::Vector3 toCaster = (caster - point).normalisedCopy();
    return {std::acos(toSun.dotProduct(toCaster)), std::asin(sunRadius / point.distance(sun)),
            std::asin(casterRadius / point.distance(caster))};
}

// The point at distance 200 from the sun whose view separates the two
// centres by `apart` radians (found by bisection on the height above the axis).
Ogre::Vector3 pointAtSeparation(float apart, float casterRadius)
{
    float low = 0.0f, high = 100.0f;
    for (int i = 0; i < 60; ++i)
    {
        const float middle = (low + high) / 2;
        (seenFrom(Ogre::Vector3(200.0f, middle, 0.0f), casterRadius).apart < apart ? low : high) = middle;
    }
    return Ogre::Vector3(200.0f, low, 0.0f);
}

TEST(ShadowGeometryTest, UmbraPenumbraAndFullLightFallWhereTheDiscsAngularSizesPlaceThem)
{
    const float radius = 8.0f;   // larger than the sun as seen from behind it
    EXPECT_FLOAT_EQ(0.0f, sunlightPast(Ogre::Vector3(200, 0, 0), sun, sunRadius, caster, radius));
    EXPECT_FLOAT_EQ(1.0f, sunlightPast(Ogre::Vector3(200, 50, 0), sun, sunRadius, caster, radius));
    // Just inside the umbra's edge and just outside the penumbra's.
    const Seen axis = seenFrom(Ogre::Vector3(200, 0, 0), radius);
    const float umbraEdge = axis.casterAngle - axis.sunAngle;
    const float penumbraEdge = axis.casterAngle + axis.sunAngle;
    EXPECT_LT(sunlightPast(pointAtSeparation(0.95f * umbraEdge, radius), sun, sunRadius, caster, radius), 1e-3f);
    EXPECT_GT(sunlightPast(pointAtSeparation(1.05f * penumbraEdge, radius), sun, sunRadius, caster, radius),
              0.999f);
    // Between them the light grows steadily, with no hard edge.
    float last = -1.0f;
    int between = 0;
    for (int step = 0; step <= 50; ++step)
    {
        const float light = sunlightPast(Ogre::Vector3(200.0f, float(step), 0.0f), sun, sunRadius, caster, radius);
        EXPECT_GE(light, last) << "at height " << step;
        between += light > 0.05f && light < 0.95f;
        last = light;
    }
    EXPECT_GE(between, 3);
    // A smaller disc in front of the sun dims it by the ratio of their
    // areas; the shading takes the angles by their sines: a thousandth off.
    const Seen small = seenFrom(Ogre::Vector3(200, 0, 0), 2.0f);
    const float ratio = small.casterAngle / small.sunAngle;
    EXPECT_NEAR(1.0f - ratio * ratio, sunlightPast(Ogre::Vector3(200, 0, 0), sun, sunRadius, caster, 2.0f), 1e-3f);
}

TEST(ShadowGeometryTest, OnlyASphereBetweenThePointAndTheSunShadowsIt)
{
    // Behind the point, beyond the sun, around the point, or of no size.
    EXPECT_EQ(1.0f, sunlightPast(Ogre::Vector3(50, 0, 0), sun, sunRadius, caster, 8.0f));
    EXPECT_EQ(1.0f, sunlightPast(Ogre::Vector3(-200, 0, 0), Ogre::Vector3(-300, 0, 0), sunRadius, caster, 8.0f));
    EXPECT_EQ(1.0f, sunlightPast(Ogre::Vector3(103, 0, 0), sun, sunRadius, caster, 8.0f));
    EXPECT_EQ(1.0f, sunlightPast(Ogre::Vector3(200, 0, 0), sun, sunRadius, caster, 0.0f));
    // A sun of no size casts a hard shadow, the sphere's own outline.
    EXPECT_FLOAT_EQ(0.0f, sunlightPast(Ogre::Vector3(200, 15.0f, 0), sun, 0.0f, caster, 8.0f));
    EXPECT_FLOAT_EQ(1.0f, sunlightPast(Ogre::Vector3(200, 17.0f, 0), sun, 0.0f, caster, 8.0f));
}

TEST(ShadowGeometryTest, ARingStopsMoreLightAlongASlant)
{
    EXPECT_NEAR(0.5f, slantOpacity(0.5f, 1.0f), 1e-6f);
    EXPECT_NEAR(0.5f, slantOpacity(0.5f, -1.0f), 1e-6f);    // from either side
    EXPECT_NEAR(0.75f, slantOpacity(0.5f, 0.5f), 1e-6f);    // twice the path: half of the half let through
    EXPECT_GT(slantOpacity(0.05f, 0.02f), 0.9f);            // edge-on even a thin ring stops nearly all
    EXPECT_EQ(0.0f, slantOpacity(0.0f, 0.3f));
}
TEST(ShadowGeometryTest, ACasterIsWorthTheShadersTimeOnlyWhereItsPenumbraCanReachTheBody)
{
    const float radius = 8.0f;
    // Never no where a point of the body is shadowed: every point of a sphere
    // the test turns away is in full light. Its noes are RingsAndShadowsTest's,
    // at published eclipses and a week after them.
    for (float y = 0.0f; y <= 100.0f; y += 2.5f)
        for (float x = 120.0f; x <= 400.0f; x += 20.0f)
        {
            const Ogre::Vector3 centre(x, y, 0.0f);
            if (canShadow(sun, sunRadius, caster, radius, centre, 10.0f))
                continue;
            for (int k = 0; k < 16; ++k)
            {
                const float a = Ogre::Math::TWO_PI * float(k) / 16.0f;
                const Ogre::Vector3 point = centre + 10.0f * Ogre::Vector3(std::cos(a), std::sin(a), 0.0f);
                EXPECT_EQ(1.0f, sunlightPast(point, sun, sunRadius, caster, radius)) << x << " " << y << " " << k;
            }
        }
}
}
