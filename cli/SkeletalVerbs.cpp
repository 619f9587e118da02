// The skeletal verbs: info printers for .mdm, .mdx, .mds, .ms3d and .aninc, and bake, mds2mdm
// and resave. Every printer builds one JSON description; the text form lists its scalar fields
// and the sizes of its lists, so both forms always name the same fields.
#include "Verbs.h"

#include "core/MD3.h"
#include "skeletal/AnimationScript.h"
#include "skeletal/Bake.h"
#include "skeletal/MDM.h"
#include "skeletal/MDS.h"
#include "skeletal/MDX.h"
#include "skeletal/MS3D.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

namespace quillon::cli {

namespace {

using nlohmann::ordered_json;

ordered_json Vec(TVector v) {
    return ordered_json::array(
        {WithoutNegativeZero(v.x), WithoutNegativeZero(v.y), WithoutNegativeZero(v.z)});
}

template <size_t N> std::string Text(const char (&field)[N]) {
    std::string text = NameToString(field);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            c = '?';
    return text;
}

void PrintText(const ordered_json& j, std::ostream& out, const std::string& indent = "") {
    for (const auto& [key, value] : j.items()) {
        if (value.is_array() && (value.empty() || value.front().is_object())) {
            out << indent << key << ": " << value.size() << "\n";
            for (size_t i = 0; i < value.size() && i < 64; ++i) {
                out << indent << "  [" << i << "]\n";
                PrintText(value[i], out, indent + "    ");
            }
        } else if (value.is_array() && value.size() > 8) {
            out << indent << key << ": " << value.size() << " values\n";
        } else {
            out << indent << key << ": " << value.dump() << "\n";
        }
    }
}

int Print(const ordered_json& j, bool json) {
    if (json)
        std::cout << j.dump(2) << "\n";
    else
        PrintText(j, std::cout);
    return ExitDone;
}

ordered_json MDMJson(const TMDM& m) {
    const TMDMHeaderRecord& h = m.Header;
    ordered_json j{
        {"ident", Text(h.ident)}, {"version", h.version}, {"name", Text(h.name)},
        {"lodScale", h.lodScale}, {"lodBias", h.lodBias}, {"numSurfaces", h.numSurfaces},
        {"numTags", h.numTags},   {"ofsEnd", h.ofsEnd},   {"hasCollapseMap", m.HasCollapseMap()}};
    j["surfaces"] = ordered_json::array();
    for (const TMDMSurface& s : m.Surfaces) {
        size_t weights = 0;
        for (const TMDMVertex& v : s.Vertices)
            weights += v.Weights.size();
        j["surfaces"].push_back({{"name", Text(s.name)},
                                 {"shader", Text(s.shader)},
                                 {"shaderIndex", s.shaderIndex},
                                 {"minLod", s.minLod},
                                 {"numVerts", s.numVerts},
                                 {"numTriangles", s.numTriangles},
                                 {"numBoneRefs", s.numBoneRefs},
                                 {"numWeights", weights},
                                 {"boneRefs", s.BoneRefs}});
    }
    j["tags"] = ordered_json::array();
    for (const TMDMTag& t : m.Tags)
        j["tags"].push_back({{"name", Text(t.name)},
                             {"boneIndex", t.boneIndex},
                             {"offset", Vec(t.offset)},
                             {"axis", {Vec(t.axis[0]), Vec(t.axis[1]), Vec(t.axis[2])}},
                             {"numBoneRefs", t.numBoneRefs},
                             {"boneRefs", t.BoneRefs}});
    return j;
}

ordered_json BonesJson(const std::vector<TMDXBoneInfo>& bones) {
    ordered_json list = ordered_json::array();
    for (const TMDXBoneInfo& b : bones)
        list.push_back({{"name", Text(b.name)},
                        {"parent", b.parent},
                        {"torsoWeight", b.torsoWeight},
                        {"parentDist", b.parentDist},
                        {"flags", b.flags}});
    return list;
}

ordered_json FramesJson(const std::vector<TMDXFrame>& frames) {
    ordered_json list = ordered_json::array();
    for (const TMDXFrame& f : frames)
        list.push_back({{"mins", Vec(f.mins)},
                        {"maxs", Vec(f.maxs)},
                        {"localOrigin", Vec(f.localOrigin)},
                        {"radius", WithoutNegativeZero(f.radius)}});
    return list;
}

ordered_json MDXJson(const TMDX& m) {
    const TMDXHeaderRecord& h = m.Header;
    return {{"ident", Text(h.ident)},
            {"version", h.version},
            {"name", Text(h.name)},
            {"numFrames", h.numFrames},
            {"numBones", h.numBones},
            {"torsoParent", h.torsoParent},
            {"ofsEnd", h.ofsEnd},
            {"bones", BonesJson(m.Bones)},
            {"frames", FramesJson(m.Frames)}};
}

ordered_json MDSJson(const TMDS& m) {
    const TMDSHeaderRecord& h = m.Header;
    ordered_json j{
        {"ident", Text(h.ident)}, {"version", h.version},         {"name", Text(h.name)},
        {"lodScale", h.lodScale}, {"lodBias", h.lodBias},         {"numFrames", h.numFrames},
        {"numBones", h.numBones}, {"torsoParent", h.torsoParent}, {"numSurfaces", h.numSurfaces},
        {"numTags", h.numTags},   {"ofsEnd", h.ofsEnd},           {"bones", BonesJson(m.Bones)}};
    j["surfaces"] = ordered_json::array();
    for (const TMDSSurface& s : m.Surfaces)
        j["surfaces"].push_back({{"name", Text(s.name)},
                                 {"shader", Text(s.shader)},
                                 {"minLod", s.minLod},
                                 {"numVerts", s.numVerts},
                                 {"numTriangles", s.numTriangles},
                                 {"numBoneRefs", s.numBoneRefs}});
    j["tags"] = ordered_json::array();
    for (const TMDSTag& t : m.Tags)
        j["tags"].push_back({{"name", Text(t.name)}, {"boneIndex", t.boneIndex}});
    return j;
}

ordered_json MS3DJson(const TMS3D& m) {
    ordered_json j{
        {"id", std::string(m.Header.id, 10)},     {"version", m.Header.version},
        {"numVertices", m.Vertices.size()},       {"numTriangles", m.Triangles.size()},
        {"numMaterials", m.Materials.size()},     {"framesPerSecond", m.Animation.framesPerSecond},
        {"currentTime", m.Animation.currentTime}, {"totalFrames", m.Animation.totalFrames},
        {"commentVersion", m.commentVersion},     {"numModelComments", m.ModelComments.size()}};
    j["groups"] = ordered_json::array();
    for (const TMS3DGroup& g : m.Groups)
        j["groups"].push_back({{"name", Text(g.name)},
                               {"numTriangles", g.numTriangles},
                               {"materialIndex", g.materialIndex}});
    j["joints"] = ordered_json::array();
    for (const TMS3DBone& b : m.Joints)
        j["joints"].push_back({{"name", Text(b.name)},
                               {"parentName", Text(b.parentName)},
                               {"numRotationKeys", b.numRotationKeys},
                               {"numPositionKeys", b.numPositionKeys}});
    return j;
}

ordered_json ANINCJson(const TANINC& script) {
    ordered_json list = ordered_json::array();
    for (const TANINCFrame& e : script.Entries)
        list.push_back({{"name", e.name},
                        {"firstFrame", e.FirstFrame()},
                        {"numFrames", e.NumFrames()},
                        {"lastFrame", e.LastFrame()},
                        {"framesPerSecond", e.FramesPerSecond()},
                        {"values", e.values}});
    return {{"numEntries", script.Count()}, {"entries", list}};
}

template <class Model, class ToJson> InfoPrinter Printer(const char* kind, ToJson toJson) {
    return [kind, toJson](const std::string& path, bool json) {
        Model model;
        if constexpr (std::is_same_v<Model, TMDM>)
            model.AskLimit = [](const std::string&) { return true; };
        if (!model.LoadFromFile(path))
            return NotValid(path, kind, model.LastError());
        return Print(toJson(model), json);
    };
}

struct SkeletalArgs {
    std::string input, second, output, mdxOutput;
    std::optional<int> start, end;
    bool yes = false;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
};

int RunBake(const SkeletalArgs& a) {
    TMDM mesh;
    mesh.AskLimit = AnswerLimits(a.yes);
    if (!mesh.LoadFromFile(a.input))
        return NotValid(a.input, "MDM", mesh.LastError());
    TMDX animation;
    if (!animation.LoadFromFile(a.second))
        return NotValid(a.second, "MDX", animation.LastError());
    const int start = a.start.value_or(0);
    const int end = a.end.value_or(int(animation.Frames.size()) - 1);
    TMD3 md3;
    if (const auto error = BakeToMD3(mesh, animation, start, end, md3, a.threads)) {
        std::cerr << a.input << ": " << *error << "\n";
        return ExitInvalidInput;
    }
    if (!md3.SaveToFile(a.output))
        return NotWritten(a.output, md3.LastError());
    std::cout << FramesRangeText(start, end)
              << " exported to file: " << std::filesystem::path(a.output).filename().string()
              << "\n";
    return ExitDone;
}

int RunMDS2MDM(const SkeletalArgs& a) {
    TMDS mds;
    if (!mds.LoadFromFile(a.input))
        return NotValid(a.input, "MDS", mds.LastError());
    TMDM mesh;
    TMDX animation;
    if (!mds.ConvertToSkeletal(mesh, animation))
        return NotValid(a.input, "MDS", mds.LastError());
    // Both files or neither: the mesh waits beside its target until the animation is written,
    // and is removed on every way out (a write error may also arrive as an exception).
    const std::string pending = a.output + ".pending";
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removePending(
        &pending, [](const std::string* path) {
            std::error_code ignored;
            std::filesystem::remove(*path, ignored);
        });
    if (!mesh.SaveToFile(pending))
        return NotWritten(a.output, mesh.LastError());
    if (!animation.SaveToFile(a.mdxOutput))
        return NotWritten(a.mdxOutput, animation.LastError());
    std::error_code error;
    std::filesystem::rename(pending, a.output, error);
    if (error)
        return NotWritten(a.output, "cannot replace the file: " + error.message());
    return ExitDone;
}

std::string Extension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

int RunResave(const SkeletalArgs& a) {
    const std::string ext = Extension(a.input);
    if (ext == ".mdm") {
        TMDM mesh;
        mesh.AskLimit = AnswerLimits(a.yes);
        if (!mesh.LoadFromFile(a.input))
            return NotValid(a.input, "MDM", mesh.LastError());
        return mesh.SaveToFile(a.output) ? int(ExitDone) : NotWritten(a.output, mesh.LastError());
    }
    if (ext == ".mdx") {
        TMDX animation;
        if (!animation.LoadFromFile(a.input))
            return NotValid(a.input, "MDX", animation.LastError());
        return animation.SaveToFile(a.output) ? int(ExitDone)
                                              : NotWritten(a.output, animation.LastError());
    }
    std::cerr << a.input << ": resave reads .mdm and .mdx files\n";
    return ExitUsage;
}

void AddVerb(VerbContext& context, const char* name, const char* help,
             const std::shared_ptr<SkeletalArgs>& args, int (*runner)(const SkeletalArgs&),
             CLI::App*& verb) {
    verb = context.app.add_subcommand(name, help);
    auto& run = context.run;
    verb->callback([&run, args, runner] { run = [args, runner] { return runner(*args); }; });
}

} // namespace

void AddSkeletalVerbs(VerbContext& context) {
    context.infoFormats[".mdm"] = Printer<TMDM>("MDM", MDMJson);
    context.infoFormats[".mdx"] = Printer<TMDX>("MDX", MDXJson);
    context.infoFormats[".mds"] = Printer<TMDS>("MDS", MDSJson);
    context.infoFormats[".ms3d"] = Printer<TMS3D>("MS3D", MS3DJson);
    context.infoFormats[".aninc"] = [](const std::string& path, bool json) {
        TANINC script;
        try {
            if (!script.LoadFromFile(path)) {
                std::cerr << path << ": " << script.LastError() << "\n";
                return int(ExitFileProblem);
            }
        } catch (const ConversionError&) {
            return NotValid(path, "animation script", script.LastError());
        }
        return Print(ANINCJson(script), json);
    };

    CLI::App* verb = nullptr;
    auto bake = std::make_shared<SkeletalArgs>();
    AddVerb(context, "bake", "Bake a range of skeletal frames into an MD3 file", bake, RunBake,
            verb);
    verb->add_option("MESH", bake->input, "the MDM mesh")->required();
    verb->add_option("ANIM", bake->second, "the MDX animation")->required();
    verb->add_option("--start", bake->start, "first frame (default 0)");
    verb->add_option("--end", bake->end, "last frame (default the last)");
    verb->add_option("-o,--output", bake->output, "the MD3 file to write")->required();
    verb->add_option("--threads", bake->threads,
                     "frames baked at once (default: one per core); the file is the same")
        ->check(CLI::PositiveNumber);
    verb->add_flag("--yes", bake->yes, "answer Yes to the limit questions");

    auto convert = std::make_shared<SkeletalArgs>();
    AddVerb(context, "mds2mdm", "Convert an MDS model into an MDM mesh and an MDX animation",
            convert, RunMDS2MDM, verb);
    verb->add_option("IN", convert->input, "the MDS file")->required();
    verb->add_option("-o,--output", convert->output, "the MDM file to write")->required();
    verb->add_option("--mdx", convert->mdxOutput, "the MDX file to write")->required();

    auto resave = std::make_shared<SkeletalArgs>();
    AddVerb(context, "resave", "Read an MDM or MDX file and write it back with fresh offsets",
            resave, RunResave, verb);
    verb->add_option("IN", resave->input, "the .mdm or .mdx file")->required();
    verb->add_option("-o,--output", resave->output, "the file to write")->required();
    verb->add_flag("--yes", resave->yes, "answer Yes to the limit questions");
}

} // namespace quillon::cli
