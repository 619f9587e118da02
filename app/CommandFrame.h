// The frame every command runs in: whichever way the command leaves (done, cancelled, failed or
// by an error), the busy flag is cleared, the view drawn and the normal cursor restored. And the
// one way a menu item is tied to its command: run inside the window's error report, the item
// made available.
#pragma once

#include <functional>

class QAction;
class QObject;

namespace quillon {

class IModelWindow;
class TMainMenu;

class TCommandFrame {
public:
    explicit TCommandFrame(IModelWindow& window) : Window(window) {}
    ~TCommandFrame();
    TCommandFrame(const TCommandFrame&) = delete;
    TCommandFrame& operator=(const TCommandFrame&) = delete;

    // From here on nothing is drawn until the command ends.
    void Busy();
    void ShowHourglass();

private:
    IModelWindow& Window;
    bool Hourglass = false;
};

// `receiver` owns the connection (it ends with the receiver).
void ConnectCommand(IModelWindow& window, TMainMenu& menu, QAction* action, QObject* receiver,
                    std::function<void()> command);

} // namespace quillon
