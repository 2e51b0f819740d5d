#include "DosingRecorder.h"

#include "DailyTables.h"

namespace {
// Doser names by dose row, the order of ProcessImage::kRowDoser.
const char* const kRowName[6] = {"5", "2", "6", "3", "1", "4"};
} // namespace

DosingRecorder::DosingRecorder(const QString& workDir, MaxFiles maxArhDay,
                               FailureReport onWriteFailed, Clock clock)
    : DailyWriter(workDir, daily::kDosing, daily::dosingFields(), std::move(maxArhDay),
                  std::move(onWriteFailed), std::move(clock), OnFailure::Keep) {}

void DosingRecorder::CompleteDoza(ProcessImage& image) {
    // Records kept from a failed write are retried every cycle, not only at the next dose.
    if (keptCount() > 0)
        flushKept();
    const std::array<DoseRow, 6> rows = image.takeDoseRows();
    if (rowsValid_ == kRowsValid)
        for (int r = 0; r < 6; ++r)
            VerifyDoza(QString::fromLatin1(kRowName[r]), rows[r].current, rows[r].previous);
    rowsValid_ = kRowsValid;
}

void DosingRecorder::VerifyDoza(const QString& name, const DosePart& current,
                                const DosePart& previous) {
    // A dose counts when the counter moves to a new non-zero value (any change: a step,
    // a wrap-around or a jump).
    if (current[0] == previous[0] || current[0] == 0)
        return;
    // One clock reading stamps the whole record and names its file.
    const QDateTime moment = now();
    const int setpoint = current[1] | (current[2] << 8);
    const int weight = current[4] | (current[5] << 8);
    std::vector<QString> values{
        timeText(moment),
        dbf::dateText(moment.date()),
        QString::number(moment.time().hour()),
        QString::number(moment.time().minute()),
        name,
        QString::number(setpoint),
        QStringLiteral("%1").arg(current[3], 2, 10, QChar('0')),
        QString::number(weight),
        (current[6] & 1) ? QStringLiteral("Automatik") : QStringLiteral("Manual"),
    };
    if (onRecord_)
        onRecord_(values);
    write(moment, std::move(values));
}
