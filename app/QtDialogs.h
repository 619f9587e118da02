// The real dialogs of the program, shown with Qt's standard dialogs on the main window.
#pragma once

#include "Dialogs.h"

#include <memory>

class QWidget;

namespace quillon {

class TdlgPK3;

class TQtDialogs : public IDialogs {
public:
    // Creates the archive browser, which lives as long as the dialogs; needs the application.
    explicit TQtDialogs(QWidget* parent = nullptr);
    ~TQtDialogs() override;
    void SetParent(QWidget* parent);

    bool Execute(TFileDialog& dialog) override;
    std::optional<std::string> InputQuery(const std::string& title, const std::string& prompt,
                                          const std::string& initial) override;
    TAnswer AskYesNoCancel(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::optional<uint32_t> PickColor(uint32_t initial) override;
    std::optional<std::string> PickFolder(const std::string& prompt) override;
    TArchiveChoice BrowseArchive(const TArchiveBrowse& browse) override;
    std::optional<size_t> ShowList(const std::string& caption,
                                   const std::vector<std::string>& lines) override;

private:
    QWidget* Parent;
    std::unique_ptr<TdlgPK3> Browser;
};

} // namespace quillon
