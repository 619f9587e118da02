// The Animation tab: the frame count and one list per frame field, kept on the same index so
// that choosing a frame in any list shows all of that frame's values.
#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;

namespace quillon {

class TMD3;
class TPlayerGroup;

class TAnimationTab : public QWidget {
    Q_OBJECT
public:
    explicit TAnimationTab(QWidget* parent = nullptr);
    void Fill(const TMD3& md3);
    void Clear();

    QLineEdit* leNumFrames;
    QComboBox* cbFrameNames;
    QComboBox* cbFrameMins;
    QComboBox* cbFrameMaxs;
    QComboBox* cbFrameOrigins;
    QComboBox* cbFrameRadius;
    QGroupBox* gbCopyFrames;
    TPlayerGroup* gbPlayer;

private:
    void SelectFrame(int index);
};

} // namespace quillon
