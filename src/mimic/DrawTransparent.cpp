#include "DrawTransparent.h"

#include "RecentCache.h"

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

namespace {
// The mimic draws the same fixed artwork with the same see-through colour every half second;
// preparing each picture once keeps the frames from allocating and freeing a copy of it. A
// picture is known by its cache key, which changes whenever its pixels may have changed.
struct PreparedKey {
    qint64 picture = 0;
    QRgb colour = 0;
    bool operator==(const PreparedKey&) const = default;
};

struct Prepared {
    QImage picture;
    // Held so that no other picture can be given the same cache key while this one is kept.
    QImage source;
};
} // namespace

void DrawTransparent(QPainter& canvas, int x, int y, const QColor& seeThrough,
                     const QImage& picture) {
    thread_local mimic::RecentCache<PreparedKey, Prepared, 16> prepared;
    const PreparedKey key{picture.cacheKey(),
                          seeThrough.isValid() ? (seeThrough.rgb() | 0xFF000000u) : 0u};
    const auto prepare = [&] {
        return Prepared{seeThrough.isValid() ? seeThroughCopy(picture, seeThrough)
                                             : picture.convertToFormat(QImage::Format_RGB32),
                        picture};
    };
    const QImage& ready = prepared.get(key, prepare).picture;
    canvas.save();
    canvas.setCompositionMode(seeThrough.isValid() ? QPainter::CompositionMode_SourceOver
                                                   : QPainter::CompositionMode_Source);
    canvas.drawImage(x, y, ready);
    canvas.restore();
}
