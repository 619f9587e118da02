// The choices of an import into MD3 and what it reports back.
#pragma once

#include "ExportSettings.h"

#include <string>
#include <vector>

namespace quillon {

enum class TShaderSource {
    Automatic, // the material's name when it looks like a game path, else the texture's path
    Material,
    Texture,
};

struct TImportOptions {
    double Scale = 1; // game units per file unit
    TShaderSource Shaders = TShaderSource::Automatic;
    std::string Animation{};    // the glTF animation to bake; empty: the first
    bool AllAnimations = false; // every animation, one after the other
    double FramesPerSecond = 15;
    bool Keys = false; // sample at the animation's own key times instead of a fixed rate
    bool Fix = false;  // run the model check's fixes (split, weld, ...) before the limits
};

// One animation's frames in the MD3, for an animation.cfg.
struct TImportedClip {
    std::string Name;
    TFrameRange Frames;
    double FramesPerSecond = 15;
};

struct TImportSummary {
    int Surfaces = 0;
    int Vertices = 0; // of every surface, one frame
    int Triangles = 0;
    int Frames = 0;
    int Tags = 0;
    std::vector<TImportedClip> Clips;
    std::vector<std::string> Warnings;
};

enum class TImportFailure {
    None,
    Options, // the options do not fit the file (no such animation, a bad scale)
    Input,   // the file is not a readable glTF or MilkShape model
    Limits,  // the model does not fit an MD3
};

struct TImportResult {
    TImportFailure Failure = TImportFailure::None;
    std::string Error;
    TImportSummary Summary;
    bool Ok() const { return Failure == TImportFailure::None; }

    static TImportResult Failed(TImportFailure failure, std::string error) {
        TImportResult result;
        result.Failure = failure;
        result.Error = std::move(error);
        return result;
    }
};

} // namespace quillon
