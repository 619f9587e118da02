// The archive browser: lists the members of a PK3 archive that match the browse mode's mask as a
// tree (the archive as root, a node per run of one folder, the members below) and returns the
// member the user picks. It is created once and reused; every showing starts afresh, emptying
// the map archive path and the selected folder. A browse that finds nothing closes as cancelled
// without being shown.
#pragma once

#include "Dialogs.h"
#include "gamedata/ArchiveTree.h"

#include <QDialog>

#include <optional>
#include <string>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quillon {

class TdlgPK3 : public QDialog {
    Q_OBJECT
public:
    // The map archive of mode 3 is chosen through `fileDialogs`.
    TdlgPK3(IDialogs& fileDialogs, QWidget* parent = nullptr);

    // Sets the mode and the archives, fills the tree and, when it holds members, shows the
    // dialog modally. Throws FileError when the archive cannot be read.
    TArchiveChoice Browse(const TArchiveBrowse& browse);

    // Takes the browse's mode and archives and fills the tree: caption, root node and members.
    // False when there is nothing to show (no member matched, an unknown mode, or no map
    // archive chosen).
    bool Fill(const TArchiveBrowse& browse);
    // What the showing leaves: with `accepted`, the chosen member (empty when the selected node
    // is no member).
    TArchiveChoice Choice(bool accepted) const;
    // The member path of the selected node when it has a parent and no children.
    std::optional<std::string> ChosenMember() const;
    // A click: the selected member's folder becomes the selected folder.
    void NodeClicked();
    // A double click: as a click, then OK when the node is a member.
    void NodeDoubleClicked();

    int BrowseMode = 0;
    std::string GameArchive;
    std::string MapArchiveFolder;
    std::string ArchivePath;
    std::string SelectedFolder;
    TFileDialog OpenDialogPK3;

    QTreeWidget* tvPK3;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    bool ChooseMapArchive();
    void AddTree(const TArchiveTree& tree);

    IDialogs& FileDialogs;
    TPK3Archive Archive;
    bool HasContent = false;
};

} // namespace quillon
