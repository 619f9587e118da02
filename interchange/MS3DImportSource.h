// A MilkShape 3D model as an import source. Each group becomes a surface (corners that share a
// vertex, a normal and texture coordinates sharing one vertex), its material gives the shader
// name, and the joints' key frames are evaluated into frames. MilkShape works with Y up and
// counter-clockwise front faces, as glTF does.
// A joint's resting place is its parent's times its own rotation (Euler angles about x, then
// y, then z) and position; a key frame's rotation and position act within that, and vertices
// follow the joint that moves them by the change from the resting place. A vertex may name up
// to four joints with the weights of the vertex extras (in hundredths, in 255ths for version 1
// of the extras, the fourth weight what is left).
#pragma once

#include "GltfTransform.h"
#include "ImportSettings.h"
#include "ImportSource.h"
#include "skeletal/MS3D.h"

#include <array>
#include <string>
#include <vector>

namespace quillon {

class TMS3DImportSource : public IImportSource {
public:
    // False with Error() when the model cannot be imported. `model` must outlive the source.
    [[nodiscard]] bool Build(const TMS3D& model, const TImportOptions& options,
                             std::vector<std::string>& warnings);
    const std::string& Error() const { return LastError; }
    const std::vector<TImportedClip>& Clips() const { return ClipList; }

    const std::vector<TImportSurface>& Surfaces() const override { return SurfaceList; }
    const std::vector<std::string>& TagNames() const override { return NoTags; }
    const std::vector<std::string>& FrameNames() const override { return FrameNameList; }
    bool Pose(size_t frame, TImportPose& pose, std::string& error) override;

private:
    struct TCorner {
        uint16_t Vertex;
        TVec3d Normal;
    };
    bool Fail(std::string error);
    bool ReadJoints();
    bool ReadGroups(const TImportOptions& options, std::vector<std::string>& warnings);
    void ChooseFrames(const TImportOptions& options);
    // The vertex's joints and weights; none for a vertex that no joint moves.
    std::vector<std::pair<int, double>> Influences(size_t vertex) const;
    std::vector<TAffine> JointMoves(double time) const;

    const TMS3D* Model = nullptr;
    std::vector<int> Parents;
    std::vector<TAffine> BindLocal, BindWorldInverse;
    std::vector<std::vector<TCorner>> Corners; // per surface, per vertex
    std::vector<double> Times;

    std::vector<TImportSurface> SurfaceList;
    std::vector<std::string> NoTags;
    std::vector<std::string> FrameNameList;
    std::vector<TImportedClip> ClipList;
    std::string LastError;
};

} // namespace quillon
