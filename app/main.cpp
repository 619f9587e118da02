// The program entry: the central objects first, then the main window, then the event loop.
#include "Form1.h"
#include "QtDialogs.h"
#include "RenderCommand.h"
#include "ViewBinding.h"
#include "core/Version.h"
#include "render/OGL.h"

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
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
