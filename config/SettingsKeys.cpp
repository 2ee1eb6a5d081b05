#include "config/SettingsKeys.h"

#include "sim/WorldLimits.h"
#include "sky/Clock.h"

#include <cmath>

const std::vector<SettingsKey>& settingsKeys()
{
    using S = AppSettings;
    using L = ValueLimits;
    // Lights, stars and speeds can change under a running engine; the rest
    // is built into the scene at start-up.
    constexpr bool atOnce = true;
    constexpr bool atNextStart = false;
    const double world = worldExtent;
    const char* const factor = "a negative factor makes the light stronger with distance";
    const char* const colour = "colour components run from 0 to 1";
    static const std::vector<SettingsKey> keys{
        {"System", "StaticSystem", "1.cfg", &S::StaticSystem, atNextStart},
        {"Performance", "MeshLod", "0", &S::MeshLod, atNextStart},
        {"Performance", "Reduction", "0.5", &S::Reduction, atNextStart,
         L{0.0, true, 1.0, true, L::Advised, "it is a proportion of the vertices"}},
        {"Performance", "MoveConstant", "10", &S::MoveConstant, atOnce},
        {"Performance", "NearClipDistance", "1", &S::NearClipDistance, atNextStart,
         L{0.0, false, world, true, L::Refused, "the camera cannot clip there"}},
        {"Performance", "StepsPerSecond", "0", &S::StepsPerSecond, atOnce},
        // Stencil shadows decide at start-up which meshes may cast.
        {"Light", "ShadowTechnique", "SHADOWTYPE_TEXTURE_MODULATIVE", &S::ShadowTechnique, atNextStart},
        {"Light", "AmbientLight", "0.025 0.025 0.025", &S::AmbientLight, atOnce, L{0.0, true, 1.0, true, L::Advised, colour}},
        {"Light", "DiffuseLight", "1 1 1", &S::DiffuseLight, atOnce, L{0.0, true, 1.0, true, L::Advised, colour}},
        {"Light", "SpecularLight", "1 1 1", &S::SpecularLight, atOnce, L{0.0, true, 1.0, true, L::Advised, colour}},
        {"Light", "Range", "100000", &S::Range, atOnce,
         L{0.0, true, world, true, L::Refused, "the engine cannot shadow a light of that range"}},
        {"Light", "Constant", "0.5", &S::Constant, atOnce, L{0.0, true, INFINITY, true, L::Advised, factor}},
        {"Light", "Linear", "0", &S::Linear, atOnce, L{0.0, true, INFINITY, true, L::Advised, factor}},
        {"Light", "Quadratic", "0", &S::Quadratic, atOnce, L{0.0, true, INFINITY, true, L::Advised, factor}},
        {"StarField", "Distance", "0", &S::Distance, atOnce,
         L{-world, true, world, true, L::Refused, "the engine cannot bound stars that far out"}},
        {"StarField", "Density", "0", &S::Density, atOnce,
         L{-INFINITY, true, double(maxStarCount), true, L::Held, "more stars add nothing to the sky", std::nullopt,
           "capped"}},
        {"StarField", "Catalogue", "", &S::Catalogue, atOnce},
        {"StarField", "MagnitudeLimit", "8", &S::MagnitudeLimit, atOnce,
         L{-2.0, true, 20.0, true, L::Held, "no star is brighter, and no catalogue reaches further"}},
        {"StarField", "Brightness", "1", &S::Brightness, atOnce,
         L{0.0, true, 100.0, true, L::Held, "the stars' light runs from none to 100 times its default"}},
        {"StarField", "Constellations", "0", &S::Constellations, atOnce},
        {"StarField", "MilkyWay", "1", &S::MilkyWay, atOnce},
        {"Screen", "UiScale", "0", &S::UiScale, atNextStart,
         L{smallestUiScale, true, largestUiScale, true, L::Held, "0 takes the display's scale; text runs from 0.5 to 8 times its size", 0.0}},
        {"Screen", "TrueScale", "0", &S::TrueScale, atNextStart},
        {"Clock", "Start", "now", &S::Start, atNextStart},
        {"Clock", "Speed", formatNumber(defaultClockSpeed), &S::Speed, atNextStart,
         L{-clockSpeedLadder().back(), true, clockSpeedLadder().back(), true, L::Held,
           "the clock runs at most a year a second, either way"}},
        // Read on a worker while the viewer runs, and again when the list changes.
        {"Catalogues", "Files", "", &S::Files, atOnce},
        {"Catalogues", "Shipped", "1", &S::Shipped, atOnce},
    };
    return keys;
}

const std::vector<std::string>& settingsSections()
{
    static const std::vector<std::string> sections = [] {
        std::vector<std::string> names;
        for (const SettingsKey& key : settingsKeys())
            if (names.empty() || names.back() != key.section)
                names.push_back(key.section);
        return names;
    }();
    return sections;
}

const SettingsKey* findSettingsKey(const std::string& section, const std::string& name)
{
    for (const SettingsKey& key : settingsKeys())
        if (section == key.section && name == key.name)
            return &key;
    return nullptr;
}

bool differs(const SettingsKey& key, const AppSettings& a, const AppSettings& b)
{
    return std::visit([&](auto member) { return !(a.*member == b.*member); }, key.field);
}

void copyField(const SettingsKey& key, const AppSettings& from, AppSettings& to)
{
    std::visit([&](auto member) { to.*member = from.*member; }, key.field);
}
