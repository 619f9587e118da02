// Player sets for tests: one-triangle parts whose tags and vertices are chosen so that joined
// positions can be worked out by hand.
#pragma once

#include "core/MD3.h"

#include <string>
#include <vector>

namespace quillon::test {

// A tag at `origin` with the axes x, y and x cross y.
TMD3Tag Tag(const std::string& name, TVector origin, TVector x = AxisPosX(),
            TVector y = AxisPosY());

// One surface `surface` (shader "models/players/x/<surface>") whose vertex 0 is at points[f] in
// frame f (vertices 1 and 2 fixed at the origin and one along y), and the tags of each frame.
TMD3 Part(const std::string& surface, const std::vector<TVector>& points,
          const std::vector<std::vector<TMD3Tag>>& tags);

// lower.md3, upper.md3 and Head.md3 in `folder`, two frames of the legs and the torso, one of the
// head, each part's vertex 0 at (1, 0, 0) ((0, 0, 1) for the head). The legs' tag_torso is 10 up
// in frame 0 and 20 up turned 90 degrees about z in frame 1; the torso's tag_head is 5 up in
// frame 0 and moved 2 along x in frame 1, its tag_weapon 3 along x.
void WriteSet(const std::string& folder, const std::string& headSurface = "h_head");

} // namespace quillon::test
