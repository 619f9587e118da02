#include "FrameSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace quillon {

TFrameSlider::TFrameSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setSingleStep(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
}

void TFrameSlider::SetSelection(int start, int end) {
    SelStart = start;
    SelEnd = end;
    update();
}

void TFrameSlider::paintEvent(QPaintEvent* event) {
    if (SelEnd >= SelStart && maximum() > minimum()) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const QRect handle =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const int span = groove.width() - handle.width();
        const auto position = [&](int value) {
            return groove.left() + handle.width() / 2 +
                   QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
        };
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(position(SelStart), groove.center().y() - 3),
                               QPoint(position(SelEnd), groove.center().y() + 3)),
                         palette().highlight());
    }
    QSlider::paintEvent(event);
}

} // namespace quillon
