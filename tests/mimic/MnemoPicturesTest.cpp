// The mimic window's animated pictures over prepared process images, probed pixel by pixel:
// weigh hoppers and feed bunkers, big bunkers, furnace tops, carts, the skip, the belts, and the
// receiving bunker and bunker No. 1 across windows.
#include "MimicArtwork.h"
#include "MimicTestRig.h"
#include "MimicWidgets.h"
#include "MyShape.h"
#include <QtTest>

using namespace probe;

class TestMnemoPictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { mapStationFonts(); }

    void weighHopperFill_data();
    void weighHopperFill();
    void unknownMaterialDrawsBlack();
    void bigBunkerLevels();
    void modeTextsReadableOnCharge();
    void arrowIntoTheSkipIsSeeThrough();
    void furnace1AllFilled();
    void furnace2FillAndText();
    void cartsStayInsideTheirStrips();
    void cartLampsAndPosition();
    void skipPositionAndLamps_data();
    void skipPositionAndLamps();
    void beltAnimation();
    void byte81SequencesAcrossWindows();
    void framesAreComposedInPlace();
};

void TestMnemoPictures::weighHopperFill_data() {
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

void TestMnemoPictures::weighHopperFill() {
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
    const QRgb orange = qRgb(0xFF, 0x80, 0x00); // material 3
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

void TestMnemoPictures::unknownMaterialDrawsBlack() {
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
    QCOMPARE(stopped.pixel(18, 30), qRgb(0x00, 0x80, 0xFF)); // material 6
    QCOMPARE(stopped.pixel(18, 61), qRgb(255, 0, 0));        // feeder stopped: red bar
}

void TestMnemoPictures::bigBunkerLevels() {
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

// Black mode texts on a charge-filled bunker (#613030) carry a one-pixel light halo: no text
// pixel touches the dark charge colour.
void TestMnemoPictures::modeTextsReadableOnCharge() {
    MimicRig rig;
    rig.setWord(63, 200); // bunker No. 2 full
    rig.set(22, 0xFF);    // every furnace 1 bunker full
    rig.tick();
    const struct {
        const char* picture;
        QRect text;
    } places[] = {{"imgBigBun2", QRect(28, 7, 40, 16)}, {"imgBunPech1", QRect(261, 5, 22, 10)}};
    for (const auto& place : places) {
        const QImage img = pictureOf(*rig.form, place.picture);
        int text = 0, touching = 0;
        for (int y = place.text.top(); y <= place.text.bottom(); ++y) {
            for (int x = place.text.left(); x <= place.text.right(); ++x) {
                // Text pixels: black, or dark grey at the edges of the smoothed letters (grey,
                // not the reddish shades of the charge colour).
                const QRgb p = img.pixel(x, y);
                if (qGray(p) > 0x50 || qRed(p) - qBlue(p) > 0x10)
                    continue;
                ++text;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                    touching += img.pixel(QPoint(x, y) + d) == kCharge;
            }
        }
        QVERIFY2(text > 5, place.picture);
        QVERIFY2(touching == 0,
                 qPrintable(QStringLiteral("%1: %2 text pixels touch the charge colour")
                                .arg(QLatin1String(place.picture))
                                .arg(touching)));
    }
}

// The arrow into the skip shows the collecting conveyor's end drum through its background.
void TestMnemoPictures::arrowIntoTheSkipIsSeeThrough() {
    MimicRig rig;
    rig.set(81, 0x80);
    rig.tick();
    rig.form->TranspTimerTimer();
    TMnemoForm& form = *rig.form;
    form.show();
    QVERIFY(shown(form, "imgArrToSkip"));
    auto* arrow = form.findChild<TPicture*>(QStringLiteral("imgArrToSkip"));
    auto* belt = form.findChild<TPicture*>(QStringLiteral("imgBigTransp"));
    const QImage screen = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage beltShown = belt->shown();
    const QRect overlap = arrow->geometry() & belt->geometry();
    QVERIFY(!overlap.isEmpty());
    const QColor windowColour(0xDF, 0xDF, 0xDE);
    int beltPixels = 0;
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        for (int x = overlap.left(); x <= overlap.right(); ++x) {
            const QRgb art = arrow->shown().pixel(x - arrow->x(), y - arrow->y());
            if (art != windowColour.rgb())
                continue; // the arrow itself
            const QRgb under = beltShown.pixel(x - belt->x(), y - belt->y());
            QCOMPARE(screen.pixel(x, y), under);
            beltPixels += under != windowColour.rgb();
        }
    }
    QVERIFY2(beltPixels > 20, "the drum under the arrow's background is not shown");
}

void TestMnemoPictures::furnace1AllFilled() {
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

void TestMnemoPictures::furnace2FillAndText() {
    MimicRig rig;
    rig.set(71, 0xC1); // bunker 1 only; bits 6 and 7 are not used
    rig.tick();
    const QImage furnace = pictureOf(*rig.form, "imgBunPech2");
    QCOMPARE(furnace.size(), QSize(261, 82));
    QCOMPARE(furnace.pixel(221, 27), kCharge);
    QCOMPARE(furnace.pixel(35, 27), kWhite);
    QVERIFY(darkPixels(furnace, QRect(212, 5, 20, 8)) > 5);

    // The mode text follows its bit from frame to frame, both ways, in each bunker alone.
    const QRect first(210, 3, 24, 10), second(178, 9, 24, 10);
    const auto text = [&](const QRect& r) { return pictureOf(*rig.form, "imgBunPech2").copy(r); };
    const QImage firstBefore = text(first), secondBefore = text(second);
    rig.set(31, 0x01);
    rig.tick();
    QVERIFY(text(first) != firstBefore);
    QCOMPARE(text(second), secondBefore);
    rig.set(31, 0x00);
    rig.tick();
    QCOMPARE(text(first), firstBefore);
}

void TestMnemoPictures::cartsStayInsideTheirStrips() {
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

void TestMnemoPictures::cartLampsAndPosition() {
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

void TestMnemoPictures::skipPositionAndLamps_data() {
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

void TestMnemoPictures::skipPositionAndLamps() {
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

void TestMnemoPictures::beltAnimation() {
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

void TestMnemoPictures::byte81SequencesAcrossWindows() {
    MimicRig rig;
    const mimic::MimicArtwork& art = mimic::MimicArtwork::get();
    auto receivingFill = [&](int y) { return pictureOf(*rig.form, "imgBigBunUp").pixel(45, y); };
    rig.set(81, 0x01);
    rig.tick();
    rig.set(81, 0x08);
    for (int i = 0; i < 5; ++i)
        rig.tick();
    QCOMPARE(rig.flow.receivingLevel(), 50);
    QCOMPARE(receivingFill(66), kCharge);
    QCOMPARE(receivingFill(38), kWhite); // h 30: rows 40 to 70
    QCOMPARE(receivingFill(41), kCharge);

    // Close and reopen: the new window continues from half full.
    rig.closeWindow();
    rig.open();
    rig.tick();
    QCOMPARE(rig.flow.receivingLevel(), 60);
    QCOMPARE(receivingFill(41), kCharge);

    rig.set(81, 0x18); // conveyor towards bunker No. 1
    rig.tick();
    QCOMPARE(rig.flow.bunker1Level(), 10);
    QCOMPARE(pictureOf(*rig.form, "imgStok"), art.stokFull);
    QCOMPARE(pictureOf(*rig.form, "imgBigBun1").pixel(45, 68), kCharge);
    rig.set(81, 0x08); // stopped: both empty
    rig.tick();
    QCOMPARE(rig.flow.bunker1Level(), 0);
    QCOMPARE(rig.flow.receivingLevel(), 60);
    QCOMPARE(pictureOf(*rig.form, "imgStok"), art.stokEmpty);
    QCOMPARE(pictureOf(*rig.form, "imgBigBun1").pixel(45, 68), kWhite);

    // 08, 28, 08: bunker No. 1 never fills.
    rig.flow.reset();
    rig.set(81, 0x08);
    rig.tick();
    rig.set(81, 0x28);
    rig.tick();
    rig.set(81, 0x08);
    rig.tick();
    QCOMPARE(rig.flow.bunker1Level(), 0);
    QCOMPARE(rig.flow.receivingLevel(), 10);
    QVERIFY(!rig.flow.receivingFilling());
}

// The animated pictures are composed every half second, day and night: a new frame goes into
// the pixels the control already holds, so the frames do not allocate and free a picture each.
void TestMnemoPictures::framesAreComposedInPlace() {
    MimicRig rig;
    rig.set(7, 3); // doser 4 orange
    rig.setWord(17, 15);
    rig.tick();
    rig.tick();
    auto* hopper = rig.form->findChild<TPicture*>(QStringLiteral("imgBunVes6"));
    auto* furnace = rig.form->findChild<TPicture*>(QStringLiteral("imgBunPech1"));
    QVERIFY(hopper && furnace);
    const uchar* hopperPixels = hopper->picture().constBits();
    const uchar* furnacePixels = furnace->picture().constBits();
    QCOMPARE(hopper->picture().pixel(21, 20), kWhite);
    QCOMPARE(furnace->picture().pixel(271, 27), kWhite);

    rig.setWord(17, 1000); // full
    rig.set(22, 0xFF);     // every furnace bunker filled
    rig.tick();
    QCOMPARE(hopper->picture().pixel(21, 20), qRgb(0xFF, 0x80, 0x00));
    QCOMPARE(furnace->picture().pixel(271, 27), kCharge);
    QCOMPARE(hopper->picture().constBits(), hopperPixels);
    QCOMPARE(furnace->picture().constBits(), furnacePixels);
}

QTEST_MAIN(TestMnemoPictures)
#include "MnemoPicturesTest.moc"
