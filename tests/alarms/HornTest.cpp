// The horn: repeated while an alarm is unacknowledged, quiet after "Сброс звука" until the
// next alarm, and on a machine without an audio output one line of warning, no more.
#include "Horn.h"
#include "AlarmStates.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QtTest>

class TestHorn : public QObject {
    Q_OBJECT
private slots:
    void toneIsShortAndStartsAndEndsQuietly() {
        const QByteArray pcm = Horn::tone();
        QCOMPARE(pcm.size(), 6615 * 2);
        const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
        const int n = int(pcm.size() / 2);
        int peak = 0;
        for (int i = 0; i < n; ++i)
            peak = std::max(peak, std::abs(int(s[i])));
        QVERIFY(peak > 15000 && peak <= 16000);
        QVERIFY(std::abs(int(s[0])) < 100);
        QVERIFY(std::abs(int(s[n - 1])) < 100);
    }

    void repeatsUntilSilencedAndWarnsOnceWithoutSound() {
        AlarmStates states;
        HornLogic logic(states);
        QStringList warnings;
        Horn horn(logic, [&](const QString& w) { warnings << w; });
        horn.update();
        QVERIFY(!horn.sounding());
        QCOMPARE(horn.tones(), 0);
        states.came(3, QDateTime::currentDateTime());
        horn.update();
        QVERIFY(horn.sounding());
        QCOMPARE(horn.tones(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(horn.tones() >= 3, 15000); // every two seconds
        logic.silence();
        horn.update();
        QVERIFY(!horn.sounding());
        const int tones = horn.tones();
        QTest::qWait(2500);
        QCOMPARE(horn.tones(), tones);
        const bool noAudio = QMediaDevices::defaultAudioOutput().isNull();
        QCOMPARE(warnings.size(), noAudio ? 1 : 0);
        if (noAudio)
            QVERIFY(warnings.front().contains("no audio output"));
    }
};

QTEST_MAIN(TestHorn)
#include "HornTest.moc"
