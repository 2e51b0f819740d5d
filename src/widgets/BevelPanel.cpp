#include "BevelPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// Draws one bevel of the given width inside r and returns the rectangle inside it.
QRect drawBevel(QPainter& p, QRect r, BevelPanel::Bevel bevel, int width) {
    if (bevel == BevelPanel::Bevel::None)
        return r;
    const QColor light(0xFF, 0xFF, 0xFF);
    const QColor dark(0x80, 0x80, 0x80);
    const QColor& topLeft = bevel == BevelPanel::Bevel::Raised ? light : dark;
    const QColor& bottomRight = bevel == BevelPanel::Bevel::Raised ? dark : light;
    for (int i = 0; i < width; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
    return r;
}
} // namespace

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {}

void BevelPanel::setBevels(Bevel outer, Bevel inner, int width) {
    outer_ = outer;
    inner_ = inner;
    width_ = width;
    update();
}

void BevelPanel::setInnerBevel(Bevel b) {
    inner_ = b;
    update();
}

void BevelPanel::setColor(const QColor& c) {
    if (color_ == c)
        return;
    color_ = c;
    update();
}

void BevelPanel::setCaption(const QString& text) {
    caption_ = text;
    update();
}

void BevelPanel::setCaptionColor(const QColor& c) {
    captionColor_ = c;
    update();
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
    QRect r = drawBevel(p, rect(), outer_, 1);
    r = drawBevel(p, r, inner_, width_);
    if (!caption_.isEmpty()) {
        p.setFont(font());
        p.setPen(captionColor_);
        p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, caption_);
    }
}

void BevelPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        down_ = true;
        emit pressed();
    }
}

void BevelPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !down_)
        return;
    down_ = false;
    emit released();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}
