// The archive browser's content as data: what each browse mode lists and the tree of the members
// that match its mask. The tree follows the directory order exactly: a new folder node starts
// whenever a member's folder differs from the one before, so a folder listed in two separate
// runs appears twice, and root members listed before any folder sit beside the root node.
#pragma once

#include "PK3Archive.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct TArchiveTreeNode {
    std::string Text;
    std::vector<TArchiveTreeNode> Children;
};

struct TArchiveTree {
    // The root node first (its text names the archive), then members that came before any
    // folder node. A member node's parent is its folder node, whose text is the member's folder.
    std::vector<TArchiveTreeNode> TopLevel;
    bool HasMembers = false; // false: the dialog closes itself as cancelled
};

// Browse modes of the dialog.
enum BrowseMode : int {
    BrowseGameMD3 = 0,
    BrowseGameSkin = 1,
    BrowseMapMD3 = 3,
    BrowseGameMDM = 4,
    BrowseGameMDX = 5,
    BrowseGamePlayers = 6, // the player folders of every archive of the game
};

struct TBrowseModeInfo {
    std::string Mask;
    std::string Caption;
    bool MapArchive = false; // the user picks the archive first; otherwise the game archive
};

// Mask, caption and archive of a browse mode; none for a mode that shows an empty tree.
std::optional<TBrowseModeInfo> BrowseModeInfo(int mode);

// Opens the archive, lists the members matching the mask and closes it again, also when
// finding fails. Throws FileError when the archive cannot be opened.
TArchiveTree BuildArchiveTree(TPK3Archive& archive, const std::string& archivePath,
                              const std::string& mask, const std::string& rootText);

// The player folders of the game's archives (those holding "models/players/<name>/upper.md3"),
// each folder once whatever its letter case: the root, one node "models/players/" and a node
// "<name>/" per player, so choosing a player gives the folder's path. Throws FileError when an
// archive cannot be opened.
TArchiveTree BuildPlayerTree(const std::vector<std::string>& archives);

// The member path chosen by clicking a node: the parent's text + the node's text, for a node
// that has a parent and no children; none otherwise.
std::optional<std::string> ChosenMemberPath(const TArchiveTreeNode* parent,
                                            const TArchiveTreeNode& node);

} // namespace quillon
