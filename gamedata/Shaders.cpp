#include "Shaders.h"

#include "ScriptText.h"
#include "ShaderScript.h"

namespace quillon {

int TShaders::ParseShader(const std::string& scriptPath, const std::string& shaderName,
                          uint32_t flags, const std::string& baseName) {
    TShaderParse parse = ParseShaderStages(ReadTextLines(scriptPath), shaderName, baseName);
    if (parse.Error.empty())
        ClearError();
    else
        Fail(scriptPath + ": " + parse.Error);
    TShaderObj shader;
    shader.Flags = flags;
    shader.Stages = std::move(parse.Stages);
    Shaders.push_back(std::move(shader));
    return Count() - 1;
}

int TShaders::AddPlainTexture(const std::string& imagePath, uint32_t flags) {
    TShaderTexture stage;
    stage.MapName = imagePath;
    stage.FileName = imagePath;
    stage.BlendSrc = BlendDstColor;
    stage.BlendDst = BlendZero;
    TShaderObj shader;
    shader.Flags = flags;
    shader.Stages.push_back(stage);
    Shaders.push_back(std::move(shader));
    return Count() - 1;
}

void TShaders::ReleaseShader(int index, ITextureSource& textures) {
    if (!Has(index))
        return;
    for (TShaderTexture& stage : Shaders[index].Stages)
        textures.ReleaseTexture(stage.TextureHandle);
    Shaders[index].Stages.clear();
}

void TShaders::Clear(ITextureSource& textures) {
    for (int i = 0; i < Count(); ++i)
        ReleaseShader(i, textures);
    Shaders.clear();
}

} // namespace quillon
