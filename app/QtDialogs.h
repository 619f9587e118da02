// The real dialogs of the program, shown with Qt's standard dialogs on the main window.
#pragma once

#include "Dialogs.h"

class QWidget;

namespace quillon {

class TQtDialogs : public IDialogs {
public:
    explicit TQtDialogs(QWidget* parent = nullptr) : Parent(parent) {}
    void SetParent(QWidget* parent) { Parent = parent; }

    bool Execute(TFileDialog& dialog) override;
    std::optional<std::string> InputQuery(const std::string& title, const std::string& prompt,
                                          const std::string& initial) override;
    TAnswer AskYesNoCancel(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::optional<uint32_t> PickColor(uint32_t initial) override;
    std::optional<std::string> PickFolder(const std::string& prompt) override;

private:
    QWidget* Parent;
};

} // namespace quillon
