#pragma once
// The event journal: one record per event in the day's jur_ table. Runs on the UI thread.
#include "DailyWriter.h"

class JournalWriter : public DailyWriter {
public:
    // Event codes stored in CODZ.
    enum Code { Event = 0, Alarm = 1, Exit = 2 };
    // REC_STR holds this many characters; longer texts are cut.
    static constexpr int kTextWidth = 90;

    JournalWriter(const QString& workDir, MaxFiles maxArhDay, FailureReport onWriteFailed = {},
                  Clock clock = {});

    void Jurnal(const QString& text, int code);
};
