#pragma once
// A mimic window over a prepared process image, with the failure count as a plain variable.
#include "ChargeFlow.h"
#include "MnemoUnit.h"
#include "ProcessImage.h"

#include <QFont>
#include <memory>

inline void mapStationFonts() {
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman"));
}

struct MimicRig {
    ProcessImage image;
    ImageData data;
    int failures = 0;
    std::unique_ptr<TMnemoForm> form;

    explicit MimicRig(const QString& langPath = QString()) { open(langPath); }
    void open(const QString& langPath = QString()) {
        form = std::make_unique<TMnemoForm>(
            image, [this] { return failures; }, langPath);
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
