// Pictures of the 3D view and the colour-convert tool. "PrtScr" writes the view with its alpha
// mask as the next free "screenshot" + n + ".tga" in the application folder; a write that fails
// says so in the status bar and leaves no file behind. "Color Convert" turns a chosen colour
// into the three numbers the level editor takes, shown as the item's caption beside a swatch.
#pragma once

#include <QObject>

#include <cstdint>
#include <string>

class QAction;

namespace quillon {

class IModelWindow;
class TMainMenu;
class TViewTab;

class TViewCommands : public QObject {
    Q_OBJECT
public:
    TViewCommands(IModelWindow& window, TViewTab& viewTab, QObject* parent);
    void Connect(TMainMenu& menu);

    void TakeScreenshot();
    void ConvertColor();
    // Red, green and blue each divided by 255, with three decimals: "0.392 0.545 0.796".
    static std::string ColorConvertCaption(uint32_t colour);

private:
    IModelWindow& Window;
    TViewTab& ViewTab;
    QAction* ColorItem = nullptr;
    uint32_t ColorConvert = 0;
};

} // namespace quillon
