// `quillon --render`: pictures of models for scripts, without showing the window. The files are
// opened as the command line opens them, with the settings file, the game folder, skins, shaders
// and textures the window would use, and the current frame is drawn by the window's renderer
// into an offscreen surface and written as PNG or TGA:
//   quillon --render OUT.png|OUT.tga [--size WxH] [--frame N] [--skin FILE.skin] [--game DIR]
//                    [--no-sky] [--alpha] FILE...
//   quillon --render OUT.png ... --player DIR [--skin NAME] [--legs NAME] [--torso NAME]
//                    [--weapon FILE]
// With --alpha the picture is the screenshot's: the model over black with its mask as alpha.
// No X server is needed: the widgets live on Qt's offscreen platform, the drawing in an EGL
// context of Mesa's.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon {

enum TRenderExit : int {
    RenderDone = 0,
    RenderInputFailed = 1,
    RenderUsage = 2,
    RenderOutputFailed = 3
};

struct TRenderRequest {
    std::string Output;
    int Width = 512;
    int Height = 512;
    std::optional<int> Frame;
    std::string Skin;
    std::string GameDir;
    bool NoSky = false;
    bool Alpha = false;
    std::vector<std::string> Files;
    // --player DIR [--legs NAME] [--torso NAME] [--weapon FILE]; --skin is then a skin name.
    std::string Player;
    std::string Legs, Torso, Weapon;
};

// The arguments after "--render"; none, with the reason in `error`, when they are not usable.
std::optional<TRenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                   std::string& error);
// Runs the whole program for `quillon --render ...`; returns the exit status.
int RunRenderCommand(int argc, char** argv);

} // namespace quillon
