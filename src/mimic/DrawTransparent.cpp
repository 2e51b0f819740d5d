#include "DrawTransparent.h"

#include <QPainter>
#include <array>

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
// The prepared copies of the last few pictures drawn. The mimic draws the same fixed artwork
// with the same see-through colour every half second; preparing it once keeps the frames from
// allocating and freeing a copy of each picture. A picture is known by its cache key, which
// changes whenever its pixels may have changed.
class PreparedPictures {
public:
    const QImage& get(const QImage& picture, const QColor& seeThrough) {
        const qint64 key = picture.cacheKey();
        const QRgb colour = seeThrough.isValid() ? (seeThrough.rgb() | 0xFF000000u) : 0u;
        for (const Entry& entry : entries_)
            if (entry.key == key && entry.colour == colour)
                return entry.prepared;
        Entry& slot = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        slot = Entry{key, colour,
                     seeThrough.isValid() ? seeThroughCopy(picture, seeThrough)
                                          : picture.convertToFormat(QImage::Format_RGB32),
                     picture};
        return slot.prepared;
    }

private:
    struct Entry {
        qint64 key = 0;
        QRgb colour = 0;
        QImage prepared;
        // Held so that no other picture can be given the same key while this entry lives.
        QImage source;
    };
    std::array<Entry, 16> entries_{};
    std::size_t next_ = 0;
};
} // namespace

void DrawTransparent(QPainter& canvas, int x, int y, const QColor& seeThrough,
                     const QImage& picture) {
    thread_local PreparedPictures prepared;
    canvas.save();
    canvas.setCompositionMode(seeThrough.isValid() ? QPainter::CompositionMode_SourceOver
                                                   : QPainter::CompositionMode_Source);
    canvas.drawImage(x, y, prepared.get(picture, seeThrough));
    canvas.restore();
}
