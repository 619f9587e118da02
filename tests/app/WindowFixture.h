// A main window as the program builds it, in a fresh application folder (QUILLON_HOME) that
// holds the "textures" folder, driven through scripted dialogs; and the MD3 files the tests
// load, written from the model builder.
#pragma once

#include "FormAccess.h"
#include "ScriptedDialogs.h"
#include "app/Form1.h"
#include "support/MD3Builder.h"

#include <memory>
#include <string>

namespace quillon::test {

class TWindowFixture {
public:
    // `withTextures` false leaves the installation incomplete; `settings` is written as the
    // settings file before the window starts; `textures` stands for the texture manager.
    explicit TWindowFixture(bool withTextures = true, const std::string& settings = "",
                            ITextureSource* textures = nullptr);

    // Writes `model` as an MD3 file in the application folder and returns its path.
    std::string WriteModel(const std::string& name, const TMD3& model);
    // Loads the file through "&Load MD3 From File...".
    void LoadThroughCommand(const std::string& path);
    void Trigger(const char* actionName);
    // The window's state and parts.
    TFormAccess Inside() const { return TFormAccess(*Form); }
    std::string SettingsPath() const { return Home.File("quillon.ini"); }

    TempDir Home;
    TScriptedDialogs Dialogs;
    TProgramInstances Instances;
    std::unique_ptr<TForm1> Form;
};

} // namespace quillon::test
