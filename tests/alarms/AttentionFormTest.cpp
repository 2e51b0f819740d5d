// The attention window: layout, texts and the colours of the eight coordinator signals.
#include "AttentionUnit.h"
#include "Cp1251.h"
#include "ProcessImage.h"

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kSilver(0xC0, 0xC0, 0xC0);

void setSignals(ProcessImage& image, int byte88) {
    std::uint8_t data[ImageData::kSize + 2] = {};
    data[88] = std::uint8_t(byte88);
    image.update(data);
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}
} // namespace

class AttentionFormTest : public QObject {
    Q_OBJECT
private slots:
    void init() { image.reset(); }

    void layoutAndLook() {
        TAttentionForm form(image, QString());
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));
        form.show();
        QVERIFY(!form.isModal());
        QCOMPARE(form.size(), QSize(213, 248));
        for (int i = 1; i <= 8; ++i) {
            auto* panel = form.findChild<QFrame*>(QStringLiteral("Panel%1").arg(i));
            QVERIFY(panel);
            QCOMPARE(panel->geometry(), QRect(0, (i - 1) * 31, 213, 31));
            QCOMPARE(panel->frameShape(), QFrame::Panel);
            QCOMPARE(panel->frameShadow(), QFrame::Sunken);
            QVERIFY(panel->autoFillBackground());
            QCOMPARE(panel->palette().color(QPalette::Window), QColor(0xDF, 0xDF, 0xDE));
            auto* label = panel->findChild<QLabel*>(QStringLiteral("labEvent%1").arg(i));
            QVERIFY(label);
            QCOMPARE(label, form.label(i - 1));
            QCOMPARE(label->alignment(), Qt::AlignCenter);
            QVERIFY(label->wordWrap());
            QVERIFY(!label->autoFillBackground());
            QCOMPARE(label->font().pixelSize(), 11);
            QVERIFY(panel->rect().adjusted(1, 1, -1, -1).contains(label->geometry()));
            QVERIFY(label->width() >= 211 && label->height() >= 29);
        }
        auto* timer = form.findChild<QTimer*>(QStringLiteral("EventTimer"));
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 500);
        // Centred on the screen, frame and all.
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2((form.frameGeometry().center() - centre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("window at %1,%2")
                                .arg(form.frameGeometry().center().x())
                                .arg(form.frameGeometry().center().y())));
    }

    void defaultTexts() {
        TAttentionForm form(image, QStringLiteral("/nonexistent/none.ini"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Внимание"));
        const char* const expected[8] = {
            "Нет сигнала \"Разрешение на выгрузку дозаторов\" от координатора для печи 1",
            "Нет сигнала \"Разрешение движения тележки\" от координатора для печи 1",
            "Нет пустого печного бункера печи 1",
            "Нет сигнала \"Разрешение на выгрузку дозаторов\" от координатора для печи 2",
            "Нет загрузки бункера шихты печи 2",
            "Нет пустого печного бункера печи 2",
            "В координаторе нет сигнала \"Конец выгрузки\" от печи 1",
            "В координаторе нет сигнала \"Конец выгрузки\" от печи 2",
        };
        for (int i = 0; i < 8; ++i) {
            QLabel* label = form.label(i);
            QCOMPARE(label->text(), QString::fromUtf8(expected[i]));
            // Each text wraps over at most two lines inside its panel, in 11 px type.
            QCOMPARE(label->font().pixelSize(), 11);
            const QRect needed =
                QFontMetrics(label->font())
                    .boundingRect(QRect(0, 0, 211, 1000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.width() <= 211 && needed.height() <= 29,
                     qPrintable(QStringLiteral("label %1 needs %2 x %3")
                                    .arg(i + 1)
                                    .arg(needed.width())
                                    .arg(needed.height())));
        }
    }

    void textsFromTheLanguageFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("English.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp1251::encode(
            QStringLiteral("[Main]\r\nlabEvent1=wrong section\r\n"
                           "[Attention]\r\nAttentionForm=Attention\r\n"
                           "labEvent1=No \"Unload dosers\" permission for furnace 1\r\n"
                           "labEvent8=Нет \"Конец выгрузки\" | печь 2\r\n")));
        file.close();
        TAttentionForm form(image, path);
        QCOMPARE(form.windowTitle(), QStringLiteral("Attention"));
        QCOMPARE(form.label(0)->text(),
                 QStringLiteral("No \"Unload dosers\" permission for furnace 1"));
        // Not a multi-line text: the bar stays as it is.
        QCOMPARE(form.label(7)->text(), QStringLiteral("Нет \"Конец выгрузки\" | печь 2"));
        // Keys missing from the file keep their defaults.
        QCOMPARE(form.label(2)->text(), QStringLiteral("Нет пустого печного бункера печи 1"));
    }

    void colours_data() {
        QTest::addColumn<int>("byte88");
        QTest::addColumn<QString>("lit"); // '1' for a red label, per label 1..8
        QTest::newRow("none") << 0x00 << "00000000";
        QTest::newRow("0x41") << 0x41 << "10000010";
        QTest::newRow("all") << 0xFF << "11111111";
        for (int bit = 0; bit < 8; ++bit) {
            QString lit(8, u'0');
            lit[bit] = u'1';
            QTest::addRow("bit %d", bit) << (1 << bit) << lit;
        }
    }
    void colours() {
        QFETCH(int, byte88);
        QFETCH(QString, lit);
        setSignals(image, 0xAA ^ byte88); // the state before, to see every label change
        TAttentionForm form(image, QString());
        setSignals(image, byte88);
        form.DrawEvent();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(textColour(form.label(i)), lit[i] == u'1' ? kRed : kSilver);
    }

    void timerFollowsTheImage() {
        setSignals(image, 0x41);
        auto* form = new TAttentionForm(image, QString());
        QPointer<TAttentionForm> ref(form);
        form->show();
        QCOMPARE(textColour(form->label(0)), kRed);
        QCOMPARE(textColour(form->label(6)), kRed);
        setSignals(image, 0x02);
        // Waits for the window's own timer (500 ms), bounded by a generous limit.
        QTRY_COMPARE_WITH_TIMEOUT(textColour(form->label(0)), kSilver, 10000);
        QCOMPARE(textColour(form->label(1)), kRed);
        QCOMPARE(textColour(form->label(6)), kSilver);

        // Closing frees the window, so the holder's reference becomes empty.
        QVERIFY(form->close());
        QTRY_VERIFY_WITH_TIMEOUT(ref.isNull(), 10000);
    }

private:
    ProcessImage image;
};

QTEST_MAIN(AttentionFormTest)
#include "AttentionFormTest.moc"
