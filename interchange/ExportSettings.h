// The choices of a glTF export and what it reports back.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// An inclusive range of frames.
struct TFrameRange {
    int First = 0;
    int Last = 0;
    int Count() const { return Last - First + 1; }
};

enum class TSkeletalMode {
    Skin,  // a skinned mesh, or morph targets where the skin cannot follow the posing closely
    Morph, // always the posed frames as morph targets
};

struct TExportOptions {
    bool AllFrames = true;
    TFrameRange Frames; // when not AllFrames
    double FramesPerSecond = 15;
    double Scale = 1; // glTF units per game unit
    TSkeletalMode Skeletal = TSkeletalMode::Skin;
    // Frames posed at once when a skeletal model is baked into morph targets; 0 for one per core.
    // The file is the same for every number.
    unsigned Threads = 0;
};

// One glTF animation: a range of the exported frames played at a rate.
struct TAnimationClip {
    std::string Name;
    TFrameRange Frames;
    double FramesPerSecond = 15;
};

// What the exporters work from once the options have been checked against the model.
struct TExportPlan {
    TFrameRange Frames;
    std::vector<TAnimationClip> Clips;
    double Scale = 1;
    unsigned Threads = 1; // at least one
};

struct TExportSummary {
    std::vector<std::string> Files; // the files written, the document first
    int Meshes = 0;
    int Vertices = 0;
    int MorphTargets = 0; // per mesh
    int Joints = 0;
    int Animations = 0;
    int TexturesEmbedded = 0;
    bool SkeletalAsMorph = false; // a skeletal model written as morph targets
    int TrimmedVertices = 0;      // vertices whose weights beyond the four largest were dropped
    std::vector<std::string> Warnings;
};

} // namespace quillon
