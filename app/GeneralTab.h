// The General tab: the model's name and its file header.
#pragma once

#include <QWidget>

class QLineEdit;

namespace quillon {

class TMD3;
class TMDM;

class TGeneralTab : public QWidget {
    Q_OBJECT
public:
    explicit TGeneralTab(QWidget* parent = nullptr);
    void Fill(const TMD3& md3);
    // An MDM mesh has no flags: that field stays empty.
    void Fill(const TMDM& mesh);
    void Clear();

    QLineEdit* leName;
    QLineEdit* leIdent;
    QLineEdit* leVersion;
    QLineEdit* leHeaderName;
    QLineEdit* leFlags;
};

} // namespace quillon
