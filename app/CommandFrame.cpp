#include "CommandFrame.h"

#include "MainMenu.h"
#include "ModelWindow.h"

#include <QAction>
#include <QApplication>

namespace quillon {

TCommandFrame::~TCommandFrame() {
    Window.SetBusy(false);
    Window.DrawView();
    if (Hourglass)
        QApplication::restoreOverrideCursor();
}

void TCommandFrame::Busy() {
    Window.SetBusy(true);
}

void TCommandFrame::ShowHourglass() {
    if (!Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    Hourglass = true;
}

void ConnectCommand(IModelWindow& window, TMainMenu& menu, QAction* action, QObject* receiver,
                    std::function<void()> command) {
    QObject::connect(action, &QAction::triggered, receiver,
                     [&window, command = std::move(command)] { window.RunCommand(command); });
    menu.MarkAvailable(action);
}

} // namespace quillon
