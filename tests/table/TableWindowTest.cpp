// The setpoint table's window: what the fields show when it opens, the layout, colours and
// texts, clamping when a field is left, Enter as the default button from the moment the
// window opens, closing by click or Space only.
#include "TableRig.h"

#include "BevelPanel.h"
#include "ClampSpinEdit.h"
#include "Cp1251.h"
#include "MainUnitKorvel.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestTableWindow : public QObject {
    Q_OBJECT
private slots:
    void opensBeforeFirstAnswerWithZerosAndOnes();
    void fieldsTakeTheSetpointCopyClamped();
    void layoutAndDefaultTexts();
    void languageFileReplacesTexts();
    void leavingAFieldClampsIt();
    void enterPressesTheSendButton();
    void enterRightAfterOpeningAsksToSend();
    void closeButtonTakesOnlyClickOrSpace();
    void screenshot();
};

void TestTableWindow::opensBeforeFirstAnswerWithZerosAndOnes() {
    Rig rig;
    std::unique_ptr<TTableForm> form(rig.newForm());
    for (const task::Field& f : task::kFields) {
        ClampSpinEdit* s = spin(form.get(), QLatin1String(f.name));
        QVERIFY2(s, f.name);
        const QString expected = f.kind == task::Kind::Portions ? "1" : "0";
        QCOMPARE(editOf(s)->text(), expected);
        QCOMPARE(s->value(), expected.toInt());
    }
}

void TestTableWindow::fieldsTakeTheSetpointCopyClamped() {
    Rig rig;
    // Words low byte first; values past a field's range come in at its limit.
    const task::Block1 b1 = {0xE8, 0x03, 0x07, 0x10, 0x00, 0x0C, 0x00};
    const task::Block2 b2 = {0xDC, 0x05, 0x09, 0x01, 0x01, 0x02, 0x05,
                             0x00, 0xFF, 0xFF, 0xFF, 0x03, 0x0A};
    const Bytes data = imageWith(b1, b2);
    rig.image.update(data.data());
    std::unique_ptr<TTableForm> form(rig.newForm());
    const Values expected = {{"seZad5", 1000},  {"seKod5", 7},    {"seZad6", 16}, {"seKod6", 9},
                             {"sePortion1", 1}, {"seZad1", 1000}, {"seKod1", 8},  {"seZad2", 257},
                             {"seKod2", 2},     {"seZad3", 5},    {"seKod3", 9},  {"seZad4", 1000},
                             {"seKod4", 3},     {"sePortion2", 9}};
    QCOMPARE(shown(form.get()), expected);

    // Later answers are not consulted.
    const Bytes later = imageWith(kOld1, kOld2);
    rig.image.update(later.data());
    std::unique_ptr<TTableForm> again(rig.newForm());
    QCOMPARE(shown(again.get()), expected);
}

void TestTableWindow::layoutAndDefaultTexts() {
    Rig rig;
    std::unique_ptr<TTableForm> form(rig.newForm());
    QCOMPARE(form->windowTitle(), QString("Таблица заданий"));
    QCOMPARE(form->labName->text(), QString("Таблица заданий"));
    QVERIFY(form->labName->font().bold());
    QCOMPARE(form->labName->font().pixelSize(), 19);
    QCOMPARE(form->labName->palette().color(QPalette::WindowText), QColor(0x37, 0x6F, 0x6F));
    QCOMPARE(form->btnClose->text(), QString("Закрыть"));
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));

    // Panel of each plant doser: position, header, the fields it holds and their ranges.
    struct PanelRow {
        int doser, x, field, codeMax;
    };
    const PanelRow rows[] = {{1, 10, 5, 9},  {2, 164, 2, 9}, {3, 318, 4, 9},
                             {4, 472, 6, 9}, {5, 626, 1, 8}, {6, 780, 3, 9}};
    for (const PanelRow& r : rows) {
        auto* panel = form->findChild<BevelPanel*>(QString("panD%1").arg(r.doser));
        QVERIFY(panel);
        QCOMPARE(panel->geometry(), QRect(r.x, 22, 147, 159));
        QCOMPARE(panel->color(), QColor(0xE8, 0xFF, 0xE8));
        QCOMPARE(panel->innerBevel(), BevelPanel::Bevel::Lowered);
        auto* header = form->findChild<BevelPanel*>(QString("panDn%1").arg(r.doser));
        QCOMPARE(header->parentWidget(), panel);
        QCOMPARE(header->height(), 25);
        QCOMPARE(header->caption(), QString("ДОЗАТОР %1").arg(r.doser));
        QCOMPARE(header->color(), QColor(0x3E, 0x61, 0xDB));
        QVERIFY(header->font().bold());
        QCOMPARE(header->font().pixelSize(), 13);

        ClampSpinEdit* zad = spin(form.get(), QString("seZad%1").arg(r.field));
        ClampSpinEdit* kod = spin(form.get(), QString("seKod%1").arg(r.field));
        QCOMPARE(zad->parentWidget(), panel);
        QCOMPARE(kod->parentWidget(), panel);
        QCOMPARE(zad->size(), QSize(59, 26));
        QCOMPARE(std::make_pair(zad->minimum(), zad->maximum()), std::make_pair(0, 1000));
        QCOMPARE(std::make_pair(kod->minimum(), kod->maximum()), std::make_pair(0, r.codeMax));
        QVERIFY(zad->font().bold());
        auto* labZad = form->findChild<QLabel*>(QString("labZad%1").arg(r.doser));
        auto* labKod = form->findChild<QLabel*>(QString("labKod%1").arg(r.doser));
        QCOMPARE(labZad->parentWidget(), panel);
        QCOMPARE(labZad->text(), QString("Задание (0 - 1000 кг)"));
        QCOMPARE(labKod->text(), QString("Код материала (0 - %1)").arg(r.codeMax));
        // Label above its field: setpoint first, then the code.
        QVERIFY(labZad->geometry().bottom() <= zad->y());
        QVERIFY(zad->geometry().bottom() < labKod->y());
        QVERIFY(labKod->geometry().bottom() <= kod->y());
        QVERIFY(kod->geometry().bottom() < panel->height());
    }

    // Portion panels, furnace 1 and 2.
    for (int furnace = 1; furnace <= 2; ++furnace) {
        ClampSpinEdit* s = spin(form.get(), QString("sePortion%1").arg(furnace));
        QWidget* panel = s->parentWidget();
        QCOMPARE(panel->geometry(), QRect(furnace == 1 ? 164 : 472, 190, 301, 75));
        auto* header = form->findChild<BevelPanel*>(QString("panCnt%1").arg(furnace));
        QCOMPARE(header->parentWidget(), panel);
        QCOMPARE(header->caption(), QString("КОЛИЧЕСТВО ПОРЦИЙ ДЛЯ ПЕЧИ %1").arg(furnace));
        auto* label = form->findChild<QLabel*>(QString("labPortion%1").arg(furnace));
        QCOMPARE(label->text(), QString("Количество порций (1 - 9)"));
        QVERIFY(label->geometry().right() < s->x());
        QCOMPARE(std::make_pair(s->minimum(), s->maximum()), std::make_pair(1, 9));
    }

    QCOMPARE(form->btnRec1->text(), QString("Передать задание"));
    QCOMPARE(form->btnRec1->geometry(), QRect(374, 290, 191, 31));
    QVERIFY(form->btnRec1->isDefault());

    // Legend: two columns of five, swatches in the material colours, labels 70 px right.
    QCOMPARE(form->grpColor->title(), QString("Коды и цвета материалов"));
    QCOMPARE(form->grpColor->height(), 144);
    const char* legend[10] = {"0 - Нет материала",     "1 - Кокс",           "2 - Кварцевая руда",
                              "3 - Кварцевая руда",    "4 - Кварцевая руда", "5 - Кварцит",
                              "6 - Металлоконцентрат", "7 - Кварцевая руда", "8 - Известь",
                              "9 - Ферросиликохром"};
    const QRgb colours[10] = {0xC0C0C0, 0x008000, 0xFFBB77, 0xFF8000, 0xC66300,
                              0xE1E100, 0x0080FF, 0x954A00, 0x808080, 0xA54AFF};
    for (int code = 0; code < 10; ++code) {
        QFrame* swatch = form->shpMat[code];
        QCOMPARE(swatch->parentWidget(), form->grpColor);
        QCOMPARE(swatch->geometry(), QRect(code < 5 ? 16 : 330, 26 + 20 * (code % 5), 65, 17));
        QCOMPARE(swatch->palette().color(QPalette::Window), QColor(colours[code]));
        QCOMPARE(form->labMat[code]->text(), QString::fromUtf8(legend[code]));
        QCOMPARE(form->labMat[code]->x(), swatch->x() + 70);
    }
}

void TestTableWindow::languageFileReplacesTexts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("test.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(cp1251::encode("[Table]\r\nTableForm=Задания\r\nlngDozator=Дозатор\r\n"
                              "labKod1=Код\r\npanCnt1=ПОРЦИИ\r\nlabMat3=3 - Руда\r\n"
                              "lngWantRec=Передать?\r\nlngErrorRec=Не передано\r\n"
                              "btnRec1=Передать\r\n"));
    file.close();

    Rig rig;
    rig.peer.setResponder(scripted({0, kSilent}));
    std::unique_ptr<TTableForm> form(rig.newForm(path));
    QCOMPARE(form->windowTitle(), QString("Задания"));
    QCOMPARE(form->panDn4->caption(), QString("Дозатор 4"));
    QCOMPARE(form->labKod5->text(), QString("Код (0 - 8)"));
    QCOMPARE(form->labKod3->text(), QString("Код (0 - 9)"));
    QCOMPARE(form->panCnt2->caption(), QString("ПОРЦИИ 2"));
    QCOMPARE(form->labMat[3]->text(), QString("3 - Руда"));
    QCOMPARE(form->labMat[4]->text(), QString("4 - Кварцевая руда"));
    QCOMPARE(form->btnRec1->text(), QString("Передать"));

    // The boxes of the send carry the window caption and the file's texts.
    form->btnRec1->click();
    QCOMPARE(rig.confirms, QStringList{"Задания|Передать?"});
    QCOMPARE(rig.errors, QStringList{"Задания|Не передано"});
}

void TestTableWindow::leavingAFieldClampsIt() {
    Rig rig;
    std::unique_ptr<TTableForm> form(rig.newForm());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    struct Row {
        const char* field;
        const char* typed;
        const char* shownAfter;
    };
    const Row rows[] = {{"seZad3", "5000", "1000"}, {"seZad4", "abc", "0"},
                        {"seKod1", "9", "8"},       {"sePortion1", "0", "1"},
                        {"seKod4", "7", "7"},       {"seZad1", "1234", "1000"}};
    for (const Row& r : rows) {
        ClampSpinEdit* s = spin(form.get(), r.field);
        s->setFocus();
        QTRY_VERIFY(s->hasFocus());
        editOf(s)->selectAll();
        QTest::keyClick(editOf(s), Qt::Key_Delete);
        QTest::keyClicks(editOf(s), r.typed);
        QCOMPARE(editOf(s)->text(), QString(r.typed));
        form->btnClose->setFocus();
        QTRY_VERIFY(!s->hasFocus());
        QCOMPARE(editOf(s)->text(), QString(r.shownAfter));
        QCOMPARE(s->value(), QString(r.shownAfter).toInt());
    }
    // A code field takes one digit, a setpoint four.
    ClampSpinEdit* kod = spin(form.get(), "seKod2");
    kod->setFocus();
    editOf(kod)->selectAll();
    QTest::keyClicks(editOf(kod), "12");
    QCOMPARE(editOf(kod)->text(), QString("1"));
    ClampSpinEdit* zad = spin(form.get(), "seZad2");
    zad->setFocus();
    editOf(zad)->selectAll();
    QTest::keyClicks(editOf(zad), "12345");
    QCOMPARE(editOf(zad)->text(), QString("1234"));
}

void TestTableWindow::enterPressesTheSendButton() {
    Rig rig;
    rig.answerYes = false;
    std::unique_ptr<TTableForm> form(rig.newForm());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    struct Row {
        const char* widget;
        Qt::Key key;
    };
    const Row rows[] = {{"seZad5", Qt::Key_Return},
                        {"seKod3", Qt::Key_Enter},
                        {"sePortion2", Qt::Key_Return},
                        {"btnRec1", Qt::Key_Return}};
    int asked = 0;
    for (const Row& r : rows) {
        QWidget* w = form->findChild<QWidget*>(r.widget);
        QVERIFY2(w, r.widget);
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), r.key);
        QCOMPARE(rig.confirms.size(), ++asked);
    }

    // Enter in a field with text past its range clamps the field before the send reads it.
    rig.answerYes = true;
    rig.peer.setResponder(scripted({0, 0}));
    ClampSpinEdit* s = spin(form.get(), "seZad6");
    s->setFocus();
    QTRY_VERIFY(s->hasFocus());
    editOf(s)->selectAll();
    QTest::keyClicks(editOf(s), "4000");
    QTest::keyClick(editOf(s), Qt::Key_Return);
    QCOMPARE(rig.confirms.size(), ++asked);
    QCOMPARE(rig.peer.requests().size(), std::size_t(2));
    QCOMPARE(rig.image.setpoints().block1[3], std::uint8_t(0xE8));
    QCOMPARE(rig.image.setpoints().block1[4], std::uint8_t(0x03));
    QCOMPARE(editOf(s)->text(), QString("1000"));
}

void TestTableWindow::enterRightAfterOpeningAsksToSend() {
    // Opened as the operator opens it: F1 in the main window.
    QTemporaryDir dir;
    Rig rig;
    rig.answerYes = false;
    TMainFormKorvel main(rig.station, {dir.filePath("korvel.ini"), dir.path()});
    QPointer<TTableForm> form;
    main.setViewFactory(TMainFormKorvel::View::TabZad, [&rig, &form]() -> QWidget* {
        form = rig.newForm();
        return form.data();
    });
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F1);
    QTRY_VERIFY(form);
    // The focus is in the first setpoint field, doser 1's.
    QTRY_VERIFY(form->seZad5->hasFocus() ||
                form->seZad5->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(rig.confirms.size(), 1);
    QVERIFY(form);
}

void TestTableWindow::closeButtonTakesOnlyClickOrSpace() {
    Rig rig;
    rig.answerYes = false;
    QPointer<TTableForm> form(rig.newForm());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.data()));
    // Enter on a focused close button is the window's Enter: it asks to send.
    form->btnClose->setFocus();
    QTRY_VERIFY(form->btnClose->hasFocus());
    QTest::keyClick(form->btnClose, Qt::Key_Return);
    QTest::keyClick(form->btnClose, Qt::Key_Enter);
    QCOMPARE(rig.confirms.size(), 2);
    QVERIFY(form);
    // Space presses it.
    QTest::keyClick(form->btnClose, Qt::Key_Space);
    QTRY_VERIFY(form.isNull());

    QPointer<TTableForm> second(rig.newForm());
    second->show();
    second->btnClose->click();
    QTRY_VERIFY(second.isNull());
    QCOMPARE(rig.confirms.size(), 2);
}

void TestTableWindow::screenshot() {
    const QString path = qEnvironmentVariable("KORVEL_TABLE_SHOT");
    if (path.isEmpty())
        QSKIP("set KORVEL_TABLE_SHOT to a PNG path to draw the window");
    Rig rig;
    const Bytes old = imageWith(kOld1, kOld2);
    rig.image.update(old.data());
    std::unique_ptr<TTableForm> form(rig.newForm());
    form->resize(957, 586);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(form->grab().save(path));
}

QTEST_MAIN(TestTableWindow)
#include "TableWindowTest.moc"
