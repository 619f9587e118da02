// The Bones tab: the bones of the current animation as a tree, each bone under its parent and
// bones without a parent at the root, in bone order.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QTreeWidget;

namespace quillon {

class TMDX;

struct TBoneNode {
    std::string Name;
    int Parent = -1;
};

class TBonesTab : public QWidget {
    Q_OBJECT
public:
    explicit TBonesTab(QWidget* parent = nullptr);
    // A parent index that names no bone, or one that would make a bone its own ancestor, puts
    // the bone at the root instead.
    void Fill(const std::vector<TBoneNode>& bones);
    // The bones of an animation, by their names and parents.
    void Fill(const TMDX& animation);
    void Clear();
    // The entries shown, at every depth.
    int Count() const;

    QTreeWidget* tvBones;
};

} // namespace quillon
