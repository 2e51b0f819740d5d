#pragma once
// A windowless control that paints one filled figure with its own pen and brush: the
// toolkit's rectangles, squares, ellipses and circles plus four triangles, a diamond and two
// valve symbols. The mimic's triangular dose and zero-weight lamps are such shapes.
#include <QBrush>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

enum TMyShapeType {
    stMyRectangle,
    stMySquare,
    stMyRoundRect,
    stMyRoundSquare,
    stMyEllipse,
    stMyCircle,
    stMyTriangleLeft,
    stMyTriangleRight,
    stMyTriangleUp,
    stMyTriangleDown,
    stMyDiamond,
    stMyVentHor,
    stMyVentVert
};

// A pen that reports every change of its attributes to its owner.
class TMyPen {
public:
    QColor color() const { return color_; }
    int width() const { return width_; }
    Qt::PenStyle style() const { return style_; }
    void setColor(const QColor& c);
    void setWidth(int w);
    void setStyle(Qt::PenStyle s);
    // Copies the attributes of another pen; the other keeps its own object.
    void assign(const TMyPen& other);

    std::function<void()> OnChange;

private:
    void changed();
    QColor color_ = Qt::black;
    int width_ = 1;
    Qt::PenStyle style_ = Qt::SolidLine;
};

// A brush that reports every change of its attributes to its owner.
class TMyBrush {
public:
    QColor color() const { return color_; }
    Qt::BrushStyle style() const { return style_; }
    void setColor(const QColor& c);
    void setStyle(Qt::BrushStyle s);
    void assign(const TMyBrush& other);

    std::function<void()> OnChange;

private:
    void changed();
    QColor color_ = Qt::white;
    Qt::BrushStyle style_ = Qt::SolidPattern;
};

// What Paint draws for a figure on a control of a given size: a rectangle, a rounded
// rectangle or an ellipse in `rect` (covering rect.x() .. rect.x() + rect.width() - 1), or a
// polygon through `points`; nothing for a value outside the enumeration.
struct ShapeGeometry {
    enum Kind { None, Rect, RoundRect, Ellipse, Polygon };
    Kind kind = None;
    QRect rect;
    int corner = 0; // width and height of the corner ellipses of a rounded rectangle
    std::vector<QPoint> points;
};
ShapeGeometry shapeGeometry(int shape, int controlWidth, int controlHeight, int penWidth);

class TMyShape : public QWidget {
    Q_OBJECT
public:
    explicit TMyShape(QWidget* owner = nullptr);
    ~TMyShape() override;

    TMyPen& Pen() { return *pen_; }
    TMyBrush& Brush() { return *brush_; }
    const TMyPen& Pen() const { return *pen_; }
    const TMyBrush& Brush() const { return *brush_; }
    void setPen(const TMyPen& pen) { pen_->assign(pen); }
    void setBrush(const TMyBrush& brush) { brush_->assign(brush); }

    TMyShapeType Shape() const { return shape_; }
    // A different figure is stored and repainted; the same figure changes nothing.
    void setShape(TMyShapeType shape);

    // Change handler of the owned pen and brush: repaint at the next paint cycle.
    void StyleChanged();
    // How many times the control asked to be repainted (for its callers' checks).
    int repaintRequests() const { return repaintRequests_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void Paint(QPainter& canvas);

private:
    TMyPen* pen_;
    TMyBrush* brush_;
    TMyShapeType shape_ = stMyRectangle;
    int repaintRequests_ = 0;
};
