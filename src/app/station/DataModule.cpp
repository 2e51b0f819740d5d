#include "DataModule.h"

#include "MainTexts.h"

namespace {
constexpr QRgb kRed = 0xFFFF0000;
}

TDM::TDM(const QString& workDir, EventSink events)
    : workDir_(workDir), events_(std::move(events)),
      dosing(workDir, [this] { return maxArhDay(); },
             [this](const QString& file) { reportWriteFailure(events_, file); }),
      journalWriter(workDir, [this] { return maxArhDay(); },
                    [this](const QString& file) { reportWriteFailure(journalFailure_, file); }),
      archive(workDir, [this] { return maxArhDay(); },
              [this](const QString& file) { reportWriteFailure(events_, file); }) {
    thread.setGoodAnswerSteps([this] { VerifyAlarms(); }, [this] { CompleteDoza(); },
                              [this] { Arhive(); });
}

TDM::~TDM() { stopPolling(); }

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

void TDM::VerifyAlarms() {
    // The texts of the moment: a language switch applies to the next message.
    const auto texts = MainTextStore::get();
    alarms.VerifyAlarms(image.snapshot(), *texts, [this](const QString& text, QRgb colour) {
        if (events_)
            events_(text, colour);
    });
}

void TDM::reportWriteFailure(const EventSink& sink, const QString& fileName) {
    if (sink)
        sink(MainTextStore::get()->lngErrWrite + QLatin1Char(' ') + fileName, kRed);
}
