// The sky box: six images on a box centred on the camera, compiled into one display list. Each
// wall carries its image as an upper half above the horizon and a lower half below it; the
// floor and the ceiling carry the Bottom and Top images. Drawn last in a frame with the depth
// test on, it fills only the pixels the model left empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillon {

class TOGL;
class TCamera;

class TSkyBox {
public:
    enum Face { Left, Right, Bottom, Top, Front, Back, FaceCount };
    struct TFace {
        std::string Name;
        uint32_t Texture = 0;
    };

    explicit TSkyBox(TOGL& context) : Context(context) {}
    ~TSkyBox();
    TSkyBox(const TSkyBox&) = delete;
    TSkyBox& operator=(const TSkyBox&) = delete;

    static const char* FaceSuffix(Face face);

    void SetShown(bool flag) { Shown = flag; }
    bool IsShown() const { return Shown; }
    // Loads base name + "Left" ... "Back" through the texture manager; false (and the box empty
    // and hidden) when the context is not active or any image is missing.
    [[nodiscard]] bool Load(const std::string& baseName);
    void Release();
    void Draw(const TCamera& camera);

    const std::array<TFace, FaceCount>& Faces() const { return FaceList; }
    unsigned DisplayList() const { return List; }

private:
    void BuildList();
    void DeleteList();

    TOGL& Context;
    bool Shown = false;
    std::array<TFace, FaceCount> FaceList;
    unsigned List = 0;
};

} // namespace quillon
