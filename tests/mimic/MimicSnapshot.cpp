// Renders the mimic window over a prepared process image to a PNG file:
//   mimic_snapshot OUT.png
// The image shows dosers at work, the skip at the top, the charge conveyor running towards
// bunker No. 1, both carts at a furnace bunker, and a few faults, so every kind of element
// shows a non-idle state.
#include "ChargeFlow.h"
#include "Fonts.h"
#include "MnemoUnit.h"
#include "ProcessImage.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: mimic_snapshot OUT.png\n");
        return 2;
    }
    installFontSubstitutions();
    ProcessImage image;
    std::array<std::uint8_t, 130> d{};
    auto word = [&](int k, int v) {
        d[k] = v & 0xFF;
        d[k + 1] = (v >> 8) & 0xFF;
    };
    d[0] = 0x01 | 0x08 | 0x20;
    word(2, 1500), d[4] = 2, word(5, 800), d[7] = 5;
    word(9, 1490), word(11, 805), d[13] = 12, d[14] = 7;
    word(15, 640), word(17, -3);
    d[19] = 0x01 | 0x40;
    d[20] = 0x04, d[22] = 0x3B, d[23] = 0x02 | 0x20, d[24] = 0x40, d[25] = 0x02;
    d[26] = 3, d[27] = 2, d[28] = 3;
    d[30] = 0x01 | 0x04 | 0x10 | 0x20;
    d[31] = 0x15;
    const int zad[] = {2200, 1800, 900, 1200}, mat[] = {3, 4, 7, 12};
    for (int i = 0; i < 4; ++i) {
        word(32 + 3 * i, zad[i]);
        d[34 + 3 * i] = mat[i];
        word(45 + 2 * i, zad[i] - 10);
        word(55 + 2 * i, zad[i] / (i + 2));
    }
    d[53] = 10, d[54] = 4;
    word(63, 130), word(65, 60);
    d[67] = 0x11, d[68] = 0x04, d[69] = 0x01 | 0x10 | 0x40, d[70] = 0x08, d[71] = 0x27;
    d[72] = 0x21, d[73] = 0x04, d[74] = 0x80, d[75] = 0x40;
    d[77] = 1, d[78] = 3, d[79] = 3;
    d[80] = 0x05, d[81] = 0x08 | 0x10 | 0x80, d[82] = 0x01, d[83] = 0x00, d[84] = 0x40;
    d[85] = 3, d[86] = 42, d[87] = 38;

    ChargeFlow flow;
    TMnemoForm form(
        image, flow, [] { return 0; }, QString());
    form.setClock([] { return QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)); });
    // Skip at the top, then the conveyor towards bunker No. 1: run a few refreshes so the
    // receiving bunker and bunker No. 1 show their levels.
    std::array<std::uint8_t, 130> first = d;
    first[81] = 0x08 | 0x80;
    image.update(first.data());
    form.DrawTimerTimer();
    image.update(d.data());
    for (int i = 0; i < 6; ++i) {
        form.DrawTimerTimer();
        form.TranspTimerTimer();
    }
    form.show();
    app.processEvents();
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
