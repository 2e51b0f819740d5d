#pragma once
// The station end of the setpoint table tests: process image, link on a pseudo-terminal to a
// scripted controller, a station that records pause and resume, the operator's answers, and
// two prepared tasks with their exact block bytes.
#include "PtyPeer.h"

#include "ComLink.h"
#include "ComThread.h"
#include "ProcessImage.h"
#include "Station.h"
#include "TableUnit.h"

#include <QString>
#include <QStringList>
#include <map>

class ClampSpinEdit;
class QLineEdit;

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

struct Rig {
    EventLog log;
    ProcessImage image;
    ComLink link{image};
    PtyPeer peer{log};
    RecordingStation station{log};
    SetpointSend send{link, station, image};
    bool answerYes = true;
    QStringList confirms; // "title|text"
    QStringList errors;   // "title|text"

    Rig();
    // A window whose boxes and wait are answered by this rig.
    TTableForm* newForm(const QString& langFile = {});
};

// The 130 image bytes with the task values of the two blocks at their image places.
Bytes imageWith(const task::Block1& b1, const task::Block2& b2);

// Write answers by the order of the write requests: a status byte, or kSilent / kGarbage.
constexpr int kSilent = -1;
constexpr int kGarbage = -2;
Bytes answerFor(int code);
// Reads answered with the image, writes in turn with the given codes (then status 0).
PtyPeer::Responder scripted(std::vector<int> writeCodes, Bytes image = Bytes(130, 0));

using Values = std::map<QString, int>;

QLineEdit* editOf(QWidget* spinField);
ClampSpinEdit* spin(QWidget* form, const QString& name);
void setFields(QWidget* form, const Values& values);
// Every task field with the value its text shows.
Values shown(QWidget* form);

// A task already in the copy, and a new one whose bytes show the word order and the doubled
// 0x10: 1000 kg is E8 03, 16 kg and 272 kg put a 0x10 into the payload.
extern const task::Block1 kOld1;
extern const task::Block2 kOld2;
extern const Values kOldValues;
extern const Values kNewValues;
extern const task::Block1 kNew1;
extern const task::Block2 kNew2;
