#include "ReportFile.h"

#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>
#include <cstring>

namespace report {

namespace {

constexpr char kMark[8] = {'K', 'V', 'R', 'P', 'T', '\r', '\n', '\x1a'};
constexpr quint32 kVersion = 1;
constexpr quint32 kMaxPages = 100000;
constexpr quint32 kMaxItems = 1000000;
constexpr quint32 kMaxText = 1 << 20;
constexpr double kMaxCoord = 1e6;
constexpr qint64 kMaxFile = 256LL << 20;

quint32 crc32(const char* data, qsizetype size) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

class Writer {
public:
    void u8(quint8 v) { buf.append(char(v)); }
    void u32(quint32 v) {
        for (int i = 0; i < 4; ++i) // low byte first
            buf.append(char((v >> (8 * i)) & 0xFF));
    }
    void f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i)
            buf.append(char((bits >> (8 * i)) & 0xFF));
    }
    void str(const QString& s) {
        const QByteArray utf8 = s.toUtf8();
        u32(quint32(utf8.size()));
        buf.append(utf8);
    }
    void color(const QColor& c) {
        u8(c.isValid() ? 1 : 0);
        u32(c.isValid() ? c.rgba() : 0);
    }
    QByteArray buf;
};

class Reader {
public:
    explicit Reader(QByteArrayView data) : d_(data) {}
    bool ok() const { return ok_; }
    qsizetype remaining() const { return d_.size() - pos_; }
    bool need(qsizetype n) {
        if (!ok_ || n < 0 || remaining() < n)
            ok_ = false;
        return ok_;
    }
    quint8 u8() {
        if (!need(1))
            return 0;
        return quint8(d_[pos_++]);
    }
    quint32 u32() {
        if (!need(4))
            return 0;
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(quint8(d_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return v;
    }
    double f64() {
        if (!need(8))
            return 0;
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= quint64(quint8(d_[pos_ + i])) << (8 * i);
        pos_ += 8;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoord)
            ok_ = false;
        return ok_ ? v : 0;
    }
    QString str() {
        const quint32 n = u32();
        if (n > kMaxText || !need(qsizetype(n)))
            return ok_ = false, QString();
        const QString s = QString::fromUtf8(d_.data() + pos_, qsizetype(n));
        pos_ += n;
        return s;
    }
    QColor color() {
        const quint8 valid = u8();
        const quint32 rgba = u32();
        if (valid > 1)
            ok_ = false;
        return valid == 1 ? QColor::fromRgba(rgba) : QColor();
    }
    void fail() { ok_ = false; }

private:
    QByteArrayView d_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

// The smallest encoded item, to bound an item count by the bytes left.
constexpr qsizetype kMinItemBytes = 4 * 8 + 4 + 4 + 8 + 1 + 1 + 1 + 1 + 5 + 5;

bool readItem(Reader& in, Item* item) {
    const double x = in.f64(), y = in.f64(), w = in.f64(), h = in.f64();
    item->rect = QRectF(x, y, w, h);
    item->text = in.str();
    item->font.family = in.str();
    item->font.pointSize = in.f64();
    const quint8 style = in.u8();
    item->font.bold = style & 1;
    item->font.italic = style & 2;
    const quint8 h1 = in.u8(), v1 = in.u8();
    item->frames = in.u8();
    item->fill = in.color();
    item->color = in.color();
    if (style > 3 || h1 > 2 || v1 > 2 || item->frames > FrameAll || w < 0 || h < 0 ||
        item->font.pointSize < 0 || item->font.pointSize > 1000)
        in.fail();
    item->hAlign = HAlign(h1);
    item->vAlign = VAlign(v1);
    return in.ok();
}

} // namespace

QByteArray serialize(const PreparedReport& report) {
    Writer p;
    p.u32(quint32(report.pages.size()));
    for (const Page& page : report.pages) {
        p.f64(page.width);
        p.f64(page.height);
        p.u32(quint32(page.items.size()));
        for (const Item& it : page.items) {
            p.f64(it.rect.x());
            p.f64(it.rect.y());
            p.f64(it.rect.width());
            p.f64(it.rect.height());
            p.str(it.text);
            p.str(it.font.family);
            p.f64(it.font.pointSize);
            p.u8(quint8((it.font.bold ? 1 : 0) | (it.font.italic ? 2 : 0)));
            p.u8(quint8(it.hAlign));
            p.u8(quint8(it.vAlign));
            p.u8(it.frames);
            p.color(it.fill);
            p.color(it.color);
        }
    }
    return wrapPayload(p.buf);
}

QByteArray wrapPayload(QByteArrayView payload) {
    Writer f;
    f.buf.append(kMark, sizeof kMark);
    f.u32(kVersion);
    f.u32(quint32(payload.size()));
    f.buf.append(payload.data(), payload.size());
    f.u32(crc32(payload.data(), payload.size()));
    return f.buf;
}

bool deserialize(const QByteArray& bytes, PreparedReport* out, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (bytes.size() < qsizetype(sizeof kMark) + 12 ||
        std::memcmp(bytes.constData(), kMark, sizeof kMark) != 0)
        return fail(QStringLiteral("Файл не является сохраненным отчетом"));
    Reader head(QByteArrayView(bytes).sliced(sizeof kMark));
    const quint32 version = head.u32();
    const quint32 length = head.u32();
    if (version != kVersion)
        return fail(QStringLiteral("Неизвестная версия файла отчета: %1").arg(version));
    if (qsizetype(length) != head.remaining() - 4)
        return fail(QStringLiteral("Файл отчета поврежден: неверная длина"));
    const QByteArrayView payload = QByteArrayView(bytes).sliced(sizeof kMark + 8, length);
    Reader tail(QByteArrayView(bytes).sliced(sizeof kMark + 8 + length));
    if (tail.u32() != crc32(payload.data(), payload.size()))
        return fail(QStringLiteral("Файл отчета поврежден: неверная контрольная сумма"));

    Reader in(payload);
    PreparedReport result;
    const quint32 pages = in.u32();
    if (pages > kMaxPages || qsizetype(pages) * 20 > in.remaining())
        return fail(QStringLiteral("Файл отчета поврежден: неверное число страниц"));
    result.pages.reserve(pages);
    for (quint32 p = 0; p < pages && in.ok(); ++p) {
        Page page;
        page.width = in.f64();
        page.height = in.f64();
        const quint32 items = in.u32();
        if (!in.ok() || page.width <= 0 || page.height <= 0 || items > kMaxItems ||
            qsizetype(items) * kMinItemBytes > in.remaining())
            return fail(QStringLiteral("Файл отчета поврежден: страница %1").arg(p + 1));
        page.items.resize(items);
        for (Item& item : page.items) {
            if (!readItem(in, &item))
                return fail(QStringLiteral("Файл отчета поврежден: страница %1").arg(p + 1));
        }
        result.pages.push_back(std::move(page));
    }
    if (!in.ok() || in.remaining() != 0)
        return fail(QStringLiteral("Файл отчета поврежден"));
    *out = std::move(result);
    return true;
}

bool saveFile(const QString& path, const PreparedReport& report, QString* error) {
    // Complete or not at all, every write checked: a full disk never leaves a short report.
    QString why;
    if (!atomicfile::write(path, serialize(report), atomicfile::Mode::Replace, &why)) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1: %2")
                         .arg(path, why.mid(path.size() + 2));
        return false;
    }
    return true;
}

bool loadFile(const QString& path, PreparedReport* out, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Не удалось открыть файл %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFile) {
        if (error)
            *error = QStringLiteral("Файл %1 не является сохраненным отчетом").arg(path);
        return false;
    }
    QString why;
    if (!deserialize(file.readAll(), out, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
        return false;
    }
    return true;
}

QString withReportExtension(const QString& path) {
    const QFileInfo info(path);
    const QString base = info.completeBaseName().isEmpty() && !info.fileName().isEmpty()
                             ? info.fileName()
                             : info.completeBaseName();
    const QString dir = path.left(path.size() - info.fileName().size());
    return dir + base + QStringLiteral(".frp");
}

} // namespace report
