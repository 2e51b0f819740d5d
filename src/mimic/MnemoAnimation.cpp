// The animated pictures of the mimic window: each routine composes its picture off screen in
// layers (background, fill, artwork with a see-through colour, marks, text) and copies it onto
// its picture control in one operation.
#include "Colours.h"
#include "DrawTransparent.h"
#include "MimicArtwork.h"
#include "MimicLogic.h"
#include "MimicWidgets.h"
#include "MnemoUnit.h"
#include "RecentCache.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <utility>

namespace {
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kRed(colours::kRed);

// A filled polygon: outline and interior in one colour, so its edges belong to it.
void fillPolygon(QPainter& p, const QPolygon& polygon, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPolygon(polygon);
}

// The rectangle from (x1, y1) to (x2, y2), both corners included.
void fillBox(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour) {
    fillPolygon(p, QPolygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}), colour);
}

QFont tahoma7() {
    return QFont(QStringLiteral("Tahoma"), 7);
}
// The furnace bunkers' and carts' texts: "MS Sans Serif" 6 pt. The bitmap face has no strike
// that small (its smallest is 13 pixels, twice the height the 25-pixel bunkers leave room for),
// so the scalable "Tahoma" stands in at the same size.
QFont sansSerif6() {
    QFont f(QStringLiteral("MS Sans Serif"), 6);
    if (QFontInfo(f).pixelSize() > QFontInfo(QFont(QStringLiteral("Tahoma"), 6)).pixelSize() + 1)
        f = QFont(QStringLiteral("Tahoma"), 6);
    return f;
}

enum class Face { Tahoma7, SansSerif6 };

// Black text with a transparent background, its cell's top-left corner at (x, y), inside a
// one-pixel light halo, so that it reads on the dark charge colour as well as on white.
void drawHaloText(QPainter& p, int x, int y, const QString& text, const QFont& font) {
    p.setFont(font);
    p.setBrush(Qt::NoBrush);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
    p.setPen(Qt::white);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy)
                p.drawText(QRect(x + dx, y + dy, 200, 40), flags, text);
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, 200, 40), flags, text);
}

// Pixels a haloed text's picture keeps around the text's cell for the halo and the smoothed
// edges.
constexpr int kHaloMargin = 3;

// A haloed text drawn on a transparent picture, to be kept: the mimic writes the same few mode
// texts every half second, and laying each out nine times a frame was a quarter of all the
// station's allocations.
QImage haloTextPicture(const QString& text, const QFont& font) {
    // Measured on a picture like the ones the text goes onto, so the sizes agree.
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    const QRect cell = QFontMetrics(font, &probe)
                           .boundingRect(QRect(0, 0, 200, 40),
                                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    QImage picture(std::max(cell.right(), 0) + 1 + 2 * kHaloMargin,
                   std::max(cell.bottom(), 0) + 1 + 2 * kHaloMargin,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    drawHaloText(p, kHaloMargin, kHaloMargin, text, font);
    return picture;
}

void textAt(QPainter& p, int x, int y, const QString& text, Face face) {
    thread_local mimic::RecentCache<std::pair<QString, Face>, QImage, 16> texts;
    p.drawImage(x - kHaloMargin, y - kHaloMargin, texts.get({text, face}, [&] {
        return haloTextPicture(text, face == Face::Tahoma7 ? tahoma7() : sansSerif6());
    }));
}
} // namespace

void TMnemoForm::VesBunker(int level, int material, bool gateOpen, bool modeBit, TPicture* target) {
    if (offBunVes_.isNull())
        return;
    const QColor colour = QColor::fromRgb(colours::material(material));
    const int h = mimic::fillHeight(level, 38);
    {
        QPainter p(&offBunVes_);
        offBunVes_.fill(kWhite);
        fillBox(p, 1, 42 - h, 41, 42, colour);
        DrawTransparent(p, 0, 0, kWhite, mimic::MimicArtwork::get().picBunVes);
        if (gateOpen)
            fillPolygon(
                p, QPolygon({{23, 43}, {23, 47}, {25, 47}, {21, 53}, {17, 47}, {19, 47}, {19, 43}}),
                colour);
        else
            fillBox(p, 14, 43, 28, 45, kRed);
        textAt(p, 8, 3, modeText(mimic::modeBitText(modeBit)), Face::Tahoma7);
    }
    target->setPicture(offBunVes_);
}

void TMnemoForm::ZagBunker(int level, int material, bool feederRunning, TPicture* target) {
    if (offBunZag_.isNull())
        return;
    const QColor colour = QColor::fromRgb(colours::material(material));
    const int h = mimic::fillHeight(level, 55);
    {
        QPainter p(&offBunZag_);
        offBunZag_.fill(kWhite);
        fillBox(p, 1, 59 - h, 36, 59, colour);
        DrawTransparent(p, 0, 0, kWhite, mimic::MimicArtwork::get().picBunZag);
        if (feederRunning)
            fillPolygon(
                p, QPolygon({{21, 60}, {21, 64}, {23, 64}, {19, 70}, {15, 64}, {17, 64}, {17, 60}}),
                colour);
        else
            fillBox(p, 9, 60, 28, 62, kRed);
    }
    target->setPicture(offBunZag_);
}

void TMnemoForm::BigBunker(int level, bool modeBit, TPicture* target) {
    if (offBigBun_.isNull())
        return;
    const int h = mimic::fillHeight(level, 60);
    {
        QPainter p(&offBigBun_);
        offBigBun_.fill(kWhite);
        fillBox(p, 1, 70 - h, 89, 70, chargeColour_);
        DrawTransparent(p, 0, 0, kWhite, mimic::MimicArtwork::get().picBigBun);
        // Only bunker No. 2 and the intermediate bunker report a mode.
        if (target == imgBigBun2 || target == imgBigBunDown)
            textAt(p, 30, 9, modeText(mimic::modeBitText(modeBit)), Face::Tahoma7);
    }
    target->setPicture(offBigBun_);
}

void TMnemoForm::MoveSkip(int position) {
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    for (int segment = 0; segment < 4; ++segment)
        imgSkip_[segment]->setPicture(art.skip[segment][position == segment + 1 ? 1 : 0]);
}

namespace {
struct FurnaceBunker {
    int x1, x2, y1, y2;
    int textX, textY; // a negative x: no text
};
constexpr FurnaceBunker kPech1[8] = {{259, 284, 4, 39, 261, 4},   {228, 253, 7, 42, 230, 7},
                                     {166, 191, 13, 48, 168, 13}, {104, 129, 13, 48, 106, 13},
                                     {42, 68, 7, 42, 44, 7},      {11, 38, 4, 39, 13, 4},
                                     {73, 98, 10, 45, -1, 0},     {197, 222, 10, 45, -1, 0}};
constexpr FurnaceBunker kPech2[6] = {{209, 234, 3, 39, 211, 4},   {178, 203, 9, 45, 179, 10},
                                     {147, 172, 15, 51, 148, 16}, {85, 110, 15, 51, 86, 16},
                                     {54, 79, 9, 45, 55, 10},     {23, 48, 3, 39, 24, 4}};
} // namespace

void TMnemoForm::MovePech1(std::uint8_t fillBits, std::uint8_t modeBits) {
    if (offPech1_.isNull())
        return;
    {
        QPainter p(&offPech1_);
        offPech1_.fill(kWhite);
        for (int k = 0; k < 8; ++k) {
            if ((fillBits >> k) & 1)
                fillBox(p, kPech1[k].x1, kPech1[k].y1, kPech1[k].x2, kPech1[k].y2, chargeColour_);
        }
        DrawTransparent(p, -1, 0, kWhite, mimic::MimicArtwork::get().picPech1);
        for (int k = 0; k < 6; ++k)
            textAt(p, kPech1[k].textX, kPech1[k].textY,
                   modeText(mimic::modeBitText((modeBits >> k) & 1)), Face::SansSerif6);
    }
    imgBunPech1->setPicture(offPech1_);
}

void TMnemoForm::MovePech2(std::uint8_t fillBits, std::uint8_t modeBits) {
    if (offPech2_.isNull())
        return;
    {
        QPainter p(&offPech2_);
        offPech2_.fill(kWhite);
        for (int k = 0; k < 6; ++k) {
            if ((fillBits >> k) & 1)
                fillBox(p, kPech2[k].x1, kPech2[k].y1, kPech2[k].x2, kPech2[k].y2, chargeColour_);
        }
        DrawTransparent(p, 0, 0, kWhite, mimic::MimicArtwork::get().picPech2);
        for (int k = 0; k < 6; ++k)
            textAt(p, kPech2[k].textX, kPech2[k].textY,
                   modeText(mimic::modeBitText((modeBits >> k) & 1)), Face::SansSerif6);
    }
    imgBunPech2->setPicture(offPech2_);
}

void TMnemoForm::MoveTachka1(int x, bool loaded, bool gateOpen, bool modeBit) {
    drawCart(x, loaded, gateOpen, modeBit, imgTachka1);
}

void TMnemoForm::MoveTachka2(int x, bool loaded, bool gateOpen, bool modeBit) {
    drawCart(x, loaded, gateOpen, modeBit, imgTachka2);
}

// Both carts share one off-screen picture; only the strip they are copied onto differs.
void TMnemoForm::drawCart(int x, bool loaded, bool gateOpen, bool modeBit, TPicture* target) {
    if (offCart_.isNull())
        return;
    {
        QPainter p(&offCart_);
        // Cart strip: window colour, rail, body, wheels and hubs, gate, mode text.
        fillBox(p, 0, 0, 315, 43, mimic::kWindowColour);
        DrawTransparent(p, 0, 24, mimic::kRailSeeThrough, mimic::MimicArtwork::get().pol);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(loaded ? chargeColour_ : kWhite);
        p.drawPolygon(QPolygon(
            {{x + 6, 3}, {x + 6, 13}, {x + 28, 19}, {x + 39, 19}, {x + 61, 13}, {x + 61, 3}}));
        p.setBrush(Qt::black);
        p.drawEllipse(QRect(x, 10, 14, 14));
        p.drawEllipse(QRect(x + 53, 10, 14, 14));
        p.setBrush(QColor(0xC0, 0xC0, 0xC0));
        p.drawEllipse(QRect(x + 3, 13, 8, 8));
        p.drawEllipse(QRect(x + 56, 13, 8, 8));
        if (gateOpen)
            fillPolygon(p,
                        QPolygon({{x + 35, 20},
                                  {x + 35, 27},
                                  {x + 37, 27},
                                  {x + 33, 33},
                                  {x + 29, 27},
                                  {x + 31, 27},
                                  {x + 31, 20}}),
                        chargeColour_);
        else
            fillBox(p, x + 28, 20, x + 39, 22, kRed);
        textAt(p, x + 22, 4, modeText(mimic::modeBitText(modeBit)), Face::SansSerif6);
    }
    target->setPicture(offCart_);
}

void TMnemoForm::TranspTimerTimer() {
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    imgBigTransp->setPicture(art.bigTransp[bigTranspRunning_ && beltPhase_ ? 1 : 0]);
    imgTransp1->setPicture(art.transp[transp1Running_ && beltPhase_ ? 1 : 0]);
    imgTransp2->setPicture(art.transp[transp2Running_ && beltPhase_ ? 1 : 0]);
    beltPhase_ = !beltPhase_;
}
