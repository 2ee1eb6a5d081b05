#include "config/SystemFileKeys.h"

#include "sim/WorldLimits.h"
#include "sky/Frames.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

const std::vector<BodyKey>& bodyKeys()
{
    using B = BodyDefinition;
    using L = ValueLimits;
    const double world = worldExtent;
    const L withinTheWorld{-world, true, world, true, L::Held, "the engine cannot draw a length beyond it",
                           std::nullopt, "beyond-the-world"};
    const L ringRadius{0.0, true, world, true, L::Held, "a ring's radius is a length from the body's centre"};
    const L cloudHeight{0.0, true, 1.0, true, L::Held,
                        "a layer below the surface would not show, and one a radius up is no cloud layer"};
    const L realLength{0.0, false, INFINITY, false, L::Refused, "a real size or distance is above 0",
                       std::nullopt, "bad-real-size"};
    const std::string poleRA = formatNumber(eclipticPoleRA);
    const std::string poleDec = formatNumber(eclipticPoleDec);
    static const std::vector<BodyKey> keys{
        {"Name", true, "", &B::Name},
        {"Parent", true, "", &B::Parent},
        {"Model", true, "", &B::Model},
        {"Material", true, "", &B::Material},
        {"Size", true, "", &B::Size, withinTheWorld},
        {"OrbitRadius", true, "", &B::OrbitRadius, withinTheWorld},
        {"OrbitPeriod", true, "", &B::OrbitPeriod},
        {"PitchPeriod", true, "", &B::PitchPeriod},
        {"YawPeriod", true, "", &B::YawPeriod},
        {"RollPeriod", true, "", &B::RollPeriod},
        {"OrbitAxis", false, "0 1 0", &B::OrbitAxis},
        {"PitchAxis", false, "1 0 0", &B::PitchAxis},
        {"YawAxis", false, "0 1 0", &B::YawAxis},
        {"RollAxis", false, "0 0 1", &B::RollAxis},
        {"OrbitCompleted", false, "0", &B::OrbitCompleted},
        {"PitchCompleted", false, "0", &B::PitchCompleted},
        {"YawCompleted", false, "0", &B::YawCompleted},
        {"RollCompleted", false, "0", &B::RollCompleted},
        {"NearDistance", false, "10000", &B::NearDistance},
        {"FarDistance", false, "200000", &B::FarDistance},
        {"Far", false, "1", &B::Far},
        // Following the clock.
        {"OrbitDays", false, "0", &B::OrbitDays},
        {"Epoch", false, "J2000", &B::Epoch},
        // Or following the clock from perihelion, on an orbit of any eccentricity.
        {"PerihelionDistance", false, "0", &B::PerihelionDistance, withinTheWorld},
        {"PerihelionAU", false, "0", &B::PerihelionAU},
        {"PerihelionDate", false, "J2000", &B::PerihelionDate},
        {"Eccentricity", false, "0", &B::Eccentricity},
        {"Inclination", false, "0", &B::Inclination},
        {"AscendingNode", false, "0", &B::AscendingNode},
        {"Periapsis", false, "0", &B::Periapsis},
        {"MeanAnomaly", false, "0", &B::MeanAnomaly},
        {"NodeDays", false, "0", &B::NodeDays},
        {"PeriapsisDays", false, "0", &B::PeriapsisDays},
        // The default planes and poles are the J2000 ecliptic's.
        {"LaplacePoleRA", false, poleRA, &B::LaplacePoleRA},
        {"LaplacePoleDec", false, poleDec, &B::LaplacePoleDec},
        {"Theory", false, "", &B::Theory},
        {"RotationHours", false, "0", &B::RotationHours},
        {"Meridian", false, "0", &B::Meridian},
        {"PoleRA", false, poleRA, &B::PoleRA},
        {"PoleDec", false, poleDec, &B::PoleDec},
        {"PoleRARate", false, "0", &B::PoleRARate},
        {"PoleDecRate", false, "0", &B::PoleDecRate},
        {"FacesParent", false, "0", &B::FacesParent},
        // A ring and clouds.
        {"RingInner", false, "0", &B::RingInner, ringRadius},
        {"RingOuter", false, "0", &B::RingOuter, ringRadius},
        {"RingMap", false, "", &B::RingMap},
        {"CloudMap", false, "", &B::CloudMap},
        {"CloudHeight", false, "0.01", &B::CloudHeight, cloudHeight},
        {"CloudRotationHours", false, "0", &B::CloudRotationHours},
        // True scale: the real mean radius and semi-major axis.
        {"RadiusKm", false, "0", &B::RadiusKm, realLength},
        {"SemiMajorAxisKm", false, "0", &B::SemiMajorAxisKm, realLength},
    };
    return keys;
}

std::size_t requiredBodyKeyCount()
{
    static const std::size_t count = std::size_t(
        std::count_if(bodyKeys().begin(), bodyKeys().end(), [](const BodyKey& key) { return key.required; }));
    return count;
}

const BodyKey* findBodyKey(const std::string& name)
{
    // Looked up for every line of a file that may hold thousands of bodies.
    static const std::unordered_map<std::string_view, const BodyKey*> byName = [] {
        std::unordered_map<std::string_view, const BodyKey*> keys;
        for (const BodyKey& key : bodyKeys())
            keys.emplace(key.name, &key);
        return keys;
    }();
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second;
}

const BodyDefinition& defaultBodyDefinition()
{
    static const BodyDefinition defaults = [] {
        BodyDefinition definition;
        for (const BodyKey& key : bodyKeys())
            readKey(definition, key, key.defaultValue);
        return definition;
    }();
    return defaults;
}

const ValueLimits& orbitEccentricityLimits()
{
    static const ValueLimits limits{0.0, true, 1.0, false, ValueLimits::Refused, "the orbit would be no ellipse"};
    return limits;
}

const ValueLimits& perihelionEccentricityLimits()
{
    static const ValueLimits limits{0.0, true, INFINITY, false, ValueLimits::Refused,
                                    "an orbit's eccentricity is never below 0"};
    return limits;
}

const ValueLimits& perihelionAULimits()
{
    static const ValueLimits limits{0.0, false, INFINITY, false, ValueLimits::Refused,
                                    "the Sun's gravity paces the body by its real perihelion distance"};
    return limits;
}
