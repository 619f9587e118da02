// Dialogs that answer from a script instead of asking: each kind of question takes the next
// answer from its queue (an empty queue cancels), and every question is recorded.
#pragma once

#include "app/Dialogs.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {
class TdlgPK3;
}

namespace quillon::test {

class TScriptedDialogs : public IDialogs {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    bool Execute(TFileDialog& dialog) override;
    std::optional<std::string> InputQuery(const std::string& title, const std::string& prompt,
                                          const std::string& initial) override;
    TAnswer AskYesNoCancel(const std::string& caption, const std::string& text) override;
    // Takes its answer from Answers too; an empty queue answers No.
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::optional<uint32_t> PickColor(uint32_t initial) override;
    std::optional<std::string> PickFolder(const std::string& prompt) override;
    // The program's own browser fills its tree (a mode 3 browse asks for the map archive among
    // the file answers); the member answer is then clicked in the tree, as the user would.
    TArchiveChoice BrowseArchive(const TArchiveBrowse& browse) override;
    std::optional<size_t> ShowList(const std::string& caption,
                                   const std::vector<std::string>& lines) override;

    // Answers; a file answer with several files is an OpenMany choice.
    std::deque<std::vector<std::string>> Files;
    // The filter entry the user picks with each file answer, while there are any.
    std::deque<int> FilterChoices;
    std::deque<std::optional<std::string>> Inputs;
    std::deque<TAnswer> Answers;
    std::deque<std::optional<uint32_t>> Colors;
    std::deque<std::optional<std::string>> Folders;
    // Member paths to pick in the archive browser; none (or an empty queue) cancels.
    std::deque<std::optional<std::string>> Members;
    // The line to double-click in each list shown; none (or an empty queue) closes it.
    std::deque<std::optional<size_t>> ListChoices;

    // What was asked.
    std::vector<TFileDialog> FileDialogsShown;
    std::vector<std::string> InputTitles;
    std::vector<std::string> InputPrompts;
    std::vector<std::string> InputInitials;
    std::vector<std::string> Questions;
    std::vector<std::string> Messages;
    std::vector<std::string> Errors;
    std::vector<uint32_t> ColorsOffered;
    int FoldersAsked = 0;
    std::vector<TArchiveBrowse> BrowsesShown;
    // The browser's tree at its last showing: one line per node, indented by depth.
    std::vector<std::string> LastTree;
    std::string LastCaption;
    // Every list shown: its caption, then its lines.
    std::vector<std::vector<std::string>> ListsShown;

private:
    std::unique_ptr<TdlgPK3> Browser; // created at the first browse, inside the application
};

} // namespace quillon::test
