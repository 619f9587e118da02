// The map importer: reads the brushes of a .map file's world entity into convex faces with
// normals and texture coordinates, and converts those faces into an MD3 model. One instance is
// reused for every import; each load replaces its lists.
#pragma once

#include "MapRecords.h"

#include "core/LastError.h"
#include "core/MD3.h"
#include "core/TextureSource.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct TMapVector;

class TLevelMap : public TLastError {
public:
    // True when the file exists, whatever it holds (a map with no world brushes loads with no
    // faces); false (LastError says why) when it does not. Throws FileError when it exists but
    // cannot be read. Texture names are resolved into image files through `textures`.
    [[nodiscard]] bool LoadMap(const std::string& path, const ITextureSource& textures);
    // Fills `model` with one surface per exported texture and one frame. On a crossed limit the
    // model is emptied, `message` says which limit, and the result is false. Without a loaded map
    // the result is false and the model is left as it is.
    [[nodiscard]] bool ConvertToMD3(TMD3& model, std::string& message) const;
    void Clear();

    // The corner search grows with the fourth power of a brush's planes; brushes with more are
    // skipped (with a warning) so that no file can stall the import.
    static constexpr size_t MaxBrushPlanes = 128;

    std::string MapName; // the file name without folder and extension
    std::vector<TMapVertex> Vertices;
    std::vector<TMapFace> Faces;
    std::vector<TMapTexture> Textures;
    bool Loaded = false;
    // What the load passed over and why, for the caller to show.
    std::vector<std::string> Warnings;

private:
    class TTextureLookup;

    void ReadWorldEntity(const std::vector<std::string_view>& block, TTextureLookup& textures);
    void AddBrush(const std::vector<std::string_view>& lines, int32_t brush,
                  TTextureLookup& textures);
    void AddFace(const TMapPlane& plane, int32_t brush, int32_t line,
                 const std::vector<TMapVector>& corners);
};

} // namespace quillon
