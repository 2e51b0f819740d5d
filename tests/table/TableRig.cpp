#include "TableRig.h"

#include "ClampSpinEdit.h"
#include "PosixSerialPort.h"

#include <QDebug>
#include <QLineEdit>

Rig::Rig() {
    QString error;
    auto port = PosixSerialPort::open(peer.slavePath(), &error);
    if (port) {
        port->configure(9600);
        link.attach(std::move(port));
    } else {
        qWarning() << "pseudo-terminal:" << error;
    }
}

TTableForm* Rig::newForm(const QString& langFile) {
    auto* form = new TTableForm(send, langFile);
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

Bytes answerFor(int code) {
    if (code == kSilent)
        return {};
    if (code == kGarbage)
        return {0x10, 0x02, 0x55, 0x10, 0x03, 0x00, 0x00};
    return writeAnswer(static_cast<std::uint8_t>(code));
}

PtyPeer::Responder scripted(std::vector<int> writeCodes, Bytes image) {
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    return [writeCodes, image, next](const Request& r) -> Bytes {
        if (r.payload.size() > 2 && r.payload[2] == 1)
            return readAnswer(image);
        const std::size_t i = (*next)++;
        return answerFor(i < writeCodes.size() ? writeCodes[i] : 0);
    };
}

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

const Values kNewValues = {{"seZad5", 1000},  {"seKod5", 3},    {"seZad6", 16}, {"seKod6", 9},
                           {"sePortion1", 4}, {"seZad1", 272},  {"seKod1", 8},  {"seZad2", 999},
                           {"seKod2", 1},     {"seZad3", 0},    {"seKod3", 9},  {"seZad4", 256},
                           {"seKod4", 6},     {"sePortion2", 9}};
const task::Block1 kNew1 = {0xE8, 0x03, 0x03, 0x10, 0x00, 0x09, 0x04};
const task::Block2 kNew2 = {0x10, 0x01, 0x08, 0xE7, 0x03, 0x01, 0x00,
                            0x00, 0x09, 0x00, 0x01, 0x06, 0x09};
