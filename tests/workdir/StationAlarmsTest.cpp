// Alarm management in the whole station against the simulator on a pseudo-terminal: two
// faults come, one clears, the operator acknowledges all; the active-alarm window, the horn
// and the journal show exactly that.
#include "ActiveAlarmsUnit.h"
#include "AlarmStates.h"
#include "AlarmTexts.h"
#include "DailyTables.h"
#include "DbfTable.h"
#include "EventList.h"
#include "Horn.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "SimProcess.h"
#include "StationRoot.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
struct Row {
    QString came, cleared, text, state;
    QColor colour;
};

std::vector<Row> rows(const TActiveAlarmsForm& w) {
    std::vector<Row> out;
    for (int r = 0; r < w.grdAlarms->rowCount(); ++r)
        out.push_back({w.grdAlarms->item(r, 0)->text(), w.grdAlarms->item(r, 1)->text(),
                       w.grdAlarms->item(r, 2)->text(), w.grdAlarms->item(r, 3)->text(),
                       w.grdAlarms->item(r, 0)->foreground().color()});
    return out;
}

QStringList journal(const QString& workDir) {
    DbfReader r;
    QStringList out;
    if (r.open(daily::fileName(workDir, daily::kJournal, QDate::currentDate()), nullptr))
        for (int i = 0; i < r.recordCount(); ++i)
            out << QString("%1 (%2)").arg(r.text(i, 2)).arg(r.number(i, 3));
    return out;
}
} // namespace

class TestStationAlarms : public QObject {
    Q_OBJECT
private slots:
    void twoFaultsOneClearedAllAcknowledged() {
        QTemporaryDir work, config, state;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        SimProcess sim({});
        QVERIFY(!sim.path().empty());
        StationRoot root(
            {work.path(), QString::fromStdString(sim.path()), config.filePath("korvel.ini"), {}});
        TMainFormKorvel& form = root.mainForm();
        AlarmStates& states = root.dataModule().alarms();
        const MainTexts texts = MainTexts::defaults();
        QTRY_VERIFY_WITH_TIMEOUT(root.dataModule().pollSignals().linkState() == TComThread::Good,
                                 20000);
        QVERIFY(!form.hornLogic()->sounding());

        const QString gate = "Авария затвора дозатора 4 РКО-1";
        const QString skip = "Авария механизма подъемника скипового";
        sim.command("fault 24.7 on");
        QTRY_COMPARE_WITH_TIMEOUT(states.entry(7).state, AlarmState::ActiveUnacknowledged, 10000);
        sim.command("fault 83.0 on");
        QTRY_COMPARE_WITH_TIMEOUT(states.entry(43).state, AlarmState::ActiveUnacknowledged, 10000);
        // The horn from the first alarm on; the alarm button blinks.
        QVERIFY(form.hornLogic()->sounding());
        QTRY_VERIFY_WITH_TIMEOUT(form.horn()->sounding(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(form.btnAlarms->property("blinkOn").toBool(), 5000);
        const QImage lit = form.btnAlarms->grab().toImage();
        QCOMPARE(lit.pixelColor(2, 2), QColor(0xFF, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!form.btnAlarms->property("blinkOn").toBool(), 5000);
        QVERIFY(form.btnAlarms->grab().toImage().pixelColor(2, 2) != QColor(0xFF, 0, 0));
        sim.command("fault 24.7 off");
        QTRY_COMPARE_WITH_TIMEOUT(states.entry(7).state, AlarmState::ClearedUnacknowledged, 10000);
        // The operator acknowledges what the event list shows: the clearing line first.
        QTRY_VERIFY_WITH_TIMEOUT(journal(work.path()).contains("УСТРАНЕНА " + gate + " (0)"),
                                 10000);

        // F7 opens the window, closing the mimic.
        QTest::keyClick(&form, Qt::Key_F7);
        auto* window = form.findChild<TActiveAlarmsForm*>();
        QVERIFY(window);
        window->RefreshTimerTimer();
        auto list = rows(*window);
        QCOMPARE(int(list.size()), 2);
        QCOMPARE(list[0].text, skip); // newest first
        QCOMPARE(list[0].state, "Активна");
        QVERIFY(list[0].cleared.isEmpty());
        QCOMPARE(list[0].colour, QColor(0xFF, 0, 0));
        QCOMPARE(list[1].text, gate);
        QCOMPARE(list[1].state, "Устранена, не квитирована");
        QVERIFY(!list[1].cleared.isEmpty());
        QCOMPARE(list[1].colour, QColor(0x80, 0, 0));

        // F9 from the window acknowledges all: the cleared one leaves the list.
        form.activateWindow();
        QTest::keyClick(window->grdAlarms, Qt::Key_F9);
        QTRY_VERIFY_WITH_TIMEOUT(!states.anyUnacknowledged(), 5000);
        window->RefreshTimerTimer();
        list = rows(*window);
        QCOMPARE(int(list.size()), 1);
        QCOMPARE(list[0].text, skip);
        QCOMPARE(list[0].state, "Квитирована");
        QCOMPARE(list[0].colour, QColor(Qt::black));
        QCOMPARE(states.entry(43).acknowledgedBy, "оператор");
        QTRY_VERIFY_WITH_TIMEOUT(!form.horn()->sounding(), 5000);

        // The journal holds exactly the alarm, its clearing and the two acknowledgements.
        QStringList expected = {gate + " (1)", skip + " (1)", "УСТРАНЕНА " + gate + " (0)",
                                "Квитировано: " + skip + " (0)", "Квитировано: " + gate + " (0)"};
        // The records reach the table through the event queue: wait for the last of them.
        auto alarmRecords = [&] {
            QStringList records;
            for (const QString& r : journal(work.path()))
                if (r.contains(gate) || r.contains(skip))
                    records << r;
            return records;
        };
        QTRY_COMPARE_WITH_TIMEOUT(alarmRecords(), expected, 10000);

        // A new alarm sounds again; "Сброс звука" silences it without acknowledging.
        sim.command("fault 84.2 on");
        QTRY_COMPARE_WITH_TIMEOUT(states.entry(46).state, AlarmState::ActiveUnacknowledged, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(form.horn()->sounding(), 5000);
        form.btnHornOff->click();
        QVERIFY(!form.hornLogic()->sounding());
        QVERIFY(!form.horn()->sounding());
        QVERIFY(states.anyUnacknowledged());
        form.close();
    }
};

QTEST_MAIN(TestStationAlarms)
#include "StationAlarmsTest.moc"
