#include "sim/DisplayScale.h"

#include "sim/BodyRegistry.h"
#include "sim/SkyToWorld.h"
#include "sky/Theories.h"

#include <algorithm>
#include <string>

std::vector<DistancePair> planetDistances(const BodyRegistry& bodies, std::size_t most)
{
    std::vector<const Body*> planets;
    for (const auto& body : bodies)
        if (body->definition.Parent == "Sun" && body->definition.orbitFollowsClock())
            planets.push_back(body.get());
    // The largest first, the file's order among equals.
    std::stable_sort(planets.begin(), planets.end(),
                     [](const Body* a, const Body* b) { return a->definition.Size > b->definition.Size; });
    if (planets.size() > most)
        planets.resize(most);
    std::vector<DistancePair> pairs;
    for (const Body* planet : planets)
    {
        // Only VSOP87's reference distances are heliocentric AU.
        const bool heliocentric = planet->theory && std::string(planet->theory->family) == "VSOP87";
        pairs.push_back({heliocentric ? planet->theory->referenceDistance
                                      : semiMajorAxisOfPeriod(planet->definition.OrbitDays),
                         double(planet->definition.OrbitRadius)});
    }
    return pairs;
}

RadialMap displayMapOf(const BodyRegistry& bodies)
{
    return RadialMap(planetDistances(bodies));
}

Ogre::Vector3 displayPlace(const Vector3d& heliocentric, const RadialMap& map)
{
    const double distance = heliocentric.length();
    if (!(distance > 0.0))
        return Ogre::Vector3::ZERO;
    return worldFromEcliptic(heliocentric * (map.worldDistance(distance) / distance));
}
