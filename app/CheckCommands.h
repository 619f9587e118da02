// "Check Model...": what the game engines would refuse or draw wrong in the model the window
// shows (limits, names, coordinates, normals, bounds, shaders and images that resolve to
// nothing, tags the player code needs), as a list; a double-click on a finding shows its
// surface and frame. The status bar gives the count.
#pragma once

#include <QObject>

namespace quillon {

class IModelWindow;
class TMainMenu;

class TCheckCommands : public QObject {
    Q_OBJECT
public:
    TCheckCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);

    void CheckModel();

private:
    IModelWindow& Window;
};

} // namespace quillon
