// info and edit: inspecting an MD3 or tag file and rewriting an MD3 through the model's
// operations.
#include "EditOperations.h"
#include "Verbs.h"

#include "core/MD3.h"
#include "core/TagFile.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <map>
#include <memory>
#include <sstream>

namespace quillon::cli {

namespace {

using nlohmann::ordered_json;

ordered_json VectorJson(TVector v) {
    return ordered_json::array(
        {WithoutNegativeZero(v.x), WithoutNegativeZero(v.y), WithoutNegativeZero(v.z)});
}

ordered_json TagJson(const TMD3Tag& tag) {
    return {{"name", NameToString(tag.name)},
            {"origin", VectorJson(tag.origin)},
            {"axis", ordered_json::array({VectorJson(tag.axis[0]), VectorJson(tag.axis[1]),
                                          VectorJson(tag.axis[2])})}};
}

std::string IdentText(uint32_t ident) {
    std::string text(reinterpret_cast<const char*>(&ident), 4);
    for (char& c : text)
        if (c < 32 || c > 126)
            c = '?';
    return text;
}

ordered_json ModelJson(const TMD3& model) {
    const THeader& h = model.Header;
    ordered_json j;
    j["ident"] = IdentText(h.ident);
    j["version"] = h.version;
    j["name"] = NameToString(h.name);
    j["flags"] = h.flags;
    j["numFrames"] = h.numFrames;
    j["numTags"] = h.numTags;
    j["numSurfaces"] = h.numSurfaces;
    j["numSkins"] = h.numSkins;
    j["frames"] = ordered_json::array();
    for (const TMD3Frame& f : h.Frames)
        j["frames"].push_back({{"name", NameToString(f.name)},
                               {"mins", VectorJson(f.mins)},
                               {"maxs", VectorJson(f.maxs)},
                               {"localOrigin", VectorJson(f.localOrigin)},
                               {"radius", WithoutNegativeZero(f.radius)}});
    j["tags"] = ordered_json::array();
    for (uint32_t t = 0; t < h.numTags && t < h.Tags.size(); ++t)
        j["tags"].push_back(TagJson(h.Tags[t]));
    j["surfaces"] = ordered_json::array();
    for (const TSurface& s : h.Surfaces) {
        ordered_json shaders = ordered_json::array();
        for (const TMD3Shader& shader : s.Shaders)
            shaders.push_back(NameToString(shader.name));
        j["surfaces"].push_back({{"name", NameToString(s.name)},
                                 {"flags", s.flags},
                                 {"numFrames", s.numFrames},
                                 {"numShaders", s.numShaders},
                                 {"numVerts", s.numVerts},
                                 {"numTriangles", s.numTriangles},
                                 {"shaders", shaders}});
    }
    return j;
}

std::string VectorText(TVector v) {
    std::ostringstream out;
    out << "(" << WithoutNegativeZero(v.x) << ", " << WithoutNegativeZero(v.y) << ", "
        << WithoutNegativeZero(v.z) << ")";
    return out.str();
}

void PrintModel(const TMD3& model, std::ostream& out) {
    const THeader& h = model.Header;
    out << "ident " << IdentText(h.ident) << ", version " << h.version << "\n"
        << "name \"" << NameToString(h.name) << "\", flags " << h.flags << "\n"
        << h.numFrames << " frames, " << h.numTags << " tags, " << h.numSurfaces << " surfaces, "
        << h.numSkins << " skins\n";
    for (size_t f = 0; f < h.Frames.size(); ++f) {
        const TMD3Frame& frame = h.Frames[f];
        out << "frame " << f << " \"" << NameToString(frame.name) << "\" mins "
            << VectorText(frame.mins) << " maxs " << VectorText(frame.maxs) << " origin "
            << VectorText(frame.localOrigin) << " radius " << WithoutNegativeZero(frame.radius)
            << "\n";
    }
    for (uint32_t t = 0; t < h.numTags && t < h.Tags.size(); ++t)
        out << "tag \"" << NameToString(h.Tags[t].name) << "\" origin "
            << VectorText(h.Tags[t].origin) << "\n";
    for (const TSurface& s : h.Surfaces) {
        out << "surface \"" << NameToString(s.name) << "\" " << s.numVerts << " vertices, "
            << s.numTriangles << " triangles, " << s.numShaders << " shaders, " << s.numFrames
            << " frames";
        if (!s.Shaders.empty())
            out << ", shader \"" << NameToString(s.Shaders[0].name) << "\"";
        out << "\n";
    }
}

ordered_json TagFileJson(const TTagFile& file) {
    ordered_json tags = ordered_json::array();
    for (const TMD3Tag& tag : file.tags)
        tags.push_back(TagJson(tag));
    return {{"numTags", file.tags.size()}, {"tags", tags}};
}

void PrintTagFile(const TTagFile& file, std::ostream& out) {
    out << file.tags.size() << " tags\n";
    for (const TMD3Tag& tag : file.tags)
        out << "tag \"" << NameToString(tag.name) << "\" origin " << VectorText(tag.origin) << "\n";
}

struct EditArgs {
    std::string input, output;
};

// The values of the n-th appearance of an option. Options with many values keep an empty
// separator between appearances.
std::vector<std::string> ValuesOf(const CLI::Option& option, const EditOperation& op, size_t n) {
    const std::vector<std::string>& results = option.results();
    if (op.valueName.empty())
        return {};
    if (!op.manyValues)
        return {results.at(n)};
    std::vector<std::vector<std::string>> groups(1);
    for (const std::string& value : results)
        if (value.empty())
            groups.emplace_back();
        else
            groups.back().push_back(value);
    return groups.at(n);
}

int RunEdit(CLI::App& verb, const EditArgs& args) {
    TMD3 model;
    if (!model.LoadFromFile(args.input))
        return NotValid(args.input, "MD3", model.LastError());
    // Options may repeat; the n-th time an option appears takes its n-th value. The parse
    // order lists an option once per value, so an option with many values is applied at the
    // first of them and the rest are passed over.
    std::map<const CLI::Option*, size_t> applied, passOver;
    for (const CLI::Option* option : verb.parse_order()) {
        for (const EditOperation& op : MD3EditOperations()) {
            if (option->get_name() != op.flag)
                continue;
            if (passOver[option] > 0) {
                --passOver[option];
                continue;
            }
            const std::vector<std::string> values = ValuesOf(*option, op, applied[option]++);
            if (op.manyValues)
                passOver[option] = values.size() - 1;
            if (auto error = op.apply(model, values)) {
                std::cerr << *error << "\n";
                return ExitInvalidInput;
            }
        }
    }
    if (!model.SaveToFile(args.output))
        return NotWritten(args.output, model.LastError());
    return ExitDone;
}

} // namespace

void AddMD3Verbs(VerbContext& context) {
    context.infoFormats[".md3"] = [](const std::string& path, bool json) {
        TMD3 model;
        if (!model.LoadFromFile(path))
            return NotValid(path, "MD3", model.LastError());
        if (json)
            std::cout << ModelJson(model).dump(2) << "\n";
        else
            PrintModel(model, std::cout);
        return int(ExitDone);
    };
    context.infoFormats[".tag"] = [](const std::string& path, bool json) {
        const TTagFile file = ReadTagFile(path);
        if (file.status != TTagFileStatus::Read)
            return NotValid(path, "tag", file.error);
        if (json)
            std::cout << TagFileJson(file).dump(2) << "\n";
        else
            PrintTagFile(file, std::cout);
        return int(ExitDone);
    };

    auto args = std::make_shared<EditArgs>();
    auto* edit =
        context.app.add_subcommand("edit", "Apply operations to an MD3 and save the result");
    edit->add_option("IN", args->input, "the MD3 file to read")->required();
    edit->add_option("-o,--output", args->output, "the MD3 file to write")->required();
    for (const EditOperation& op : MD3EditOperations()) {
        if (op.valueName.empty())
            edit->add_flag(op.flag, op.help);
        else if (op.manyValues) {
            CLI::Option* option = edit->add_option(op.flag, op.help)
                                      ->type_name(op.valueName)
                                      ->expected(1, CLI::detail::expected_max_vector_size)
                                      ->allow_extra_args()
                                      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
            option->inject_separator();
        } else
            edit->add_option(op.flag, op.help)
                ->type_name(op.valueName)
                ->expected(1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }
    auto& run = context.run;
    edit->callback([&run, edit, args] { run = [edit, args] { return RunEdit(*edit, *args); }; });
}

} // namespace quillon::cli
