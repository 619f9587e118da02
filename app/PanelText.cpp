#include "PanelText.h"

#include "FormatNumbers.h"

namespace quillon {

QString FloatText(float value) {
    return QString::fromStdString(FormatFloat(value));
}

QString VectorText(TVector v) {
    return FloatText(v.x) + "  " + FloatText(v.y) + "  " + FloatText(v.z);
}

QString AxesText(const TVector (&axis)[3]) {
    return "(" + VectorText(axis[0]) + ")    (" + VectorText(axis[1]) + ")    (" +
           VectorText(axis[2]) + ")";
}

QString FlagsText(uint32_t flags) {
    return QStringLiteral("%1").arg(flags, 8, 16, QLatin1Char('0')).toUpper() + "h";
}

QString IdentText(uint32_t ident) {
    QString text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((ident >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? QChar(c) : QChar('?');
    }
    return text;
}

} // namespace quillon
