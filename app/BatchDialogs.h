// The dialogs of a run without a window, where nobody can answer: every file, input, colour,
// folder and archive dialog is cancelled and every question answered No (as the command line
// answers a limit question without --yes); messages and errors go to the error stream.
#pragma once

#include "Dialogs.h"

namespace quillon {

class TBatchDialogs : public IDialogs {
public:
    bool Execute(TFileDialog&) override { return false; }
    std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                          const std::string&) override {
        return std::nullopt;
    }
    TAnswer AskYesNoCancel(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::optional<uint32_t> PickColor(uint32_t) override { return std::nullopt; }
    std::optional<std::string> PickFolder(const std::string&) override { return std::nullopt; }
    TArchiveChoice BrowseArchive(const TArchiveBrowse&) override { return {}; }
    std::optional<size_t> ShowList(const std::string&, const std::vector<std::string>&) override {
        return std::nullopt;
    }

    // How many messages, errors and questions went to the error stream.
    int Reported() const { return Count; }

private:
    void Print(std::string text);

    int Count = 0;
};

} // namespace quillon
