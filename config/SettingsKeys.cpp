#include "config/SettingsKeys.h"

const std::vector<SettingsKey>& settingsKeys()
{
    using S = AppSettings;
    static const std::vector<SettingsKey> keys{
        {"System", "StaticSystem", "1.cfg", &S::StaticSystem},
        {"Performance", "MeshLod", "0", &S::MeshLod},
        {"Performance", "Reduction", "0.5", &S::Reduction},
        {"Performance", "MoveConstant", "10", &S::MoveConstant},
        {"Performance", "NearClipDistance", "1", &S::NearClipDistance},
        {"Performance", "StepsPerSecond", "0", &S::StepsPerSecond},
        {"Light", "ShadowTechnique", "SHADOWTYPE_TEXTURE_MODULATIVE", &S::ShadowTechnique},
        {"Light", "AmbientLight", "0.025 0.025 0.025", &S::AmbientLight},
        {"Light", "DiffuseLight", "1 1 1", &S::DiffuseLight},
        {"Light", "SpecularLight", "1 1 1", &S::SpecularLight},
        {"Light", "Range", "100000", &S::Range},
        {"Light", "Constant", "0.5", &S::Constant},
        {"Light", "Linear", "0", &S::Linear},
        {"Light", "Quadratic", "0", &S::Quadratic},
        {"StarField", "Distance", "0", &S::Distance},
        {"StarField", "Density", "0", &S::Density},
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
