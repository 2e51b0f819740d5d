#include "JournalWriter.h"

#include "DailyTables.h"

JournalWriter::JournalWriter(const QString& workDir, MaxFiles maxArhDay,
                             FailureReport onWriteFailed, Clock clock)
    : DailyWriter(workDir, daily::kJournal, daily::journalFields(), std::move(maxArhDay),
                  std::move(onWriteFailed), std::move(clock), OnFailure::Keep) {}

void JournalWriter::Jurnal(const QString& text, int code) {
    const QDateTime moment = now();
    write(moment, {timeText(moment), dbf::dateText(moment.date()), text.left(kTextWidth),
                   QString::number(code)});
}
