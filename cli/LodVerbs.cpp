// lod: computes the level-of-detail data of an MDM mesh posed by its animation and writes the
// mesh with its vertices in the new order, as the window's Calculate LOD and Save do.
#include "Verbs.h"

#include "core/MD3.h"
#include "lod/LodCalculation.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <iostream>
#include <memory>

namespace quillon::cli {

namespace {

struct LodArgs {
    std::string mesh, animation, output;
    int frame = LodFrameMDM;
    bool yes = false;
};

int RunLod(const LodArgs& a) {
    TMDM mesh;
    mesh.AskLimit = AnswerLimits(a.yes);
    if (!mesh.LoadFromFile(a.mesh))
        return NotValid(a.mesh, "MDM", mesh.LastError());
    TMDX animation;
    if (!animation.LoadFromFile(a.animation))
        return NotValid(a.animation, "MDX", animation.LastError());
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mesh, animation, a.frame);
    for (const std::string& message : report.Messages)
        std::cerr << message << "\n";
    if (!report.Calculated)
        return InvalidInput(a.animation, "no LOD calculated, nothing written");
    if (!mesh.SaveToFile(a.output))
        return InvalidInput(a.output, "not written: " + mesh.LastError());
    for (const TMDMSurface& s : mesh.Surfaces)
        std::cout << NameToString(s.name) << ": " << s.Vertices.size() << " vertices, LOD minimum "
                  << s.minLod << "\n";
    return ExitDone;
}

} // namespace

void AddLodVerbs(VerbContext& context) {
    auto args = std::make_shared<LodArgs>();
    auto* lod = context.app.add_subcommand(
        "lod", "Compute the collapse maps and LOD minimums of an MDM mesh and save it");
    lod->add_option("MESH", args->mesh, "the MDM file to read")->required();
    lod->add_option("ANIM", args->animation, "the MDX animation to pose it with")->required();
    lod->add_option("-o,--output", args->output, "the MDM file to write")->required();
    lod->add_option("--frame", args->frame, "the frame to pose the mesh in")->capture_default_str();
    lod->add_flag("--yes", args->yes, "continue past the MDM format's limits");
    auto& run = context.run;
    lod->callback([&run, args] { run = [args] { return RunLod(*args); }; });
}

} // namespace quillon::cli
