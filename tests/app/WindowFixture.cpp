#include "WindowFixture.h"

#include <QAction>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quillon::test {

TWindowFixture::TWindowFixture(bool withTextures, const std::string& settings,
                               ITextureSource* textures) {
    setenv("QUILLON_HOME", Home.Path.c_str(), 1);
    if (withTextures)
        std::filesystem::create_directories(Home.File("textures"));
    if (!settings.empty())
        std::ofstream(SettingsPath()) << settings;
    Form = std::make_unique<TForm1>(Instances, Dialogs, Home.File("quillon"), textures);
}

std::string TWindowFixture::WriteModel(const std::string& name, const TMD3& model) {
    const std::string path = Home.File(name);
    WriteBytes(path, MD3FileBytes(model, false));
    return path;
}

void TWindowFixture::LoadThroughCommand(const std::string& path) {
    Dialogs.Files.push_back({path});
    Trigger("actionFileLoad");
}

void TWindowFixture::Trigger(const char* actionName) {
    Form->findChild<QAction*>(actionName)->trigger();
}

} // namespace quillon::test
