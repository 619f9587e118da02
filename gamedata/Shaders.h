// The shader collection: one parsed shader (or plain texture) per surface that found one, indexed
// by the shader index each model surface stores. The drawing code reads the stages; the update of
// skins, shaders and textures refills the collection and loads the stage images. Entries are never
// removed one by one (only emptied), so the indices held by surfaces keep their meaning until the
// next update.
#pragma once

#include "core/LastError.h"
#include "core/TextureSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// OpenGL blend factors (the GL's own values, named apart from the GL's macros so that this header
// and the GL headers can meet), passed to the GL unchanged by the drawing code.
inline constexpr int32_t BlendZero = 0;
inline constexpr int32_t BlendOne = 1;
inline constexpr int32_t BlendSrcColor = 0x300;
inline constexpr int32_t BlendOneMinusSrcColor = 0x301;
inline constexpr int32_t BlendSrcAlpha = 0x302;
inline constexpr int32_t BlendOneMinusSrcAlpha = 0x303;
inline constexpr int32_t BlendDstColor = 0x306;
inline constexpr int32_t BlendOneMinusDstColor = 0x307;

// Cull modes of a stage.
inline constexpr uint8_t CullNone = 0;
inline constexpr uint8_t CullFront = 3;
inline constexpr uint8_t CullBack = 4;

// Alpha tests of a stage.
inline constexpr uint8_t AlphaNone = 0;
inline constexpr uint8_t AlphaGT0 = 1;
inline constexpr uint8_t AlphaLT128 = 2;
inline constexpr uint8_t AlphaGE128 = 3;

// Source flags of a TShaderObj: which list and which way a surface was resolved.
enum ShaderSourceFlags : uint32_t {
    SourceGame = 0x01,        // found in the game (game script or game archive)
    SourceScript = 0x02,      // the name is a shader found in a script
    SourceImage = 0x04,       // the name was resolved to an image file
    SourceSurfaceName = 0x08, // the folder-qualified surface name is a shader name
    SourceSkin = 0x10,        // the skin supplied the name
    SourceShaderList = 0x20,  // the shader came from the user's shader list
    SourceMapOrGame = 0x40,   // found in a map archive or in the game
};

// One stage of a shader.
struct TShaderTexture {
    std::string MapName; // as written in the script, or the image path of a plain texture
    uint8_t CullMode = CullBack;
    uint8_t EnvironmentMap = 0;
    int32_t BlendSrc = 0; // 0 together with BlendDst 0: not set, defaulted when the image loads
    int32_t BlendDst = 0;
    uint8_t AlphaFunc = AlphaNone;
    uint8_t ClampMap = 0;
    uint8_t Sky = 0;
    uint8_t AnimMap = 0; // MapName is the first frame
    uint8_t VideoMap = 0;
    uint8_t LightMap = 0;
    uint8_t WhiteImage = 0;
    uint8_t PolygonOffset = 0;
    uint32_t TextureHandle = 0; // 0: no image loaded
    uint8_t HasAlpha = 0;
    int32_t StageIndex = 0; // written by the drawing code while it draws
    int32_t Width = 0;
    int32_t Height = 0;
    std::string FileName; // full path of the image loaded, kept to reload it
};

struct TShaderObj {
    uint32_t Flags = 0; // ShaderSourceFlags
    std::vector<TShaderTexture> Stages;
};

using TShaderFileObj = std::vector<TShaderObj>;

class TShaders : public TLastError {
public:
    // Appends the shader `shaderName` parsed from the script (its header may also be written as
    // `baseName`). The entry is appended, without stages, also when the shader is not found;
    // LastError then says why. Throws FileError when the script cannot be read.
    int ParseShader(const std::string& scriptPath, const std::string& shaderName, uint32_t flags,
                    const std::string& baseName);
    // Appends a one-stage entry that maps the image directly.
    int AddPlainTexture(const std::string& imagePath, uint32_t flags);
    // Releases the stage images of one entry and empties its stages; the entry stays.
    void ReleaseShader(int index, ITextureSource& textures);
    // Releases every stage image and empties the collection.
    void Clear(ITextureSource& textures);

    bool Has(int index) const { return index >= 0 && static_cast<size_t>(index) < Shaders.size(); }
    int Count() const { return static_cast<int>(Shaders.size()); }

    TShaderFileObj Shaders;
};

} // namespace quillon
