// The Help tab: a read-only help text; a click on it asks to leave help.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace quillon {

class THelpTab : public QWidget {
    Q_OBJECT
public:
    explicit THelpTab(QWidget* parent = nullptr);

    QPlainTextEdit* MemoHelp;

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quillon
