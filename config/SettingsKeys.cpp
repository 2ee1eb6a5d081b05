#include "config/SettingsKeys.h"

const std::vector<SettingsKey>& settingsKeys()
{
    using S = AppSettings;
    // Lights, stars and speeds can change under a running engine; the rest
    // is built into the scene at start-up.
    constexpr bool atOnce = true;
    constexpr bool atNextStart = false;
    static const std::vector<SettingsKey> keys{
        {"System", "StaticSystem", "1.cfg", &S::StaticSystem, atNextStart},
        {"Performance", "MeshLod", "0", &S::MeshLod, atNextStart},
        {"Performance", "Reduction", "0.5", &S::Reduction, atNextStart},
        {"Performance", "MoveConstant", "10", &S::MoveConstant, atOnce},
        {"Performance", "NearClipDistance", "1", &S::NearClipDistance, atNextStart},
        {"Performance", "StepsPerSecond", "0", &S::StepsPerSecond, atOnce},
        // Stencil shadows decide at start-up which meshes may cast.
        {"Light", "ShadowTechnique", "SHADOWTYPE_TEXTURE_MODULATIVE", &S::ShadowTechnique, atNextStart},
        {"Light", "AmbientLight", "0.025 0.025 0.025", &S::AmbientLight, atOnce},
        {"Light", "DiffuseLight", "1 1 1", &S::DiffuseLight, atOnce},
        {"Light", "SpecularLight", "1 1 1", &S::SpecularLight, atOnce},
        {"Light", "Range", "100000", &S::Range, atOnce},
        {"Light", "Constant", "0.5", &S::Constant, atOnce},
        {"Light", "Linear", "0", &S::Linear, atOnce},
        {"Light", "Quadratic", "0", &S::Quadratic, atOnce},
        {"StarField", "Distance", "0", &S::Distance, atOnce},
        {"StarField", "Density", "0", &S::Density, atOnce},
        {"Screen", "UiScale", "0", &S::UiScale, atNextStart},
        {"Clock", "Start", "now", &S::Start, atNextStart},
        // A day a second: the Earth turns once a second, the Moon goes round
        // in half a minute, Mercury in a minute and a half: the sky visibly moves.
        {"Clock", "Speed", "86400", &S::Speed, atNextStart},
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

bool differs(const SettingsKey& key, const AppSettings& a, const AppSettings& b)
{
    return std::visit([&](auto member) { return !(a.*member == b.*member); }, key.field);
}

void copyField(const SettingsKey& key, const AppSettings& from, AppSettings& to)
{
    std::visit([&](auto member) { to.*member = from.*member; }, key.field);
}
