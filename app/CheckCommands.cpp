#include "CheckCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"

namespace quillon {

namespace {
// "error: surface 2 \"u_body\", frame 5: ...".
std::string FindingLine(const TFinding& finding) {
    return std::string(SeverityName(finding.Severity)) + ": " + FindingText(finding);
}
} // namespace

TCheckCommands::TCheckCommands(IModelWindow& window, QObject* parent)
    : QObject(parent), Window(window) {}

void TCheckCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionToolsCheckModel, this, [this] { CheckModel(); });
}

void TCheckCommands::CheckModel() {
    if (Window.ModelKind() == TModelKind::None)
        return;
    std::vector<TFinding> findings;
    {
        TCommandFrame frame(Window);
        frame.ShowHourglass();
        findings = Window.CheckModel();
    }
    const std::string summary = FindingSummary(findings);
    Window.SetStatus("Model checked: " + summary);
    std::vector<std::string> lines;
    for (const TFinding& finding : findings)
        lines.push_back(FindingLine(finding));
    if (lines.empty())
        lines.push_back(summary);
    const std::optional<size_t> chosen = Window.Dialogs().ShowList("Check Model", lines);
    if (chosen && *chosen < findings.size())
        Window.ShowPlace(findings[*chosen].Where.Surface, findings[*chosen].Where.Frame);
}

} // namespace quillon
