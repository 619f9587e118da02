// The Tags tab: the tag count, the tag names, a frame selector and the origin and axes of the
// chosen tag in the chosen frame (entry frame x number of tags + tag of the lists, which hold
// every tag of every frame); and the Adding Tags group for typing a tag or reading a tag file.
#pragma once

#include <QWidget>

#include <string>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quillon {

class TMD3;
class TMDM;

// What the user typed into the Adding Tags group: the name and the origin's three texts.
struct TTypedTag {
    std::string Name;
    std::string X, Y, Z;
};

class TTagsTab : public QWidget {
    Q_OBJECT
public:
    explicit TTagsTab(QWidget* parent = nullptr);
    void Fill(const TMD3& md3);
    // The mesh's tags as it holds them, in the space of their bones: one set, no frames.
    void Fill(const TMDM& mesh);
    void Clear();
    TTypedTag TypedTag() const;
    // Empties the four fields of a typed tag.
    void ClearTagInput();

    QLineEdit* leNumTags;
    QComboBox* cbTagNames;
    QComboBox* cbTagFrames;
    QComboBox* cbTagOrigins;
    QComboBox* cbTagAxes;
    QGroupBox* gbAddTags;
    QLineEdit* leTagName;
    QLineEdit* leTagOriginX;
    QLineEdit* leTagOriginY;
    QLineEdit* leTagOriginZ;
    QPushButton* bTagAddManually;
    QLineEdit* leTagFilename;
    QPushButton* bTagFilename;

signals:
    void addTagClicked();

private:
    void BuildAddTags();
    void SelectTagEntry();

    int NumTags = 0;
};

} // namespace quillon
