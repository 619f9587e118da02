// The program entry: the central objects first, then the main window, then the event loop.
#include "Form1.h"
#include "QtDialogs.h"
#include "RenderCommand.h"
#include "ViewBinding.h"
#include "core/Version.h"
#include "render/OGL.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {
const char* const Help =
    "Usage: quillon [FILE...]\n"
    "  or:  quillon --render OUT.png|OUT.tga [OPTION...] FILE...\n"
    "Views, animates and edits the models of id Tech 3 games: MD3 models, MDM meshes with MDX\n"
    "animations, MDS models and .map brushes.\n"
    "\n"
    "Each FILE is opened as \"Load From File\" opens it; an .mdm takes the .mdx after it.\n"
    "\n"
    "Options:\n"
    "  --render OUT   draw the files into the picture OUT (.png or .tga) without a window\n"
    "                 and exit: 0 done, 1 the input could not be loaded, 2 usage, 3 the\n"
    "                 picture could not be drawn or written\n"
    "  --size WxH     the picture's size (512x512)\n"
    "  --frame N      the frame drawn (0)\n"
    "  --skin FILE    the skin applied to the model\n"
    "  --game DIR     the game folder of this run in place of the settings' one\n"
    "  --no-sky       the gradient instead of the sky box\n"
    "  --alpha        the model over black with its coverage as alpha\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n";
} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << Help;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "quillon " << quillon::ProgramVersion << "\n";
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--render") == 0)
        return quillon::RunRenderCommand(argc, argv);
    quillon::TOGL ogl; // the OpenGL context object comes first of the central objects
    quillon::TProgramInstances instances;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quillon");
    // Ties the windows to the installed desktop entry, and so to its icon.
    QGuiApplication::setDesktopFileName("quillon");
    QApplication::setWindowIcon(QIcon::fromTheme("quillon"));
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();

    quillon::TQtDialogs dialogs;
    quillon::TForm1 form(instances, dialogs, executable, &ogl.Textures);
    dialogs.SetParent(&form);
    quillon::TViewBinding view(ogl, form);
    if (form.QuitCode() != 0)
        return form.QuitCode();
    form.show();
    if (argc > 1) {
        const std::vector<std::string> paths(argv + 1, argv + argc);
        QTimer::singleShot(0, &form, [&form, paths] { form.OpenFromCommandLine(paths); });
    }
    const int code = application.exec();
    ogl.DestroyContext();
    return code;
}
