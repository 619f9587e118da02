// A label that reports double-clicks, for the frame numbers that can be typed in.
#pragma once

#include <QLabel>

namespace quillon {

class TClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace quillon
