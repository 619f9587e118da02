// Everything the main window knows about the session apart from the models themselves: what
// kind of model is loaded and where it came from, the frame shown, the view, the busy flag
// (nothing is drawn while a command rebuilds a model) and the settings that persist.
#pragma once

#include "Settings.h"
#include "gamedata/ModelKind.h"
#include "gamedata/ModelSource.h"
#include "render/ViewState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct TWindowState {
    // The program's own files (textures/); each folder with a trailing separator.
    std::string ApplicationFolder;
    std::string TemporaryFolder;
    std::string ScreenshotFolder;
    std::string SettingsPath;
    TModelKind ModelKind = TModelKind::None;
    TModelSource ModelSource = TModelSource::None;
    std::string ModelFolder; // folder of a model loaded from disk, with a trailing separator
    // The map archive the current model came from; empty for every other source.
    std::string ArchivePath;
    // For a model from an archive, its folder inside the archive.
    std::string SelectedFolder;
    // Where the texture manager looks for images, in order.
    std::vector<std::string> TextureSearchFolders;
    int CurrentFrame = 0;
    // Camera distance, rotation, pan and pivot: changed by the mouse, the fit and the pivot list.
    TView3DState View;
    bool Busy = false;
    // Game folder, gamma, sky colours, view flags, shader list and the Clean-up flag.
    TSettings Settings;
};

} // namespace quillon
