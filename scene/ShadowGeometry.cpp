#include "scene/ShadowGeometry.h"

#include <algorithm>
#include <cmath>

namespace
{
// GLSL's smoothstep, for edges in either order.
float smoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
}

float sunlightPast(const Ogre::Vector3& point, const Ogre::Vector3& sun, float sunRadius,
                   const Ogre::Vector3& casterCentre, float casterRadius)
{
    const Ogre::Vector3 toSun = sun - point;
    const Ogre::Vector3 toCaster = casterCentre - point;
    const float sunSquared = toSun.squaredLength();
    const float casterSquared = toCaster.squaredLength();
    if (casterSquared <= casterRadius * casterRadius || casterSquared >= sunSquared ||
        toSun.dotProduct(toCaster) <= 0.0f)
        return 1.0f;
    // The angles seen from the point, by their sines.
    const float sunAngle = std::max(std::min(sunRadius / std::sqrt(sunSquared), 1.0f), 1e-6f);
    const float casterAngle = casterRadius / std::sqrt(casterSquared);
    const float apart = toSun.crossProduct(toCaster).length() / std::sqrt(sunSquared * casterSquared);
    const float covered = std::min(1.0f, casterAngle * casterAngle / (sunAngle * sunAngle));
    return 1.0f - covered * (1.0f - smoothStep(std::abs(casterAngle - sunAngle), casterAngle + sunAngle, apart));
}

bool canShadow(const Ogre::Vector3& sun, float sunRadius, const Ogre::Vector3& casterCentre, float casterRadius,
               const Ogre::Vector3& bodyCentre, float bodyRadius)
{
    const Ogre::Vector3 axis = casterCentre - sun;
    const float length = axis.length();
    if (casterRadius <= 0.0f || length <= 0.0f)
        return false;
    const Ogre::Vector3 away = axis / length;
    const Ogre::Vector3 offset = bodyCentre - casterCentre;
    // How far behind the caster, seen from the sun, the body's far side
    // reaches; the caster's own limb lies up to its radius in front.
    const float behind = offset.dotProduct(away) + bodyRadius;
    if (behind <= -casterRadius)
        return false;
    // The penumbra widens from the caster's radius by the angle the sun and
    // the caster span together.
    const float penumbra = casterRadius + std::max(behind, 0.0f) * (sunRadius + casterRadius) / length;
    const float aside = (offset - away * offset.dotProduct(away)).length();
    return aside < penumbra + bodyRadius;
}

bool ringCanShadow(const Ogre::Vector3& sun, const Ogre::Vector3& ringCentre, const Ogre::Vector3& ringNormal,
                   float inner, float outer, const Ogre::Vector3& bodyCentre, float bodyRadius)
{
    const Ogre::Vector3 toSun = (sun - bodyCentre).normalisedCopy();
    const float cosine = toSun.dotProduct(ringNormal);
    if (std::abs(cosine) < 1e-4f)
        return false;
    // The centre's line crosses the plane `ahead` along; the lines of the
    // body's other points cross it up to radius / |cosine| from there.
    const float ahead = (ringCentre - bodyCentre).dotProduct(ringNormal) / cosine;
    const float spread = bodyRadius / std::abs(cosine);
    if (ahead < -spread)
        return false;
    const float across = (bodyCentre + toSun * ahead - ringCentre).length();
    return across + spread > inner && across - spread < outer;
}

float slantOpacity(float faceOn, float cosine)
{
    const float clear = 1.0f - std::clamp(faceOn, 0.0f, 0.999f);
    return 1.0f - std::pow(clear, 1.0f / std::max(std::abs(cosine), 0.01f));
}
