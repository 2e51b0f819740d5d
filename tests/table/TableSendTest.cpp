// The send of the setpoint table against a scripted controller on a pseudo-terminal: the
// bytes of the two write requests on the line, the pause of polling around them, what failed
// requests leave in the setpoint copy and when the operator is told.
#include "TableRig.h"

#include "ClampSpinEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

class TestTableSend : public QObject {
    Q_OBJECT
private slots:
    void sendPutsBothBlocksOnTheLineExactly();
    void failedRequests_data();
    void failedRequests();
    void answeringNoSendsNothing();
    void closedPortShowsTheError();
    void textInAFieldSendsItsMinimum();
    void noReadRequestBetweenPauseAndResume();
};

void TestTableSend::sendPutsBothBlocksOnTheLineExactly() {
    Rig rig;
    const Bytes old = imageWith(kOld1, kOld2);
    rig.image.update(old.data());
    rig.peer.setResponder(scripted({0, 0}));
    std::unique_ptr<TTableForm> form(rig.newForm());
    QCOMPARE(shown(form.get()), kOldValues);
    setFields(form.get(), kNewValues);

    form->btnRec1->click();

    QCOMPARE(rig.confirms,
             QStringList{"Таблица заданий|Вы действительно желаете передать задание?"});
    QVERIFY(rig.errors.isEmpty());
    const auto requests = rig.peer.requests();
    QCOMPARE(requests.size(), std::size_t(2));

    // Request 1: to 1 from 0, write, offset 130, 7 bytes; 1000 as E8 03, 16 as 10 10.
    Bytes payload1 = {0x01, 0x00, 0x02, 0x82, 0x00, 0x07, 0xE8, 0x03, 0x03, 0x10, 0x00, 0x09, 0x04};
    const std::uint16_t crc1 = referenceCrc(payload1);
    const Bytes line1 = {0x10,
                         0x02,
                         0x01,
                         0x00,
                         0x02,
                         0x82,
                         0x00,
                         0x07,
                         0xE8,
                         0x03,
                         0x03,
                         0x10,
                         0x10,
                         0x00,
                         0x09,
                         0x04,
                         0x10,
                         0x03,
                         std::uint8_t(crc1 & 0xFF),
                         std::uint8_t(crc1 >> 8)};
    QCOMPARE(requests[0].payload, payload1);
    QCOMPARE(requests[0].raw, line1);
    QVERIFY(requests[0].crcGood);

    // Request 2: offset 137, 13 bytes; 272 kg as 10 10 01.
    Bytes payload2 = {0x01, 0x00, 0x02, 0x89, 0x00, 0x0D, 0x10, 0x01, 0x08, 0xE7,
                      0x03, 0x01, 0x00, 0x00, 0x09, 0x00, 0x01, 0x06, 0x09};
    const std::uint16_t crc2 = referenceCrc(payload2);
    const Bytes line2 = {0x10,
                         0x02,
                         0x01,
                         0x00,
                         0x02,
                         0x89,
                         0x00,
                         0x0D,
                         0x10,
                         0x10,
                         0x01,
                         0x08,
                         0xE7,
                         0x03,
                         0x01,
                         0x00,
                         0x00,
                         0x09,
                         0x00,
                         0x01,
                         0x06,
                         0x09,
                         0x10,
                         0x03,
                         std::uint8_t(crc2 & 0xFF),
                         std::uint8_t(crc2 >> 8)};
    QCOMPARE(requests[1].payload, payload2);
    QCOMPARE(requests[1].raw, line2);
    QVERIFY(requests[1].crcGood);

    // Pause, the 600 ms wait, both writes, resume.
    const std::vector<std::string> order = {"pause", "wait 600", "write 130", "write 137",
                                            "resume"};
    QCOMPARE(rig.log.events(), order);

    QCOMPARE(rig.image.setpoints().block1, kNew1);
    QCOMPARE(rig.image.setpoints().block2, kNew2);
    // The window keeps the values sent; a new one shows them too.
    QCOMPARE(shown(form.get()), kNewValues);
    std::unique_ptr<TTableForm> reopened(rig.newForm());
    QCOMPARE(shown(reopened.get()), kNewValues);
}

void TestTableSend::failedRequests_data() {
    QTest::addColumn<int>("answer1");
    QTest::addColumn<int>("answer2");
    QTest::addColumn<bool>("block1Sent");
    QTest::addColumn<bool>("block2Sent");
    QTest::addColumn<bool>("message");

    QTest::newRow("request 1 silent, request 2 good") << kSilent << 0 << false << true << false;
    QTest::newRow("request 1 status 2, request 2 good") << 2 << 0 << false << true << false;
    QTest::newRow("request 1 malformed, request 2 good") << kGarbage << 0 << false << true << false;
    QTest::newRow("request 2 status 3") << 0 << 3 << true << false << false;
    QTest::newRow("request 2 status 4") << 0 << 4 << true << false << false;
    QTest::newRow("request 2 status 7") << 0 << 7 << true << false << false;
    QTest::newRow("request 2 status 1") << 0 << 1 << true << false << true;
    QTest::newRow("request 2 status 2") << 0 << 2 << true << false << true;
    QTest::newRow("request 2 silent") << 0 << kSilent << true << false << true;
    QTest::newRow("request 2 malformed") << 0 << kGarbage << true << false << true;
    QTest::newRow("both silent") << kSilent << kSilent << false << false << true;
}

void TestTableSend::failedRequests() {
    QFETCH(int, answer1);
    QFETCH(int, answer2);
    QFETCH(bool, block1Sent);
    QFETCH(bool, block2Sent);
    QFETCH(bool, message);

    Rig rig;
    const Bytes old = imageWith(kOld1, kOld2);
    rig.image.update(old.data());
    rig.peer.setResponder(scripted({answer1, answer2}));
    std::unique_ptr<TTableForm> form(rig.newForm());
    setFields(form.get(), kNewValues);
    form->btnRec1->click();

    // Request 2 goes out whatever became of request 1, and polling always resumes.
    const std::vector<std::string> order = {"pause", "wait 600", "write 130", "write 137",
                                            "resume"};
    QCOMPARE(rig.log.events(), order);
    QCOMPARE(rig.errors,
             message ? QStringList{"Таблица заданий|Задание не передано."} : QStringList{});
    QCOMPARE(rig.image.setpoints().block1, block1Sent ? kNew1 : kOld1);
    QCOMPARE(rig.image.setpoints().block2, block2Sent ? kNew2 : kOld2);

    // The window keeps what was sent; the next one shows the copy as it now stands.
    QCOMPARE(shown(form.get()), kNewValues);
    std::unique_ptr<TTableForm> reopened(rig.newForm());
    const Values now = shown(reopened.get());
    for (const task::Field& f : task::kFields) {
        const bool sent = f.block == 1 ? block1Sent : block2Sent;
        const QString name = QLatin1String(f.name);
        QCOMPARE(now.at(name), sent ? kNewValues.at(name) : kOldValues.at(name));
    }
}

void TestTableSend::answeringNoSendsNothing() {
    Rig rig;
    rig.answerYes = false;
    rig.peer.setResponder(scripted({0, 0}));
    std::unique_ptr<TTableForm> form(rig.newForm());
    setFields(form.get(), kNewValues);
    form->btnRec1->click();
    QCOMPARE(rig.confirms.size(), 1);

    // A read sent afterwards is the first thing the peer sees: nothing went before it.
    rig.link.Trans(1, 0, 1, 0, 0, 130);
    QCOMPARE(rig.link.result(), 0u);
    const std::vector<std::string> order = {"read"};
    QCOMPARE(rig.log.events(), order);
    QVERIFY(rig.errors.isEmpty());
    QCOMPARE(rig.image.setpoints().block1, task::Block1{});
    QCOMPARE(rig.image.setpoints().block2, task::Block2{});
}

void TestTableSend::closedPortShowsTheError() {
    Rig rig;
    const Bytes old = imageWith(kOld1, kOld2);
    rig.image.update(old.data());
    rig.link.close();
    std::unique_ptr<TTableForm> form(rig.newForm());
    setFields(form.get(), kNewValues);
    form->btnRec1->click();

    const std::vector<std::string> order = {"pause", "wait 600", "resume"};
    QCOMPARE(rig.log.events(), order);
    QCOMPARE(rig.errors, QStringList{"Таблица заданий|Задание не передано."});
    QCOMPARE(rig.image.setpoints().block1, kOld1);
    QCOMPARE(rig.image.setpoints().block2, kOld2);
}

void TestTableSend::textInAFieldSendsItsMinimum() {
    Rig rig;
    rig.peer.setResponder(scripted({0, 0}));
    std::unique_ptr<TTableForm> form(rig.newForm());
    setFields(form.get(), kNewValues);
    // Typed text that is no number: a setpoint, a code, a portion count, an empty field.
    const std::map<QString, QString> typed = {{"seZad5", "abc"},
                                              {"seKod6", "x"},
                                              {"sePortion1", "-"},
                                              {"seZad2", ""},
                                              {"sePortion2", "q"}};
    for (const auto& [name, text] : typed) {
        ClampSpinEdit* s = spin(form.get(), name);
        editOf(s)->selectAll();
        QTest::keyClick(editOf(s), Qt::Key_Delete);
        if (!text.isEmpty())
            QTest::keyClicks(editOf(s), text);
        QCOMPARE(editOf(s)->text(), text);
    }
    form->btnRec1->click();

    const auto requests = rig.peer.requests();
    QCOMPARE(requests.size(), std::size_t(2));
    const Bytes data1(requests[0].payload.begin() + 6, requests[0].payload.end());
    const Bytes data2(requests[1].payload.begin() + 6, requests[1].payload.end());
    QCOMPARE(data1, (Bytes{0x00, 0x00, 0x03, 0x10, 0x00, 0x00, 0x01}));
    QCOMPARE(data2,
             (Bytes{0x10, 0x01, 0x08, 0x00, 0x00, 0x01, 0x00, 0x00, 0x09, 0x00, 0x01, 0x06, 0x01}));
    // The fields now show what went out.
    for (const auto& [name, text] : typed) {
        const QString expected = name.startsWith("sePortion") ? "1" : "0";
        QCOMPARE(editOf(spin(form.get(), name))->text(), expected);
    }
}

void TestTableSend::noReadRequestBetweenPauseAndResume() {
    Rig rig;
    rig.peer.setResponder(scripted({0, 0}));
    TComThread thread(rig.link, rig.image);
    thread.setCyclePause(std::chrono::milliseconds(5));
    rig.station.thread = &thread;
    thread.start();

    auto reads = [&rig] {
        int n = 0;
        for (const std::string& e : rig.log.events())
            n += e == "read";
        return n;
    };
    QTRY_VERIFY_WITH_TIMEOUT(reads() >= 2, 10000);

    std::unique_ptr<TTableForm> form(rig.newForm());
    setFields(form.get(), kNewValues);
    form->btnRec1->click();
    const int readsAtResume = reads();
    QTRY_VERIFY_WITH_TIMEOUT(reads() > readsAtResume, 10000);
    thread.stop();

    const std::vector<std::string> events = rig.log.events();
    const auto pause = std::find(events.begin(), events.end(), "pause");
    const auto resume = std::find(events.begin(), events.end(), "resume");
    QVERIFY(pause != events.end() && resume != events.end());
    QVERIFY(std::find(events.begin(), pause, "read") != pause);
    const std::vector<std::string> during(pause + 1, resume);
    const std::vector<std::string> expected = {"wait 600", "write 130", "write 137"};
    QCOMPARE(during, expected);
    QVERIFY(std::find(resume, events.end(), "read") != events.end());
    QVERIFY(rig.errors.isEmpty());
    QCOMPARE(rig.image.setpoints().block2, kNew2);
}

QTEST_MAIN(TestTableSend)
#include "TableSendTest.moc"
