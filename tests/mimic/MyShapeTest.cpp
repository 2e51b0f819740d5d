// The shape control's geometry and painting, and the see-through drawing.
#include "MyShape.h"
#include "DrawTransparent.h"

#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(ShapeGeometry::Kind)

class TestMyShape : public QObject {
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void wideRectangleWithPenWidth();
    void paintedPixels();
    void valveHalvesBothFilled();
    void roundFiguresSymmetricInsideTheirBox_data();
    void roundFiguresSymmetricInsideTheirBox();
    void defaultsAndOwnership();
    void repaintOnlyOnChange();
    void transparentLeavesSeeThroughPixels();
    void transparentClipsAndDrawsPlainWithoutColour();
    void transparentFollowsAChangedPictureAndColour();
};

using Points = std::vector<QPoint>;

void TestMyShape::geometry_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("pen");
    QTest::addColumn<ShapeGeometry::Kind>("kind");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<Points>("points");

    QTest::newRow("triangle left 11x13")
        << int(stMyTriangleLeft) << 11 << 13 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 11, 13)
        << Points{{0, 6}, {10, 0}, {10, 12}};
    QTest::newRow("triangle right 11x13")
        << int(stMyTriangleRight) << 11 << 13 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 11, 13)
        << Points{{0, 0}, {10, 6}, {0, 12}};
    QTest::newRow("rectangle 65") << int(stMyRectangle) << 65 << 65 << 1 << ShapeGeometry::Rect
                                  << QRect(0, 0, 65, 65) << Points{};
    QTest::newRow("diamond 65") << int(stMyDiamond) << 65 << 65 << 1 << ShapeGeometry::Polygon
                                << QRect(0, 0, 65, 65)
                                << Points{{32, 0}, {64, 32}, {32, 64}, {0, 32}};
    QTest::newRow("circle 80x40") << int(stMyCircle) << 80 << 40 << 1 << ShapeGeometry::Ellipse
                                  << QRect(20, 0, 40, 40) << Points{};
    QTest::newRow("square 80x40") << int(stMySquare) << 80 << 40 << 1 << ShapeGeometry::Rect
                                  << QRect(20, 0, 40, 40) << Points{};
    QTest::newRow("round square 30x50, corners S div 4")
        << int(stMyRoundSquare) << 30 << 50 << 1 << ShapeGeometry::RoundRect << QRect(0, 10, 30, 30)
        << Points{};
    QTest::newRow("pen width 0 keeps the control's size")
        << int(stMyRectangle) << 30 << 20 << 0 << ShapeGeometry::Rect << QRect(0, 0, 30, 20)
        << Points{};
    QTest::newRow("valve horizontal 20x10")
        << int(stMyVentHor) << 20 << 10 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 20, 10)
        << Points{{0, 0}, {19, 9}, {19, 0}, {0, 9}};
    QTest::newRow("valve vertical 10x20")
        << int(stMyVentVert) << 10 << 20 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 10, 20)
        << Points{{0, 0}, {9, 0}, {0, 19}, {9, 19}};
    QTest::newRow("triangle up 20x20")
        << int(stMyTriangleUp) << 20 << 20 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 20, 20)
        << Points{{10, 0}, {19, 19}, {0, 19}};
    QTest::newRow("triangle down 21x10")
        << int(stMyTriangleDown) << 21 << 10 << 1 << ShapeGeometry::Polygon << QRect(0, 0, 21, 10)
        << Points{{0, 0}, {20, 0}, {10, 9}};
    // A wide pen moves the apex to (X + W) div 2, about X / 2 left of the true middle.
    QTest::newRow("triangle up, pen 5")
        << int(stMyTriangleUp) << 20 << 20 << 5 << ShapeGeometry::Polygon << QRect(2, 2, 16, 16)
        << Points{{9, 2}, {17, 17}, {2, 17}};
    QTest::newRow("value outside the figures")
        << 13 << 20 << 20 << 1 << ShapeGeometry::None << QRect() << Points{};
}

void TestMyShape::geometry() {
    QFETCH(int, shape);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, pen);
    QFETCH(ShapeGeometry::Kind, kind);
    QFETCH(QRect, rect);
    QFETCH(Points, points);
    const ShapeGeometry g = shapeGeometry(shape, w, h, pen);
    QCOMPARE(g.kind, kind);
    if (kind != ShapeGeometry::None)
        QCOMPARE(g.rect, rect);
    QCOMPARE(g.points, points);
    if (kind == ShapeGeometry::RoundRect)
        QCOMPARE(g.corner, 30 / 4);
}

void TestMyShape::wideRectangleWithPenWidth() {
    // Pen 4: X = 2, W = Wc - 3; the outline still lies inside the control.
    const ShapeGeometry g = shapeGeometry(stMyRectangle, 40, 30, 4);
    QCOMPARE(g.rect, QRect(2, 2, 37, 27));
}

namespace {
QImage render(TMyShape& shape) {
    QImage image(shape.size(), QImage::Format_RGB32);
    image.fill(QColor(0x12, 0x34, 0x56));
    shape.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
} // namespace

void TestMyShape::paintedPixels() {
    TMyShape shape;
    shape.resize(11, 13);
    shape.setShape(stMyTriangleLeft);
    shape.Brush().setColor(QColor(0x00, 0xFF, 0x00));
    QImage image = render(shape);
    const QRgb black = qRgb(0, 0, 0), green = qRgb(0, 255, 0), bg = qRgb(0x12, 0x34, 0x56);
    QCOMPARE(image.pixel(0, 6), black);
    QCOMPARE(image.pixel(10, 0), black);
    QCOMPARE(image.pixel(10, 12), black);
    QCOMPARE(image.pixel(7, 6), green);
    QCOMPARE(image.pixel(0, 0), bg);
    QCOMPARE(image.pixel(0, 12), bg);

    // The 65 x 65 rectangle covers 0 to 64 in both directions, with either pen.
    for (int pen : {1, 0}) {
        TMyShape rect;
        rect.Pen().setWidth(pen);
        image = render(rect);
        QCOMPARE(image.pixel(0, 0), black);
        QCOMPARE(image.pixel(64, 64), black);
        QCOMPARE(image.pixel(64, 0), black);
        QCOMPARE(image.pixel(32, 32), qRgb(255, 255, 255));
    }

    // The 80 x 40 circle stays within x 20 to 59.
    TMyShape circle;
    circle.resize(80, 40);
    circle.setShape(stMyCircle);
    image = render(circle);
    QCOMPARE(image.pixel(40, 20), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(19, 20), bg);
    QCOMPARE(image.pixel(60, 20), bg);
    QCOMPARE(image.pixel(20, 20), black);
    QCOMPARE(image.pixel(59, 20), black);

    // A figure value outside the enumeration paints nothing.
    TMyShape none;
    none.resize(20, 20);
    none.setShape(static_cast<TMyShapeType>(13));
    image = render(none);
    QCOMPARE(image.pixel(10, 10), bg);
    QCOMPARE(image.pixel(0, 0), bg);
}

// Round lamps and rounded rectangles: every painted pixel lies inside the figure's box, and the
// picture is the same mirrored left to right and top to bottom.
void TestMyShape::roundFiguresSymmetricInsideTheirBox_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("box");
    QTest::newRow("lamp 11 x 11") << int(stMyCircle) << QSize(11, 11) << QRect(0, 0, 11, 11);
    QTest::newRow("lamp 15 x 15") << int(stMyCircle) << QSize(15, 15) << QRect(0, 0, 15, 15);
    QTest::newRow("ellipse 30 x 17") << int(stMyEllipse) << QSize(30, 17) << QRect(0, 0, 30, 17);
    QTest::newRow("circle 80 x 40") << int(stMyCircle) << QSize(80, 40) << QRect(20, 0, 40, 40);
    QTest::newRow("rounded 40 x 21") << int(stMyRoundRect) << QSize(40, 21) << QRect(0, 0, 40, 21);
    QTest::newRow("rounded 65 x 65") << int(stMyRoundRect) << QSize(65, 65) << QRect(0, 0, 65, 65);
    QTest::newRow("rounded square 50 x 30")
        << int(stMyRoundSquare) << QSize(50, 30) << QRect(10, 0, 30, 30);
}

void TestMyShape::roundFiguresSymmetricInsideTheirBox() {
    QFETCH(int, shape);
    QFETCH(QSize, size);
    QFETCH(QRect, box);
    TMyShape s;
    s.resize(size);
    s.setShape(static_cast<TMyShapeType>(shape));
    s.Pen().setColor(QColor(0x80, 0x80, 0x80));
    s.Brush().setColor(QColor(0x00, 0xFF, 0x00));
    const QImage image = render(s);
    const QRgb bg = qRgb(0x12, 0x34, 0x56);
    int painted = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == bg)
                continue;
            ++painted;
            QVERIFY2(box.contains(x, y),
                     qPrintable(QStringLiteral("(%1, %2) outside").arg(x).arg(y)));
            const int mx = box.left() + box.right() - x, my = box.top() + box.bottom() - y;
            QVERIFY2(image.pixel(mx, y) == p && image.pixel(x, my) == p,
                     qPrintable(QStringLiteral("(%1, %2) has no mirror image").arg(x).arg(y)));
        }
    }
    // The figure reaches its box on all four sides.
    QVERIFY(painted > 0);
    const int cx = (box.left() + box.right()) / 2, cy = (box.top() + box.bottom()) / 2;
    QVERIFY(image.pixel(box.left(), cy) != bg && image.pixel(box.right(), cy) != bg);
    QVERIFY(image.pixel(cx, box.top()) != bg && image.pixel(cx, box.bottom()) != bg);
    // Outline grey, inside green.
    QCOMPARE(image.pixel(box.left(), cy), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(image.pixel(cx, cy), qRgb(0x00, 0xFF, 0x00));
}

void TestMyShape::valveHalvesBothFilled() {
    TMyShape valve;
    valve.resize(20, 10);
    valve.setShape(stMyVentHor);
    valve.Brush().setColor(Qt::red);
    const QImage image = render(valve);
    QCOMPARE(image.pixel(3, 4), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(16, 4), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(9, 1), qRgb(0x12, 0x34, 0x56));
}

void TestMyShape::defaultsAndOwnership() {
    TMyShape shape;
    QCOMPARE(shape.size(), QSize(65, 65));
    QCOMPARE(shape.Shape(), stMyRectangle);
    QCOMPARE(shape.Pen().color(), QColor(Qt::black));
    QCOMPARE(shape.Pen().width(), 1);
    QCOMPARE(shape.Brush().color(), QColor(Qt::white));
    QCOMPARE(shape.Brush().style(), Qt::SolidPattern);

    // Setting a brush copies it: the caller's object stays its own.
    TMyBrush mine;
    mine.setColor(Qt::blue);
    shape.setBrush(mine);
    QCOMPARE(shape.Brush().color(), QColor(Qt::blue));
    mine.setColor(Qt::yellow);
    QCOMPARE(shape.Brush().color(), QColor(Qt::blue));
    TMyPen pen;
    pen.setWidth(3);
    shape.setPen(pen);
    QCOMPARE(shape.Pen().width(), 3);
    QVERIFY(&shape.Pen() != &pen);
}

void TestMyShape::repaintOnlyOnChange() {
    TMyShape shape;
    int requests = shape.repaintRequests();
    shape.setShape(stMyRectangle);
    QCOMPARE(shape.repaintRequests(), requests);
    shape.setShape(stMyDiamond);
    QCOMPARE(shape.repaintRequests(), ++requests);
    shape.setShape(stMyDiamond);
    QCOMPARE(shape.repaintRequests(), requests);
    shape.Brush().setColor(Qt::green);
    QCOMPARE(shape.repaintRequests(), ++requests);
    shape.Pen().setColor(Qt::red);
    QCOMPARE(shape.repaintRequests(), ++requests);
    TMyBrush other;
    shape.setBrush(other);
    QCOMPARE(shape.repaintRequests(), ++requests);
}

void TestMyShape::transparentLeavesSeeThroughPixels() {
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(1, 2, qRgb(0, 0, 0));
    picture.setPixel(3, 3, qRgb(0xFE, 0xFF, 0xFF)); // near white is not see-through
    const QImage before = picture.copy();
    {
        QPainter p(&canvas);
        DrawTransparent(p, 2, 3, Qt::white, picture);
    }
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            QRgb expected = qRgb(255, 0, 0);
            if (x == 3 && y == 5)
                expected = qRgb(0, 0, 0);
            if (x == 5 && y == 6)
                expected = qRgb(0xFE, 0xFF, 0xFF);
            QCOMPARE(canvas.pixel(x, y), expected);
        }
    }
    QCOMPARE(picture, before);
}

void TestMyShape::transparentClipsAndDrawsPlainWithoutColour() {
    QImage canvas(6, 6, QImage::Format_RGB32);
    canvas.fill(Qt::red);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 0, qRgb(0, 0, 255));
    picture.setPixel(3, 3, qRgb(0, 0, 255)); // falls outside the canvas
    {
        QPainter p(&canvas);
        DrawTransparent(p, 4, 4, Qt::white, picture);
    }
    QCOMPARE(canvas.pixel(4, 4), qRgb(0, 0, 255));
    QCOMPARE(canvas.pixel(5, 5), qRgb(255, 0, 0));
    // No see-through colour: the picture is drawn as it is, white included.
    {
        QPainter p(&canvas);
        DrawTransparent(p, 0, 0, QColor(), picture);
    }
    QCOMPARE(canvas.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(canvas.pixel(0, 0), qRgb(0, 0, 255));
}

// The same picture is drawn every frame; a change to its pixels, or another see-through colour,
// shows at once.
void TestMyShape::transparentFollowsAChangedPictureAndColour() {
    QImage canvas(2, 1, QImage::Format_RGB32);
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 255, 255));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    const auto draw = [&](const QColor& seeThrough) {
        canvas.fill(Qt::red);
        QPainter p(&canvas);
        DrawTransparent(p, 0, 0, seeThrough, picture);
    };
    draw(Qt::white);
    QCOMPARE(canvas.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(canvas.pixel(1, 0), qRgb(0, 0, 255));
    picture.setPixel(0, 0, qRgb(0, 255, 0)); // changed in place, no other copy held
    draw(Qt::white);
    QCOMPARE(canvas.pixel(0, 0), qRgb(0, 255, 0));
    draw(QColor(0, 0, 255));
    QCOMPARE(canvas.pixel(0, 0), qRgb(0, 255, 0));
    QCOMPARE(canvas.pixel(1, 0), qRgb(255, 0, 0));
    draw(QColor());
    QCOMPARE(canvas.pixel(1, 0), qRgb(0, 0, 255));
}

QTEST_MAIN(TestMyShape)
#include "MyShapeTest.moc"
