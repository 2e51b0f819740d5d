#include "MimicArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QtMath>

namespace mimic {
namespace {

const QColor kOutline{0x30, 0x30, 0x30};
const QColor kSteel{0x9C, 0xA0, 0xA4};
const QColor kSteelDark{0x6C, 0x70, 0x74};
const QColor kSteelLight{0xC8, 0xCC, 0xCF};
const QColor kBelt{0x4A, 0x4A, 0x4A};

QImage blank(int w, int h, const QColor& colour = kWindowColour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture drawn over whatever lies beneath it: transparent where nothing is drawn.
QImage clear(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A vessel with a white interior and a crisp one-pixel outline: aliased, so no pixel between
// the interior and the outline is a shade of white that would hide the fill beneath.
void vessel(QPainter& p, const QPolygon& outline) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(outline);
}

// Steel rim along the top of a vessel, outside its interior.
void rim(QPainter& p, int x1, int x2, int y) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(x1 - 1, y - 2, x2 - x1 + 3, 2), kSteelDark);
    p.setPen(kSteelLight);
    p.drawLine(x1, y - 2, x2, y - 2);
}

QImage weighHopper() {
    QImage image = blank(49, 54);
    QPainter p(&image);
    // Funnel: box down to y 26, cone to the outlet whose bottom edge is row 42.
    vessel(p, QPolygon({{0, 2}, {42, 2}, {42, 26}, {27, 42}, {15, 42}, {0, 26}}));
    rim(p, 0, 42, 2);
    // Gate housing on both sides of the outlet.
    p.fillRect(QRect(12, 41, 3, 3), kSteelDark);
    p.fillRect(QRect(28, 41, 3, 3), kSteelDark);
    return image;
}

QImage feedBunker() {
    QImage image = blank(43, 71);
    QPainter p(&image);
    vessel(p, QPolygon({{0, 2}, {37, 2}, {37, 40}, {24, 60}, {13, 60}, {0, 40}}));
    rim(p, 0, 37, 2);
    return image;
}

QImage bigBunker() {
    QImage image = blank(102, 71);
    QPainter p(&image);
    vessel(p, QPolygon({{0, 7}, {90, 7}, {90, 42}, {57, 70}, {33, 70}, {0, 42}}));
    rim(p, 0, 90, 7);
    // Level gauge beside the bunker.
    p.fillRect(QRect(94, 9, 4, 34), kSteelLight);
    p.setPen(kOutline);
    p.drawRect(QRect(94, 9, 3, 33));
    for (int y = 13; y < 42; y += 6)
        p.drawLine(98, y, 99, y);
    p.drawLine(91, 10, 94, 10);
    return image;
}

// One furnace bunker over the fill rectangle x1..x2, y1..y2 of the furnace picture, shifted by
// dx into the artwork's own coordinates.
void furnaceBunker(QPainter& p, int x1, int x2, int y1, int y2, int dx) {
    const int l = x1 + dx, r = x2 + dx;
    const int c = (l + r) / 2;
    const int shoulder = y2 - 9;
    vessel(p, QPolygon({{l, y1}, {r, y1}, {r, shoulder}, {c + 4, y2}, {c - 4, y2}, {l, shoulder}}));
    rim(p, l, r, y1);
    // Outlet pipe down to the base.
    p.fillRect(QRect(c - 3, y2 + 1, 7, 50 - y2), kSteelDark);
}

void furnaceTop(QPainter& p, int width, int height, int baseY,
                const QList<QPair<int, int>>& groups) {
    p.setRenderHint(QPainter::Antialiasing, false);
    // Common base beams of the bunker groups.
    for (const auto& [from, to] : groups) {
        p.fillRect(QRect(from, baseY, to - from + 1, 5), kSteel);
        p.setPen(kOutline);
        p.drawRect(QRect(from, baseY, to - from, 4));
    }
    // Furnace throat with its charging apparatus below the bases.
    p.setRenderHint(QPainter::Antialiasing, true);
    const int cx = width / 2;
    QPainterPath dome;
    dome.moveTo(cx - 90, height);
    dome.cubicTo(cx - 80, baseY + 12, cx - 30, baseY + 8, cx, baseY + 8);
    dome.cubicTo(cx + 30, baseY + 8, cx + 80, baseY + 12, cx + 90, height);
    dome.closeSubpath();
    QLinearGradient shade(0, baseY + 8, 0, height);
    shade.setColorAt(0, kSteelLight);
    shade.setColorAt(1, kSteelDark);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(shade);
    p.drawPath(dome);
    // Receiving hopper of the charging apparatus.
    p.setBrush(kSteel);
    p.drawPolygon(QPolygonF({QPointF(cx - 14, baseY + 1), QPointF(cx + 14, baseY + 1),
                             QPointF(cx + 6, baseY + 14), QPointF(cx - 6, baseY + 14)}));
}

QImage furnace1() {
    QImage image = blank(301, 85);
    QPainter p(&image);
    furnaceTop(p, 301, 84, 50, {{8, 132}, {165, 290}});
    // Fill rectangles of bunkers 1 to 8; the artwork is drawn one pixel to the left.
    static constexpr int kRects[8][4] = {{259, 284, 4, 39},  {228, 253, 7, 42}, {166, 191, 13, 48},
                                         {104, 129, 13, 48}, {42, 68, 7, 42},   {11, 38, 4, 39},
                                         {73, 98, 10, 45},   {197, 222, 10, 45}};
    for (const auto& r : kRects)
        furnaceBunker(p, r[0], r[1], r[2], r[3], 1);
    return image;
}

QImage furnace2() {
    QImage image = blank(261, 82);
    QPainter p(&image);
    furnaceTop(p, 261, 81, 53, {{20, 113}, {144, 237}});
    static constexpr int kRects[6][4] = {{209, 234, 3, 39}, {178, 203, 9, 45}, {147, 172, 15, 51},
                                         {85, 110, 15, 51}, {54, 79, 9, 45},   {23, 48, 3, 39}};
    for (const auto& r : kRects)
        furnaceBunker(p, r[0], r[1], r[2], r[3], 0);
    return image;
}

QImage rail() {
    QImage image = blank(315, 9, kRailSeeThrough);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Rail head where the wheels run, then the yellow and black warning band of the track bed.
    p.fillRect(QRect(0, 2, 315, 2), kSteelDark);
    p.fillRect(QRect(0, 4, 315, 5), QColor(0xF2, 0xC8, 0x00));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int x = -8; x < 315; x += 12)
        p.drawPolygon(QPolygon({{x, 8}, {x + 4, 4}, {x + 9, 4}, {x + 5, 8}}));
    return image;
}

// The skip incline: a girder from the skip pit up to the head pulley, in window coordinates.
const QPointF kPit(395, 318), kBend(600, 130), kHead(665, 32);
const std::array<QPointF, 4> kSkipAt = {QPointF(424, 290), QPointF(499, 222), QPointF(565, 162),
                                        QPointF(650, 55)};

void skipCar(QPainter& p, QPointF at, qreal degrees) {
    p.save();
    p.translate(at);
    p.rotate(degrees);
    // Bucket riding on the girder, its open top facing up the incline.
    QPolygonF bucket({QPointF(-13, -13), QPointF(12, -13), QPointF(9, -3), QPointF(-13, -3)});
    QLinearGradient shade(0, -13, 0, -3);
    shade.setColorAt(0, QColor(0x3C, 0x5A, 0x8C));
    shade.setColorAt(1, QColor(0x1E, 0x32, 0x5A));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(shade);
    p.drawPolygon(bucket);
    p.setBrush(QColor(0x61, 0x30, 0x30));
    p.drawRect(QRectF(-11, -15, 19, 2));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(-8, -2), 2.5, 2.5);
    p.drawEllipse(QPointF(6, -2), 2.5, 2.5);
    p.restore();
}

QImage skipSegment(int segment, bool withSkip) {
    const int left = kSkipSegments[segment * 4], top = kSkipSegments[segment * 4 + 1];
    QImage image = blank(kSkipSegments[segment * 4 + 2], kSkipSegments[segment * 4 + 3]);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(-left, -top);
    // Skip pit.
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    p.drawRect(QRectF(380, 300, 56, 36));
    // Girder: dark flanges, light web and cross bracing.
    QPainterPath girder(kPit);
    girder.lineTo(kBend);
    girder.lineTo(kHead);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 9, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(girder);
    p.setPen(QPen(kSteel, 5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(girder);
    p.setPen(QPen(kSteelDark, 1));
    for (qreal t = 0.02; t < 1.0; t += 0.035) {
        const QPointF a = girder.pointAtPercent(t);
        const qreal angle = qDegreesToRadians(-girder.angleAtPercent(t) + 90);
        const QPointF n(qCos(angle) * 2.5, qSin(angle) * 2.5);
        p.drawLine(a + n, a - n);
    }
    // Head pulley.
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kSteelLight);
    p.drawEllipse(kHead, 6, 6);
    p.setBrush(kOutline);
    p.drawEllipse(kHead, 1.5, 1.5);
    if (withSkip) {
        const qreal degrees = segment == 3 ? -57.0 : -42.3;
        skipCar(p, kSkipAt[segment], degrees);
    }
    return image;
}

// A belt conveyor across the whole picture: end drums, idlers, and the belt's marks shifted by
// half a period between the two frames.
QImage conveyor(int w, int h, int frame) {
    QImage image = blank(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal r = (h - 6) / 2.0;
    const qreal cy = h / 2.0;
    const qreal left = r + 1, right = w - r - 2;
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kBelt);
    p.drawRoundedRect(QRectF(1, cy - r, w - 3, 2 * r), r, r);
    // Return run inside the belt loop.
    p.setBrush(QColor(0x6E, 0x6E, 0x6E));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(left, cy - r + 3, right - left, 2 * r - 6));
    // Marks on the carrying run.
    p.setRenderHint(QPainter::Antialiasing, false);
    const int period = h >= 30 ? 24 : 16;
    const int top = static_cast<int>(cy - r) + 1;
    const int bottom = static_cast<int>(cy + r) - 3;
    const QColor mark(0xF0, 0xD0, 0x40);
    for (int x = static_cast<int>(left) + (frame ? period / 2 : 0); x < right - 4; x += period) {
        p.fillRect(QRect(x, top, 5, 2), mark);                   // carrying run
        const int back = static_cast<int>(left + right) - x - 5; // return run, the other way
        p.fillRect(QRect(back, bottom, 5, 2), mark);
    }
    // Idlers.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kSteelLight);
    const qreal idler = qMax<qreal>(1.5, r / 4);
    for (qreal x = left + period; x < right - period / 2; x += period * 2)
        p.drawEllipse(QPointF(x, cy), idler, idler);
    // End drums.
    p.setBrush(kSteel);
    p.drawEllipse(QPointF(left, cy), r - 2, r - 2);
    p.drawEllipse(QPointF(right, cy), r - 2, r - 2);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(left, cy), 1.5, 1.5);
    p.drawEllipse(QPointF(right, cy), 1.5, 1.5);
    return image;
}

QImage chute(bool full) {
    QImage image = blank(65, 136);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(full ? kFlowColour : QColor(Qt::white));
    // From under the outlet of bunker No. 1 down to the cart's loading point.
    p.drawPolygon(QPolygon({{2, 0},
                            {26, 0},
                            {26, 22},
                            {60, 100},
                            {60, 135},
                            {46, 135},
                            {46, 104},
                            {12, 28},
                            {2, 28}}));
    p.fillRect(QRect(0, 0, 29, 3), kSteelDark);
    p.fillRect(QRect(44, 128, 19, 3), kSteelDark);
    return image;
}

QImage drawArrowDown() {
    QImage image = clear(11, 23);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(kFlowColour);
    p.drawRect(3, 0, 5, 14);
    p.drawPolygon(QPolygon({{0, 14}, {10, 14}, {5, 22}}));
    return image;
}

QImage arrowBend(bool right) {
    QImage image = clear(17, 28);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kFlowColour, 5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    QPainterPath path(QPointF(0, 4));
    path.lineTo(4, 4);
    path.quadTo(11, 4, 11, 11);
    path.lineTo(11, 18);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kFlowColour);
    p.drawPolygon(QPolygonF({QPointF(5.5, 18), QPointF(16.5, 18), QPointF(11, 27.5)}));
    p.end();
    return right ? image : image.mirrored(true, false);
}

QImage arrowSkip(bool up) {
    QImage image = clear(25, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath arrow;
    arrow.moveTo(2, 17);
    arrow.lineTo(15, 7);
    arrow.lineTo(12, 4);
    arrow.lineTo(23, 2);
    arrow.lineTo(20, 12);
    arrow.lineTo(17, 9);
    arrow.lineTo(4, 19);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x60, 0x50, 0x00), 1));
    p.setBrush(QColor(0xFF, 0xE0, 0x00));
    p.drawPath(arrow);
    p.end();
    return up ? image : image.mirrored(true, true);
}

QPixmap drawCloseGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 1));
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
    return pixmap;
}

} // namespace

const MimicArtwork& MimicArtwork::get() {
    static const MimicArtwork art = [] {
        MimicArtwork a;
        a.picBunVes = weighHopper();
        a.picBunZag = feedBunker();
        a.picBigBun = bigBunker();
        a.picPech1 = furnace1();
        a.picPech2 = furnace2();
        a.pol = rail();
        for (int s = 0; s < 4; ++s) {
            a.skip[s][0] = skipSegment(s, false);
            a.skip[s][1] = skipSegment(s, true);
        }
        for (int f = 0; f < 2; ++f) {
            a.bigTransp[f] = conveyor(419, 39, f);
            a.transp[f] = conveyor(217, 20, f);
        }
        a.stokFull = chute(true);
        a.stokEmpty = chute(false);
        a.arrowDown = drawArrowDown();
        a.arrowBendRight = arrowBend(true);
        a.arrowBendLeft = arrowBend(false);
        a.arrowSkipUp = arrowSkip(true);
        a.arrowSkipDown = arrowSkip(false);
        a.gateBar = blank(22, 3, Qt::red);
        a.closeGlyph = drawCloseGlyph();
        return a;
    }();
    return art;
}

} // namespace mimic
