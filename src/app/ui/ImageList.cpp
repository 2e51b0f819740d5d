#include "ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace {
const QColor kOutline(0x30, 0x30, 0x30);

void sheet(QPainter& p, const QColor& fill) {
    p.setPen(kOutline);
    p.setBrush(fill);
    QPolygon page({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)});
    p.drawPolygon(page);
    p.drawPolyline(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
}

void plug(QPainter& p, int x, bool facingRight) {
    // body 5 x 6 with two pins on the side facing the other plug
    p.setPen(kOutline);
    p.setBrush(QColor(0xE0, 0xC0, 0x40));
    p.drawRect(x, 5, 4, 6);
    p.setPen(QColor(0x50, 0x50, 0x50));
    const int pinX = facingRight ? x + 5 : x - 2;
    p.drawLine(pinX, 6, pinX + 1, 6);
    p.drawLine(pinX, 9, pinX + 1, 9);
    p.setPen(QColor(0x20, 0x20, 0x20));
    const int cableFrom = facingRight ? 0 : x + 5;
    const int cableTo = facingRight ? x - 1 : 15;
    p.drawLine(cableFrom, 8, cableTo, 8);
}

void doubleArrow(QPainter& p, bool down) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x40, 0xA0));
    for (int k = 0; k < 2; ++k) {
        const int y = down ? 3 + 6 * k : 12 - 6 * k;
        const int tip = down ? y + 4 : y - 4;
        p.drawPolygon(QPolygon({QPoint(3, y), QPoint(13, y), QPoint(8, tip)}));
    }
}

void draw(QPainter& p, int index) {
    switch (index) {
    case ImageList1::TaskTable:
        p.setPen(kOutline);
        p.setBrush(Qt::white);
        p.drawRect(1, 2, 13, 11);
        p.fillRect(2, 3, 12, 3, QColor(0x40, 0x60, 0xC0));
        for (int x = 5; x < 14; x += 4)
            p.drawLine(x, 3, x, 12);
        for (int y = 6; y < 13; y += 3)
            p.drawLine(2, y, 13, y);
        break;
    case ImageList1::Mimic: {
        const QColor c[4] = {QColor(0xE0, 0x30, 0x30), QColor(0x30, 0xB0, 0x30),
                             QColor(0x30, 0x60, 0xE0), QColor(0xE0, 0xC0, 0x20)};
        p.setPen(kOutline);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(c[i]);
            p.drawRect(1 + (i % 2) * 7, 1 + (i / 2) * 7, 6, 6);
        }
        break;
    }
    case ImageList1::LinkGood:
        plug(p, 3, true);
        plug(p, 10, false);
        p.setPen(QColor(0x00, 0x90, 0x00));
        p.drawLine(8, 13, 8, 15);
        break;
    case ImageList1::LinkLost:
        plug(p, 1, true);
        plug(p, 12, false);
        p.setPen(QPen(QColor(0xE0, 0x00, 0x00), 2));
        p.drawLine(6, 2, 10, 14);
        break;
    case ImageList1::Exit:
        p.setPen(kOutline);
        p.setBrush(QColor(0x90, 0x60, 0x30));
        p.drawRect(2, 1, 7, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0x20, 0x20));
        p.drawPolygon(QPolygon({QPoint(8, 6), QPoint(11, 6), QPoint(11, 3), QPoint(15, 8),
                                QPoint(11, 13), QPoint(11, 10), QPoint(8, 10)}));
        break;
    case ImageList1::Help: {
        p.setPen(kOutline);
        p.setBrush(QColor(0xF0, 0xE0, 0x60));
        p.drawEllipse(1, 1, 13, 13);
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0x20, 0x20, 0x80));
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ImageList1::Settings: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(kOutline);
        p.setBrush(QColor(0xA0, 0xA0, 0xA8));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45.0 * i);
            p.drawRect(-1, -8, 2, 3);
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    case ImageList1::History: {
        p.setPen(kOutline);
        p.drawLine(1, 14, 15, 14);
        p.drawLine(1, 1, 1, 14);
        const int h[4] = {5, 9, 7, 12};
        const QColor c[4] = {QColor(0x30, 0x60, 0xE0), QColor(0x30, 0xA0, 0x30),
                             QColor(0xA0, 0x30, 0xA0), QColor(0xE0, 0x80, 0x20)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(c[i]);
            p.drawRect(3 + i * 3, 14 - h[i], 2, h[i]);
        }
        break;
    }
    case ImageList1::Collapse:
        doubleArrow(p, true);
        break;
    case ImageList1::Expand:
        doubleArrow(p, false);
        break;
    case ImageList1::Clear:
        sheet(p, Qt::white);
        break;
    case ImageList1::Journal:
        p.setPen(kOutline);
        p.setBrush(QColor(0x30, 0x50, 0x90));
        p.drawRect(2, 1, 11, 13);
        p.fillRect(4, 2, 8, 12, QColor(0xF8, 0xF4, 0xE8));
        p.setPen(QColor(0x80, 0x80, 0x80));
        for (int y = 4; y < 13; y += 2)
            p.drawLine(5, y, 11, y);
        p.setPen(QColor(0xC0, 0x20, 0x20));
        p.drawLine(3, 1, 3, 14);
        break;
    case ImageList1::Protocol:
        p.setPen(kOutline);
        p.setBrush(QColor(0xB0, 0x80, 0x50));
        p.drawRect(2, 2, 11, 13);
        p.fillRect(4, 4, 8, 10, Qt::white);
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(5, 1, 5, 3);
        p.setPen(QColor(0x40, 0x40, 0x40));
        for (int y = 6; y < 13; y += 2)
            p.drawLine(5, y, 10, y);
        break;
    case ImageList1::Report:
        sheet(p, Qt::white);
        p.setPen(QColor(0x40, 0x80, 0x40));
        for (int y = 5; y < 14; y += 3)
            p.drawLine(4, y, 12, y);
        p.drawLine(7, 5, 7, 13);
        p.drawLine(10, 5, 10, 13);
        break;
    default:
        break;
    }
}
} // namespace

namespace ImageList1 {
QPixmap pixmap(int index) {
    static const std::array<QPixmap, Count> icons = [] {
        std::array<QPixmap, Count> a;
        for (int i = 0; i < Count; ++i) {
            QPixmap pm(16, 16);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            draw(p, i);
            a[i] = pm;
        }
        return a;
    }();
    return index >= 0 && index < Count ? icons[index] : QPixmap();
}
} // namespace ImageList1

QPixmap furnacePicture() {
    QPixmap pm(105, 99);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor steel(0x5A, 0x5A, 0x78), dark(0x2E, 0x2E, 0x48), glow(0xF0, 0x90, 0x20);
    // the furnace shaft: narrow top, wide belly, hearth
    QPolygonF shaft({QPointF(40, 14), QPointF(64, 14), QPointF(76, 62), QPointF(72, 86),
                     QPointF(32, 86), QPointF(28, 62)});
    QLinearGradient g(28, 0, 76, 0);
    g.setColorAt(0, dark);
    g.setColorAt(0.45, steel.lighter(140));
    g.setColorAt(1, dark);
    p.setPen(QPen(dark, 1.5));
    p.setBrush(g);
    p.drawPolygon(shaft);
    // the top with its charging bell and the skip bridge
    p.setBrush(steel);
    p.drawRect(QRectF(44, 4, 16, 10));
    p.setPen(QPen(dark, 3));
    p.drawLine(QPointF(58, 8), QPointF(100, 60));
    p.setPen(QPen(dark, 1.5));
    p.drawLine(QPointF(100, 60), QPointF(100, 92));
    // tuyere ring and the glowing tap hole
    p.setPen(QPen(dark, 2));
    p.drawLine(QPointF(26, 70), QPointF(78, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(52, 80), 6, 3.5);
    // ground
    p.setPen(QPen(dark, 2));
    p.drawLine(QPointF(4, 92), QPointF(104, 92));
    return pm;
}
