#include "ViewCommands.h"

#include "ColorSwatch.h"
#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "ViewTab.h"
#include "core/FileError.h"
#include "render/ScreenshotFile.h"

#include <QAction>
#include <QPushButton>

#include <charconv>

namespace quillon {

namespace {

// Fixed notation with "." whatever the locale.
std::string ThreeDecimals(double value) {
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, end.ptr);
}

} // namespace

TViewCommands::TViewCommands(IModelWindow& window, TViewTab& viewTab, QObject* parent)
    : QObject(parent), Window(window), ViewTab(viewTab) {}

void TViewCommands::Connect(TMainMenu& menu) {
    QPushButton* button = ViewTab.bPrtScr;
    button->setToolTip("Make a screenshot image of the 3D-view");
    button->setStatusTip(button->toolTip());
    button->setEnabled(true);
    connect(button, &QPushButton::clicked, this,
            [this] { Window.RunCommand([this] { TakeScreenshot(); }); });

    ColorItem = menu.menuToolsColorconvertRadiant;
    ColorItem->setIcon(ColorSwatch(ColorConvert));
    ConnectCommand(Window, menu, ColorItem, this, [this] { ConvertColor(); });
}

void TViewCommands::TakeScreenshot() {
    const std::optional<TViewImage> image = Window.TakeScreenshot();
    Window.DrawView(); // the view still shows the screenshot's last pass
    if (!image)
        return;
    const std::string name = FreeScreenshotName(Window.ScreenshotFolder());
    std::string failure;
    try {
        if (!WriteTga32(Window.ScreenshotFolder() + name, *image))
            failure = "writing failed";
    } catch (const FileError& error) {
        failure = error.Reason;
    }
    Window.SetStatus(failure.empty() ? "Screenshot saved into file: " + name
                                     : "The screenshot could not be saved into file: " + name +
                                           " (" + failure + ")");
}

void TViewCommands::ConvertColor() {
    const std::optional<uint32_t> chosen = Window.Dialogs().PickColor(ColorConvert);
    if (!chosen)
        return;
    ColorConvert = *chosen;
    ColorItem->setText(QString::fromStdString(ColorConvertCaption(ColorConvert)));
    ColorItem->setIcon(ColorSwatch(ColorConvert));
}

std::string TViewCommands::ColorConvertCaption(uint32_t colour) {
    return ThreeDecimals((colour & 0xFF) / 255.0) + " " +
           ThreeDecimals(((colour >> 8) & 0xFF) / 255.0) + " " +
           ThreeDecimals(((colour >> 16) & 0xFF) / 255.0);
}

} // namespace quillon
