// The mimic window over prepared process images: design positions, values and their
// formats, lamps, mode texts, arrows and gates, connection panels, language texts, the clock
// and closing.
#include "MainTexts.h"
#include "MimicTestRig.h"
#include "MimicWidgets.h"
#include "MyShape.h"
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace probe;

class TestMnemoForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { mapStationFonts(); }

    void designSizeAndStartState();
    void numberFormats_data();
    void numberFormats();
    void valueFieldsShowTheirWholeText_data();
    void valueFieldsShowTheirWholeText();
    void doserColumnsFollowTheirSources_data();
    void doserColumnsFollowTheirSources();
    void lampsByBit_data();
    void lampsByBit();
    void modeTexts_data();
    void modeTexts();
    void arrowsAndGates();
    void connectionPanels();
    void languageTexts();
    void faultLabelsLevelWithTheirLamps();
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

namespace {
// The dark pixels of an image (text is black on the pale yellow field; the field's grey and
// white border stays out), cropped to their bounding box.
QImage ink(const QImage& picture) {
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    QImage mask(box.size().expandedTo(QSize(1, 1)), QImage::Format_Mono);
    mask.fill(0);
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            mask.setPixel(x, y, qGray(img.pixel(box.x() + x, box.y() + y)) < 100 ? 1 : 0);
    return box.isEmpty() ? QImage() : mask;
}

// The whole text in the field's font on the field's ground, as a reference.
QImage wholeText(const QLineEdit& field, const QString& text) {
    const QFontMetrics fm(field.font());
    QImage img(fm.horizontalAdvance(text) + 20, fm.height() + 8, QImage::Format_RGB32);
    img.fill(field.palette().color(QPalette::Base));
    QPainter p(&img);
    p.setFont(field.font());
    p.setPen(Qt::black);
    p.drawText(10, 4 + fm.ascent(), text);
    p.end();
    return ink(img);
}
} // namespace

// Every value field, at its design place and size, draws the whole text of the widest values
// the image can hold: a weight of -32768 is never shown as 32768.
void TestMnemoForm::valueFieldsShowTheirWholeText_data() {
    QTest::addColumn<int>("value");
    for (int v : {-32768, -10000, 65535, 12345})
        QTest::newRow(QByteArray::number(v).constData()) << v;
}

void TestMnemoForm::valueFieldsShowTheirWholeText() {
    QFETCH(int, value);
    MimicRig rig;
    TMnemoForm& form = *rig.form;
    form.show();
    // Through the image where the field's source can hold the value: weights are signed,
    // setpoints unsigned words.
    for (int k : {15, 17, 55, 57, 59, 61})
        if (value < 32768)
            rig.setWord(k, value & 0xFFFF);
    for (int k : {2, 5, 32, 35, 38, 41, 9, 11, 45, 47, 49, 51})
        if (value >= 0)
            rig.setWord(k, value);
    rig.tick();
    const QString text = QString::number(value);
    const QList<TValueField*> fields = form.findChildren<TValueField*>();
    QVERIFY(fields.size() >= 30);
    int throughImage = 0;
    for (TValueField* field : fields) {
        if (field->text() == text)
            ++throughImage;
        else
            field->setText(text); // byte and mode fields: the text itself
    }
    QCOMPARE(throughImage, value < 0 ? 6 : value == 65535 ? 12 : 18);
    QCoreApplication::processEvents();
    for (TValueField* field : fields) {
        const QImage drawn = ink(field->grab().toImage());
        const QImage whole = wholeText(*field, text);
        if (drawn != whole) {
            field->grab().save(QDir::temp().filePath(field->objectName() + QStringLiteral(".png")));
            QFAIL(qPrintable(QStringLiteral("%1 at %2 x %3 does not show all of %4 (ink %5 x %6, "
                                            "whole text %7 x %8)")
                                 .arg(field->objectName())
                                 .arg(field->width())
                                 .arg(field->height())
                                 .arg(text)
                                 .arg(drawn.width())
                                 .arg(drawn.height())
                                 .arg(whole.width())
                                 .arg(whole.height())));
        }
    }
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

// The two-line fault labels between the columns: the feeder label's second line ("ВП") stands
// level with the feeder lamps, the gate label's first line with the gate lamps, and the two
// labels do not run into each other.
void TestMnemoForm::faultLabelsLevelWithTheirLamps() {
    MimicRig rig;
    TMnemoForm& form = *rig.form;
    const struct {
        const char *vp, *zat, *leftLamp, *rightLamp;
    } pairs[] = {{"labAvrVP56", "labAvrZat56", "3", "1"},
                 {"labAvrVP34", "labAvrZat34", "6", "4"},
                 {"labAvrVP12", "labAvrZat12", "2", "5"}};
    for (const auto& pair : pairs) {
        auto* vp = form.findChild<QLabel*>(QString::fromLatin1(pair.vp));
        auto* zat = form.findChild<QLabel*>(QString::fromLatin1(pair.zat));
        QVERIFY(vp && zat);
        QCOMPARE(vp->text(), QStringLiteral("Авар.\nВП"));
        const int line = QFontMetrics(vp->font()).height();
        // Centre of line k (0 or 1) of a two-line text centred in the label.
        auto lineCentre = [line](const QLabel* l, int k) {
            const QRect r = l->geometry();
            return r.top() + (r.height() - 2 * line) / 2.0 + line * (k + 0.5);
        };
        for (const char* side : {pair.leftLamp, pair.rightLamp}) {
            auto* vpLamp =
                form.findChild<QWidget*>(QStringLiteral("ledAvVp") + QLatin1String(side));
            auto* zatLamp =
                form.findChild<QWidget*>(QStringLiteral("ledAvZat") + QLatin1String(side));
            const double vpLampCentre = vpLamp->y() + vpLamp->height() / 2.0;
            const double zatLampCentre = zatLamp->y() + zatLamp->height() / 2.0;
            QVERIFY2(qAbs(lineCentre(vp, 1) - vpLampCentre) <= 1.5,
                     qPrintable(QStringLiteral("%1: ВП at %2, its lamp at %3")
                                    .arg(QLatin1String(pair.vp))
                                    .arg(lineCentre(vp, 1))
                                    .arg(vpLampCentre)));
            QVERIFY2(qAbs(lineCentre(zat, 0) - zatLampCentre) <= 1.5,
                     qPrintable(QStringLiteral("%1: first line at %2, its lamp at %3")
                                    .arg(QLatin1String(pair.zat))
                                    .arg(lineCentre(zat, 0))
                                    .arg(zatLampCentre)));
        }
        QVERIFY(!vp->geometry().intersects(zat->geometry()));
    }
}

void TestMnemoForm::clockShowsInjectedTime() {
    MimicRig rig;
    const QDateTime when(QDate(2026, 3, 14), QTime(13, 14, 15));
    rig.form->setClock([when] { return when; });
    rig.tick();
    const QString date = rig.form->findChild<QLabel*>("LblDate")->text();
    const QString time = rig.form->findChild<QLabel*>("LblTime")->text();
    QCOMPARE(date, QStringLiteral("14.03.2026")); // never "14 Mar 2026"
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
    ChargeFlow flow;
    auto* form = new TMnemoForm(
        image, flow, [] { return 0; }, QString());
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
#include "MnemoFormTest.moc"
