#include "EditOperations.h"

#include <charconv>
#include <cmath>

namespace quillon::cli {

namespace {

using Error = std::optional<std::string>;

std::optional<float> ParseFloat(const std::string& text) {
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseIndex(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// A surface index, or else the name of a surface.
std::optional<int> FindSurface(const TMD3& model, const std::string& text) {
    if (auto index = ParseIndex(text); index && model.HasSurface(int(*index)))
        return int(*index);
    for (int s = 0; model.HasSurface(s); ++s)
        if (NameToString(model.Header.Surfaces[s].name) == text)
            return s;
    return std::nullopt;
}

// A tag name of frame 0, or "origin" for the model's origin.
std::optional<uint32_t> FindPivot(const TMD3& model, const std::string& text) {
    for (uint32_t t = 0; t < model.Header.numTags; ++t)
        if (model.PivotName(t) == text)
            return t;
    if (text == "origin")
        return model.Header.numTags;
    return std::nullopt;
}

Error Failure(const TEditResult& result) {
    return result.ok ? Error{} : result.message;
}

using SingleValue = std::function<Error(TMD3&, const std::string&)>;

// Adapts an operation that takes exactly one value.
auto OneValue(SingleValue apply) {
    return [apply](TMD3& model, const std::vector<std::string>& values) {
        return apply(model, values.at(0));
    };
}

auto NoValue(void (TMD3::*operation)()) {
    return [operation](TMD3& model, const std::vector<std::string>&) {
        (model.*operation)();
        return Error{};
    };
}

Error Weld(TMD3& model, const std::string& value) {
    const size_t equals = value.rfind('=');
    const auto tolerance =
        equals == std::string::npos ? std::nullopt : ParseFloat(value.substr(equals + 1));
    if (!tolerance)
        return "--weld expects SURFACE=TOLERANCE, got \"" + value + "\"";
    const std::string surfaceText = value.substr(0, equals);
    const auto surface = FindSurface(model, surfaceText);
    if (!surface)
        return "No surface \"" + surfaceText + "\"";
    return Failure(model.WeldVertices(*surface, std::fabs(*tolerance)));
}

Error Smooth(TMD3& model, const std::string& value) {
    const auto surface = FindSurface(model, value);
    if (!surface)
        return "No surface \"" + value + "\"";
    return Failure(model.SmoothSurface(*surface));
}

Error ScaleModel(TMD3& model, const std::string& value) {
    const auto factor = ParseFloat(value);
    if (!factor)
        return "--scale expects a number, got \"" + value + "\"";
    return Failure(model.Scale(*factor));
}

Error TagAsOrigin(TMD3& model, const std::string& value) {
    const auto pivot = FindPivot(model, value);
    if (!pivot)
        return "No tag \"" + value + "\" in frame 0";
    return Failure(model.MoveOriginToTag(*pivot));
}

Error InvertAxis(TMD3& model, const std::string& value) {
    if (value == "x")
        model.InvertTagAxisX();
    else if (value == "y")
        model.InvertTagAxisY();
    else if (value == "z")
        model.InvertTagAxisZ();
    else
        return "--invert-tag-axis expects x, y or z, got \"" + value + "\"";
    return std::nullopt;
}

Error SwapAxes(TMD3& model, const std::string& value) {
    if (value == "xy")
        model.SwapTagAxesXY();
    else if (value == "xz")
        model.SwapTagAxesXZ();
    else if (value == "yz")
        model.SwapTagAxesYZ();
    else
        return "--swap-tag-axes expects xy, xz or yz, got \"" + value + "\"";
    return std::nullopt;
}

// NAME,X,Y,Z: the name may itself hold commas, so the numbers are taken from the right.
Error AddTag(TMD3& model, const std::string& value) {
    std::string rest = value;
    float origin[3] = {};
    for (int k = 2; k >= 0; --k) {
        const size_t comma = rest.rfind(',');
        const auto number =
            comma == std::string::npos ? std::nullopt : ParseFloat(rest.substr(comma + 1));
        if (!number)
            return "--add-tag expects NAME,X,Y,Z, got \"" + value + "\"";
        origin[k] = *number;
        rest.resize(comma);
    }
    return Failure(model.AddTagByHand(rest, {origin[0], origin[1], origin[2]}));
}

Error DeleteFrame(TMD3& model, const std::string& value) {
    const auto frame = ParseIndex(value);
    if (!frame)
        return "--delete-frame expects a frame index, got \"" + value + "\"";
    return Failure(model.DeleteFrame(*frame));
}

auto FromFile(TEditResult (TMD3::*operation)(const std::string&)) {
    return OneValue([operation](TMD3& model, const std::string& path) {
        return Failure((model.*operation)(path));
    });
}

} // namespace

const std::vector<EditOperation>& MD3EditOperations() {
    static const std::vector<EditOperation> operations = {
        {"--flip-x", "", "mirror the model across x = 0", NoValue(&TMD3::FlipX)},
        {"--flip-y", "", "mirror the model across y = 0", NoValue(&TMD3::FlipY)},
        {"--flip-z", "", "mirror the model across z = 0", NoValue(&TMD3::FlipZ)},
        {"--flip-normals", "", "turn every normal around", NoValue(&TMD3::FlipNormals)},
        {"--weld", "SURFACE=TOLERANCE",
         "join the vertices of a surface (index or name) that lie "
         "within TOLERANCE of each other",
         OneValue(Weld)},
        {"--smooth", "SURFACE", "average the normals of vertices sharing a position",
         OneValue(Smooth)},
        {"--scale", "FACTOR", "scale frames, tags and vertices", OneValue(ScaleModel)},
        {"--tag-as-origin", "TAG",
         "move every frame so that the tag (or \"origin\", the frame's "
         "local origin) is at the origin",
         OneValue(TagAsOrigin)},
        {"--invert-tag-axis", "x|y|z", "negate one axis of every tag", OneValue(InvertAxis)},
        {"--swap-tag-axes", "xy|xz|yz", "exchange two axes of every tag", OneValue(SwapAxes)},
        {"--add-tag", "NAME,X,Y,Z", "add a tag with unit axes to a one-frame model",
         OneValue(AddTag)},
        {"--add-tags-from", "FILE.tag", "add the tags of a TAG3 file to every frame",
         FromFile(&TMD3::AddTagsFromFile)},
        {"--add-first-frame-from", "FILE.md3", "append frame 0 of another model",
         FromFile(&TMD3::AddFirstFrameFromFile)},
        {"--add-all-frames-from", "FILE.md3", "append every frame of another model",
         FromFile(&TMD3::AddAllFramesFromFile)},
        {"--add-frame-sequence", "FILE.md3...",
         "append frame 0 of each model, in file-name order ignoring case",
         [](TMD3& model, const std::vector<std::string>& paths) {
             return Failure(model.AddFirstFramesFromFiles(paths));
         },
         true},
        {"--delete-frame", "N", "remove frame N", OneValue(DeleteFrame)},
    };
    return operations;
}

} // namespace quillon::cli
