#include "ArchiveTree.h"

#include "ScriptText.h"

#include <map>

namespace quillon {

std::optional<TBrowseModeInfo> BrowseModeInfo(int mode) {
    switch (mode) {
    case BrowseGameMD3:
        return TBrowseModeInfo{"*.MD3", "Select an MD3-model from the game (pak0.PK3)", false};
    case BrowseGameSkin:
        return TBrowseModeInfo{"*.skin", "Select a skin from the game (pak0.PK3)", false};
    case BrowseMapMD3:
        return TBrowseModeInfo{"*.MD3", "Select a .PK3", true};
    case BrowseGameMDM:
        return TBrowseModeInfo{"*.MDM", "Select an MDM-model from the game (pak0.PK3)", false};
    case BrowseGamePlayers:
        return TBrowseModeInfo{"models/players/*/upper.md3", "Select a player from the game",
                               false};
    case BrowseGameMDX:
        return TBrowseModeInfo{"*.MDX", "Select an MDX-animation from the game (pak0.PK3)", false};
    default:
        return std::nullopt;
    }
}

TArchiveTree BuildArchiveTree(TPK3Archive& archive, const std::string& archivePath,
                              const std::string& mask, const std::string& rootText) {
    TArchiveTree tree;
    tree.TopLevel.push_back({rootText, {}});
    archive.Open(archivePath);
    try {
        std::string previousFolder;
        // Index of the current folder node under the root; none until the first folder differs.
        std::optional<size_t> folderNode;
        TPK3Member member;
        for (bool found = archive.FindFirst(mask, member); found;
             found = archive.FindNext(member)) {
            tree.HasMembers = true;
            TArchiveTreeNode& root = tree.TopLevel.front();
            if (member.Folder != previousFolder) {
                root.Children.push_back({member.Folder, {}});
                folderNode = root.Children.size() - 1;
            }
            if (folderNode)
                root.Children[*folderNode].Children.push_back({member.Name, {}});
            else
                tree.TopLevel.push_back({member.Name, {}});
            previousFolder = member.Folder;
        }
    } catch (...) {
        archive.Close();
        throw;
    }
    archive.Close();
    return tree;
}

TArchiveTree BuildPlayerTree(const std::vector<std::string>& archives) {
    const std::string playersFolder = "models/players/";
    std::map<std::string, std::string> players; // lower-case name, name as first found
    for (const std::string& path : archives) {
        TPK3Archive archive;
        archive.Open(path);
        for (const TPK3Member& member : archive.FindAll(playersFolder + "*/upper.md3")) {
            const std::string name = member.Folder.substr(playersFolder.size());
            players.emplace(ToLower(name), name);
        }
    }
    TArchiveTree tree;
    tree.TopLevel.push_back({"players", {}});
    tree.HasMembers = !players.empty();
    if (tree.HasMembers) {
        TArchiveTreeNode folder{playersFolder, {}};
        for (const auto& [key, name] : players)
            folder.Children.push_back({name, {}});
        tree.TopLevel.front().Children.push_back(std::move(folder));
    }
    return tree;
}

std::optional<std::string> ChosenMemberPath(const TArchiveTreeNode* parent,
                                            const TArchiveTreeNode& node) {
    if (!parent || !node.Children.empty())
        return std::nullopt;
    return parent->Text + node.Text;
}

} // namespace quillon
