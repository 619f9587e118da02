// The Settings bar across the top of the window: the view switches that mirror the View menu,
// Show Normals, Clean-up, and the game path with its "Select..." button.
#pragma once

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quillon {

class TSettingsBar : public QGroupBox {
    Q_OBJECT
public:
    explicit TSettingsBar(QWidget* parent = nullptr);
    bool ShowNormals() const;

    QCheckBox* cbShowTags;
    QCheckBox* cbLightingEnabled;
    QCheckBox* cbShowSkeleton;
    QCheckBox* cbAlphaPreview;
    QCheckBox* cbCenterModel;
    QCheckBox* cbShowNormals;
    QCheckBox* cbCleanUp;
    QLineEdit* leGameDir;
    QPushButton* bSetGameDir;
};

} // namespace quillon
