// The setpoint table against a scripted controller on a pseudo-terminal: what the fields show,
// the bytes of the two write requests on the line, the pause of polling around them, the
// outcome of failed requests and the texts.
#include "PtyPeer.h"

#include "BevelPanel.h"
#include "ClampSpinEdit.h"
#include "ComLink.h"
#include "ComThread.h"
#include "Cp1251.h"
#include "MaterialColours.h"
#include "PosixSerialPort.h"
#include "ProcessImage.h"
#include "Station.h"
#include "TableUnit.h"

#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

namespace {

// Records pause and resume in the shared log; with a poll thread it also drives it.
class RecordingStation : public Station {
public:
    explicit RecordingStation(EventLog& log) : log_(log) {}
    TComThread* thread = nullptr;

    QString openPort(int, int) override { return {}; }
    bool portOpen() const override { return true; }
    void closePort() override {}
    void startPolling() override {}
    void pausePolling() override {
        if (thread)
            thread->pause();
        log_.add("pause");
    }
    void resumePolling() override {
        log_.add("resume");
        if (thread)
            thread->resume();
    }
    void stopPolling() override {}
    void journal(const QString&, int) override {}
    void setMaxArhDay(int) override {}

private:
    EventLog& log_;
};

// The 130 image bytes with the task values of the two blocks at their image places.
Bytes imageWith(const task::Block1& b1, const task::Block2& b2) {
    Bytes image(130, 0);
    const int places1[7] = {2, 3, 4, 5, 6, 7, 13};
    for (int i = 0; i < 7; ++i)
        image[places1[i]] = b1[i];
    for (int i = 0; i < 12; ++i)
        image[32 + i] = b2[i];
    image[53] = b2[12];
    return image;
}

// Write answers by the order of the write requests: a status byte, or kSilent / kGarbage.
constexpr int kSilent = -1;
constexpr int kGarbage = -2;

Bytes answerFor(int code) {
    if (code == kSilent)
        return {};
    if (code == kGarbage)
        return {0x10, 0x02, 0x55, 0x10, 0x03, 0x00, 0x00};
    return writeAnswer(static_cast<std::uint8_t>(code));
}

PtyPeer::Responder scripted(std::vector<int> writeCodes, Bytes image = Bytes(130, 0)) {
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    return [writeCodes, image, next](const Request& r) -> Bytes {
        if (r.payload.size() > 2 && r.payload[2] == 1)
            return readAnswer(image);
        const std::size_t i = (*next)++;
        return answerFor(i < writeCodes.size() ? writeCodes[i] : 0);
    };
}

using Values = std::map<QString, int>;

// The station end: image, link on the pseudo-terminal, recording station and the answers
// the operator gives.
struct Rig {
    EventLog log;
    ProcessImage image;
    ComLink link{image};
    PtyPeer peer{log};
    RecordingStation station{log};
    bool answerYes = true;
    QStringList confirms; // "title|text"
    QStringList errors;   // "title|text"

    Rig() {
        QString error;
        auto port = PosixSerialPort::open(peer.slavePath(), &error);
        if (port) {
            port->configure(9600);
            link.attach(std::move(port));
        } else {
            qWarning() << "pseudo-terminal:" << error;
        }
    }

    TTableForm* newForm(const QString& langFile = {}) {
        auto* form = new TTableForm(link, station, image, langFile);
        form->hooks.confirm = [this](QWidget*, const QString& title, const QString& text) {
            confirms << title + QLatin1Char('|') + text;
            return answerYes;
        };
        form->hooks.error = [this](QWidget*, const QString& title, const QString& text) {
            errors << title + QLatin1Char('|') + text;
        };
        form->hooks.wait = [this](int ms) { log.add("wait " + std::to_string(ms)); };
        return form;
    }

    std::vector<std::string> writesSeen() const {
        std::vector<std::string> out;
        for (const std::string& e : log.events()) {
            if (e.rfind("write", 0) == 0)
                out.push_back(e);
        }
        return out;
    }
};

QLineEdit* editOf(QWidget* spinField) {
    return spinField->findChild<QLineEdit*>();
}

ClampSpinEdit* spin(QWidget* form, const QString& name) {
    return form->findChild<ClampSpinEdit*>(name);
}

void setFields(QWidget* form, const Values& values) {
    for (const auto& [name, value] : values)
        spin(form, name)->setValue(value);
}

// Every task field with the value the field shows.
Values shown(QWidget* form) {
    Values v;
    for (const task::Field& f : task::kFields) {
        ClampSpinEdit* s = spin(form, QLatin1String(f.name));
        v[QLatin1String(f.name)] = editOf(s)->text().toInt();
    }
    return v;
}

const task::Block1 kOld1 = {0x64, 0x00, 0x01, 0xC8, 0x00, 0x02, 0x03};
const task::Block2 kOld2 = {0x2C, 0x01, 0x04, 0x90, 0x01, 0x05, 0xF4,
                            0x01, 0x06, 0x58, 0x02, 0x07, 0x05};
const Values kOldValues = {{"seZad5", 100},   {"seKod5", 1},    {"seZad6", 200}, {"seKod6", 2},
                           {"sePortion1", 3}, {"seZad1", 300},  {"seKod1", 4},   {"seZad2", 400},
                           {"seKod2", 5},     {"seZad3", 500},  {"seKod3", 6},   {"seZad4", 600},
                           {"seKod4", 7},     {"sePortion2", 5}};

// A task whose bytes show the word order and the doubled 0x10: 1000 kg is E8 03, 16 kg and
// 272 kg put a 0x10 into the payload.
const Values kNewValues = {{"seZad5", 1000},  {"seKod5", 3},    {"seZad6", 16}, {"seKod6", 9},
                           {"sePortion1", 4}, {"seZad1", 272},  {"seKod1", 8},  {"seZad2", 999},
                           {"seKod2", 1},     {"seZad3", 0},    {"seKod3", 9},  {"seZad4", 256},
                           {"seKod4", 6},     {"sePortion2", 9}};
const task::Block1 kNew1 = {0xE8, 0x03, 0x03, 0x10, 0x00, 0x09, 0x04};
const task::Block2 kNew2 = {0x10, 0x01, 0x08, 0xE7, 0x03, 0x01, 0x00,
                            0x00, 0x09, 0x00, 0x01, 0x06, 0x09};

} // namespace

Q_DECLARE_METATYPE(Values)

class TestTableForm : public QObject {
    Q_OBJECT
private slots:
    void opensBeforeFirstAnswerWithZerosAndOnes();
    void fieldsTakeTheSetpointCopyClamped();
    void layoutAndDefaultTexts();
    void languageFileReplacesTexts();
    void sendPutsBothBlocksOnTheLineExactly();
    void failedRequests_data();
    void failedRequests();
    void answeringNoSendsNothing();
    void closedPortShowsTheError();
    void textInAFieldSendsItsMinimum();
    void leavingAFieldClampsIt();
    void enterPressesTheSendButton();
    void closeButtonFreesTheWindow();
    void noReadRequestBetweenPauseAndResume();
    void screenshot();
};

void TestTableForm::opensBeforeFirstAnswerWithZerosAndOnes() {
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

void TestTableForm::fieldsTakeTheSetpointCopyClamped() {
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

void TestTableForm::layoutAndDefaultTexts() {
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
        QCOMPARE(swatch->palette().color(QPalette::Window), materialColour(code));
        QCOMPARE(form->labMat[code]->text(), QString::fromUtf8(legend[code]));
        QCOMPARE(form->labMat[code]->x(), swatch->x() + 70);
    }
}

void TestTableForm::languageFileReplacesTexts() {
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

void TestTableForm::sendPutsBothBlocksOnTheLineExactly() {
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

void TestTableForm::failedRequests_data() {
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

void TestTableForm::failedRequests() {
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

void TestTableForm::answeringNoSendsNothing() {
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

void TestTableForm::closedPortShowsTheError() {
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

void TestTableForm::textInAFieldSendsItsMinimum() {
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

void TestTableForm::leavingAFieldClampsIt() {
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

void TestTableForm::enterPressesTheSendButton() {
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

void TestTableForm::closeButtonFreesTheWindow() {
    Rig rig;
    QPointer<TTableForm> form(rig.newForm());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.data()));
    // A focused close button takes Enter itself, as it would in a dialog.
    form->btnClose->setFocus();
    QTRY_VERIFY(form->btnClose->hasFocus());
    QTest::keyClick(form->btnClose, Qt::Key_Return);
    QTRY_VERIFY(form.isNull());
    QVERIFY(rig.confirms.isEmpty());

    QPointer<TTableForm> second(rig.newForm());
    second->show();
    second->btnClose->click();
    QTRY_VERIFY(second.isNull());
}

void TestTableForm::noReadRequestBetweenPauseAndResume() {
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

void TestTableForm::screenshot() {
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

QTEST_MAIN(TestTableForm)
#include "test_table_form.moc"
