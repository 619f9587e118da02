// Writes the demo game folder that ./run.sh opens: GAME/etmain/pak0.pk3 holding the demo
// models given as MEMBER=FILE arguments, their skins, a shader script with a two-stage shader
// and an alpha-tested one, and the textures they name, all generated here.
// Usage: quillon-make-demo-game GAME [MEMBER=FILE...]
#include "DemoImages.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

using namespace quillon::demo;

namespace {

struct TMember {
    std::string Name;
    std::vector<uint8_t> Data;
};

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

const char* const ShaderScript = R"(// The demo models' shaders.

// Two stages: the banded base and dark seams multiplied onto it.
models/demo/torus
{
	{
		map models/demo/torus.tga
	}
	{
		map models/demo/seams.tga
		blendFunc filter
	}
}

// A grate seen from both sides, its holes cut by the alpha test.
models/demo/core
{
	cull none
	{
		map models/demo/grate.tga
		alphaFunc GE128
	}
}
)";

std::vector<TMember> GeneratedMembers() {
    return {
        {"scripts/demo.shader", Bytes(ShaderScript)},
        {"models/demo/demo_default.skin",
         Bytes("torus,models/demo/torus.tga\ncore,models/demo/core.tga\ntag_head,\n")},
        {"models/demo/demo_gold.skin",
         Bytes("torus,models/demo/gold.tga\ncore,models/demo/core.tga\ntag_head,\n")},
        {"models/demo/torus.tga", TorusImage()},
        {"models/demo/seams.tga", SeamsImage()},
        {"models/demo/grate.tga", GrateImage()},
        {"models/demo/gold.tga", GoldImage()},
    };
}

bool ReadMemberArgument(const std::string& argument, TMember& member) {
    const size_t eq = argument.find('=');
    if (eq == std::string::npos || eq == 0)
        return false;
    member.Name = argument.substr(0, eq);
    std::ifstream in(argument.substr(eq + 1), std::ios::binary);
    member.Data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

// libzip writes a temporary file and renames it in zip_close, so a failed run leaves no archive.
bool WriteArchive(const std::string& path, const std::vector<TMember>& members) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const TMember& member : members) {
        zip_source_t* source =
            zip_source_buffer(archive, member.Data.data(), member.Data.size(), 0);
        if (!source || zip_file_add(archive, member.Name.c_str(), source,
                                    ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quillon-make-demo-game GAME [MEMBER=FILE...]\n";
        return 2;
    }
    std::vector<TMember> members = GeneratedMembers();
    for (int i = 2; i < argc; ++i) {
        TMember member;
        if (!ReadMemberArgument(argv[i], member)) {
            std::cerr << argv[i] << ": not MEMBER=FILE of a readable file\n";
            return 1;
        }
        members.push_back(std::move(member));
    }
    const std::filesystem::path base = std::filesystem::path(argv[1]) / "etmain";
    std::error_code error;
    std::filesystem::create_directories(base / "scripts", error);
    const std::string archive = (base / "pak0.pk3").string();
    if (error || !WriteArchive(archive, members)) {
        std::cerr << archive << ": could not write the demo archive\n";
        return 1;
    }
    return 0;
}
