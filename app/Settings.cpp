#include "Settings.h"

#include "FormatNumbers.h"
#include "IniDocument.h"

#include <filesystem>

namespace quillon {

namespace {
struct TBoolKey {
    const char* Section;
    const char* Key;
    bool TSettings::*Field;
};

constexpr TBoolKey ViewFlags[] = {
    {"View", "AlphaTexturePreview", &TSettings::AlphaTexturePreview},
    {"View", "ShowSkeleton", &TSettings::ShowSkeleton},
    {"View", "ShowTags", &TSettings::ShowTags},
    {"View", "Lighting", &TSettings::Lighting},
    {"View", "CenterModel", &TSettings::CenterModel},
    {"SkyBox", "Enabled", &TSettings::SkyBoxEnabled},
    {"Texturing", "DefaultSkinOnLoad", &TSettings::DefaultSkinOnLoad},
};

void ReadBool(const TIniDocument& ini, const char* section, const char* key, bool& field) {
    if (const auto text = ini.Value(section, key))
        if (const auto value = ParseInt(*text))
            field = *value != 0;
}

void ReadColor(const TIniDocument& ini, const char* key, uint32_t& field) {
    if (const auto text = ini.Value("SkyBox", key))
        if (const auto value = ParseInt(*text))
            field = static_cast<uint32_t>(*value) & 0xFFFFFF;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}
} // namespace

TSettings TSettings::Read(const std::string& path) {
    const TIniDocument ini = TIniDocument::Load(path);
    TSettings settings;
    if (const auto dir = ini.Value("Game", "GameDir"); dir && IsFolder(*dir))
        settings.GameDir = *dir;
    for (const auto& [key, value] : ini.Entries("ShaderList"))
        if (!value.empty())
            settings.ShaderList.push_back(value);
    if (const auto text = ini.Value("Texturing", "Gamma"))
        if (const auto gamma = ParseFloat(*text))
            settings.Gamma = *gamma;
    for (const TBoolKey& flag : ViewFlags)
        ReadBool(ini, flag.Section, flag.Key, settings.*flag.Field);
    ReadColor(ini, "ColorTop", settings.ColorTop);
    ReadColor(ini, "ColorBottom", settings.ColorBottom);
    return settings;
}

bool TSettings::Write(const std::string& path) const {
    TIniDocument ini = TIniDocument::Load(path);
    ini.SetValue("Game", "GameDir", GameDir);
    ini.SetValue("Settings", "Cleanup", Cleanup ? "1" : "0");
    ini.EraseSection("ShaderList");
    for (size_t i = 0; i < ShaderList.size(); ++i)
        ini.SetValue("ShaderList", "ShaderList" + std::to_string(i), ShaderList[i]);
    ini.SetValue("Texturing", "Gamma", FormatFloat(Gamma));
    for (const TBoolKey& flag : ViewFlags)
        ini.SetValue(flag.Section, flag.Key, this->*flag.Field ? "1" : "0");
    ini.SetValue("SkyBox", "ColorTop", std::to_string(ColorTop));
    ini.SetValue("SkyBox", "ColorBottom", std::to_string(ColorBottom));
    return ini.Save(path);
}

} // namespace quillon
