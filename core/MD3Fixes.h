// The repairs for what the MD3 check finds, run in a fixed order so that each works on the
// result of the one before: give missing normals the direction of their faces (first, so that a
// vertex that differed from another only by its missing normal is welded with it), weld
// identical vertices, drop triangles that cannot show, drop vertices no triangle uses, split
// surfaces over the limits, and measure anew the box and sphere of frames that leave vertices
// out. Each can be left out by name.
#pragma once

#include "CheckLimits.h"
#include "MD3.h"

#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class TMD3Fix { Normals, Weld, Degenerate, Unused, Split, Bounds };

struct TMD3FixInfo {
    TMD3Fix Fix;
    const char* Name; // as the command line spells it
    const char* Does;
};

// Every fix in the order it runs.
std::span<const TMD3FixInfo> MD3Fixes();
std::optional<TMD3Fix> ParseMD3Fix(std::string_view name);
const char* MD3FixName(TMD3Fix fix);

struct TFixReport {
    TMD3Fix Fix;
    std::string Message;
};

// Runs every fix not in `skipped`; one report per fix that changed the model or could not do
// all it should (such as a surface it could not split). A model whose counts do not match its
// arrays is left alone and gets no report.
std::vector<TFixReport> FixMD3(TMD3& model, const TModelLimits& limits,
                               const std::set<TMD3Fix>& skipped);

} // namespace quillon
