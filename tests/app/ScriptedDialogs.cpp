#include "ScriptedDialogs.h"

namespace quillon::test {

namespace {
template <class T> std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}
} // namespace

bool TScriptedDialogs::Execute(TFileDialog& dialog) {
    FileDialogsShown.push_back(dialog);
    if (Files.empty())
        return false;
    const std::vector<std::string> files = Files.front();
    Files.pop_front();
    if (files.empty())
        return false;
    dialog.Files = files;
    dialog.FileName = files.front();
    if (!FilterChoices.empty()) {
        dialog.FilterIndex = FilterChoices.front();
        FilterChoices.pop_front();
    }
    return true;
}

std::optional<std::string> TScriptedDialogs::InputQuery(const std::string& title,
                                                        const std::string& prompt,
                                                        const std::string& initial) {
    InputTitles.push_back(title);
    InputPrompts.push_back(prompt);
    InputInitials.push_back(initial);
    return Next(Inputs);
}

TAnswer TScriptedDialogs::AskYesNoCancel(const std::string& caption, const std::string& text) {
    Questions.push_back(caption + "|" + text);
    if (Answers.empty())
        return TAnswer::Cancel;
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

bool TScriptedDialogs::AskYesNo(const std::string& caption, const std::string& text) {
    return AskYesNoCancel(caption, text) == TAnswer::Yes;
}

void TScriptedDialogs::ShowMessage(const std::string& text) {
    Messages.push_back(text);
}

void TScriptedDialogs::ShowError(const std::string& text) {
    Errors.push_back(text);
}

std::optional<uint32_t> TScriptedDialogs::PickColor(uint32_t initial) {
    ColorsOffered.push_back(initial);
    return Next(Colors);
}

std::optional<std::string> TScriptedDialogs::PickFolder(const std::string&) {
    ++FoldersAsked;
    return Next(Folders);
}

} // namespace quillon::test
