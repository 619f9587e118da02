// The central objects of a run, one of each, created at program entry before the main window
// and handed to it. Members are declared in creation order, so they are destroyed in reverse;
// load commands refill them and never replace them.
#pragma once

#include "core/MD3.h"
#include "gamedata/PlayerModel.h"
#include "gamedata/Shaders.h"
#include "lod/CollapseMap.h"
#include "mapimport/LevelMap.h"
#include "skeletal/AnimationScript.h"
#include "skeletal/MDM.h"
#include "skeletal/MDS.h"
#include "skeletal/MDX.h"
#include "skeletal/MS3D.h"

namespace quillon {

struct TProgramInstances {
    TShaders Shaders;
    TMD3 MD3;
    TMDX MDX;
    TANINC ANINC;
    TCollapseMap CollapseMap;
    TMDM MDM;
    TMDS MDS;
    TMS3D MS3D;
    TLevelMap LevelMap;
    // A whole player: its parts, skins and animations; the MD3 above holds the parts joined.
    TPlayerModel Player;
};

} // namespace quillon
