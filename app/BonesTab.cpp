#include "BonesTab.h"

#include "core/MD3.h"
#include "skeletal/MDX.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace quillon {

namespace {
bool HasUsableParent(const std::vector<TBoneNode>& bones, size_t bone) {
    const int count = static_cast<int>(bones.size());
    int ancestor = bones[bone].Parent;
    // Following the parents must leave the tree at a root within `count` steps.
    for (int steps = 0; ancestor >= 0 && ancestor < count; ++steps) {
        if (static_cast<size_t>(ancestor) == bone || steps >= count)
            return false;
        ancestor = bones[ancestor].Parent;
    }
    return bones[bone].Parent >= 0 && bones[bone].Parent < count;
}
} // namespace

TBonesTab::TBonesTab(QWidget* parent) : QWidget(parent), tvBones(new QTreeWidget(this)) {
    setObjectName("tabBones");
    tvBones->setObjectName("tvBones");
    tvBones->setHeaderHidden(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvBones);
}

void TBonesTab::Fill(const std::vector<TBoneNode>& bones) {
    Clear();
    std::vector<QTreeWidgetItem*> items;
    for (const TBoneNode& bone : bones)
        items.push_back(new QTreeWidgetItem(QStringList(QString::fromStdString(bone.Name))));
    for (size_t b = 0; b < bones.size(); ++b) {
        if (HasUsableParent(bones, b))
            items[bones[b].Parent]->addChild(items[b]);
        else
            tvBones->addTopLevelItem(items[b]);
    }
    tvBones->expandAll();
}

void TBonesTab::Fill(const TMDX& animation) {
    std::vector<TBoneNode> bones;
    for (const TMDXBoneInfo& bone : animation.Bones)
        bones.push_back({NameToString(bone.name), bone.parent});
    Fill(bones);
}

int TBonesTab::Count() const {
    int count = 0;
    for (QTreeWidgetItemIterator item(tvBones); *item; ++item)
        ++count;
    return count;
}

void TBonesTab::Clear() {
    tvBones->clear();
}

} // namespace quillon
