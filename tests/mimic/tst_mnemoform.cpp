// The mimic window over prepared process images: values and their formats, lamps, mode texts,
// arrows and gates, the animated pictures probed pixel by pixel, the belt animation, the
// receiving bunker and bunker No. 1 across windows, language texts and closing.
#include "MainTexts.h"
#include "MaterialColours.h"
#include "MimicArtwork.h"
#include "MimicTestRig.h"
#include "MimicWidgets.h"
#include "MyShape.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QColor kGreen(0x00, 0xFF, 0x00), kRed(0xFF, 0x00, 0x00), kSilver(0xC0, 0xC0, 0xC0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kCharge = qRgb(0x61, 0x30, 0x30);

QString fieldText(TMnemoForm& form, const char* name) {
    auto* field = form.findChild<QLineEdit*>(QString::fromLatin1(name));
    return field ? field->text() : QStringLiteral("<missing>");
}
QColor lampColour(TMnemoForm& form, const QString& name) {
    auto* lamp = form.findChild<TMyShape*>(name);
    return lamp ? lamp->Brush().color() : QColor();
}
QImage pictureOf(TMnemoForm& form, const char* name) {
    auto* picture = form.findChild<TPicture*>(QString::fromLatin1(name));
    return picture ? picture->picture() : QImage();
}
bool shown(TMnemoForm& form, const char* name) {
    auto* picture = form.findChild<TPicture*>(QString::fromLatin1(name));
    return picture && picture->isVisibleTo(&form);
}
// Pixels of the rectangle dark enough to be text (black, antialiased over the fill).
int darkPixels(const QImage& image, const QRect& r) {
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += qRed(image.pixel(x, y)) < 0x40 && qGreen(image.pixel(x, y)) < 0x40;
    return count;
}
} // namespace

class TestMnemoForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { mapStationFonts(); }
    void init() { ChargeFlow::program().reset(); }

    void designSizeAndStartState();
    void numberFormats_data();
    void numberFormats();
    void doserColumnsFollowTheirSources_data();
    void doserColumnsFollowTheirSources();
    void lampsByBit_data();
    void lampsByBit();
    void modeTexts_data();
    void modeTexts();
    void weighHopperFill_data();
    void weighHopperFill();
    void unknownMaterialDrawsBlack();
    void bigBunkerLevels();
    void furnace1AllFilled();
    void furnace2FillAndText();
    void cartsStayInsideTheirStrips();
    void cartLampsAndPosition();
    void skipPositionAndLamps_data();
    void skipPositionAndLamps();
    void arrowsAndGates();
    void connectionPanels();
    void beltAnimation();
    void byte81SequencesAcrossWindows();
    void languageTexts();
    void clockShowsInjectedTime();
    void closingStopsTimersFirst();
    void closesAsAChildOfTheFrame();
};

void TestMnemoForm::designSizeAndStartState() {
    MimicRig rig;
    TMnemoForm& form = *rig.form;
    QCOMPARE(form.size(), QSize(1036, 737));
    QCOMPARE(form.windowTitle(), QStringLiteral("Мнемосхема"));
    QVERIFY(form.timersActive());
    // Until the first tick: fields empty, lamps silver, connection panels green.
    QCOMPARE(fieldText(form, "edTekVes5"), QString());
    QCOMPARE(lampColour(form, "ledAvVp5"), kSilver);
    QCOMPARE(form.findChild<TPanelLamp*>("ledConSVU")->colour(), kGreen);
    QCOMPARE(form.cart1X(), 122);
    QCOMPARE(form.cart2X(), 140);
    // Positions of a few controls of every kind.
    const std::pair<const char*, QRect> places[] = {
        {"imgBunZag3", QRect(16, 78, 43, 71)},      {"imgBunVes2", QRect(296, 150, 49, 54)},
        {"edZad5", QRect(388, 26, 43, 16)},         {"edSkZad6", QRect(156, 42, 43, 16)},
        {"imgBigBunUp", QRect(648, 156, 102, 71)},  {"imgTachka1", QRect(678, 506, 315, 35)},
        {"imgSkip4", QRect(598, 24, 77, 107)},      {"imgStok", QRect(778, 357, 63, 136)},
        {"imgTr1ArrLeft", QRect(548, 259, 17, 28)}, {"imgZatBigBun2", QRect(536, 359, 22, 3)},
        {"imgBunPech1", QRect(686, 568, 300, 83)},  {"imgBigTransp", QRect(0, 204, 419, 39)},
    };
    for (const auto& [name, rect] : places) {
        auto* w = form.findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(w, name);
        QCOMPARE(w->geometry(), rect);
    }
    // Triangles point away from the label they share with the neighbour column.
    QCOMPARE(form.findChild<TMyShape*>("ledDoza6")->Shape(), stMyTriangleLeft);  // doser 4
    QCOMPARE(form.findChild<TMyShape*>("ledNull5")->Shape(), stMyTriangleRight); // doser 1
    QCOMPARE(form.findChild<TMyShape*>("ledDoza3")->size(), QSize(11, 13));
    QVERIFY(!form.findChild<QWidget*>("pan11")->isVisibleTo(&form));
    QCOMPARE(form.findChild<QLabel*>("pan21")->text(), MainTextStore::get()->lngRKO1);
    QCOMPARE(form.findChild<QLabel*>("pan22")->text(), MainTextStore::get()->lngRTP2);
}

void TestMnemoForm::numberFormats_data() {
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("setpoint");
    QTest::newRow("FF FF") << 0xFF << 0xFF << "-1"
                           << "65535";
    QTest::newRow("00 80") << 0x00 << 0x80 << "-32768"
                           << "32768";
    QTest::newRow("E8 03") << 0xE8 << 0x03 << "1000"
                           << "1000";
    QTest::newRow("zero") << 0 << 0 << "0"
                          << "0";
}

void TestMnemoForm::numberFormats() {
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(QString, weight);
    QFETCH(QString, setpoint);
    MimicRig rig;
    rig.set(15, lo), rig.set(16, hi); // doser 1 weight (signed)
    rig.set(2, lo), rig.set(3, hi);   // doser 1 setpoint (unsigned)
    rig.set(86, 250);
    rig.tick();
    QCOMPARE(fieldText(*rig.form, "edTekVes5"), weight);
    QCOMPARE(fieldText(*rig.form, "edZad5"), setpoint);
    QCOMPARE(fieldText(*rig.form, "edTimeSkipUp"), QStringLiteral("250"));
}

void TestMnemoForm::doserColumnsFollowTheirSources_data() {
    QTest::addColumn<int>("suffix");
    QTest::addColumn<int>("zad");
    QTest::addColumn<int>("skZad");
    QTest::addColumn<int>("weight");
    QTest::newRow("doser 1") << 5 << 2 << 9 << 15;
    QTest::newRow("doser 4") << 6 << 5 << 11 << 17;
    QTest::newRow("doser 5") << 1 << 32 << 45 << 55;
    QTest::newRow("doser 2") << 2 << 35 << 47 << 57;
    QTest::newRow("doser 6") << 3 << 38 << 49 << 59;
    QTest::newRow("doser 3") << 4 << 41 << 51 << 61;
}

void TestMnemoForm::doserColumnsFollowTheirSources() {
    QFETCH(int, suffix);
    QFETCH(int, zad);
    QFETCH(int, skZad);
    QFETCH(int, weight);
    MimicRig rig;
    rig.setWord(zad, 1111);
    rig.setWord(skZad, 2222);
    rig.setWord(weight, 333);
    rig.tick();
    // Every column shows only its own doser's values.
    for (int s = 1; s <= 6; ++s) {
        const bool own = s == suffix;
        QCOMPARE(fieldText(*rig.form, QStringLiteral("edZad%1").arg(s).toLatin1()),
                 own ? QStringLiteral("1111") : QStringLiteral("0"));
        QCOMPARE(fieldText(*rig.form, QStringLiteral("edSkZad%1").arg(s).toLatin1()),
                 own ? QStringLiteral("2222") : QStringLiteral("0"));
        QCOMPARE(fieldText(*rig.form, QStringLiteral("edTekVes%1").arg(s).toLatin1()),
                 own ? QStringLiteral("333") : QStringLiteral("0"));
    }
}

void TestMnemoForm::lampsByBit_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("lamp");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("doser 1 dose") << 23 << 0 << "ledDoza5" << kGreen;
    QTest::newRow("doser 4 zero weight") << 23 << 5 << "ledNull6" << kGreen;
    QTest::newRow("doser 6 dose") << 72 << 2 << "ledDoza3" << kGreen;
    QTest::newRow("doser 3 zero weight") << 72 << 7 << "ledNull4" << kGreen;
    QTest::newRow("doser 1 feeder fault") << 24 << 4 << "ledAvVp5" << kRed;
    QTest::newRow("doser 4 gate fault") << 24 << 7 << "ledAvZat6" << kRed;
    QTest::newRow("doser 2 feeder fault") << 74 << 1 << "ledAvVp2" << kRed;
    QTest::newRow("doser 3 gate fault") << 74 << 7 << "ledAvZat4" << kRed;
    QTest::newRow("doser 4 load cell") << 24 << 1 << "ledTenz6" << kRed;
    QTest::newRow("doser 5 load cell") << 73 << 0 << "ledTenz1" << kRed;
    QTest::newRow("cart 1 gate fault") << 25 << 0 << "ledAvrZatTel1" << kRed;
    QTest::newRow("cart 1 fault") << 25 << 1 << "ledAvrTel1" << kRed;
    QTest::newRow("bunker 2 gate fault") << 75 << 0 << "ledAvrBigBun2" << kRed;
    QTest::newRow("loading conveyor fault") << 75 << 1 << "ledAvrTransp2" << kRed;
    QTest::newRow("intermediate feeder fault") << 75 << 2 << "ledAvrBigBunDown" << kRed;
    QTest::newRow("cart 2 gate fault") << 75 << 3 << "ledAvrZatTel2" << kRed;
    QTest::newRow("cart 2 fault") << 75 << 4 << "ledAvrTel2" << kRed;
    QTest::newRow("bunker 2 gauge") << 75 << 6 << "ledNeBigBun2" << kRed;
    QTest::newRow("intermediate gauge") << 75 << 7 << "ledNeBigBunDown" << kRed;
    QTest::newRow("skip fault") << 83 << 0 << "ledAvrSkip" << kRed;
    QTest::newRow("collecting conveyor fault") << 83 << 1 << "ledAvrBigTransp" << kRed;
    QTest::newRow("charge conveyor fault") << 83 << 2 << "ledAvrTransp1" << kRed;
    QTest::newRow("cart 2 at 6") << 70 << 6 << "led2_6" << kGreen;
}

void TestMnemoForm::lampsByBit() {
    QFETCH(int, byte);
    QFETCH(int, bit);
    QFETCH(QString, lamp);
    QFETCH(QColor, colour);
    MimicRig rig;
    rig.tick();
    QCOMPARE(lampColour(*rig.form, lamp), kSilver);
    rig.set(byte, 1 << bit);
    rig.tick();
    QCOMPARE(lampColour(*rig.form, lamp), colour);
    rig.set(byte, 0);
    rig.tick();
    QCOMPARE(lampColour(*rig.form, lamp), kSilver);
}

void TestMnemoForm::modeTexts_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << "МЕСТ";
    QTest::newRow("2") << 2 << "ДИСТ";
    QTest::newRow("3") << 3 << "АВТО";
    QTest::newRow("4") << 4 << "";
}

void TestMnemoForm::modeTexts() {
    QFETCH(int, value);
    QFETCH(QString, text);
    MimicRig rig;
    for (int k : {26, 77, 85, 27, 78})
        rig.set(k, value);
    rig.set(80, value & 0x07); // mode bits of the conveyors and the skip
    rig.set(30, (value & 1) << 5);
    rig.tick();
    for (const char* name : {"edRegDoz1", "edRegDoz2", "edRegMeh", "edRegPech1", "edRegPech2"})
        QCOMPARE(fieldText(*rig.form, name), text);
    const QString bit0 = (value & 1) ? "ДИСТ" : "МЕСТ";
    QCOMPARE(fieldText(*rig.form, "edRegBigTransp"), bit0);
    QCOMPARE(fieldText(*rig.form, "edRegTransp2"), bit0);
    QCOMPARE(fieldText(*rig.form, "edRegTransp1"), QString((value & 2) ? "ДИСТ" : "МЕСТ"));
    QCOMPARE(fieldText(*rig.form, "edRegSkip"), QString((value & 4) ? "ДИСТ" : "МЕСТ"));
}

void TestMnemoForm::weighHopperFill_data() {
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("row41");
    QTest::addColumn<bool>("row40");
    QTest::addColumn<bool>("row20");
    QTest::newRow("15 kg: level 2, h 1") << 15 << true << false << false;
    QTest::newRow("25 kg: level 2, h 1") << 25 << true << false << false;
    QTest::newRow("4 kg: level 0") << 4 << false << false << false;
    QTest::newRow("1000 kg: full") << 1000 << true << true << true;
    QTest::newRow("30000 kg: full") << 30000 << true << true << true;
    QTest::newRow("-1 kg: empty") << -1 << false << false << false;
}

void TestMnemoForm::weighHopperFill() {
    QFETCH(int, weight);
    QFETCH(bool, row41);
    QFETCH(bool, row40);
    QFETCH(bool, row20);
    MimicRig rig;
    rig.setWord(17, weight); // doser 4
    rig.set(7, 3);           // orange
    rig.tick();
    const QImage hopper = pictureOf(*rig.form, "imgBunVes6");
    QCOMPARE(hopper.size(), QSize(49, 54));
    const QRgb orange = materialColour(3).rgb();
    QCOMPARE(hopper.pixel(21, 41), row41 ? orange : kWhite);
    QCOMPARE(hopper.pixel(21, 40), row40 ? orange : kWhite);
    QCOMPARE(hopper.pixel(21, 20), row20 ? orange : kWhite);
    // Outside the interior the artwork shows, never the fill.
    QCOMPARE(hopper.pixel(2, 40), mimic::kWindowColour.rgb());
    // Gate closed: the red bar under the outlet.
    QCOMPARE(hopper.pixel(21, 44), qRgb(255, 0, 0));
    rig.set(19, 0x04); // doser 4's gate open: the arrow in the material colour
    rig.tick();
    QCOMPARE(pictureOf(*rig.form, "imgBunVes6").pixel(21, 50), orange);
    QCOMPARE(pictureOf(*rig.form, "imgBunVes6").pixel(15, 44), mimic::kWindowColour.rgb());
}

void TestMnemoForm::unknownMaterialDrawsBlack() {
    MimicRig rig;
    rig.set(40, 12);      // doser 6, column suffix 3
    rig.setWord(59, 600); // level 60
    rig.set(67, 0x10);    // its feeder runs
    rig.tick();
    const QRgb black = qRgb(0, 0, 0);
    QCOMPARE(pictureOf(*rig.form, "imgBunVes3").pixel(21, 30), black);
    const QImage feed = pictureOf(*rig.form, "imgBunZag3");
    QCOMPARE(feed.size(), QSize(43, 71));
    QCOMPARE(feed.pixel(18, 30), black);
    QCOMPARE(feed.pixel(18, 58), black);
    QCOMPARE(feed.pixel(19, 66), black); // outlet arrow
    rig.set(40, 6);
    rig.set(67, 0);
    rig.tick();
    const QImage stopped = pictureOf(*rig.form, "imgBunZag3");
    QCOMPARE(stopped.pixel(18, 30), materialColour(6).rgb());
    QCOMPARE(stopped.pixel(18, 61), qRgb(255, 0, 0)); // feeder stopped: red bar
}

void TestMnemoForm::bigBunkerLevels() {
    MimicRig rig;
    struct Case {
        int word;
        bool full, bottom;
    };
    const Case cases[] = {
        {200, true, true}, {1, false, false}, {-1, false, false}, {40, false, true}};
    for (const Case& c : cases) {
        rig.setWord(63, c.word);
        rig.setWord(65, c.word);
        rig.tick();
        for (const char* name : {"imgBigBun2", "imgBigBunDown"}) {
            const QImage bunker = pictureOf(*rig.form, name);
            QCOMPARE(bunker.size(), QSize(102, 71));
            QCOMPARE(bunker.pixel(10, 30), c.full ? kCharge : kWhite);
            QCOMPARE(bunker.pixel(45, 66), c.bottom ? kCharge : kWhite);
        }
    }
    // Mode text on bunker No. 2 and the intermediate bunker only.
    rig.setWord(63, 0);
    rig.setWord(65, 0);
    rig.tick();
    QVERIFY(darkPixels(pictureOf(*rig.form, "imgBigBun2"), QRect(30, 10, 30, 10)) > 5);
    QVERIFY(darkPixels(pictureOf(*rig.form, "imgBigBunDown"), QRect(30, 10, 30, 10)) > 5);
    QCOMPARE(darkPixels(pictureOf(*rig.form, "imgBigBunUp"), QRect(30, 10, 30, 10)), 0);
}

void TestMnemoForm::furnace1AllFilled() {
    MimicRig rig;
    rig.set(22, 0xFF);
    rig.tick();
    const QImage furnace = pictureOf(*rig.form, "imgBunPech1");
    QCOMPARE(furnace.size(), QSize(301, 85));
    const int rects[8][4] = {{259, 284, 4, 39},  {228, 253, 7, 42}, {166, 191, 13, 48},
                             {104, 129, 13, 48}, {42, 68, 7, 42},   {11, 38, 4, 39},
                             {73, 98, 10, 45},   {197, 222, 10, 45}};
    for (int k = 0; k < 8; ++k) {
        const auto& r = rects[k];
        QCOMPARE(furnace.pixel((r[0] + r[1]) / 2, r[3] - 12), kCharge);
        const int text = darkPixels(furnace, QRect(r[0] + 2, r[2] + 1, r[1] - r[0] - 3, 8));
        if (k < 6)
            QVERIFY2(text > 5, qPrintable(QStringLiteral("bunker %1 has no text").arg(k + 1)));
        else
            QCOMPARE(text, 0);
    }
    rig.set(22, 0x00);
    rig.tick();
    QCOMPARE(pictureOf(*rig.form, "imgBunPech1").pixel(271, 27), kWhite);
}

void TestMnemoForm::furnace2FillAndText() {
    MimicRig rig;
    rig.set(71, 0xC1); // bunker 1 only; bits 6 and 7 are not used
    rig.tick();
    const QImage furnace = pictureOf(*rig.form, "imgBunPech2");
    QCOMPARE(furnace.size(), QSize(261, 82));
    QCOMPARE(furnace.pixel(221, 27), kCharge);
    QCOMPARE(furnace.pixel(35, 27), kWhite);
    QVERIFY(darkPixels(furnace, QRect(212, 5, 20, 8)) > 5);
}

void TestMnemoForm::cartsStayInsideTheirStrips() {
    MimicRig rig;
    struct Case {
        int byte, value, x;
        const char* strip;
    };
    const Case cases[] = {{20, 0x20, 0, "imgTachka1"},    // cart 1 at 6
                          {20, 0x01, 244, "imgTachka1"},  // cart 1 at 1
                          {70, 0x40, 42, "imgTachka2"},   // cart 2 at 6
                          {70, 0x02, 230, "imgTachka2"}}; // cart 2 at 1
    for (const Case& c : cases) {
        rig.set(20, 0);
        rig.set(70, 0);
        rig.set(c.byte, c.value);
        rig.tick();
        auto* strip = rig.form->findChild<TPicture*>(c.strip);
        const QImage shownStrip = strip->shown();
        QCOMPARE(shownStrip.size(), QSize(315, 35));
        const QRgb black = qRgb(0, 0, 0);
        // Both wheels whole: the outer edges of the left and right wheel are black.
        QCOMPARE(shownStrip.pixel(c.x, 17), black);
        QCOMPARE(shownStrip.pixel(c.x + 67, 17), black);
        QCOMPARE(shownStrip.pixel(c.x + 7, 17), qRgb(0xC0, 0xC0, 0xC0)); // hub
        // Unloaded body, closed gate.
        QCOMPARE(shownStrip.pixel(c.x + 55, 8), kWhite);
        QCOMPARE(shownStrip.pixel(c.x + 33, 21), qRgb(255, 0, 0));
        if (c.x + 68 < 315)
            QVERIFY(shownStrip.pixel(c.x + 68, 17) != black);
        if (c.x > 0)
            QVERIFY(shownStrip.pixel(c.x - 1, 17) != black);
        // The rail shows its stripes below the wheels; its see-through band shows the window.
        QCOMPARE(shownStrip.pixel(c.x + 100 > 300 ? 5 : c.x + 100, 24), mimic::kWindowColour.rgb());
    }
}

void TestMnemoForm::cartLampsAndPosition() {
    MimicRig rig;
    rig.set(20, 0x05);
    rig.set(21, 0x01);
    rig.tick();
    for (int pos = 0; pos <= 8; ++pos) {
        const bool on = pos == 0 || pos == 1 || pos == 3;
        QCOMPARE(lampColour(*rig.form, QStringLiteral("led1_%1").arg(pos)), on ? kGreen : kSilver);
    }
    QCOMPARE(rig.form->cart1X(), 152);
    // No position bit: the cart stays where it was.
    rig.set(20, 0);
    rig.set(21, 0);
    rig.tick();
    QCOMPARE(rig.form->cart1X(), 152);
    QCOMPARE(rig.form->findChild<TPicture*>("imgTachka1")->shown().pixel(152, 17), qRgb(0, 0, 0));
}

void TestMnemoForm::skipPositionAndLamps_data() {
    QTest::addColumn<int>("b81");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("down");
    QTest::addColumn<bool>("up");
    QTest::newRow("06") << 0x06 << 2 << false << false;
    QTest::newRow("0C") << 0x0C << 3 << false << true;
    QTest::newRow("01") << 0x01 << 1 << true << false;
    QTest::newRow("08") << 0x08 << 4 << false << true;
    QTest::newRow("00") << 0x00 << 0 << false << false;
}

void TestMnemoForm::skipPositionAndLamps() {
    QFETCH(int, b81);
    QFETCH(int, position);
    QFETCH(bool, down);
    QFETCH(bool, up);
    MimicRig rig;
    rig.set(81, b81);
    rig.tick();
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    for (int segment = 1; segment <= 4; ++segment) {
        const QImage shownSegment =
            pictureOf(*rig.form, QStringLiteral("imgSkip%1").arg(segment).toLatin1());
        QCOMPARE(shownSegment, art.skip[segment - 1][segment == position ? 1 : 0]);
        QVERIFY(art.skip[segment - 1][0] != art.skip[segment - 1][1]);
    }
    QCOMPARE(lampColour(*rig.form, "ledSkipDown"), down ? kGreen : kSilver);
    QCOMPARE(lampColour(*rig.form, "ledSkipUp"), up ? kGreen : kSilver);
    QCOMPARE(shown(*rig.form, "imgArrFromSkip"), up);
}

void TestMnemoForm::arrowsAndGates() {
    MimicRig rig;
    struct Case {
        int b69, b81, b82;
        bool arr2, zat2, arrDown, zatDown, tr2, right, left, toSkip, skipUp, skipDown;
    };
    const Case cases[] = {
        {0x00, 0x00, 0x00, false, true, false, true, false, false, false, false, false, false},
        {0x03, 0x30, 0x03, false, true, false, true, false, true, false, false, true, true},
        {0x01, 0x20, 0x01, true, false, false, true, false, false, true, false, true, false},
        {0x50, 0x90, 0x02, false, true, true, false, true, true, false, true, false, true},
    };
    for (const Case& c : cases) {
        rig.set(69, c.b69);
        rig.set(81, c.b81);
        rig.set(82, c.b82);
        rig.tick();
        TMnemoForm& f = *rig.form;
        QCOMPARE(shown(f, "imgArrBigBun2"), c.arr2);
        QCOMPARE(shown(f, "imgZatBigBun2"), c.zat2);
        QCOMPARE(shown(f, "imgArrBigBunDown"), c.arrDown);
        QCOMPARE(shown(f, "imgZatBigBunDown"), c.zatDown);
        QCOMPARE(shown(f, "imgTr2Arr"), c.tr2);
        QCOMPARE(shown(f, "imgTr1ArrRight"), c.right);
        QCOMPARE(shown(f, "imgTr1ArrLeft"), c.left);
        QCOMPARE(shown(f, "imgArrToSkip"), c.toSkip);
        QCOMPARE(shown(f, "imgArrSkipUp"), c.skipUp);
        QCOMPARE(shown(f, "imgArrSkipDown"), c.skipDown);
    }
}

void TestMnemoForm::connectionPanels() {
    MimicRig rig;
    auto* su1 = rig.form->findChild<TPanelLamp*>("ledConSU1");
    auto* su2 = rig.form->findChild<TPanelLamp*>("ledConSU2");
    auto* svu = rig.form->findChild<TPanelLamp*>("ledConSVU");
    QCOMPARE(svu->text(), QStringLiteral("ШВУ"));
    rig.set(84, 0x20);
    rig.failures = 3;
    rig.tick();
    QCOMPARE(su1->colour(), kRed);
    QCOMPARE(su2->colour(), kGreen);
    QCOMPARE(svu->colour(), kGreen);
    rig.set(84, 0x40);
    rig.failures = 4;
    rig.tick();
    QCOMPARE(su1->colour(), kGreen);
    QCOMPARE(su2->colour(), kRed);
    QCOMPARE(svu->colour(), kRed);
    rig.failures = 0; // the next good answer
    rig.tick();
    QCOMPARE(svu->colour(), kGreen);
}

void TestMnemoForm::beltAnimation() {
    MimicRig rig;
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    QVERIFY(art.transp[0] != art.transp[1]);
    QVERIFY(art.bigTransp[0] != art.bigTransp[1]);
    auto frames = [&](const char* name, const std::array<QImage, 2>& pair, int ticks) {
        QString seen;
        for (int i = 0; i < ticks; ++i) {
            rig.form->TranspTimerTimer();
            const QImage now = pictureOf(*rig.form, name);
            seen += now == pair[0] ? u'1' : now == pair[1] ? u'2' : u'?';
        }
        return seen;
    };
    rig.set(81, 0x10); // charge conveyor runs
    rig.tick();
    QCOMPARE(frames("imgTransp1", art.transp, 4), QStringLiteral("1212"));
    QCOMPARE(frames("imgTransp2", art.transp, 2), QStringLiteral("11"));
    QCOMPARE(frames("imgBigTransp", art.bigTransp, 2), QStringLiteral("11"));
    rig.set(81, 0x00); // stopped: the first frame from the next tick on
    rig.tick();
    QCOMPARE(frames("imgTransp1", art.transp, 4), QStringLiteral("1111"));
    rig.set(81, 0x80);
    rig.set(69, 0x40);
    rig.tick();
    const QString big = frames("imgBigTransp", art.bigTransp, 4);
    QVERIFY(big == QStringLiteral("1212") || big == QStringLiteral("2121"));
    rig.form->TranspTimerTimer();
    QCOMPARE(pictureOf(*rig.form, "imgTransp2"), pictureOf(*rig.form, "imgTransp2"));
}

void TestMnemoForm::byte81SequencesAcrossWindows() {
    MimicRig rig;
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    auto receivingFill = [&](int y) { return pictureOf(*rig.form, "imgBigBunUp").pixel(45, y); };
    rig.set(81, 0x01);
    rig.tick();
    rig.set(81, 0x08);
    for (int i = 0; i < 5; ++i)
        rig.tick();
    QCOMPARE(ChargeFlow::program().receivingLevel(), 50);
    QCOMPARE(receivingFill(66), kCharge);
    QCOMPARE(receivingFill(38), kWhite); // h 30: rows 40 to 70
    QCOMPARE(receivingFill(41), kCharge);

    // Close and reopen: the new window continues from half full.
    rig.closeWindow();
    rig.open();
    rig.tick();
    QCOMPARE(ChargeFlow::program().receivingLevel(), 60);
    QCOMPARE(receivingFill(41), kCharge);

    rig.set(81, 0x18); // conveyor towards bunker No. 1
    rig.tick();
    QCOMPARE(ChargeFlow::program().bunker1Level(), 10);
    QCOMPARE(pictureOf(*rig.form, "imgStok"), art.stokFull);
    QCOMPARE(pictureOf(*rig.form, "imgBigBun1").pixel(45, 68), kCharge);
    rig.set(81, 0x08); // stopped: both empty
    rig.tick();
    QCOMPARE(ChargeFlow::program().bunker1Level(), 0);
    QCOMPARE(ChargeFlow::program().receivingLevel(), 60);
    QCOMPARE(pictureOf(*rig.form, "imgStok"), art.stokEmpty);
    QCOMPARE(pictureOf(*rig.form, "imgBigBun1").pixel(45, 68), kWhite);

    // 08, 28, 08: bunker No. 1 never fills.
    ChargeFlow::program().reset();
    rig.set(81, 0x08);
    rig.tick();
    rig.set(81, 0x28);
    rig.tick();
    rig.set(81, 0x08);
    rig.tick();
    QCOMPARE(ChargeFlow::program().bunker1Level(), 0);
    QCOMPARE(ChargeFlow::program().receivingLevel(), 10);
    QVERIFY(!ChargeFlow::program().receivingFilling());
}

void TestMnemoForm::languageTexts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Windows-1251: "Бункер |промежуточный", "Вес", "АВТОМАТ".
    file.write("[Mnemo]\r\nMnemoForm=Mimic\r\nlabBigBunDown=\xC1\xF3\xED\xEA\xE5\xF0 "
               "|\xEF\xF0\xEE\xEC\xE5\xE6\xF3\xF2\xEE\xF7\xED\xFB\xE9\r\n"
               "labTekVes12=\xC2\xE5\xF1\r\nlngRegAvto=AUTO\r\nlabZadCalosh=Set\r\n"
               "labUpSkip=a|b\r\n");
    file.close();
    MimicRig rig(path);
    TMnemoForm& form = *rig.form;
    auto text = [&](const char* name) {
        return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(form.windowTitle(), QStringLiteral("Mimic"));
    QCOMPARE(text("labBigBunDown"), QStringLiteral("Бункер \nпромежуточный"));
    for (const char* copy : {"labTekVes12", "labTekVes34", "labTekVes56"})
        QCOMPARE(text(copy), QStringLiteral("Вес"));
    QCOMPARE(text("labZadCalosh"), QStringLiteral("Set"));
    QCOMPARE(text("labZadCalosh2"), QStringLiteral("Set"));
    QCOMPARE(text("labUpSkip"), QStringLiteral("a|b")); // not a multi-line text
    // Missing keys keep the built-in texts, copies and line breaks included.
    QCOMPARE(text("labAvrVP56"), QStringLiteral("Авар.\nВП"));
    QCOMPARE(text("labPosTel2"), QStringLiteral("Зад. позиция тележки"));
    QCOMPARE(text("labNeBigBunDown"), QStringLiteral("Неисправность уровнемера"));
    QCOMPARE(form.findChild<QPushButton*>("btnClose")->text(), QStringLiteral("Закрыть"));
    rig.set(26, 3);
    rig.tick();
    QCOMPARE(fieldText(form, "edRegDoz1"), QStringLiteral("AUTO"));
}

void TestMnemoForm::clockShowsInjectedTime() {
    MimicRig rig;
    const QDateTime when(QDate(2026, 3, 14), QTime(13, 14, 15));
    rig.form->setClock([when] { return when; });
    rig.tick();
    const QString date = rig.form->findChild<QLabel*>("LblDate")->text();
    const QString time = rig.form->findChild<QLabel*>("LblTime")->text();
    QCOMPARE(date, QLocale::system().toString(when.date(), QLocale::ShortFormat));
    QVERIFY2(time.contains(QStringLiteral(":14:15")), qPrintable(time));
    QVERIFY(!time.contains(QStringLiteral("UTC")));
}

void TestMnemoForm::closingStopsTimersFirst() {
    MimicRig rig;
    rig.tick();
    QVERIFY(rig.form->timersActive());
    QSignalSpy destroyed(rig.form.get(), &QObject::destroyed);
    QTest::mouseClick(rig.form->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
    QVERIFY(!rig.form->timersActive());
    // A late call after the pictures are gone draws nothing and does not crash.
    const QImage before = pictureOf(*rig.form, "imgBunVes5");
    rig.form->DrawMnemo();
    rig.form->MoveTachka1(0, true, true, true);
    QCOMPARE(pictureOf(*rig.form, "imgBunVes5"), before);
    rig.form.reset();
    QCOMPARE(destroyed.count(), 1);
}

void TestMnemoForm::closesAsAChildOfTheFrame() {
    ProcessImage image;
    QMdiArea area;
    area.resize(1200, 800);
    auto* form = new TMnemoForm(
        image, [] { return 0; }, QString());
    form->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* frame = area.addSubWindow(form);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->showMaximized();
    area.show();
    QCOMPARE(area.subWindowList().size(), 1);
    form->DrawTimerTimer();
    QPointer<TMnemoForm> alive(form);
    QTest::mouseClick(form->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
    QPointer<QMdiSubWindow> frameAlive(frame);
    QTRY_VERIFY(alive.isNull());
    QTRY_COMPARE(area.subWindowList().size(), 0);
    QTRY_VERIFY(frameAlive.isNull());
}

QTEST_MAIN(TestMnemoForm)
#include "tst_mnemoform.moc"
