#include "MimicWidgets.h"

#include <QPainter>
#include <QStyleOptionFrame>
#include <cstring>

TPicture::TPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPicture::setSeeThrough(bool seeThrough) {
    seeThrough_ = seeThrough;
    setAttribute(Qt::WA_OpaquePaintEvent, !seeThrough);
    update();
}

void TPicture::setPicture(const QImage& picture) {
    // A picture composed anew each frame is copied into the one already shown, when that one is
    // this control's alone and of the same shape: the composing picture then stays unshared,
    // and neither side allocates a frame's worth of pixels every half second. A shared picture
    // (the fixed artwork) is only referred to.
    if (&picture != &picture_ && picture_.isDetached() && picture_.size() == picture.size() &&
        picture_.format() == picture.format() && picture_.bytesPerLine() == picture.bytesPerLine())
        std::memcpy(picture_.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
    else
        picture_ = picture;
    update();
}

QImage TPicture::shown() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter p(&image);
    p.drawImage(0, 0, picture_);
    return image;
}

void TPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!seeThrough_ && (picture_.width() < width() || picture_.height() < height()))
        p.fillRect(rect(), palette().color(QPalette::Window));
    p.drawImage(0, 0, picture_);
}

TValueField::TValueField(const QFont& font, QWidget* parent)
    : QLineEdit(parent), designFont_(font) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFont(font);
    setFrame(false);
    setTextMargins(2, 0, 2, 0);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xB7));
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    connect(this, &QLineEdit::textChanged, this, &TValueField::fitText);
}

int TValueField::textRoom() const {
    // The edit keeps two pixels of its own beside the text margins.
    const QMargins m = textMargins();
    return width() - m.left() - m.right() - 4;
}

void TValueField::fitText() {
    QFont f = designFont_;
    for (int stretch = 95; stretch >= 50 && QFontMetrics(f).horizontalAdvance(text()) > textRoom();
         stretch -= 5)
        f.setStretch(stretch);
    if (f != font())
        setFont(f);
    // A text that fits is never scrolled: show it from its first character.
    setCursorPosition(0);
}

// A sunken edit-box border drawn in two pixels, so that the text keeps the small field's
// height (the style's own frame needs more room than these fields have).
void TValueField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter p(this);
    const int r = width() - 1, b = height() - 1;
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, r, 0);
    p.drawLine(0, 0, 0, b);
    p.setPen(Qt::white);
    p.drawLine(0, b, r, b);
    p.drawLine(r, 0, r, b);
}

TPanelLamp::TPanelLamp(const QColor& colour, QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setColour(colour);
}

void TPanelLamp::setColour(const QColor& colour) {
    if (colour == colour_)
        return;
    colour_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}
