#include "GLFonts.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace quillon {

namespace {

// glBitmap wants rows bottom first, one bit per pixel, most significant bit leftmost.
void CompileGlyph(const QFont& font, const QFontMetrics& metrics, QChar character) {
    const int advance = metrics.horizontalAdvance(character);
    const int width = std::max(1, advance);
    const int height = std::max(1, metrics.height());
    QImage glyph(width, height, QImage::Format_Grayscale8);
    glyph.fill(0);
    {
        QPainter painter(&glyph);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), QString(character));
    }
    const int rowBytes = (width + 7) / 8;
    std::vector<GLubyte> bits(size_t(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uchar* row = glyph.constScanLine(height - 1 - y);
        for (int x = 0; x < width; ++x)
            if (row[x] >= 128)
                bits[size_t(y) * rowBytes + x / 8] |= GLubyte(0x80 >> (x % 8));
    }
    glBitmap(width, height, 0, static_cast<GLfloat>(metrics.descent()),
             static_cast<GLfloat>(advance), 0, bits.data());
}

} // namespace

TGLFonts::~TGLFonts() {
    Clear();
}

unsigned TGLFonts::AddFont(bool outline, int height, const std::string& face) {
    auto font = std::make_unique<TGLFont>();
    font->Name = face;
    font->Height = height;
    font->Outline = outline;
    glPushMatrix();
    const GLuint base = glGenLists(ListCount);
    if (base != 0) {
        QFont qfont(QString::fromStdString(face));
        qfont.setPixelSize(height);
        qfont.setWeight(QFont::Normal);
        qfont.setStyleStrategy(QFont::PreferAntialias);
        const QFontMetrics metrics(qfont);
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        // The bitmap set stops one short of the list count, as the platform's bitmap fonts do.
        for (int c = 0; c < ListCount - 1; ++c) {
            glNewList(base + c, GL_COMPILE);
            CompileGlyph(qfont, metrics, QChar(FirstChar + c));
            glEndList();
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        font->Base = base;
    } else {
        font->Name.clear();
    }
    glPopMatrix();
    const unsigned result = font->Base;
    List.push_back(std::move(font));
    return result;
}

void TGLFonts::Clear() {
    for (const auto& font : List)
        if (font->Base != 0)
            glDeleteLists(font->Base, ListCount);
    List.clear();
}

} // namespace quillon
