#pragma once
// Draws a picture onto a canvas at its natural size, leaving every canvas pixel under a
// picture pixel of the see-through colour unchanged; every other picture pixel replaces the
// canvas pixel. An invalid see-through colour draws the picture plainly.
#include <QColor>
#include <QImage>

class QPainter;

void DrawTransparent(QPainter& canvas, int x, int y, const QColor& seeThrough,
                     const QImage& picture);
// The picture with every pixel of the see-through colour made fully transparent and every
// other pixel fully opaque; drawing it over a canvas gives the same result as DrawTransparent.
QImage seeThroughCopy(const QImage& picture, const QColor& seeThrough);
