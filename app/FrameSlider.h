// A horizontal frame slider that can highlight a range of its values: the current-frame slider
// shows the playback range this way.
#pragma once

#include <QSlider>

namespace quillon {

class TFrameSlider : public QSlider {
    Q_OBJECT
public:
    explicit TFrameSlider(QWidget* parent = nullptr);

    void SetSelection(int start, int end);
    int SelectionStart() const { return SelStart; }
    int SelectionEnd() const { return SelEnd; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int SelStart = 0;
    int SelEnd = 0;
};

} // namespace quillon
