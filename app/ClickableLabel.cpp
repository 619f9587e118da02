#include "ClickableLabel.h"

namespace quillon {

void TClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace quillon
