#include "RenderCommand.h"

#include "BatchDialogs.h"
#include "Form1.h"
#include "FormatNumbers.h"
#include "PlayerCommands.h"
#include "ViewBinding.h"
#include "core/FileError.h"
#include "render/OGL.h"
#include "render/OffscreenSurface.h"
#include "render/ViewImageFile.h"

#include <QApplication>

#include <iostream>

namespace quillon {

namespace {

const char* const Usage =
    "usage: quillon --render OUT.png|OUT.tga [--size WxH] [--frame N] [--skin FILE.skin]\n"
    "                        [--game DIR] [--no-sky] [--alpha] FILE...\n"
    "       quillon --render OUT.png|OUT.tga [options] --player DIR [--skin NAME]\n"
    "                        [--legs NAME] [--torso NAME] [--weapon FILE]\n";

// A picture's memory grows with its area; beyond this a typing slip would take gigabytes.
constexpr int LargestSide = 8192;
constexpr int64_t LargestArea = int64_t(4096) * 4096;

bool ParseSize(const std::string& text, TRenderRequest& request) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const auto width = ParseInt(std::string_view(text).substr(0, x));
    const auto height = ParseInt(std::string_view(text).substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > LargestSide ||
        *height > LargestSide || int64_t(*width) * *height > LargestArea)
        return false;
    request.Width = *width;
    request.Height = *height;
    return true;
}

int FrameCount(const TProgramInstances& instances, TModelKind kind) {
    if (kind == TModelKind::MD3)
        return static_cast<int>(instances.MD3.Header.numFrames);
    if (IsSkeletal(kind))
        return static_cast<int>(instances.MDX.Header.numFrames);
    return 0;
}

bool ChooseFrame(TForm1& form, const TProgramInstances& instances, const TRenderRequest& request) {
    if (request.Frame) {
        const int frames = FrameCount(instances, form.ModelKind());
        if (*request.Frame >= frames) {
            std::cerr << "frame " << *request.Frame << " is past the model's " << frames
                      << " frames\n";
            return false;
        }
        form.SetCurrentFrame(*request.Frame);
    }
    return true;
}

// Loads what the request names into the window; the reason for a failure is on stderr.
bool LoadInput(TForm1& form, TProgramInstances& instances, const TBatchDialogs& dialogs,
               const TRenderRequest& request) {
    if (!form.StartWithoutWindow(request.GameDir)) {
        std::cerr << request.GameDir << ": not a game folder (it holds no etmain/pak0.pk3)\n";
        return false;
    }
    if (!request.Player.empty()) {
        if (form.OpenPlayer(
                {request.Player, request.Skin, request.Legs, request.Torso, request.Weapon}))
            return ChooseFrame(form, instances, request);
        std::cerr << form.StatusText().toStdString() << "\n";
        return false;
    }
    // Together, as the command line gives them: a mesh takes the animation after it.
    const int reported = dialogs.Reported();
    if (!form.OpenFromCommandLine(request.Files)) {
        const std::string status = form.StatusText().toStdString();
        if (!status.empty())
            std::cerr << status << "\n";
        else if (dialogs.Reported() == reported)
            std::cerr << "no model was loaded from the files given\n";
        return false;
    }
    if (!request.Skin.empty() && !form.LoadSkin(request.Skin, true)) {
        std::cerr << request.Skin << ": no such skin file\n";
        return false;
    }
    return ChooseFrame(form, instances, request);
}

int WritePicture(TViewBinding& view, const TForm1& form, const TRenderRequest& request) {
    TViewOptions options = form.ViewOptions();
    options.ViewTabActive = true;
    options.SkyBoxEnabled = options.SkyBoxEnabled && !request.NoSky;
    const std::optional<TViewImage> picture = view.Picture(options, request.Alpha);
    if (!picture) {
        std::cerr << "the view could not be drawn\n";
        return RenderOutputFailed;
    }
    try {
        if (!SaveViewImage(request.Output, *picture)) {
            std::cerr << request.Output << ": could not write the whole file\n";
            return RenderOutputFailed;
        }
    } catch (const FileError& error) {
        std::cerr << error.what() << "\n";
        return RenderOutputFailed;
    }
    return RenderDone;
}

} // namespace

std::optional<TRenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                   std::string& error) {
    TRenderRequest request;
    if (arguments.empty() || arguments[0].starts_with("--")) {
        error = "the output file comes first";
        return std::nullopt;
    }
    request.Output = arguments[0];
    if (!ViewImageFormatKnown(request.Output)) {
        error = request.Output + ": the output must end in .png or .tga";
        return std::nullopt;
    }
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--no-sky") {
            request.NoSky = true;
        } else if (argument == "--alpha") {
            request.Alpha = true;
        } else if (argument == "--size" && hasValue) {
            if (!ParseSize(arguments[++i], request)) {
                error = "--size " + arguments[i] + ": WxH, each side 1 to " +
                        std::to_string(LargestSide) + ", at most " + std::to_string(LargestArea) +
                        " pixels";
                return std::nullopt;
            }
        } else if (argument == "--frame" && hasValue) {
            const auto frame = ParseInt(arguments[++i]);
            if (!frame || *frame < 0) {
                error = "--frame " + arguments[i] + ": a frame number from 0";
                return std::nullopt;
            }
            request.Frame = *frame;
        } else if (argument == "--skin" && hasValue) {
            request.Skin = arguments[++i];
        } else if (argument == "--game" && hasValue) {
            request.GameDir = arguments[++i];
        } else if (argument == "--player" && hasValue) {
            request.Player = arguments[++i];
        } else if (argument == "--legs" && hasValue) {
            request.Legs = arguments[++i];
        } else if (argument == "--torso" && hasValue) {
            request.Torso = arguments[++i];
        } else if (argument == "--weapon" && hasValue) {
            request.Weapon = arguments[++i];
        } else if (argument.starts_with("--")) {
            error = argument + ": unknown option, or its value is missing";
            return std::nullopt;
        } else {
            request.Files.push_back(argument);
        }
    }
    if (request.Files.empty() == request.Player.empty()) {
        error = request.Player.empty() ? "no FILE to draw" : "--player draws no other FILE";
        return std::nullopt;
    }
    return request;
}

int RunRenderCommand(int argc, char** argv) {
    std::string error;
    const auto request = ParseRenderArguments({argv + 2, argv + argc}, error);
    if (!request) {
        std::cerr << "quillon --render: " << error << "\n" << Usage;
        return RenderUsage;
    }
    // No window is shown, so no display is needed for the widgets and the fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TOGL ogl;
    ogl.ErrorHandler = [](int code) { std::cerr << TOGL::ContextErrorText(code) << "\n"; };
    TProgramInstances instances;
    QApplication application(argc, argv);
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    TBatchDialogs dialogs;
    TForm1 form(instances, dialogs, executable, &ogl.Textures);
    if (form.QuitCode() != 0)
        return RenderInputFailed;
    TOffscreenSurface surface(request->Width, request->Height);
    TViewBinding view(ogl, form, surface);
    if (!ogl.IsActive()) {
        std::cerr << "no OpenGL context to draw in: " << surface.Error() << "\n";
        return RenderOutputFailed;
    }
    const int status = LoadInput(form, instances, dialogs, *request)
                           ? WritePicture(view, form, *request)
                           : RenderInputFailed;
    ogl.DestroyContext();
    return status;
}

} // namespace quillon
