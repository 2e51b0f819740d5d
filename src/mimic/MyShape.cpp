#include "MyShape.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>

void TMyPen::changed() {
    if (OnChange)
        OnChange();
}
void TMyPen::setColor(const QColor& c) {
    if (c != color_) {
        color_ = c;
        changed();
    }
}
void TMyPen::setWidth(int w) {
    if (w != width_) {
        width_ = w;
        changed();
    }
}
void TMyPen::setStyle(Qt::PenStyle s) {
    if (s != style_) {
        style_ = s;
        changed();
    }
}
void TMyPen::assign(const TMyPen& other) {
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    changed();
}

void TMyBrush::changed() {
    if (OnChange)
        OnChange();
}
void TMyBrush::setColor(const QColor& c) {
    if (c != color_) {
        color_ = c;
        changed();
    }
}
void TMyBrush::setStyle(Qt::BrushStyle s) {
    if (s != style_) {
        style_ = s;
        changed();
    }
}
void TMyBrush::assign(const TMyBrush& other) {
    color_ = other.color_;
    style_ = other.style_;
    changed();
}

ShapeGeometry shapeGeometry(int shape, int controlWidth, int controlHeight, int penWidth) {
    // Integer division truncates towards zero, as the figure's geometry requires.
    int x = penWidth / 2;
    int y = x;
    int w = controlWidth - penWidth + 1;
    int h = controlHeight - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    const int s = h <= w ? h : w;
    if (shape == stMySquare || shape == stMyRoundSquare || shape == stMyCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = s;
        h = s;
    }
    ShapeGeometry g;
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    const int midX = (x + w) / 2; // not x + w / 2: wide pens move the apex, as they always did
    const int midY = (y + h) / 2;
    switch (shape) {
    case stMyRectangle:
    case stMySquare:
        g.kind = ShapeGeometry::Rect;
        break;
    case stMyRoundRect:
    case stMyRoundSquare:
        g.kind = ShapeGeometry::RoundRect;
        g.corner = s / 4;
        break;
    case stMyEllipse:
    case stMyCircle:
        g.kind = ShapeGeometry::Ellipse;
        break;
    case stMyTriangleLeft:
        g.points = {{x, midY}, {right, y}, {right, bottom}};
        break;
    case stMyTriangleRight:
        g.points = {{x, y}, {right, midY}, {x, bottom}};
        break;
    case stMyTriangleUp:
        g.points = {{midX, y}, {right, bottom}, {x, bottom}};
        break;
    case stMyTriangleDown:
        g.points = {{x, y}, {right, y}, {midX, bottom}};
        break;
    case stMyDiamond:
        g.points = {{midX, y}, {right, midY}, {midX, bottom}, {x, midY}};
        break;
    case stMyVentHor:
        g.points = {{x, y}, {right, bottom}, {right, y}, {x, bottom}};
        break;
    case stMyVentVert:
        g.points = {{x, y}, {right, y}, {x, bottom}, {right, bottom}};
        break;
    default:
        return g;
    }
    if (!g.points.empty())
        g.kind = ShapeGeometry::Polygon;
    g.rect = QRect(x, y, w, h);
    return g;
}

namespace {
// One pixel wide line from a to b, both end pixels included.
void drawEdge(QPainter& canvas, QPoint a, QPoint b, const QColor& colour) {
    const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    QPoint p = a;
    canvas.setPen(QPen(colour, 1));
    for (;;) {
        canvas.drawPoint(p);
        if (p == b)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.rx() += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.ry() += sy;
        }
    }
}

// Whether the centre of pixel (px, py) lies inside an ellipse filling the box, or inside a
// rectangle whose corners are quarter ellipses `corner` wide and high. Measured from the box's
// centre, so the pixels inside mirror exactly left to right and top to bottom, and none lies
// outside the box.
bool insideRound(const QRect& box, bool ellipse, int corner, int px, int py) {
    double dx = std::abs(px + 0.5 - (box.left() + box.width() / 2.0));
    double dy = std::abs(py + 0.5 - (box.top() + box.height() / 2.0));
    double a = box.width() / 2.0, b = box.height() / 2.0;
    if (!ellipse) {
        const double r = corner / 2.0;
        dx = std::max(0.0, dx - (a - r));
        dy = std::max(0.0, dy - (b - r));
        if (r <= 0)
            return dx <= 0 && dy <= 0;
        a = b = r;
    }
    return (dx * dx) / (a * a) + (dy * dy) / (b * b) <= 1.0;
}

// A round figure pixel by pixel: the inside in the brush, the pixels within the pen's width of
// the figure's edge in the pen.
void paintRound(QPainter& canvas, const QRect& box, bool ellipse, int corner, const QPen& pen,
                const QBrush& brush) {
    const int width = std::max(1, pen.width());
    auto inside = [&](int x, int y) { return insideRound(box, ellipse, corner, x, y); };
    QPolygon fill, outline;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (!inside(x, y))
                continue;
            bool edge = false;
            for (int k = 1; k <= width && !edge; ++k)
                edge = !inside(x - k, y) || !inside(x + k, y) || !inside(x, y - k) ||
                       !inside(x, y + k);
            (edge && pen.style() != Qt::NoPen ? outline : fill) << QPoint(x, y);
        }
    }
    if (brush.style() != Qt::NoBrush) {
        canvas.setPen(QPen(brush.color(), 1));
        canvas.drawPoints(fill);
    }
    canvas.setPen(QPen(pen.color(), 1));
    canvas.drawPoints(outline);
}
} // namespace

TMyShape::TMyShape(QWidget* owner) : QWidget(owner), pen_(new TMyPen), brush_(new TMyBrush) {
    resize(65, 65);
    pen_->OnChange = [this] { StyleChanged(); };
    brush_->OnChange = [this] { StyleChanged(); };
}

TMyShape::~TMyShape() {
    delete pen_;
    delete brush_;
}

void TMyShape::setShape(TMyShapeType shape) {
    if (shape == shape_)
        return;
    shape_ = shape;
    StyleChanged();
}

void TMyShape::StyleChanged() {
    ++repaintRequests_;
    update();
}

void TMyShape::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    Paint(canvas);
}

void TMyShape::Paint(QPainter& canvas) {
    QPen pen(pen_->color(), pen_->width(), pen_->style());
    pen.setJoinStyle(Qt::MiterJoin);
    canvas.setPen(pen);
    canvas.setBrush(QBrush(brush_->color(), brush_->style()));
    canvas.setRenderHint(QPainter::Antialiasing, false);
    const ShapeGeometry g = shapeGeometry(shape_, width(), height(), pen_->width());
    // A figure from (X, Y) to (X + W, Y + H) covers the pixels X .. X + W - 1; the outline runs
    // through the centres of the edge pixels.
    const QRectF r(g.rect.x() + 0.5, g.rect.y() + 0.5, g.rect.width() - 1, g.rect.height() - 1);
    switch (g.kind) {
    case ShapeGeometry::Rect:
        canvas.drawRect(r);
        break;
    case ShapeGeometry::RoundRect:
    case ShapeGeometry::Ellipse:
        // Drawn pixel by pixel: the toolkit's aliased ellipses are lopsided (an 11 x 11 lamp
        // would not mirror about its centre).
        if (pen.style() == Qt::SolidLine || pen.style() == Qt::NoPen) {
            paintRound(canvas, g.rect, g.kind == ShapeGeometry::Ellipse, g.corner, pen,
                       canvas.brush());
        } else if (g.kind == ShapeGeometry::Ellipse) {
            canvas.drawEllipse(r);
        } else {
            canvas.drawRoundedRect(r, g.corner / 2.0, g.corner / 2.0);
        }
        break;
    case ShapeGeometry::Polygon: {
        QPolygon polygon;
        for (const QPoint& p : g.points)
            polygon << p;
        if (pen_->width() > 1 || pen_->style() != Qt::SolidLine) {
            canvas.drawPolygon(polygon, Qt::OddEvenFill);
            break;
        }
        // A thin outline passes through every corner pixel, both ends of each edge included.
        canvas.setPen(Qt::NoPen);
        canvas.drawPolygon(QPolygonF(polygon).translated(0.5, 0.5), Qt::OddEvenFill);
        for (int i = 0; i < polygon.size(); ++i)
            drawEdge(canvas, polygon[i], polygon[(i + 1) % polygon.size()], pen_->color());
        break;
    }
    case ShapeGeometry::None:
        break;
    }
}
