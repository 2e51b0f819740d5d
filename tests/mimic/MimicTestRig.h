#pragma once
// A mimic window over a prepared process image, with the failure count as a plain variable.
#include "ChargeFlow.h"
#include "Fonts.h"
#include "MnemoUnit.h"
#include "ProcessImage.h"

#include "MimicWidgets.h"
#include "MyShape.h"

#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <memory>

// The station's own fonts, as the program installs them at start.
inline void mapStationFonts() {
    installFontSubstitutions();
}

struct MimicRig {
    ProcessImage image;
    ChargeFlow flow;
    ImageData data;
    int failures = 0;
    std::unique_ptr<TMnemoForm> form;

    explicit MimicRig(const QString& langPath = QString()) { open(langPath); }
    void open(const QString& langPath = QString()) {
        form = std::make_unique<TMnemoForm>(
            image, flow, [this] { return failures; }, langPath);
    }
    void closeWindow() {
        form->close();
        form.reset();
    }
    void set(int k, int value) { data.b[k] = static_cast<std::uint8_t>(value); }
    void setWord(int k, int value) {
        set(k, value & 0xFF);
        set(k + 1, (value >> 8) & 0xFF);
    }
    // Stores the prepared bytes as a good answer and runs one 500 ms tick.
    void tick() {
        image.update(data.b.data());
        form->DrawTimerTimer();
    }
};

// Reading the window as the operator sees it.
namespace probe {
inline const QColor kGreen(0x00, 0xFF, 0x00), kRed(0xFF, 0x00, 0x00), kSilver(0xC0, 0xC0, 0xC0);
inline const QRgb kWhite = qRgb(255, 255, 255);
inline const QRgb kCharge = qRgb(0x61, 0x30, 0x30);

inline QString fieldText(TMnemoForm& form, const char* name) {
    auto* field = form.findChild<QLineEdit*>(QString::fromLatin1(name));
    return field ? field->text() : QStringLiteral("<missing>");
}
inline QColor lampColour(TMnemoForm& form, const QString& name) {
    auto* lamp = form.findChild<TMyShape*>(name);
    return lamp ? lamp->Brush().color() : QColor();
}
inline QImage pictureOf(TMnemoForm& form, const char* name) {
    auto* picture = form.findChild<TPicture*>(QString::fromLatin1(name));
    return picture ? picture->picture() : QImage();
}
inline bool shown(TMnemoForm& form, const char* name) {
    auto* picture = form.findChild<TPicture*>(QString::fromLatin1(name));
    return picture && picture->isVisibleTo(&form);
}
// Pixels of the rectangle dark enough to be text (black, antialiased over the fill).
inline int darkPixels(const QImage& image, const QRect& r) {
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += qRed(image.pixel(x, y)) < 0x40 && qGreen(image.pixel(x, y)) < 0x40;
    return count;
}
} // namespace probe
