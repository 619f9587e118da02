#include "ScriptedDialogs.h"

#include "app/dlgPK3.h"

#include <QTreeWidget>

namespace quillon::test {

namespace {
template <class T> std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

void ListTree(const QTreeWidgetItem* item, int depth, std::vector<std::string>& lines) {
    lines.push_back(std::string(2 * depth, ' ') + item->text(0).toStdString());
    for (int i = 0; i < item->childCount(); ++i)
        ListTree(item->child(i), depth + 1, lines);
}

QTreeWidgetItem* FindMember(QTreeWidget& tree, const std::string& path) {
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        const QTreeWidgetItem* parent = (*it)->parent();
        const std::string prefix = parent ? parent->text(0).toStdString() : "";
        if ((*it)->childCount() == 0 && prefix + (*it)->text(0).toStdString() == path)
            return *it;
    }
    return nullptr;
}
} // namespace

TScriptedDialogs::TScriptedDialogs() = default;
TScriptedDialogs::~TScriptedDialogs() = default;

TArchiveChoice TScriptedDialogs::BrowseArchive(const TArchiveBrowse& browse) {
    BrowsesShown.push_back(browse);
    if (!Browser)
        Browser = std::make_unique<TdlgPK3>(*this);
    const bool filled = Browser->Fill(browse);
    LastCaption = Browser->windowTitle().toStdString();
    LastTree.clear();
    for (int i = 0; i < Browser->tvPK3->topLevelItemCount(); ++i)
        ListTree(Browser->tvPK3->topLevelItem(i), 0, LastTree);
    const std::optional<std::string> member = Next(Members);
    if (!filled || !member)
        return Browser->Choice(false);
    if (QTreeWidgetItem* item = FindMember(*Browser->tvPK3, *member)) {
        Browser->tvPK3->setCurrentItem(item);
        Browser->NodeClicked();
    }
    return Browser->Choice(true);
}

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

std::optional<size_t> TScriptedDialogs::ShowList(const std::string& caption,
                                                 const std::vector<std::string>& lines) {
    ListsShown.push_back({caption});
    ListsShown.back().insert(ListsShown.back().end(), lines.begin(), lines.end());
    return Next(ListChoices);
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
