#include "HelpTab.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quillon {

namespace {
const char* const HelpText =
    "Quillon shows and edits the models of an id Tech 3 game.\n"
    "\n"
    "Getting started\n"
    "  Settings > Select Game Path... chooses the game's installation folder (the one that\n"
    "  holds etmain). Its archives and shader scripts then supply the textures.\n"
    "\n"
    "Opening models\n"
    "  File > Load MD3 From File... (Ctrl+Alt+3) opens an MD3 model from disk.\n"
    "  File > Load From File... (Ctrl+Alt+L) opens any supported file.\n"
    "\n"
    "Playing animations\n"
    "  The View tab holds the animation controls: the start, end and current frame sliders,\n"
    "  Play, Loop and the rate in frames per second. Double-click a frame number to type it.\n"
    "\n"
    "Editing\n"
    "  The Edit menu mirrors, scales, welds and smooths MD3 models, rewrites tag axes,\n"
    "  moves the origin to a tag and adds or deletes frames. Changes are kept in memory\n"
    "  until File > Save As... (Ctrl+S) writes them; a \"*\" in the model caption marks a\n"
    "  model changed since it was loaded.\n"
    "\n"
    "Press F1 or click this text to return to the model.";
} // namespace

THelpTab::THelpTab(QWidget* parent) : QWidget(parent), MemoHelp(new QPlainTextEdit(this)) {
    setObjectName("tabHelp");
    MemoHelp->setObjectName("MemoHelp");
    MemoHelp->setReadOnly(true);
    MemoHelp->setPlainText(HelpText);
    MemoHelp->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoHelp);
}

bool THelpTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MemoHelp->viewport() && event->type() == QEvent::MouseButtonRelease)
        emit clicked();
    return QWidget::eventFilter(watched, event);
}

} // namespace quillon
