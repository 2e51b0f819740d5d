#include "DataModule.h"

#include "Colours.h"
#include "MainTexts.h"
#include "Recovery.h"

#include <QFileInfo>
#include <QTextStream>

namespace {
using colours::kBlack;
using colours::kRed;
} // namespace

TDM::TDM(const QString& workDir, EventSink events, EventSink journalFailures)
    : workDir_(workDir), events_(std::move(events)), journalFailure_(std::move(journalFailures)),
      dosing(
          workDir, [this] { return maxArhDay(); },
          [this](const QString& file) { reportWriteFailure(events_, file); }),
      journalWriter(
          workDir, [this] { return maxArhDay(); },
          [this](const QString& file) { reportWriteFailure(journalFailure_, file); }),
      archive(
          workDir, [this] { return maxArhDay(); },
          [this](const QString& file) { reportWriteFailure(events_, file); }) {
    for (DailyWriter* w : std::initializer_list<DailyWriter*>{&dosing, &journalWriter, &archive})
        w->setAsideReport([this](const QString& file, const QString& movedTo, DailyWriter::Aside) {
            reportMovedAside(file, movedTo);
        });
    thread.setGoodAnswerSteps([this] { VerifyAlarms(); }, [this] { CompleteDoza(); },
                              [this] { Arhive(); });
    thread.setEveryCycleStep([this] { retryKept(); });
    // The alarm states follow the same evaluation that reports; the link loss is an alarm
    // of its own, kept on the poll thread as the link event is made.
    evaluator.setStates(&alarmStates);
    QObject::connect(
        &thread, &TComThread::linkEvent, &windowThread_,
        [this](const QString&, QRgb colour) {
            const QDateTime now = QDateTime::currentDateTime();
            if (colour == kRed)
                alarmStates.came(AlarmStates::kLinkLoss, now);
            else
                alarmStates.went(AlarmStates::kLinkLoss, now);
        },
        Qt::DirectConnection);
}

TDM::~TDM() {
    stopPolling();
    saveUnwritten();
}

void TDM::startPolling() {
    if (!thread.isRunning())
        thread.start();
}

void TDM::stopPolling() {
    if (thread.isRunning())
        thread.stop();
    // Dosing records kept after a failed write get one more chance before the end.
    dosing.flushKept();
}

void TDM::setNetworkHooks(NetworkHooks hooks) {
    network_ = std::move(hooks);
    dosing.setOnRecord(network_.dose);
}

void TDM::Arhive() {
    const ImageData now = image.snapshot();
    archive.Arhive(now);
    if (network_.goodAnswer)
        network_.goodAnswer(now);
}

void TDM::Jurnal(const QString& text, int code) {
    if (network_.event) {
        const auto texts = MainTextStore::get();
        const char* kind = "message";
        if (text.startsWith(texts->lngErrWrite))
            kind = "write failure";
        else if (code == 1)
            kind = "alarm";
        else if (text.startsWith(texts->avrCancel + QLatin1Char(' ')))
            kind = "clearing";
        network_.event(text, kind);
    }
    journalWriter.Jurnal(text, code);
    journalKept_.store(journalWriter.keptCount() > 0);
}

void TDM::retryKept() {
    // On the poll thread, after every cycle, good or not.
    if (network_.link) {
        const int state = thread.linkState();
        if (state != linkStatePublished_) {
            linkStatePublished_ = state;
            network_.link(state == TComThread::Good   ? "good"
                          : state == TComThread::Lost ? "lost"
                                                      : "open");
        }
    }
    if (dosing.keptCount() > 0)
        dosing.flushKept();
    if (journalKept_.load())
        QMetaObject::invokeMethod(
            &windowThread_, [this] { retryJournal(); }, Qt::QueuedConnection);
}

void TDM::retryJournal() {
    journalWriter.flushKept();
    journalKept_.store(journalWriter.keptCount() > 0);
}

int TDM::recoverUnwritten() {
    int skipped = 0;
    int count = 0;
    for (recovery::Kind& kind : recovery::load(workDir_, &skipped)) {
        DailyWriter* writer = nullptr;
        if (kind.prefix == dosing.prefix())
            writer = &dosing;
        else if (kind.prefix == journalWriter.prefix())
            writer = &journalWriter;
        if (!writer)
            continue;
        count += int(kind.records.size());
        writer->restore(std::move(kind.records));
    }
    journalKept_.store(journalWriter.keptCount() > 0);
    if (count == 0 && skipped == 0)
        return 0;
    // The file now lists exactly what is still unwritten.
    recoveryPending_ = dosing.keptCount() + journalWriter.keptCount() > 0;
    QString error;
    if (recoveryPending_ ? !recovery::save(workDir_, keptKinds(), &error)
                         : !recovery::remove(workDir_))
        QTextStream(stderr) << "korvel: "
                            << (error.isEmpty() ? recovery::filePath(workDir_) : error) << Qt::endl;
    if (count > 0 && events_)
        events_(MainTextStore::get()->lngRecovered + QLatin1Char(' ') + QString::number(count),
                kBlack);
    return count;
}

std::vector<recovery::Kind> TDM::keptKinds() const {
    return {{dosing.prefix(), dosing.keptRecords()},
            {journalWriter.prefix(), journalWriter.keptRecords()}};
}

int TDM::saveUnwritten() {
    dosing.flushKept();
    journalWriter.flushKept();
    const std::vector<recovery::Kind> kinds = keptKinds();
    const int count = int(kinds[0].records.size() + kinds[1].records.size());
    if (count == 0) {
        // Everything an earlier run left has been written meanwhile.
        if (recoveryPending_ && recovery::remove(workDir_))
            recoveryPending_ = false;
        return 0;
    }
    QString error;
    QTextStream err(stderr);
    if (recovery::save(workDir_, kinds, &error)) {
        err << "korvel: " << count << " records could not be written; they are kept in "
            << recovery::filePath(workDir_) << " and will be written at the next start" << Qt::endl;
    } else {
        err << "korvel: " << count << " records could not be written nor saved (" << error
            << "):" << Qt::endl;
        for (const recovery::Kind& k : kinds)
            for (const DailyWriter::Record& r : k.records)
                err << recovery::describe(k.prefix, r) << Qt::endl;
    }
    dosing.dropKept();
    journalWriter.dropKept();
    journalKept_.store(false);
    recoveryPending_ = false;
    return count;
}

void TDM::VerifyAlarms() {
    // The texts of the moment: a language switch applies to the next message.
    const auto texts = MainTextStore::get();
    evaluator.VerifyAlarms(image.snapshot(), *texts, [this](const QString& text, QRgb colour) {
        if (events_)
            events_(text, colour);
    });
}

void TDM::reportWriteFailure(const EventSink& sink, const QString& fileName) {
    const QString text = MainTextStore::get()->lngErrWrite + QLatin1Char(' ') + fileName;
    // A failed journal write has no journal record to be published from.
    if (&sink == &journalFailure_ && network_.event)
        network_.event(text, "write failure");
    if (sink)
        sink(text, kRed);
}

void TDM::reportMovedAside(const QString& fileName, const QString& movedTo) {
    if (events_)
        events_(MainTextStore::get()->lngFileAside + QLatin1Char(' ') +
                    QFileInfo(fileName).fileName() + QStringLiteral(" → ") +
                    QFileInfo(movedTo).fileName(),
                kRed);
}
