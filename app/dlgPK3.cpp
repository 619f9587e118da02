#include "dlgPK3.h"

#include "core/CasePath.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {
const char* const GameArchiveRootText = "pak0.pk3";

QTreeWidgetItem* NewItem(const TArchiveTreeNode& node) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.Text)});
    for (const TArchiveTreeNode& child : node.Children)
        item->addChild(NewItem(child));
    return item;
}
} // namespace

TdlgPK3::TdlgPK3(IDialogs& fileDialogs, QWidget* parent)
    : QDialog(parent), FileDialogs(fileDialogs) {
    setObjectName("dlgPK3");
    setWindowTitle("Select a file..");
    resize(420, 520);
    tvPK3 = new QTreeWidget(this);
    tvPK3->setObjectName("tvPK3");
    tvPK3->setHeaderHidden(true);
    tvPK3->setRootIsDecorated(false);
    tvPK3->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvPK3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvPK3->setExpandsOnDoubleClick(true);
    auto* buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName("CancelBtn");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvPK3);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Auto-expand: a folder opens when it is selected.
    connect(tvPK3, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem* item) {
        if (item && item->childCount() > 0)
            item->setExpanded(true);
    });
    connect(tvPK3, &QTreeWidget::itemClicked, this, [this] { NodeClicked(); });
    connect(tvPK3, &QTreeWidget::itemDoubleClicked, this, [this] { NodeDoubleClicked(); });

    OpenDialogPK3.Title = "Select a map.pk3";
    OpenDialogPK3.Filter = "Map  (.PK3)|*.PK3;*.ZIP";
    OpenDialogPK3.DefaultExt = ".PK3";
}

TArchiveChoice TdlgPK3::Browse(const TArchiveBrowse& browse) {
    const bool filled = Fill(browse);
    return Choice(filled && exec() == QDialog::Accepted);
}

TArchiveChoice TdlgPK3::Choice(bool accepted) const {
    TArchiveChoice choice;
    choice.Ok = accepted;
    if (accepted)
        choice.MemberPath = ChosenMember().value_or("");
    choice.SelectedFolder = SelectedFolder;
    choice.ArchivePath = ArchivePath;
    return choice;
}

bool TdlgPK3::Fill(const TArchiveBrowse& browse) {
    BrowseMode = browse.Mode;
    GameArchive = browse.GameArchive;
    MapArchiveFolder = browse.MapArchiveFolder;
    HasContent = true;
    tvPK3->clear();
    ArchivePath.clear();
    SelectedFolder.clear();
    const std::optional<TBrowseModeInfo> info = BrowseModeInfo(BrowseMode);
    if (!info) {
        HasContent = false;
        return false;
    }
    setWindowTitle(QString::fromStdString(info->Caption));
    if (info->MapArchive && !ChooseMapArchive()) {
        HasContent = false;
        return false;
    }
    const std::string archive = info->MapArchive ? ArchivePath : GameArchive;
    const std::string rootText = info->MapArchive ? FilePart(ArchivePath) : GameArchiveRootText;
    const TArchiveTree tree = BrowseMode == BrowseGamePlayers
                                  ? BuildPlayerTree(browse.GameArchives)
                                  : BuildArchiveTree(Archive, archive, info->Mask, rootText);
    AddTree(tree);
    HasContent = tree.HasMembers;
    return HasContent;
}

bool TdlgPK3::ChooseMapArchive() {
    OpenDialogPK3.FileName.clear();
    OpenDialogPK3.InitialDir = MapArchiveFolder;
    if (!FileDialogs.Execute(OpenDialogPK3) || OpenDialogPK3.FileName.empty())
        return false;
    ArchivePath = OpenDialogPK3.FileName;
    return true;
}

void TdlgPK3::AddTree(const TArchiveTree& tree) {
    for (const TArchiveTreeNode& node : tree.TopLevel)
        tvPK3->addTopLevelItem(NewItem(node));
    QTreeWidgetItem* root = tvPK3->topLevelItem(0);
    root->setExpanded(true);
    tvPK3->scrollToItem(root);
}

std::optional<std::string> TdlgPK3::ChosenMember() const {
    const QTreeWidgetItem* item = tvPK3->currentItem();
    if (!item || !item->isSelected() || item->childCount() > 0 || !item->parent())
        return std::nullopt;
    return item->parent()->text(0).toStdString() + item->text(0).toStdString();
}

void TdlgPK3::NodeClicked() {
    if (ChosenMember())
        SelectedFolder = tvPK3->currentItem()->parent()->text(0).toStdString();
}

void TdlgPK3::NodeDoubleClicked() {
    NodeClicked();
    if (ChosenMember())
        accept();
}

} // namespace quillon
