#include "DrawTransparent.h"

#include <QPainter>

QImage seeThroughCopy(const QImage& picture, const QColor& seeThrough) {
    QImage copy = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = seeThrough.rgb() & RGB_MASK;
    for (int row = 0; row < copy.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(row));
        for (int col = 0; col < copy.width(); ++col) {
            // The picture's colour counts, not its alpha: an opaque copy of every other pixel.
            const QRgb rgb = line[col] & RGB_MASK;
            line[col] = rgb == key ? 0u : (rgb | 0xFF000000u);
        }
    }
    return copy;
}

void DrawTransparent(QPainter& canvas, int x, int y, const QColor& seeThrough,
                     const QImage& picture) {
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!seeThrough.isValid()) {
        canvas.setCompositionMode(QPainter::CompositionMode_Source);
        canvas.drawImage(x, y, picture.convertToFormat(QImage::Format_RGB32));
    } else {
        canvas.drawImage(x, y, seeThroughCopy(picture, seeThrough));
    }
    canvas.restore();
}
