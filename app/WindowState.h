// Everything the main window knows about the session apart from the models themselves: what
// kind of model is loaded and where it came from, the frame shown, the view, the busy flag
// (nothing is drawn while a command rebuilds a model) and the settings that persist.
#pragma once

#include "Settings.h"
#include "core/VectorMath.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

enum class TModelKind : uint8_t { None = 0, MD3 = 1, Skeletal = 2, MDS = 3 };

// Where the current model came from; texture resolution looks in different places for each.
enum class TModelSource : uint8_t { None = 0, GameArchive = 1, MapArchive = 2, File = 3 };

inline constexpr float InitialCameraDistance = 500.0f;

struct TViewState {
    float CameraDistance = InitialCameraDistance;
    TVector ModelRotation;
    TVector Pan;
    TVector PivotOffset;
};

struct TWindowState {
    std::string ApplicationFolder; // with a trailing separator
    std::string TemporaryFolder;   // ApplicationFolder + "tmp/"
    std::string SettingsPath;
    TModelKind ModelKind = TModelKind::None;
    TModelSource ModelSource = TModelSource::None;
    std::string ModelFolder; // folder of a model loaded from disk, with a trailing separator
    // The map archive the current model came from; empty for every other source.
    std::string ArchivePath;
    // Where the texture manager looks for images, in order.
    std::vector<std::string> TextureSearchFolders;
    int CurrentFrame = 0;
    TViewState View;
    bool Busy = false;
    uint32_t ColorConvert = 0;
    // Game folder, gamma, sky colours, view flags, shader list and the Clean-up flag.
    TSettings Settings;
};

} // namespace quillon
