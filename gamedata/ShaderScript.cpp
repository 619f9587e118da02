#include "ShaderScript.h"

#include "ScriptText.h"

#include <optional>
#include <string_view>

namespace quillon {

namespace {

std::string WithoutComment(const std::string& line) {
    const size_t comment = line.find("//");
    return comment == std::string::npos ? line : line.substr(0, comment);
}

// The rest of `line` after `keyword`, trimmed; `line` must contain the keyword.
std::string AfterKeyword(const std::string& line, std::string_view keyword) {
    return Trim(std::string_view(line).substr(line.find(keyword) + keyword.size()));
}

size_t FirstBlank(const std::string& text, size_t from) {
    const size_t space = text.find(' ', from);
    return space != std::string::npos ? space : text.find('\t', from);
}

size_t SkipTabs(const std::string& text, size_t at) {
    while (at < text.size() && text[at] == '\t')
        ++at;
    return at;
}

// The first frame of "animmap <frequency> <frame> <frame>...": the word after the word that
// follows the keyword. Without the first blank the name stays; without a blank after the frame the
// name is empty, so a single-frame animmap maps nothing.
void ReadAnimMapFrame(const std::string& line, size_t mapAt, std::string& mapName) {
    const size_t q = SkipTabs(line, mapAt + 5);
    const size_t k = FirstBlank(line, q);
    if (k == std::string::npos)
        return;
    const size_t s = SkipTabs(line, k + 1);
    const size_t e = FirstBlank(line, s);
    mapName = e == std::string::npos ? std::string() : Trim(line.substr(s, e - s));
}

std::optional<int32_t> BlendSourceWord(const std::string& word) {
    if (word == "gl_one")
        return BlendOne;
    if (word == "gl_zero")
        return BlendZero;
    if (word == "gl_dst_color")
        return BlendDstColor;
    if (word == "gl_one_minus_dst_color")
        return BlendOneMinusDstColor;
    if (word == "gl_src_alpha")
        return BlendSrcAlpha;
    if (word == "gl_one_minus_src_alpha")
        return BlendOneMinusSrcAlpha;
    return std::nullopt;
}

std::optional<int32_t> BlendDestinationWord(const std::string& word) {
    if (word == "gl_one")
        return BlendOne;
    if (word == "gl_zero")
        return BlendZero;
    if (word == "gl_src_color")
        return BlendSrcColor;
    if (word == "gl_one_minus_src_color")
        return BlendOneMinusSrcColor;
    if (word == "gl_src_alpha")
        return BlendSrcAlpha;
    if (word == "gl_one_minus_src_alpha")
        return BlendOneMinusSrcAlpha;
    return std::nullopt;
}

void ReadBlendFunc(const std::string& line, TShaderTexture& stage) {
    const std::string args = AfterKeyword(line, "blendfunc");
    if (Contains(args, "add")) {
        stage.BlendSrc = BlendOne;
        stage.BlendDst = BlendOne;
    } else if (Contains(args, "filter")) {
        stage.BlendSrc = BlendDstColor;
        stage.BlendDst = BlendZero;
    } else if (Contains(args, "blend")) {
        stage.BlendSrc = BlendSrcAlpha;
        stage.BlendDst = BlendOneMinusSrcAlpha;
    } else {
        std::string source = "gl_dst_color", destination = "gl_zero";
        const size_t b = FirstBlank(args, 0);
        if (b != std::string::npos) {
            source = Trim(args.substr(0, b));
            destination = Trim(args.substr(b));
        }
        if (auto factor = BlendSourceWord(source))
            stage.BlendSrc = *factor;
        if (auto factor = BlendDestinationWord(destination))
            stage.BlendDst = *factor;
    }
}

// A shader-level line: culling, polygon offset, the editor's alpha test, implicit maps, sky.
void ReadShaderLine(std::string line, const std::string& shaderName, TShaderTexture& stage) {
    if (Contains(line, "cull")) {
        if (Contains(line, "disable") || Contains(line, "none") || Contains(line, "twosided"))
            stage.CullMode = CullNone;
        else if (Contains(line, "front"))
            stage.CullMode = CullFront;
        else if (Contains(line, "back"))
            stage.CullMode = CullBack;
    }
    if (Contains(line, "polygonoffset"))
        stage.PolygonOffset = 1;
    if (Contains(line, "qer_alphafunc")) {
        const std::string test = AfterKeyword(line, "qer_alphafunc");
        if (Contains(test, "less"))
            stage.AlphaFunc = AlphaLT128;
        if (Contains(test, "gequal"))
            stage.AlphaFunc = AlphaGE128;
        if (Contains(test, "greater"))
            stage.AlphaFunc = AlphaGT0;
    }
    if (Contains(line, "implicitmap")) {
        line = AfterKeyword(line, "implicitmap");
        if (line == "-")
            line = shaderName;
        stage.MapName = line;
        stage.BlendSrc = BlendDstColor;
        stage.BlendDst = BlendZero;
    }
    if (Contains(line, "implicitmask")) {
        line = AfterKeyword(line, "implicitmask");
        if (line == "-")
            line = shaderName;
        stage.MapName = line;
        stage.BlendSrc = BlendSrcAlpha;
        stage.BlendDst = BlendOneMinusSrcAlpha;
        stage.AlphaFunc = AlphaGT0;
    }
    if (Contains(line, "surfaceparm") && Contains(line, "sky"))
        stage.Sky = 1;
}

// A line inside a stage: its map, environment mapping, alpha test and blending.
void ReadStageLine(const std::string& line, TShaderTexture& stage) {
    const size_t mapAt = line.find("map");
    if (mapAt != std::string::npos) {
        stage.ClampMap = Contains(line, "clampmap");
        stage.VideoMap = Contains(line, "videomap");
        stage.AnimMap = Contains(line, "animmap");
        stage.LightMap = Contains(line, "$lightmap");
        stage.WhiteImage = Contains(line, "$whiteimage");
        if (stage.AnimMap) {
            ReadAnimMapFrame(line, mapAt, stage.MapName);
        } else {
            if (stage.LightMap)
                stage.MapName = "$lightmap";
            if (stage.WhiteImage)
                stage.MapName = "$whiteimage";
            if (stage.VideoMap || stage.LightMap || stage.WhiteImage)
                return;
            stage.MapName = Trim(std::string_view(line).substr(mapAt + 3));
        }
    }
    if (Contains(line, "tcgen") && Contains(line, "environment"))
        stage.EnvironmentMap = 1;
    if (Contains(line, "alphafunc")) {
        const std::string test = AfterKeyword(line, "alphafunc");
        if (test == "gt0")
            stage.AlphaFunc = AlphaGT0;
        else if (test == "lt128")
            stage.AlphaFunc = AlphaLT128;
        else if (test == "ge128")
            stage.AlphaFunc = AlphaGE128;
    }
    if (Contains(line, "blendfunc"))
        ReadBlendFunc(line, stage);
}

void ResetStageFields(TShaderTexture& stage) {
    stage.MapName.clear();
    stage.FileName.clear();
    stage.EnvironmentMap = 0;
    stage.BlendSrc = 0;
    stage.BlendDst = 0;
    stage.ClampMap = 0;
    stage.AnimMap = 0;
    stage.VideoMap = 0;
    stage.LightMap = 0;
    stage.WhiteImage = 0;
    stage.TextureHandle = 0;
    stage.HasAlpha = 0;
}

bool OpensOrCloses(const std::string& line) {
    return Contains(line, "{") || Contains(line, "}");
}

} // namespace

std::vector<std::string> ScanShaderNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    int depth = 0;
    for (const std::string& raw : lines) {
        const std::string line = Trim(WithoutComment(raw));
        if (line.empty())
            continue;
        if (Contains(line, "{"))
            ++depth;
        else if (Contains(line, "}"))
            --depth;
        else if (depth == 0)
            names.push_back(line);
    }
    return names;
}

std::vector<std::string> ScanShaderNamesInFile(const std::string& path) {
    return ScanShaderNames(ReadTextLines(path));
}

TShaderParse ParseShaderStages(const std::vector<std::string>& rawLines,
                               const std::string& shaderName, const std::string& baseName) {
    std::vector<std::string> lines;
    lines.reserve(rawLines.size());
    for (const std::string& raw : rawLines)
        lines.push_back(Trim(ToLower(WithoutComment(raw))));
    const std::string name = ToLower(shaderName);
    const std::string base = ToLower(baseName);
    const std::string baseSlashed = ReplaceAll(base, '\\', '/');

    TShaderParse result;
    size_t header = 0;
    while (header < lines.size() && lines[header] != name && lines[header] != base &&
           lines[header] != baseSlashed)
        ++header;
    if (header >= lines.size()) {
        result.Error = "no shader \"" + shaderName + "\" in the script";
        return result;
    }
    // The brace is looked for below the header: a name may itself hold a brace.
    size_t i = header + 1;
    while (i < lines.size() && !Contains(lines[i], "{"))
        ++i;
    if (i >= lines.size()) {
        result.Error = "shader \"" + shaderName + "\" (line " + std::to_string(header + 1) +
                       ") has no opening brace below its name";
        return result;
    }
    std::vector<TShaderTexture>& stages = result.Stages;

    TShaderTexture stage;
    stage.BlendSrc = BlendDstColor;
    stage.BlendDst = BlendZero;
    // Shader-level lines up to the first stage or the end of the shader.
    do {
        ++i;
        if (i >= lines.size())
            break;
        ReadShaderLine(lines[i], name, stage);
    } while (!OpensOrCloses(lines[i]));
    if (!stage.MapName.empty())
        stages.push_back(stage);

    while (i < lines.size()) {
        ResetStageFields(stage);
        if (!Contains(lines[i], "{"))
            break;
        bool closed = false;
        while (++i < lines.size()) {
            ReadStageLine(lines[i], stage);
            if (Contains(lines[i], "}")) {
                closed = true;
                break;
            }
        }
        stages.push_back(stage);
        if (!closed)
            break;
        while (++i < lines.size() && !OpensOrCloses(lines[i])) {
        }
    }
    return result;
}

} // namespace quillon
