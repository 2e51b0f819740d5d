#pragma once
// TDM, the data module: owns the process image, the link routines and the poll thread, the
// alarm evaluation and the three record writers, and runs the steps of a good poll cycle.
// It lives for the whole run; the main window drives it through the Station interface.
#include "AlarmEvaluator.h"
#include "AlarmStates.h"
#include "ArchiveWriter.h"
#include "ComLink.h"
#include "ComThread.h"
#include "DosingRecorder.h"
#include "JournalWriter.h"
#include "ProcessImage.h"
#include "Recovery.h"
#include "SetpointSend.h"
#include "Station.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class TDM : public Station {
public:
    // Where events go: the main window's AvariaMemo, through the ordered event queue. Called
    // on the poll thread for alarms and dosing or archive write failures.
    using EventSink = std::function<void(const QString& text, QRgb colour)>;

    // `journalFailures` shows a failed journal write in the event list without a journal
    // record of its own; it is connected before the first record can be written.
    TDM(const QString& workDir, EventSink events, EventSink journalFailures = {});
    // Stops polling and saves what could not be written (see saveUnwritten).
    ~TDM() override;

    // Station
    QString openPort(int port, int speed) override { return Initial(port, speed); }
    bool portOpen() const override { return link.portOpen(); }
    void closePort() override { link.close(); }
    void startPolling() override;
    void pausePolling() override { thread.pause(); }
    void resumePolling() override { thread.resume(); }
    void stopPolling() override;
    void journal(const QString& text, int code) override { Jurnal(text, code); }
    void setMaxArhDay(int days) override { maxArhDay_.store(days); }

    // The routines by their names.
    QString Initial(int port, int speed) { return link.Initial(port, speed); }
    void Trans(quint8 rcv, quint8 snd, quint8 func, quint8 lo, quint8 hi, quint16 count) {
        link.Trans(rcv, snd, func, lo, hi, count);
    }
    void VerifyAlarms();
    void CompleteDoza() { dosing.CompleteDoza(image); }
    void Arhive();
    void Jurnal(const QString& text, int code);

    // At start, before polling: records an earlier run could not write are written into
    // their own days' tables, and one event line says how many. Returns that number.
    int recoverUnwritten();
    // At the end, after the last record: one more try for the kept dosing and journal
    // records, and what is still unwritten goes to the recovery file (failing that, one
    // line per record on the error output). Returns the number of records saved.
    int saveUnwritten();

    QString workDir() const { return workDir_; }

    // The port named on the command line instead of the one of the settings.
    void setDeviceOverride(const QString& path) { link.setDeviceOverride(path); }
    // The process image the windows draw from (they read copies taken under its lock).
    const ProcessImage& processImage() const { return image; }
    // Failed exchanges in a row, for the mimic's link display.
    int linkFailureCount() const { return thread.failureCount(); }
    // The poll thread's window effects (link status and icon, stop and attention colours,
    // link events, failed steps) as its signals.
    const TComThread& pollSignals() const { return thread; }
    // What is wrong now and whether anyone has seen it: the fault bits and the link loss.
    AlarmStates& alarms() { return alarmStates; }
    // What the plant network is told, each on the thread that makes it: every event line
    // with its kind ("alarm", "clearing", "message", "write failure"), every dose record's
    // values, the image after every good answer, and the link state after every cycle
    // ("open" before the first answer, "good", "lost"). Set before polling starts.
    struct NetworkHooks {
        std::function<void(const QString& text, const char* kind)> event;
        std::function<void(const std::vector<QString>& values)> dose;
        std::function<void(const ImageData& image)> goodAnswer;
        std::function<void(const char* state)> link;
    };
    void setNetworkHooks(NetworkHooks hooks);

    // The dosing task's way to the controller.
    SetpointSend& setpointSend() { return setpoints; }

private:
    ProcessImage image;
    ComLink link{image};
    TComThread thread{link, image};
    AlarmEvaluator evaluator;
    AlarmStates alarmStates;
    SetpointSend setpoints{link, *this, image};

    int maxArhDay() const { return maxArhDay_.load(); }
    void reportWriteFailure(const EventSink& sink, const QString& fileName);
    void reportMovedAside(const QString& fileName, const QString& movedTo);
    // Every poll cycle: kept records of every kind are tried again.
    void retryKept();
    void retryJournal();
    // The records kept unwritten, by kind, as the recovery file lists them.
    std::vector<recovery::Kind> keptKinds() const;

    QString workDir_;
    EventSink events_;
    EventSink journalFailure_;
    std::atomic<int> maxArhDay_{45};
    // Kept journal records exist (the journal writer lives on the window thread; the poll
    // cycle only asks it to try again).
    std::atomic<bool> journalKept_{false};
    NetworkHooks network_;
    int linkStatePublished_ = -1; // poll thread only
    // The recovery file still lists records from an earlier run.
    bool recoveryPending_ = false;
    // Receives the poll cycle's retry requests on the window thread.
    QObject windowThread_;

    DosingRecorder dosing;
    JournalWriter journalWriter;
    ArchiveWriter archive;
};
