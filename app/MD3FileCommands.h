// The File menu's MD3 commands: "&Load MD3 From File..." (also what a file named on the command
// line runs) and "&Save As..." of an MD3 model (the window routes a skeletal model's to
// TSkeletalCommands). A load empties the models first, so a cancelled or failed load
// leaves none; a failed read says in the status bar which file and why.
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;

class TMD3FileCommands : public QObject {
    Q_OBJECT
public:
    TMD3FileCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);

    // The load command; with a path, that file stands for the dialog's choice.
    void LoadMD3(const std::optional<std::string>& chosenPath);
    void SaveAs();

private:
    IModelWindow& Window;
    TFileDialog SaveAsDialog;
};

} // namespace quillon
