#include "ArchiveWriter.h"

#include "DailyTables.h"

ArchiveWriter::ArchiveWriter(const QString& workDir, MaxFiles maxArhDay,
                             FailureReport onWriteFailed, Clock clock)
    : DailyWriter(workDir, daily::kArchive, daily::archiveFields(), std::move(maxArhDay),
                  std::move(onWriteFailed), std::move(clock), OnFailure::Drop) {}

void ArchiveWriter::Arhive(const ImageData& image) {
    const QDateTime moment = now();
    std::vector<QString> values;
    values.reserve(20);
    values.push_back(timeText(moment));
    values.push_back(dbf::dateText(moment.date()));
    for (int d = 0; d < 6; ++d) {
        values.push_back(QString::number(image.word(kSetDose[d])));
        values.push_back(QString::number(image.word(kCorrected[d])));
        values.push_back(QString::number(image.sword(kWeight[d])));
    }
    write(moment, std::move(values));
}
