// The mimic window's controls at their design positions.
#include "MimicArtwork.h"
#include "MimicLogic.h"
#include "MimicWidgets.h"
#include "MnemoUnit.h"
#include "MyShape.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
// Left edge of each doser column by control suffix 1 to 6.
constexpr std::array<int, 7> kColumnX = {0, 108, 298, 16, 250, 388, 156};
constexpr std::array<int, 7> kHopperX = {0, 106, 296, 16, 248, 386, 156};
// Lamps beside a doser column: 11 pixels wide, standing 5 pixels into the feed bunker's and
// the weigh hopper's pictures, where these narrow to their outlets.
constexpr int kLampWidth = 11;
constexpr int kLampInset = 5;
// Plant number of each control suffix.
constexpr std::array<int, 7> kPlantOfSuffix = {0, 5, 2, 6, 3, 1, 4};
// The column left of its label pair: dosers 6, 4 and 2.
bool leftOfPair(int suffix) {
    return suffix == 3 || suffix == 6 || suffix == 2;
}

QFont fontOf(const char* family, int points, bool bold = false) {
    QFont f(QString::fromLatin1(family), points);
    f.setBold(bold);
    return f;
}

QString name(const char* prefix, int suffix) {
    return QString::fromLatin1(prefix) + QString::number(suffix);
}
} // namespace

QLabel* TMnemoForm::label(const char* objName, int x, int y, int w, int h, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(objName));
    l->setFont(fontOf("Tahoma", 8));
    l->setGeometry(x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

TValueField* TMnemoForm::valueField(const char* objName, int x, int y, int w, int h, bool small) {
    auto* f =
        new TValueField(small ? fontOf("Tahoma", 7, true) : fontOf("MS Sans Serif", 8, true), this);
    f->setObjectName(QString::fromLatin1(objName));
    f->setGeometry(x, y, w, h);
    return f;
}

TMyShape* TMnemoForm::lamp(const char* objName, int x, int y, int size) {
    auto* l = new TMyShape(this);
    l->setObjectName(QString::fromLatin1(objName));
    l->setShape(stMyCircle);
    l->setGeometry(x, y, size, size);
    l->Pen().setColor(QColor(0x80, 0x80, 0x80));
    l->Brush().setColor(QColor(0xC0, 0xC0, 0xC0));
    return l;
}

TPicture* TMnemoForm::picture(const char* objName, int x, int y, int w, int h) {
    auto* p = new TPicture(this);
    p->setObjectName(QString::fromLatin1(objName));
    p->setGeometry(x, y, w, h);
    return p;
}

TPicture* TMnemoForm::fixedPicture(const char* objName, int x, int y, const QImage& art) {
    TPicture* p = picture(objName, x, y, art.width(), art.height());
    p->setPicture(art);
    p->setSeeThrough(true);
    p->hide();
    return p;
}

void TMnemoForm::createControls() {
    createEquipment();
    createDoserColumns();
    createFields();
}

void TMnemoForm::createDoserColumns() {
    // Row labels once between each pair of columns: dosers 6 and 5, 4 and 3, 2 and 1.
    struct Pair {
        int left, right;
        const char* labelSuffix;
    };
    static constexpr Pair kPairs[] = {{3, 1, "56"}, {6, 4, "34"}, {2, 5, "12"}};
    struct Row {
        const char* key;
        int y, h;
    };
    // The two-line fault labels stand level with their lamps (feeder lamps at y 122, gate
    // lamps at y 138): "ВП" on the feeder lamps' line, "Авар." of the gate label on the gate
    // lamps' line, so neither label runs into the other.
    static constexpr Row kRows[] = {
        {"labZad", 26, 16},     {"labSkZad", 42, 16}, {"labTekVes", 58, 16}, {"labAvrVP", 108, 26},
        {"labAvrZat", 137, 26}, {"labDoza", 163, 15}, {"labNull", 179, 15}};
    for (const Pair& pair : kPairs) {
        for (const Row& row : kRows) {
            // Value rows between the two columns' fields, lamp rows between the lamps.
            int from = kColumnX[pair.left] + 43, to = kColumnX[pair.right];
            if (row.y >= 163) { // beside the weigh hoppers
                from = kHopperX[pair.left] + 49 - kLampInset + kLampWidth;
                to = kHopperX[pair.right] + kLampInset - kLampWidth;
            } else if (row.y >= 78) { // beside the feed bunkers
                from = kColumnX[pair.left] + 43 - kLampInset + kLampWidth;
                to = kColumnX[pair.right] + kLampInset - kLampWidth;
            }
            const QByteArray n = QByteArray(row.key) + pair.labelSuffix;
            QLabel* l = label(n.constData(), from, row.y, to - from, row.h);
            l->setAlignment(Qt::AlignCenter);
        }
    }
    for (int suffix = 1; suffix <= 6; ++suffix) {
        DoserControls& c = dosers_[suffix];
        const int x = kColumnX[suffix];
        const int hx = kHopperX[suffix];
        const bool left = leftOfPair(suffix);
        QLabel* number = label(name("labNum", suffix).toLatin1().constData(), x, 2, 43, 22,
                               QString::number(kPlantOfSuffix[suffix]));
        number->setFont(fontOf("Tahoma", 12, true));
        number->setAlignment(Qt::AlignCenter);
        QPalette pal = number->palette();
        pal.setColor(QPalette::WindowText, Qt::blue);
        number->setPalette(pal);

        c.edZad = valueField(name("edZad", suffix).toLatin1().constData(), x, 26, 43, 16);
        c.edSkZad = valueField(name("edSkZad", suffix).toLatin1().constData(), x, 42, 43, 16);
        c.edTekVes = valueField(name("edTekVes", suffix).toLatin1().constData(), x, 58, 43, 16);
        c.imgBunZag = picture(name("imgBunZag", suffix).toLatin1().constData(), x, 78, 43, 71);
        c.imgBunVes = picture(name("imgBunVes", suffix).toLatin1().constData(), hx, 150, 49, 54);
        // Lamps stand just as far into the free space beside the bunker on either side.
        const int circleX = left ? x + 43 - kLampInset : x + kLampInset - kLampWidth;
        c.ledAvVp = lamp(name("ledAvVp", suffix).toLatin1().constData(), circleX, 122);
        c.ledAvZat = lamp(name("ledAvZat", suffix).toLatin1().constData(), circleX, 138);
        // Triangles point away from the label they share with the neighbour column.
        const int triangleX = left ? hx + 49 - kLampInset : hx + kLampInset - kLampWidth;
        const TMyShapeType kind = left ? stMyTriangleLeft : stMyTriangleRight;
        c.ledDoza = lamp(name("ledDoza", suffix).toLatin1().constData(), triangleX, 164);
        c.ledNull = lamp(name("ledNull", suffix).toLatin1().constData(), triangleX, 180);
        for (TMyShape* t : {c.ledDoza, c.ledNull}) {
            t->setShape(kind);
            t->resize(11, 13);
        }
    }

    // Load-cell lamps in plant order 6, 5, 4, 3, 2, 1 under their title.
    label("labTenz", 780, 2, 165, 28);
    auto* panTenz = new QFrame(this);
    panTenz->setObjectName(QStringLiteral("panTenz"));
    panTenz->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panTenz->setGeometry(780, 32, 160, 44);
    static constexpr int kTenzOrder[] = {3, 1, 6, 4, 2, 5};
    for (int i = 0; i < 6; ++i) {
        const int suffix = kTenzOrder[i];
        auto* number = new QLabel(QString::number(kPlantOfSuffix[suffix]), panTenz);
        number->setObjectName(name("labTenzNum", suffix));
        number->setFont(fontOf("Tahoma", 9, true));
        number->setAlignment(Qt::AlignCenter);
        number->setGeometry(8 + i * 25, 3, 15, 15);
        QPalette pal = number->palette();
        pal.setColor(QPalette::WindowText, Qt::blue);
        number->setPalette(pal);
        TMyShape* l = lamp(name("ledTenz", suffix).toLatin1().constData(), 0, 0, 15);
        l->setParent(panTenz);
        l->setGeometry(8 + i * 25, 21, 15, 15);
        dosers_[suffix].ledTenz = l;
    }
}

void TMnemoForm::createEquipment() {
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    imgBigTransp = picture("imgBigTransp", 0, 204, 419, 39);
    for (int s = 0; s < 4; ++s) {
        const auto* r = &mimic::kSkipSegments[s * 4];
        imgSkip_[s] =
            picture(name("imgSkip", s + 1).toLatin1().constData(), r[0], r[1], r[2], r[3]);
    }
    imgBigBunUp = picture("imgBigBunUp", 648, 156, 102, 71);
    imgTransp1 = picture("imgTransp1", 566, 252, 217, 20);
    imgBigBun2 = picture("imgBigBun2", 502, 288, 102, 71);
    imgBigBun1 = picture("imgBigBun1", 744, 288, 102, 71);
    imgTransp2 = picture("imgTransp2", 342, 382, 217, 20);
    imgBigBunDown = picture("imgBigBunDown", 270, 414, 102, 71);
    imgStok = picture("imgStok", 778, 357, 63, 136);
    imgTachka2 = picture("imgTachka2", 142, 508, 315, 35);
    imgTachka1 = picture("imgTachka1", 678, 506, 315, 35);
    imgBunPech2 = picture("imgBunPech2", 184, 568, 261, 83);
    imgBunPech1 = picture("imgBunPech1", 686, 568, 300, 83);

    imgArrBigBun2 = fixedPicture("imgArrBigBun2", 542, 359, art.arrowDown);
    imgZatBigBun2 = fixedPicture("imgZatBigBun2", 536, 359, art.gateBar);
    imgArrBigBunDown = fixedPicture("imgArrBigBunDown", 310, 485, art.arrowDown);
    imgZatBigBunDown = fixedPicture("imgZatBigBunDown", 304, 485, art.gateBar);
    imgArrFromSkip = fixedPicture("imgArrFromSkip", 682, 101, art.arrowBendRight);
    imgTr1ArrRight = fixedPicture("imgTr1ArrRight", 784, 259, art.arrowBendRight);
    imgTr1ArrLeft = fixedPicture("imgTr1ArrLeft", 548, 259, art.arrowBendLeft);
    imgArrSkipDown = fixedPicture("imgArrSkipDown", 500, 253, art.arrowSkipDown);
    imgArrSkipUp = fixedPicture("imgArrSkipUp", 578, 191, art.arrowSkipUp);
    imgTr2Arr = fixedPicture("imgTr2Arr", 320, 385, art.arrowBendLeft);
    imgArrToSkip = fixedPicture("imgArrToSkip", 408, 225, art.arrowBendRight);
}

void TMnemoForm::createFields() {
    // Modes of the two sections' dosers.
    label("labRegRKO1", 440, 6, 110, 28);
    edRegDoz1 = valueField("edRegDoz1", 552, 12, 42, 16);
    label("labRegRTP2", 440, 44, 110, 28);
    edRegDoz2 = valueField("edRegDoz2", 552, 50, 42, 16);

    // Clock and close button at the top right.
    auto* clock = new QFrame(this);
    clock->setObjectName(QStringLiteral("panClock"));
    clock->setGeometry(951, 4, 77, 37);
    clock->setAutoFillBackground(true);
    QPalette black = clock->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, QColor(0x00, 0xFF, 0x00));
    clock->setPalette(black);
    LblDate = new QLabel(clock);
    LblDate->setObjectName(QStringLiteral("LblDate"));
    LblTime = new QLabel(clock);
    LblTime->setObjectName(QStringLiteral("LblTime"));
    LblDate->setGeometry(0, 2, 77, 16);
    LblTime->setGeometry(0, 19, 77, 16);
    for (QLabel* l : {LblDate, LblTime}) {
        l->setFont(fontOf("MS Sans Serif", 8, true));
        l->setAlignment(Qt::AlignCenter);
    }
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(951, 46, 77, 25);
    btnClose->setIcon(mimic::MimicArtwork::get().closeGlyph);
    btnClose->setFocusPolicy(Qt::TabFocus);

    // Skip.
    label("labRegSkip", 800, 86, 178, 16);
    edRegSkip = valueField("edRegSkip", 980, 85, 45, 16, true);
    label("labTimeUpSkip", 800, 104, 178, 16);
    edTimeSkipUp = valueField("edTimeSkipUp", 980, 103, 45, 16);
    label("labTimeDownSkip", 800, 122, 178, 16);
    edTimeSkipDown = valueField("edTimeSkipDown", 980, 121, 45, 16);
    ledSkipUp = lamp("ledSkipUp", 800, 144);
    label("labUpSkip", 815, 141, 160, 16);
    ledSkipDown = lamp("ledSkipDown", 800, 160);
    label("labDownSkip", 815, 157, 160, 16);
    ledAvrSkip = lamp("ledAvrSkip", 800, 176);
    label("labAvrSkip", 815, 173, 160, 16);
    label("labBigBunUp", 756, 196, 90, 28);

    // Collecting conveyor.
    label("labBigTransp", 8, 246, 200, 16);
    label("labRegBigTransp", 8, 263, 180, 16);
    edRegBigTransp = valueField("edRegBigTransp", 190, 262, 42, 16, true);
    ledAvrBigTransp = lamp("ledAvrBigTransp", 8, 285);
    label("labAvrBigTransp", 23, 282, 170, 16);

    // Charge conveyor and the bunkers of dosed charge.
    label("labTransp1", 610, 274, 132, 16);
    label("labRegTransp1", 610, 290, 88, 28);
    edRegTransp1 = valueField("edRegTransp1", 698, 296, 42, 16, true);
    ledAvrTransp1 = lamp("ledAvrTransp1", 610, 324);
    label("labAvrTransp1", 625, 321, 118, 16);
    label("labBigBun1", 850, 292, 150, 42);
    label("labBigBun2", 420, 340, 112, 42);
    ledAvrBigBun2 = lamp("ledAvrBigBun2", 564, 362);
    label("labAvrBigBun2", 579, 359, 190, 16);
    ledNeBigBun2 = lamp("ledNeBigBun2", 564, 378);
    label("labNeBigBun2", 579, 375, 195, 16);

    // Loading conveyor and the intermediate bunker.
    label("labTransp2", 380, 404, 180, 16);
    label("labRegTransp2", 380, 420, 100, 28);
    edRegTransp2 = valueField("edRegTransp2", 484, 426, 42, 16, true);
    ledAvrTransp2 = lamp("ledAvrTransp2", 380, 452);
    label("labAvrTransp2", 395, 449, 170, 16);
    ledAvrBigBunDown = lamp("ledAvrBigBunDown", 380, 468);
    label("labAvrBigBunDown", 395, 465, 170, 16);
    ledNeBigBunDown = lamp("ledNeBigBunDown", 380, 484);
    label("labNeBigBunDown", 395, 481, 190, 16);
    label("labBigBunDown", 176, 452, 94, 28);

    // Furnace 2.
    label("labZadCalosh2", 8, 306, 130, 16);
    edKalZad2 = valueField("edKalZad2", 146, 305, 42, 16);
    label("labTekCalosh2", 8, 324, 130, 16);
    edKalTek2 = valueField("edKalTek2", 146, 323, 42, 16);
    label("labPosTel2", 8, 342, 130, 16);
    edPosTel2 = valueField("edPosTel2", 146, 341, 42, 16);
    label("labRegPech2", 8, 362, 130, 42);
    edRegPech2 = valueField("edRegPech2", 146, 374, 42, 16);
    ledAvrZatTel2 = lamp("ledAvrZatTel2", 8, 414);
    label("labAvrZatTel2", 23, 411, 160, 16);
    ledAvrTel2 = lamp("ledAvrTel2", 8, 430);
    label("labAvrTel2", 23, 427, 160, 16);

    // Furnace 1.
    label("labZadCalosh", 850, 352, 128, 16);
    edKalZad = valueField("edKalZad", 980, 351, 45, 16);
    label("labTekCalosh", 850, 370, 128, 16);
    edKalTek = valueField("edKalTek", 980, 369, 45, 16);
    label("labPosTel1", 850, 388, 128, 16);
    edPosTel1 = valueField("edPosTel1", 980, 387, 45, 16);
    label("labRegPech1", 850, 406, 128, 42);
    edRegPech1 = valueField("edRegPech1", 980, 418, 45, 16);
    ledAvrZatTel1 = lamp("ledAvrZatTel1", 850, 454);
    label("labAvrZatTel1", 865, 451, 165, 16);
    ledAvrTel1 = lamp("ledAvrTel1", 850, 470);
    label("labAvrTel1", 865, 467, 165, 16);

    // Cart position lamps under the strips, each over the furnace bunker of its number, with
    // the position number beside it.
    for (int pos = 0; pos <= 8; ++pos) {
        const int x = 678 + mimic::kCart1Offsets[pos] + mimic::kCartWidth / 2 - 9;
        led1_[pos] = lamp(QStringLiteral("led1_%1").arg(pos).toLatin1().constData(), x, 547);
        QLabel* n = label(QStringLiteral("labPos1_%1").arg(pos).toLatin1().constData(), x + 12, 544,
                          9, 16, QString::number(pos));
        n->setFont(fontOf("Tahoma", 7));
    }
    for (int pos = 0; pos <= 6; ++pos) {
        const int x = 142 + mimic::kCart2Offsets[pos] + mimic::kCartWidth / 2 - 9;
        led2_[pos] = lamp(QStringLiteral("led2_%1").arg(pos).toLatin1().constData(), x, 549);
        QLabel* n = label(QStringLiteral("labPos2_%1").arg(pos).toLatin1().constData(), x + 12, 546,
                          9, 16, QString::number(pos));
        n->setFont(fontOf("Tahoma", 7));
    }

    // Connection panels and the controller's mechanisms mode between the furnaces.
    label("labConSost", 470, 570, 160, 16);
    ledConSU1 = new TPanelLamp(QColor(0x00, 0xFF, 0x00), this);
    ledConSU2 = new TPanelLamp(QColor(0x00, 0xFF, 0x00), this);
    ledConSVU = new TPanelLamp(QColor(0x00, 0xFF, 0x00), this);
    int x = 470;
    for (TPanelLamp* p : {ledConSU1, ledConSU2, ledConSVU}) {
        p->setGeometry(x, 590, 48, 22);
        p->setFont(fontOf("MS Sans Serif", 8));
        x += 54;
    }
    ledConSU1->setObjectName(QStringLiteral("ledConSU1"));
    ledConSU2->setObjectName(QStringLiteral("ledConSU2"));
    ledConSVU->setObjectName(QStringLiteral("ledConSVU"));
    label("labRegMeh", 462, 624, 210, 16);
    edRegMeh = valueField("edRegMeh", 530, 642, 45, 16);

    // Section names under the furnaces; the two upper panels stay hidden.
    const QColor cyan(0x80, 0xFF, 0xFF), green(0x80, 0xFF, 0x80);
    pan21 = new TPanelLamp(cyan, this);
    pan21->setGeometry(686, 656, 300, 22);
    pan22 = new TPanelLamp(green, this);
    pan22->setGeometry(184, 656, 261, 22);
    pan11 = new TPanelLamp(cyan, this);
    pan11->setGeometry(440, 84, 70, 20);
    pan12 = new TPanelLamp(green, this);
    pan12->setGeometry(516, 84, 70, 20);
    const char* names[] = {"pan21", "pan22", "pan11", "pan12"};
    int i = 0;
    for (TPanelLamp* p : {pan21, pan22, pan11, pan12}) {
        p->setObjectName(QString::fromLatin1(names[i++]));
        p->setFont(fontOf("MS Sans Serif", 8, true));
    }
    pan11->hide();
    pan12->hide();
}
